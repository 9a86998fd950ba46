#include "brdwall/shared/picture.h"

#include <wincodec.h>

#include <algorithm>
#include <new>

#include "brdsave/win/text.h"
#include "brdwall/shared/core/bmp_writer.h"
#include "brdwall/shared/core/picture_claim.h"

namespace brd {

namespace {

Failure PictureFailure(const std::string& what) { return Failure{481, "Invalid picture: " + what}; }

Failure TooLarge(std::uint64_t width, std::uint64_t height, std::uint32_t frames = 1) {
    std::string text = "Out of memory: the picture is too large (" + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels";
    if (frames > 1) text += ", " + std::to_string(frames) + " frames";
    return Failure{7, text + ")"};
}

// What the file's headers claim; nothing when it cannot be opened or read (the decoder reports that).
std::optional<PictureClaim> ClaimOfFile(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    const unique_kernel_handle file(h);
    return ReadPictureClaim([&](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(file.get(), into, static_cast<DWORD>(count), &got, &at)) return 0;
        return got;
    });
}

} // namespace

bool PictureRows::Open(const std::string& path, FailureNote& note) {
    frame_.reset();
    converter_.reset();
    width_ = height_ = bandTop_ = bandRows_ = 0;
    bgr24_ = damaged_ = false;
    const std::wstring widePath = Wide(path);
    // Refused on the size its headers claim: a decoder may decode the whole file before it can be asked.
    if (const auto claim = ClaimOfFile(widePath); claim && claim->Pixels > kMaxPicturePixels) {
        note.Note(TooLarge(claim->Width, claim->Height, claim->Frames));
        return false;
    }
    com_ptr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.put_void());
    if (FAILED(hr)) {
        note.Note(PictureFailure("the picture decoder is not available"));
        return false;
    }
    com_ptr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                            WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(hr)) {
        note.Note(hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
                      ? FileFailure(53)
                      : PictureFailure("not a BMP, GIF or JPEG picture"));
        return false;
    }
    com_ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) {
        note.Note(PictureFailure("the file holds no picture"));
        return false;
    }
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0) {
        note.Note(PictureFailure("the picture has no size"));
        return false;
    }
    if (static_cast<std::uint64_t>(w) * h > kMaxPicturePixels) {
        note.Note(TooLarge(w, h));
        return false;
    }
    // JPEG frames are 24bppBGR: their rows are taken as they are. Other formats go through the
    // 32-bit converter (8-bit GIF pictures do not convert straight to 24 bits everywhere). The
    // converter comes from the factory, so that the imaging library is loaded with the first
    // picture rather than at program start.
    WICPixelFormatGUID format{};
    const bool bgr24 = SUCCEEDED(frame->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR;
    com_ptr<IWICFormatConverter> converter;
    if (!bgr24 && (FAILED(factory->CreateFormatConverter(converter.put())) ||
                   FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                                nullptr, 0.0, WICBitmapPaletteTypeCustom)))) {
        note.Note(PictureFailure("unsupported pixel format"));
        return false;
    }
    frame_ = std::move(frame);
    converter_ = std::move(converter);
    width_ = w;
    height_ = h;
    bgr24_ = bgr24;
    return true;
}

Failure PictureRows::DamagedDataFailure() { return PictureFailure("the picture data is damaged"); }

const std::uint8_t* PictureRows::Row(UINT y) {
    if (damaged_ || y >= height_ || !frame_) return nullptr;
    const UINT stride = width_ * (bgr24_ ? 3 : 4);
    if (y < bandTop_ || y >= bandTop_ + bandRows_) {
        // About a megabyte of rows, reaching up from y when reading upwards and down otherwise.
        const UINT band = std::clamp<UINT>((1u << 20) / stride, 1, height_);
        const UINT top = y < bandTop_ ? (y + 1 >= band ? y + 1 - band : 0) : std::min(y, height_ - band);
        try {
            band_.resize(static_cast<std::size_t>(stride) * band);
        } catch (const std::bad_alloc&) {
            damaged_ = true;
            return nullptr;
        }
        const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width_), static_cast<INT>(band)};
        IWICBitmapSource* source = converter_ ? static_cast<IWICBitmapSource*>(converter_.get())
                                              : static_cast<IWICBitmapSource*>(frame_.get());
        if (FAILED(source->CopyPixels(&rect, stride, stride * band, band_.data()))) {
            damaged_ = true;
            bandRows_ = 0;
            return nullptr;
        }
        bandTop_ = top;
        bandRows_ = band;
    }
    return band_.data() + static_cast<std::size_t>(y - bandTop_) * stride;
}

bool LoadPictureFile(const std::string& path, DecodedPicture& out, FailureNote& note) {
    out = DecodedPicture{};
    PictureRows rows;
    if (!rows.Open(path, note)) return false;
    const UINT w = rows.Width(), h = rows.Height();
    try {
        out.Bgrx.resize(static_cast<std::size_t>(w) * h * 4);
    } catch (const std::bad_alloc&) {
        out = DecodedPicture{};
        note.Note(Failure{7, "Out of memory"});
        return false;
    }
    for (UINT y = 0; y < h; ++y) {
        const std::uint8_t* s = rows.Row(y);
        if (!s) {
            out = DecodedPicture{};
            note.Note(PictureRows::DamagedDataFailure());
            return false;
        }
        std::uint8_t* t = out.Bgrx.data() + static_cast<std::size_t>(y) * w * 4;
        if (rows.Bgr24()) {
            for (UINT x = 0; x < w; ++x, s += 3, t += 4) {
                t[0] = s[0];
                t[1] = s[1];
                t[2] = s[2];
            }
        } else {
            std::copy(s, s + static_cast<std::size_t>(w) * 4, t);
        }
    }
    out.Width = w;
    out.Height = h;
    return true;
}

bool SavePictureRowsAsBitmap(PictureRows& picture, const std::string& path, FailureNote& note) {
    if (picture.Width() == 0 || picture.Height() == 0) {
        note.Note(PictureFailure("no picture"));
        return false;
    }
    const bool written =
        WriteBmp24Rows(path, static_cast<int>(picture.Width()), static_cast<int>(picture.Height()),
                       picture.Bgr24() ? RowPixels::Bgr24 : RowPixels::Bgrx32,
                       [&](int row) { return picture.Row(static_cast<UINT>(row)); }, note);
    if (!written && picture.DamagedData()) note.Note(PictureRows::DamagedDataFailure());
    return written;
}

bool SavePictureAsBitmap(const DecodedPicture& picture, const std::string& path, FailureNote& note) {
    if (picture.Width == 0 || picture.Height == 0) {
        note.Note(PictureFailure("no picture"));
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(picture.Width) * 4;
    return WriteBmp24(path, static_cast<int>(picture.Width), static_cast<int>(picture.Height),
                      [&](int row) { return picture.Bgrx.data() + stride * static_cast<std::size_t>(row); }, note);
}

unique_hbitmap MakePreview(const DecodedPicture& picture, int width, int height) {
    if (picture.Width == 0 || picture.Height == 0 || width <= 0 || height <= 0) return {};
    const double scale = std::min({1.0, static_cast<double>(width) / picture.Width,
                                   static_cast<double>(height) / picture.Height});
    const int w = std::max(1, static_cast<int>(picture.Width * scale + 0.5));
    const int h = std::max(1, static_cast<int>(picture.Height * scale + 0.5));

    BITMAPINFO src{};
    src.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    src.bmiHeader.biWidth = static_cast<LONG>(picture.Width);
    src.bmiHeader.biHeight = -static_cast<LONG>(picture.Height); // top-down
    src.bmiHeader.biPlanes = 1;
    src.bmiHeader.biBitCount = 32;
    src.bmiHeader.biCompression = BI_RGB;

    const window_dc screen;
    unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    const unique_hdc dc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc) return {};
    const selected_object target(dc.get(), bitmap.get());
    SetStretchBltMode(dc.get(), HALFTONE);
    SetBrushOrgEx(dc.get(), 0, 0, nullptr);
    StretchDIBits(dc.get(), 0, 0, w, h, 0, 0, static_cast<int>(picture.Width), static_cast<int>(picture.Height),
                  picture.Bgrx.data(), &src, DIB_RGB_COLORS, SRCCOPY);
    return bitmap;
}

bool ApplyWallpaper(const std::string& path) {
    // An empty string, not a null pointer, removes the wallpaper.
    std::wstring wide = Wide(path);
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) !=
           FALSE;
}

} // namespace brd
