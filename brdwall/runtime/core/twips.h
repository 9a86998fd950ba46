#pragma once

namespace brd {

inline constexpr int kTwipsPerInch = 1440;

namespace detail {

// numerator / denominator rounded to nearest, halves away from zero; denominator > 0.
constexpr long long RoundedQuotient(long long numerator, long long denominator) {
    return numerator >= 0 ? (2 * numerator + denominator) / (2 * denominator)
                          : -((-2 * numerator + denominator) / (2 * denominator));
}

} // namespace detail

// Twips to pixels at `dpi` pixels per inch, rounded to nearest. 0 for a dpi that is not positive.
constexpr int TwipsToPixels(int twips, int dpi) {
    if (dpi <= 0) return 0;
    return static_cast<int>(detail::RoundedQuotient(static_cast<long long>(twips) * dpi, kTwipsPerInch));
}

// Pixels to twips at `dpi` pixels per inch, rounded to nearest. 0 for a dpi that is not positive.
constexpr int PixelsToTwips(int pixels, int dpi) {
    if (dpi <= 0) return 0;
    return static_cast<int>(detail::RoundedQuotient(static_cast<long long>(pixels) * kTwipsPerInch, dpi));
}

} // namespace brd
