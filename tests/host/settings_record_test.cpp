#include "shared/core/settings_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace brd {
namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes Encoded(const SettingsRecord& record) {
    const auto bytes = record.Encode();
    return {bytes.begin(), bytes.end()};
}

TEST(SettingsRecord, EncodesEveryFieldAtItsOffsetLittleEndian) {
    SettingsRecord record;
    record.Marker.Assign("[WallpaperLoc]");
    record.Top = -2;
    record.Left = INT32_MIN + 0x01020304;
    record.Data.Assign("0123456789abcdefghijABCDEFGHIJ");
    const std::string text = "[WallpaperLoc]   \xFE\xFF\xFF\xFF\x04\x03\x02\x81"
                             "0123456789abcdefghijABCDEFGHIJ";
    const Bytes expected(text.begin(), text.end());

    ASSERT_EQ(expected.size(), kSettingsRecordLength);
    EXPECT_EQ(Encoded(record), expected);
    EXPECT_EQ(SettingsRecord::Decode(expected.data(), expected.size()), record);
    EXPECT_EQ(Encoded(SettingsRecord{}), Bytes(kSettingsRecordLength, 0));
}

TEST(SettingsRecord, ShortInputDecodesWhatIsThereAndZerosTheRest) {
    const std::string text = "MARKER-MARKER-MAR\x11\x22\x33\x44\x55";
    const auto record =
        SettingsRecord::Decode(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(record.Marker.Text(), "MARKER-MARKER-MAR");
    EXPECT_EQ(record.Top, 0x44332211);
    EXPECT_EQ(record.Left, 0x55);
    EXPECT_EQ(record.Data.Text(), std::string(30, '\0'));
    EXPECT_EQ(SettingsRecord::Decode(nullptr, 0), SettingsRecord{});
}

TEST(FixedText, AssignLeftAlignsPadsWithBlanksAndCuts) {
    const std::pair<std::string, std::string> cases[] = {
        {"", std::string(30, ' ')},
        {"Normal", "Normal" + std::string(24, ' ')},
        {" x ", " x" + std::string(28, ' ')},
        {std::string(30, 'y'), std::string(30, 'y')},
        {"abcdefghijklmnopqrstuvwxyz012345678", "abcdefghijklmnopqrstuvwxyz0123"},
        {"a\0b"s, "a\0b"s + std::string(27, ' ')},
    };
    for (const auto& [text, field] : cases) {
        FixedText<30> data;
        data.Assign("previous text that is longer");
        data.Assign(text);
        EXPECT_EQ(data.Text(), field) << "text: " << text;
    }
    FixedText<17> marker;
    EXPECT_EQ(marker.Trimmed(), std::string(17, '\0')); // never assigned
    marker.Assign("[WallpaperLoc]");
    EXPECT_EQ(marker.Text(), "[WallpaperLoc]   ");
    EXPECT_EQ(marker.Trimmed(), "[WallpaperLoc]");
}

TEST(Trim, RemovesOnlyLeadingAndTrailingBlanks) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"     ", ""}, {"  a b  ", "a b"}, {"\tx\t", "\tx\t"}, {" \0x\0 "s, "\0x\0"s},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Trim(in), out) << "in: [" << in << "]";
}

} // namespace
} // namespace brd
