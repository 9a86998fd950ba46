#include "shared/core/settings_record.h"

namespace brd {

namespace {

constexpr std::size_t kMarkerOffset = 0;
constexpr std::size_t kTopOffset = 17;
constexpr std::size_t kLeftOffset = 21;
constexpr std::size_t kDataOffset = 25;

static_assert(kDataOffset + decltype(SettingsRecord::Data)::kWidth == kSettingsRecordLength);

void PutInt32(std::uint8_t* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t GetInt32(const std::uint8_t* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(bits); // modular conversion, well defined since C++20
}

template <std::size_t N> void PutText(std::uint8_t* out, const FixedText<N>& text) {
    std::copy_n(text.Bytes().begin(), N, reinterpret_cast<char*>(out));
}

template <std::size_t N> void GetText(const std::uint8_t* in, FixedText<N>& text) {
    text.SetBytes(reinterpret_cast<const char*>(in));
}

} // namespace

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::array<std::uint8_t, kSettingsRecordLength> SettingsRecord::Encode() const {
    std::array<std::uint8_t, kSettingsRecordLength> out{};
    PutText(out.data() + kMarkerOffset, Marker);
    PutInt32(out.data() + kTopOffset, Top);
    PutInt32(out.data() + kLeftOffset, Left);
    PutText(out.data() + kDataOffset, Data);
    return out;
}

SettingsRecord SettingsRecord::Decode(const std::uint8_t* bytes, std::size_t count) {
    std::array<std::uint8_t, kSettingsRecordLength> in{};
    if (bytes != nullptr) {
        std::copy_n(bytes, std::min(count, kSettingsRecordLength), in.begin());
    }
    SettingsRecord record;
    GetText(in.data() + kMarkerOffset, record.Marker);
    record.Top = GetInt32(in.data() + kTopOffset);
    record.Left = GetInt32(in.data() + kLeftOffset);
    GetText(in.data() + kDataOffset, record.Data);
    return record;
}

} // namespace brd
