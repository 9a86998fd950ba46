#include "brdwall/services/core/picture_claim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace brd {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Repeat(const Bytes& b, int n) {
    Bytes out;
    for (int i = 0; i < n; ++i)
        out = out + b;
    return out;
}
Bytes Be16(unsigned v) {
    return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}
Bytes Le16(unsigned v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}
Bytes Le32(std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
}

// JPEG pieces: start of image, a marker segment, a frame header.
const Bytes kSoi{0xFF, 0xD8};
Bytes Segment(std::uint8_t marker, std::size_t payload) {
    return Bytes{0xFF, marker} + Be16(static_cast<unsigned>(payload + 2)) + Bytes(payload, 0x55);
}
Bytes Frame(std::uint8_t marker, unsigned width, unsigned height) {
    return Bytes{0xFF, marker} + Be16(17) + Bytes{8} + Be16(height) + Be16(width) + Bytes{3} + Bytes(9, 0x11);
}

// An Exif segment (APP1) whose IFD 0 holds the entries {tag, type, count, value} in either byte order;
// `ifdAt` moves IFD 0 (8 is right after the TIFF header).
Bytes Exif(bool little, std::vector<std::array<unsigned, 4>> entries, unsigned ifdAt = 8) {
    const auto u16 = [little](unsigned v) { return little ? Le16(v) : Be16(v); };
    const auto u32 = [little](unsigned v) {
        return little ? Le16(v & 0xFFFF) + Le16(v >> 16) : Be16(v >> 16) + Be16(v & 0xFFFF);
    };
    Bytes tiff =
        Bytes{static_cast<std::uint8_t>(little ? 'I' : 'M'), static_cast<std::uint8_t>(little ? 'I' : 'M')} +
        u16(42) + u32(ifdAt) + u16(static_cast<unsigned>(entries.size()));
    for (const auto& [tag, type, count, value] : entries)
        tiff = tiff + u16(tag) + u16(type) + u32(count) + u16(value) + u16(0);
    const Bytes payload = Bytes{'E', 'x', 'i', 'f', 0, 0} + tiff + u32(0);
    return Bytes{0xFF, 0xE1} + Be16(static_cast<unsigned>(payload.size() + 2)) + payload;
}
Bytes OrientedJpeg(const Bytes& exif) {
    return kSoi + exif + Segment(0xDB, 65) + Frame(0xC0, 40, 30);
}

// GIF pieces: header and logical screen (flags: global colour table of 2^(n+1) entries when 0x80),
// an image descriptor with `blocks` data sub-blocks of 255 bytes, an extension.
Bytes GifScreen(const char* version, unsigned width, unsigned height, std::uint8_t flags) {
    Bytes b(version, version + 6);
    b = b + Le16(width) + Le16(height) + Bytes{flags, 0, 0};
    if (flags & 0x80) b = b + Bytes(3u << ((flags & 7) + 1), 0x77);
    return b;
}
Bytes GifImage(unsigned width, unsigned height, std::uint8_t flags, int blocks) {
    Bytes b = Bytes{0x2C} + Le16(0) + Le16(0) + Le16(width) + Le16(height) + Bytes{flags};
    if (flags & 0x80) b = b + Bytes(3u << ((flags & 7) + 1), 0x77);
    b = b + Bytes{8};
    for (int i = 0; i < blocks; ++i)
        b = b + Bytes{255} + Bytes(255, 0x2C);
    return b + Bytes{0};
}
const Bytes kGraphicControl{0x21, 0xF9, 4, 0, 0, 0, 0, 0};
const Bytes kTrailer{0x3B};

// A bitmap file header with an information header of `infoSize` bytes.
Bytes Bitmap(std::uint32_t infoSize, const Bytes& sizes) {
    return Bytes{'B', 'M'} + Le32(0) + Le32(0) + Le32(14 + infoSize) + Le32(infoSize) + sizes + Bytes(64, 0);
}

struct ClaimCase {
    const char* name;
    Bytes file;
    bool claims;
    PictureClaim expected;
};

std::optional<PictureClaim> Claim(const Bytes& file) {
    return ReadPictureClaim([&](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
        if (offset >= file.size()) return 0;
        const std::size_t n = std::min<std::uint64_t>(count, file.size() - offset);
        std::memcpy(into, file.data() + offset, n);
        return n;
    });
}

class PictureClaimTest : public testing::TestWithParam<ClaimCase> {};

TEST_P(PictureClaimTest, ReadsWhatTheHeadersClaim) {
    const ClaimCase& c = GetParam();
    const auto claim = Claim(c.file);
    ASSERT_EQ(claim.has_value(), c.claims);
    if (!claim) return;
    EXPECT_EQ(claim->Width, c.expected.Width);
    EXPECT_EQ(claim->Height, c.expected.Height);
    EXPECT_EQ(claim->Frames, c.expected.Frames);
    EXPECT_EQ(claim->Pixels, c.expected.Pixels);
    EXPECT_EQ(claim->Orientation, c.expected.Orientation);
}

const Bytes kBigApp = Repeat(Segment(0xE1, 65533), 3); // three 64 KB segments: the window is refilled

INSTANTIATE_TEST_SUITE_P(
    Files, PictureClaimTest,
    testing::Values(
        ClaimCase{
            "JpegBaseline", kSoi + Segment(0xE0, 14) + Frame(0xC0, 640, 480), true, {640, 480, 1, 307200}},
        ClaimCase{"JpegProgressiveAfterLargeSegments",
                  kSoi + kBigApp + Segment(0xDB, 65) + Frame(0xC2, 30000, 30000),
                  true,
                  {30000, 30000, 1, 900000000}},
        ClaimCase{"JpegFillBytesAndTablesBeforeTheFrame",
                  kSoi + Segment(0xC4, 30) + Segment(0xCC, 4) + Bytes{0xFF, 0xFF, 0xFF} +
                      Frame(0xC1, 1, 65535),
                  true,
                  {1, 65535, 1, 65535}},
        ClaimCase{"JpegScanBeforeAnyFrame", kSoi + Segment(0xDA, 10) + Frame(0xC0, 8, 8), false, {}},
        ClaimCase{"JpegCutInsideTheFrameHeader", kSoi + Bytes{0xFF, 0xC0, 0, 17, 8, 0x10}, false, {}},
        ClaimCase{"JpegHeightGivenLater", kSoi + Frame(0xC0, 640, 0), false, {}},
        ClaimCase{"JpegNoMarkerAfterASegment",
                  kSoi + Segment(0xE0, 14) + Bytes{0x00} + Frame(0xC0, 8, 8),
                  false,
                  {}},
        ClaimCase{"JpegSegmentRunsPastTheEnd", kSoi + Bytes{0xFF, 0xE0, 0xFF, 0xFF, 1, 2, 3}, false, {}},
        // The Exif orientation tag (0x0112, SHORT, one value); anything doubtful is "as stored".
        ClaimCase{"JpegTurnedAQuarterClockwise",
                  OrientedJpeg(Exif(true, {{0x0112, 3, 1, 6}})),
                  true,
                  {40, 30, 1, 1200, 6}},
        ClaimCase{"JpegTurnedAQuarterAnticlockwiseBigEndianAfterOtherTags",
                  OrientedJpeg(Exif(false, {{0x010F, 2, 4, 0}, {0x0110, 2, 4, 0}, {0x0112, 3, 1, 8}})),
                  true,
                  {40, 30, 1, 1200, 8}},
        ClaimCase{"JpegOrientationOutOfRange",
                  OrientedJpeg(Exif(true, {{0x0112, 3, 1, 9}})),
                  true,
                  {40, 30, 1, 1200, 1}},
        ClaimCase{"JpegOrientationOfAnotherType",
                  OrientedJpeg(Exif(true, {{0x0112, 4, 1, 6}})),
                  true,
                  {40, 30, 1, 1200, 1}},
        ClaimCase{"JpegOrientationIfdPastTheSegment",
                  OrientedJpeg(Exif(true, {{0x0112, 3, 1, 6}}, 4000)),
                  true,
                  {40, 30, 1, 1200, 1}},
        // Nine entries announced, the segment ends inside the first.
        ClaimCase{"JpegOrientationEntriesCutShort",
                  kSoi + Bytes{0xFF, 0xE1, 0, 20, 'E', 'x', 'i', 'f', 0, 0,    'I',
                               'I',  42,   0, 8,  0,   0,   0,   9,   0, 0x12, 0x01} +
                      Frame(0xC0, 40, 30),
                  true,
                  {40, 30, 1, 1200, 1}},
        ClaimCase{"GifOneImageSmallerThanTheScreen",
                  GifScreen("GIF87a", 100, 100, 0) + GifImage(10, 20, 0, 1) + kTrailer,
                  true,
                  {10, 20, 1, 200}},
        ClaimCase{"GifAnimatedWithTablesAndExtensions",
                  GifScreen("GIF89a", 4000, 4000, 0x81) + kGraphicControl + GifImage(4000, 4000, 0x87, 300) +
                      kGraphicControl + GifImage(4000, 4000, 0, 2) + GifImage(2000, 1000, 0x80, 0) + kTrailer,
                  true,
                  {4000, 4000, 3, 34000000}},
        ClaimCase{"GifCutAfterTheScreen", GifScreen("GIF89a", 300, 200, 0x80), true, {300, 200, 1, 60000}},
        ClaimCase{"GifCutInsideTheSecondImage",
                  GifScreen("GIF89a", 50, 50, 0) + GifImage(50, 50, 0, 1) + Bytes{0x2C, 0, 0},
                  true,
                  {50, 50, 1, 2500}},
        ClaimCase{"GifHeaderOnly", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0}, false, {}},
        ClaimCase{"BitmapTopDown", Bitmap(40, Le32(6000) + Le32(-4000)), true, {6000, 4000, 1, 24000000}},
        ClaimCase{"BitmapNewestHeader", Bitmap(124, Le32(3) + Le32(2)), true, {3, 2, 1, 6}},
        ClaimCase{"BitmapCoreHeader", Bitmap(12, Le16(640) + Le16(480)), true, {640, 480, 1, 307200}},
        ClaimCase{"BitmapHeightAtTheExtreme",
                  Bitmap(40, Le32(2) + Le32(INT32_MIN)),
                  true,
                  {2, 2147483648u, 1, 4294967296u}},
        ClaimCase{"BitmapNegativeWidth", Bitmap(40, Le32(-5) + Le32(5)), false, {}},
        ClaimCase{"BitmapUnknownHeader", Bitmap(20, Le32(5) + Le32(5)), false, {}},
        ClaimCase{"TextFile", Bytes{'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd'}, false, {}},
        ClaimCase{"GifOfAnUnknownVersion", GifScreen("GIF88a", 5, 5, 0), false, {}},
        ClaimCase{"Empty", Bytes{}, false, {}}),
    [](const testing::TestParamInfo<ClaimCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace brd
