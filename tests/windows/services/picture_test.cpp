// Pictures decoded band by band: what is written, from the file or from its kept bytes, and what a
// preview that need not shrink shows, must be the picture's own pixels.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "brdwall/services/core/bmp_writer.h"
#include "brdwall/services/picture.h"
#include "program_driver.h"
#include "tests/host/temp_folder.h"

namespace brd::test {
namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The colour of pixel (x, y): every row and every column differ.
unsigned char Blue(int x, int y) {
    return static_cast<unsigned char>(x * 7 + y);
}
unsigned char Green(int, int y) {
    return static_cast<unsigned char>(y * 3 + (y >> 8));
}
unsigned char Red(int x, int y) {
    return static_cast<unsigned char>(x ^ (y >> 2));
}

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

    // From the bytes kept in memory, and as a preview whose box holds the whole picture.
    PictureData kept;
    ASSERT_TRUE(kept.Read(source, note));
    ASSERT_TRUE(kept.Bytes);
    ASSERT_TRUE(rows.Open(kept, note));
    ASSERT_TRUE(SavePictureRowsAsBitmap(rows, folder.File("kept.bmp"), note));
    EXPECT_EQ(ReadBytes(folder.File("kept.bmp")), expected);
    DecodedPicture whole;
    ASSERT_TRUE(DecodePreview(kept, c.width, c.height, whole, note));
    ASSERT_TRUE(SavePictureAsBitmap(whole, folder.File("whole.bmp"), note));
    EXPECT_EQ(ReadBytes(folder.File("whole.bmp")), expected);
}

// Rows come in bands of about a megabyte: these pictures take two to four of them, the last
// one short, with padded rows.
INSTANTIATE_TEST_SUITE_P(Pictures, PictureBands,
                         testing::Values(RowsCase{"ThreeBytePixels", 333, 2500, 24},
                                         RowsCase{"FourBytePixelsConverted", 301, 2777, 32},
                                         RowsCase{"OneRowPerBand", 300000, 3, 24}),
                         [](const testing::TestParamInfo<RowsCase>& info) {
                             return std::string(info.param.name);
                         });

// corner.jpg (48 x 32) has a red quarter at its top left and is blue elsewhere; `tag` is put into an
// Exif segment right after the start of the file.
Bytes CornerJpeg(int tag) {
    const Bytes jpeg = ReadBytes((TestExeFolder() / "testdata" / "corner.jpg").string());
    const unsigned char ifd[] = {'E',  'x',  'i', 'f', 0, 0, 'I', 'I', 42,
                                 0,    8,    0,   0,   0, 1, 0, // one entry
                                 0x12, 0x01, 3,   0,   1, 0, 0,   0,   static_cast<unsigned char>(tag),
                                 0,    0,    0,   0,   0, 0, 0};
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), {0xFF, 0xE1, 0, static_cast<unsigned char>(sizeof(ifd) + 2)});
    out.insert(out.end(), std::begin(ifd), std::end(ifd));
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// Which quarter of a picture is red: 0 top left, 1 top right, 2 bottom left, 3 bottom right; -1 none.
template <typename Pixel> int RedQuarter(int width, int height, Pixel pixel) {
    for (int q = 0; q < 4; ++q) {
        const auto [b, g, r] = pixel((q % 2 ? 3 : 1) * width / 4, (q / 2 ? 3 : 1) * height / 4);
        if (r > 150 && b < 100) return q;
    }
    return -1;
}

TEST(PictureOrientation, EachTagTurnsTheConvertedBitmapAndThePreview) {
    TempFolder folder;
    // The tag, then where the red quarter shows upright.
    const int cases[][2] = {{1, 0}, {2, 1}, {3, 3}, {4, 2}, {5, 0}, {6, 1}, {7, 3}, {8, 2}, {0, 0}, {9, 0}};
    for (const auto& [tag, quarter] : cases) {
        SCOPED_TRACE("orientation " + std::to_string(tag));
        const bool sideways = tag >= 5 && tag <= 8;
        const std::string source = folder.File("corner.jpg");
        WriteBytes(source, CornerJpeg(tag));
        PictureRows rows;
        FailureNote note;
        ASSERT_TRUE(rows.Open(source, note)) << note.Last().Description;
        ASSERT_TRUE(SavePictureRowsAsBitmap(rows, folder.File("upright.bmp"), note));
        const Bytes bmp = ReadBytes(folder.File("upright.bmp"));
        const int w = bmp[18] | bmp[19] << 8, h = bmp[22] | bmp[23] << 8;
        EXPECT_EQ(w, sideways ? 32 : 48);
        EXPECT_EQ(h, sideways ? 48 : 32);
        const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
        EXPECT_EQ(RedQuarter(w, h,
                             [&](int x, int y) {
                                 const std::size_t at = 54 + (h - 1 - y) * stride + x * 3;
                                 return std::array<int, 3>{bmp[at], bmp[at + 1], bmp[at + 2]};
                             }),
                  quarter);

        PictureData data;
        ASSERT_TRUE(data.Read(source, note));
        DecodedPicture preview;
        ASSERT_TRUE(DecodePreview(data, 10, 10, preview, note)); // scaled down, as in the window
        EXPECT_EQ(preview.Width > preview.Height, !sideways) << preview.Width << " x " << preview.Height;
        EXPECT_EQ(
            RedQuarter(
                static_cast<int>(preview.Width), static_cast<int>(preview.Height),
                [&](int x, int y) {
                    const std::size_t at = (static_cast<std::size_t>(y) * preview.Width + x) * 4;
                    return std::array<int, 3>{preview.Bgrx[at], preview.Bgrx[at + 1], preview.Bgrx[at + 2]};
                }),
            quarter);
    }
}

} // namespace
} // namespace brd::test

namespace brd::test {
namespace {

// Windows' JPEG decoder as the program sees it, without a file: a frame of 24-bit pixels that
// records the rows asked of it and, when `scales`, decodes at 1/2, 1/4 or 1/8 of its size too.
class FakeJpegFrame final : public IWICBitmapFrameDecode, public IWICBitmapSourceTransform {
  public:
    FakeJpegFrame(UINT w, UINT h, bool scales) : w_(w), h_(h), scales_(scales) {}
    std::vector<std::pair<INT, INT>> Rows;     // (top, rows) of each CopyPixels of the frame
    std::vector<std::pair<UINT, UINT>> Scaled; // sizes decoded through the transform

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IWICBitmapSource || iid == IID_IWICBitmapFrameDecode)
            *out = static_cast<IWICBitmapFrameDecode*>(this);
        if (iid == kIidSourceTransform && scales_) *out = static_cast<IWICBitmapSourceTransform*>(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override { return *w = w_, *h = h_, S_OK; }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* f) override {
        return *f = GUID_WICPixelFormat24bppBGR, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override { return *x = *y = 96, S_OK; }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* r, UINT, UINT size, BYTE* into) override {
        Rows.emplace_back(r ? r->Y : 0, r ? r->Height : static_cast<INT>(h_));
        return std::fill_n(into, size, BYTE{0x80}), S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect*, UINT w, UINT h, WICPixelFormatGUID*,
                                         WICBitmapTransformOptions, UINT, UINT size, BYTE* into) override {
        Scaled.emplace_back(w, h);
        return std::fill_n(into, size, BYTE{0x80}), S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* w, UINT* h) override {
        for (UINT scale : {8u, 4u, 2u, 1u})
            if ((w_ + scale - 1) / scale >= *w && (h_ + scale - 1) / scale >= *h) {
                *w = (w_ + scale - 1) / scale, *h = (h_ + scale - 1) / scale;
                break;
            }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* f) override {
        return *f = GUID_WICPixelFormat24bppBGR, S_OK;
    }
    HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions t, BOOL* ok) override {
        return *ok = t == WICBitmapTransformRotate0, S_OK;
    }

  private:
    UINT w_, h_;
    bool scales_;
};

TEST(FakeDecoder, AConversionReadsTheFrameTopDownOnceWhateverTheOrientation) {
    TempFolder folder;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        FakeJpegFrame frame(6000, 400, false); // 18,000 bytes a row: bands of 58 rows
        frame.AddRef();
        PictureRows rows;
        rows.Adopt(com_ptr<IWICBitmapSource>::attach(&frame), 6000, 400, orientation, true);
        FailureNote note;
        ASSERT_TRUE(SavePictureRowsAsBitmap(rows, folder.File("tmpFile.bmp"), note)) << orientation;
        INT next = 0;
        for (const auto& [top, count] : frame.Rows)
            EXPECT_EQ(top, std::exchange(next, top + count)) << orientation << ": a band out of turn";
        EXPECT_EQ(next, 400) << orientation;
    }
}

TEST(FakeDecoder, APreviewIsScaledInTheDecoderWhereItCan) {
    struct Case {
        UINT width, height;
        int orientation;
        bool scales;
        UINT previewWidth, previewHeight; // what the preview is decoded to, upright
        std::vector<std::pair<UINT, UINT>> scaled;
    } cases[] = {
        {6000, 4000, 1, true, 750, 500, {{750, 500}}}, // 1/8 is still more than twice the box
        {6000, 4000, 6, true, 500, 750, {{750, 500}}}, // decoded as stored, then turned
        {600, 400, 1, true, 300, 200, {{300, 200}}},   // 1/2 is the nearest at twice the box
        {100, 50, 1, true, 100, 50, {}},               // smaller than the box: decoded whole
        {6000, 4000, 1, false, 210, 140, {}},          // no transform: the rows averaged down
    };
    for (const Case& c : cases) {
        FakeJpegFrame frame(c.width, c.height, c.scales);
        DecodedPicture preview;
        FailureNote note;
        ASSERT_TRUE(DecodePreview(frame, c.orientation, 105, 89, preview, note)) << c.width;
        EXPECT_EQ(std::make_pair(preview.Width, preview.Height),
                  std::make_pair(c.previewWidth, c.previewHeight))
            << c.width << " " << c.orientation;
        EXPECT_EQ(frame.Scaled, c.scaled) << c.width;
    }
}

} // namespace
} // namespace brd::test
