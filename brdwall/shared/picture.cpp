#include "brdwall/shared/picture.h"

#include <wincodec.h>

#include <algorithm>
#include <new>

#include "brdwall/shared/core/bmp_writer.h"
#include "brdwall/shared/core/picture_claim.h"

namespace brd {

namespace {

Failure PictureFailure(const std::string& what) { return Failure{481, "Invalid picture: " + what}; }

std::wstring WidePath(const std::string& path) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, w.data(), n);
    w.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
    return w;
}

// Copies a 24bppBGR source into top-down rows of 4 bytes per pixel, a band of rows at a time,
// so that no full-size intermediate copy of the picture is made.
HRESULT CopyBgrAsBgrx(IWICBitmapSource& source, UINT width, UINT height, std::uint8_t* bgrx) {
    const UINT stride = width * 3;
    const UINT band = std::clamp<UINT>((1u << 20) / stride, 1, height);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * band);
    for (UINT y = 0; y < height; y += band) {
        const UINT count = std::min(band, height - y);
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(count)};
        const HRESULT hr = source.CopyPixels(&rect, stride, stride * count, rows.data());
        if (FAILED(hr)) return hr;
        const std::uint8_t* s = rows.data();
        std::uint8_t* t = bgrx + static_cast<std::size_t>(y) * width * 4;
        for (std::size_t i = 0, n = static_cast<std::size_t>(count) * width; i < n; ++i, s += 3, t += 4) {
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
        }
    }
    return S_OK;
}

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

bool LoadPictureFile(const std::string& path, DecodedPicture& out, FailureNote& note) {
    out = DecodedPicture{};
    const std::wstring widePath = WidePath(path);
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
    // JPEG frames are 24bppBGR: their rows are widened here, band by band. Other formats go through
    // the 32-bit converter (8-bit GIF pictures do not convert straight to 24 bits everywhere).
    WICPixelFormatGUID format{};
    const bool bgr24 = SUCCEEDED(frame->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR;
    // The converter comes from the factory, so that the imaging library is loaded with the first
    // picture rather than at program start.
    com_ptr<IWICFormatConverter> bgrx;
    if (!bgr24 && (FAILED(factory->CreateFormatConverter(bgrx.put())) ||
                   FAILED(bgrx->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                                           0.0, WICBitmapPaletteTypeCustom)))) {
        note.Note(PictureFailure("unsupported pixel format"));
        return false;
    }
    try {
        out.Bgrx.resize(static_cast<std::size_t>(w) * h * 4);
    } catch (const std::bad_alloc&) {
        out = DecodedPicture{};
        note.Note(Failure{7, "Out of memory"});
        return false;
    }
    try {
        hr = bgr24 ? CopyBgrAsBgrx(*frame.get(), w, h, out.Bgrx.data())
                   : bgrx->CopyPixels(nullptr, w * 4, static_cast<UINT>(out.Bgrx.size()), out.Bgrx.data());
    } catch (const std::bad_alloc&) {
        out = DecodedPicture{};
        note.Note(Failure{7, "Out of memory"});
        return false;
    }
    if (FAILED(hr)) {
        out = DecodedPicture{};
        note.Note(PictureFailure("the picture data is damaged"));
        return false;
    }
    out.Width = w;
    out.Height = h;
    return true;
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

    HDC screen = GetDC(nullptr);
    unique_hbitmap bitmap(CreateCompatibleBitmap(screen, w, h));
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, 0, 0, w, h, 0, 0, static_cast<int>(picture.Width), static_cast<int>(picture.Height),
                  picture.Bgrx.data(), &src, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

bool ApplyWallpaper(const std::string& path) {
    // An empty string, not a null pointer, removes the wallpaper.
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()),
                                 SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE;
}

} // namespace brd
