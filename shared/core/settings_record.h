#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shared/core/utf8.h"

namespace brd {

// Length in bytes of one record of the settings file.
inline constexpr std::size_t kSettingsRecordLength = 55;

// Record numbers (1-based) used in the settings file.
inline constexpr int kUserFolderRecord = 1;
inline constexpr int kWindowSettingsRecord = 5;
inline constexpr int kFontRecord = 8;

// Removes leading and trailing blanks (0x20). Zero bytes and other characters are kept.
std::string Trim(std::string_view text);

// A fixed-width text field of N bytes. Starts as N zero bytes. Assigned text (UTF-8) is
// left-aligned: shorter text is padded with blanks, longer text is cut to at most N bytes, never
// inside a character.
template <std::size_t N> class FixedText {
  public:
    static constexpr std::size_t kWidth = N;

    void Assign(std::string_view text) {
        bytes_.fill(' ');
        std::copy_n(text.begin(), Utf8Prefix(text, N), bytes_.begin());
    }

    // Replaces the field with N raw bytes, as read from a file.
    void SetBytes(const char* raw) { std::copy_n(raw, N, bytes_.begin()); }

    // All N characters, padding and zero bytes included.
    std::string Text() const { return std::string(bytes_.data(), N); }
    std::string Trimmed() const { return Trim(std::string_view(bytes_.data(), N)); }
    const std::array<char, N>& Bytes() const { return bytes_; }

    friend bool operator==(const FixedText&, const FixedText&) = default;

  private:
    std::array<char, N> bytes_{};
};

// One record of the settings file. Layout (little-endian integers, no gaps):
//   offset 0  Marker  17 characters
//   offset 17 Top     signed 32-bit
//   offset 21 Left    signed 32-bit
//   offset 25 Data    30 characters
struct SettingsRecord {
    FixedText<17> Marker;
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    FixedText<30> Data;

    std::array<std::uint8_t, kSettingsRecordLength> Encode() const;

    // Decodes up to kSettingsRecordLength bytes; bytes missing from a short input read as zero.
    static SettingsRecord Decode(const std::uint8_t* bytes, std::size_t count);

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

} // namespace brd
