// Pictures decoded band by band: what is written, and read whole, must be the picture's own
// pixels whichever way the rows are asked for.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "brdwall/shared/core/bmp_writer.h"
#include "brdwall/shared/picture.h"
#include "tests/host/temp_folder.h"

namespace brd::test {
namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The colour of pixel (x, y): every row and every column differ.
unsigned char Blue(int x, int y) { return static_cast<unsigned char>(x * 7 + y); }
unsigned char Green(int, int y) { return static_cast<unsigned char>(y * 3 + (y >> 8)); }
unsigned char Red(int x, int y) { return static_cast<unsigned char>(x ^ (y >> 2)); }

// A bottom-up bitmap file of the picture with `bits` per pixel (24, or 32 with an unused byte).
Bytes BitmapFile(int width, int height, int bits) {
    const std::vector<std::uint8_t> header = BmpHeader(width, height);
    Bytes b(header.begin(), header.end());
    const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
    b[28] = static_cast<unsigned char>(bits);
    Put32(b, 34, static_cast<std::uint32_t>(stride * height));
    Put32(b, 2, static_cast<std::uint32_t>(54 + stride * height));
    for (int y = height - 1; y >= 0; --y) {
        Bytes row;
        for (int x = 0; x < width; ++x) {
            row.insert(row.end(), {Blue(x, y), Green(x, y), Red(x, y)});
            if (bits == 32) row.push_back(0);
        }
        row.resize(stride, 0);
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

struct RowsCase {
    const char* name;
    int width, height, bits;
};

class PictureBands : public testing::TestWithParam<RowsCase> {};

TEST_P(PictureBands, WrittenAndReadWholeAsThePicturesOwnPixels) {
    const RowsCase& c = GetParam();
    TempFolder folder;
    const std::string source = folder.File("source.bmp");
    WriteBytes(source, BitmapFile(c.width, c.height, c.bits));
    const Bytes expected = BitmapFile(c.width, c.height, 24);

    // Straight into the file, bottom row first.
    PictureRows rows;
    FailureNote note;
    ASSERT_TRUE(rows.Open(source, note)) << note.Last().Description;
    EXPECT_EQ(rows.Bgr24(), c.bits == 24);
    ASSERT_TRUE(SavePictureRowsAsBitmap(rows, folder.File("rows.bmp"), note)) << note.Last().Description;
    EXPECT_EQ(ReadBytes(folder.File("rows.bmp")), expected);
    // A second pass over the same rows (another folder after a refused one) gives the same.
    ASSERT_TRUE(SavePictureRowsAsBitmap(rows, folder.File("again.bmp"), note));
    EXPECT_EQ(ReadBytes(folder.File("again.bmp")), expected);

    // Read whole, top row first, as previews are.
    DecodedPicture whole;
    ASSERT_TRUE(LoadPictureFile(source, whole, note));
    ASSERT_TRUE(SavePictureAsBitmap(whole, folder.File("whole.bmp"), note));
    EXPECT_EQ(ReadBytes(folder.File("whole.bmp")), expected);
}

// Rows come in bands of about a megabyte: these pictures take two to four of them, the last
// one short, with padded rows.
INSTANTIATE_TEST_SUITE_P(Pictures, PictureBands,
                         testing::Values(RowsCase{"ThreeBytePixels", 333, 2500, 24},
                                         RowsCase{"FourBytePixelsConverted", 301, 2777, 32},
                                         RowsCase{"OneRowPerBand", 300000, 3, 24}),
                         [](const testing::TestParamInfo<RowsCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace brd::test
