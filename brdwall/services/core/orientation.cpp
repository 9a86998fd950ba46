#include "brdwall/services/core/orientation.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace brd {

int OrientationOf(std::uint32_t tagValue) noexcept {
    return tagValue >= 1 && tagValue <= 8 ? static_cast<int>(tagValue) : kAsStored;
}

bool SwapsSides(int orientation) noexcept {
    return orientation >= kTransposed && orientation <= kQuarterAnticlockwise;
}

bool TurnsUpsideDown(int orientation) noexcept {
    return orientation == kHalfTurn || orientation == kFlipped;
}

UprightRows::UprightRows(int orientation, int width, int height, int bytesPerPixel, StoredRow stored)
    : orientation_(OrientationOf(static_cast<std::uint32_t>(orientation))), storedWidth_(width),
      storedHeight_(height), width_(SwapsSides(orientation_) ? height : width),
      height_(SwapsSides(orientation_) ? width : height), pixel_(static_cast<std::size_t>(bytesPerPixel)),
      stored_(std::move(stored)) {}

bool UprightRows::ReadWhole() {
    const std::size_t outStride = static_cast<std::size_t>(width_) * pixel_;
    try {
        whole_.resize(outStride * static_cast<std::size_t>(height_));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int w = storedWidth_, h = storedHeight_;
    for (int sy = 0; sy < h; ++sy) {
        const std::uint8_t* in = stored_(sy);
        if (!in) return false;
        // Where each stored pixel of this row shows: one column of the upright picture.
        for (int sx = 0; sx < w; ++sx, in += pixel_) {
            int x = 0, y = 0;
            switch (orientation_) {
            case kTransposed:
                x = sy, y = sx;
                break;
            case kQuarterClockwise:
                x = h - 1 - sy, y = sx;
                break;
            case kTransversed:
                x = h - 1 - sy, y = w - 1 - sx;
                break;
            default:
                x = sy, y = w - 1 - sx;
                break; // a quarter anticlockwise
            }
            std::memcpy(whole_.data() + static_cast<std::size_t>(y) * outStride +
                            static_cast<std::size_t>(x) * pixel_,
                        in, pixel_);
        }
    }
    return true;
}

const std::uint8_t* UprightRows::Row(int y) {
    if (failed_ || y < 0 || y >= height_) return nullptr;
    if (SwapsSides(orientation_)) {
        if (whole_.empty() && !ReadWhole()) {
            failed_ = true;
            whole_ = {};
            return nullptr;
        }
        return whole_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * pixel_;
    }
    const std::uint8_t* in = stored_(TurnsUpsideDown(orientation_) ? height_ - 1 - y : y);
    if (!in) return nullptr;
    if (orientation_ != kMirrored && orientation_ != kHalfTurn) return in;
    // Mirrored left to right: the pixels of the row in the other order.
    try {
        row_.resize(static_cast<std::size_t>(width_) * pixel_);
    } catch (const std::bad_alloc&) {
        failed_ = true;
        return nullptr;
    }
    for (int x = 0; x < width_; ++x)
        std::memcpy(row_.data() + static_cast<std::size_t>(x) * pixel_,
                    in + static_cast<std::size_t>(width_ - 1 - x) * pixel_, pixel_);
    return row_.data();
}

} // namespace brd
