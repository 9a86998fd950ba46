#include "brdwall/services/picture.h"

#include <wincodec.h>

#include <algorithm>
#include <new>

#include "shared/win/text.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/services/core/bmp_writer.h"
#include "brdwall/services/core/orientation.h"
#include "brdwall/services/core/picture_claim.h"
#include "brdwall/services/core/picture_formats.h"

namespace brd {

namespace {

Failure PictureFailure(const std::string& what) {
    return KnownFailure(kInvalidPicture, what);
}

Failure TooLarge(std::uint64_t width, std::uint64_t height, std::uint32_t frames = 1) {
    std::string text =
        "the picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (frames > 1) text += ", " + std::to_string(frames) + " frames";
    return KnownFailure(kOutOfMemory, text + ")");
}

// A picture file opened for reading, shared with every other reader and writer.
unique_file OpenToRead(const std::string& path) {
    return unique_file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Reads an open file's bytes at any offset, for the header readers.
ByteReader ReaderOf(HANDLE file) {
    return [file](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        return ReadFile(file, into, static_cast<DWORD>(count), &got, &at) ? got : 0;
    };
}

// The failure of a file that could not be opened: not there, its folder not there (a drive away), or
// not to be read (held, refused).
Failure OpenFileFailure(DWORD error) {
    return FileFailure(error == ERROR_FILE_NOT_FOUND   ? kFileNotFound
                       : error == ERROR_PATH_NOT_FOUND ? kPathNotFound
                                                       : kPathFileAccessError);
}

// What the file's headers claim; nothing when it cannot be opened or read (the decoder reports that).
std::optional<PictureClaim> ClaimOf(const PictureData& data) {
    if (data.Bytes) {
        const auto& bytes = *data.Bytes;
        return ReadPictureClaim(
            [&](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
                if (offset >= bytes.size()) return 0;
                const std::size_t n =
                    static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes.size() - offset));
                std::copy_n(bytes.data() + offset, n, into);
                return n;
            });
    }
    const unique_file file = OpenToRead(data.Path);
    if (!file) return std::nullopt;
    return ReadPictureClaim(ReaderOf(file.get()));
}

// The first frame of a picture, its size checked, ready to give rows: 24-bit straight from a JPEG
// decoder, 32-bit through a converter for everything else.
struct OpenedPicture {
    com_ptr<IWICImagingFactory> Factory;
    com_ptr<IWICBitmapFrameDecode> Frame;
    com_ptr<IWICBitmapSource> Source; // the frame itself, or the converter over it
    UINT Width = 0, Height = 0;
    int Orientation = kAsStored;
    bool Bgr24 = false;
};

// Shrinks a `width` x `height` picture of `bytesPerPixel`-byte pixels to `w` x `h` (each no
// larger): every pixel is the average of the pixels it covers, taken from up to four of the rows
// it covers. Only those rows are asked of the source, one at a time, top to bottom.
HRESULT ShrinkRows(IWICBitmapSource& source, UINT width, UINT height, UINT bytesPerPixel, UINT w, UINT h,
                   UINT stride, BYTE* into) {
    constexpr UINT kRowsPerPixel = 4;
    std::vector<BYTE> row;
    std::vector<std::uint32_t> sums;
    std::vector<UINT> firstColumn(w + 1);
    try {
        row.resize(static_cast<std::size_t>(width) * bytesPerPixel);
        sums.resize(static_cast<std::size_t>(w) * 3);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (UINT x = 0; x <= w; ++x)
        firstColumn[x] = static_cast<UINT>(std::uint64_t{x} * width / w);
    for (UINT y = 0; y < h; ++y) {
        const UINT top = static_cast<UINT>(std::uint64_t{y} * height / h);
        const UINT bottom = std::max(top + 1, static_cast<UINT>(std::uint64_t{y + 1} * height / h));
        const UINT taken = std::min(kRowsPerPixel, bottom - top);
        std::fill(sums.begin(), sums.end(), 0u);
        for (UINT i = 0; i < taken; ++i) {
            const UINT sourceRow = top + (bottom - top) * i / taken;
            const WICRect rect{0, static_cast<INT>(sourceRow), static_cast<INT>(width), 1};
            const HRESULT hr = source.CopyPixels(&rect, static_cast<UINT>(row.size()),
                                                 static_cast<UINT>(row.size()), row.data());
            if (FAILED(hr)) return hr;
            for (UINT x = 0; x < w; ++x) {
                std::uint32_t b = 0, g = 0, r = 0;
                const BYTE* px = row.data() + static_cast<std::size_t>(firstColumn[x]) * bytesPerPixel;
                for (UINT c = firstColumn[x]; c < firstColumn[x + 1]; ++c, px += bytesPerPixel) {
                    b += px[0];
                    g += px[1];
                    r += px[2];
                }
                sums[3 * x] += b;
                sums[3 * x + 1] += g;
                sums[3 * x + 2] += r;
            }
        }
        BYTE* out = into + static_cast<std::size_t>(y) * stride;
        for (UINT x = 0; x < w; ++x, out += bytesPerPixel) {
            const std::uint32_t n = taken * (firstColumn[x + 1] - firstColumn[x]);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<BYTE>((sums[3 * x + c] + n / 2) / n);
            if (bytesPerPixel == 4) out[3] = 0;
        }
    }
    return S_OK;
}

bool PrepareFrame(com_ptr<IWICBitmapFrameDecode> frame, int orientation, OpenedPicture& out,
                  FailureNote& note);

bool OpenPicture(const PictureData& data, OpenedPicture& out, FailureNote& note) {
    out = OpenedPicture{};
    // Refused on the size its headers claim: a decoder may decode the whole file before it can be asked.
    const auto claim = ClaimOf(data);
    if (claim && claim->Pixels > kMaxPicturePixels) {
        note.Note(TooLarge(claim->Width, claim->Height, claim->Frames));
        return false;
    }
    com_ptr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.put_void());
    if (FAILED(hr)) {
        note.Note(PictureFailure("the picture decoder is not available"));
        return false;
    }
    com_ptr<IWICBitmapDecoder> decoder;
    if (data.Bytes) {
        // Read from the kept bytes, which outlive the decoder (the caller holds them).
        com_ptr<IWICStream> stream;
        hr = factory->CreateStream(stream.put());
        if (SUCCEEDED(hr))
            hr = stream->InitializeFromMemory(const_cast<BYTE*>(data.Bytes->data()),
                                              static_cast<DWORD>(data.Bytes->size()));
        if (SUCCEEDED(hr))
            hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put());
    } else {
        hr = factory->CreateDecoderFromFilename(Wide(data.Path).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.put());
    }
    if (FAILED(hr)) {
        note.Note(hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                          hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
                      ? FileFailure(kFileNotFound)
                      : PictureFailure("not a " + FormatNames() + " picture"));
        return false;
    }
    com_ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) {
        note.Note(PictureFailure("the file holds no picture"));
        return false;
    }
    out.Factory = std::move(factory);
    return PrepareFrame(std::move(frame), claim ? claim->Orientation : kAsStored, out, note);
}

// The frame's size checked and its rows made ready; a factory is made when `out` has none.
bool PrepareFrame(com_ptr<IWICBitmapFrameDecode> frame, int orientation, OpenedPicture& out,
                  FailureNote& note) {
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
    if (!bgr24 &&
        ((!out.Factory && FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IWICImagingFactory, out.Factory.put_void()))) ||
         FAILED(out.Factory->CreateFormatConverter(converter.put())) ||
         FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                      nullptr, 0.0, WICBitmapPaletteTypeCustom)))) {
        note.Note(PictureFailure("unsupported pixel format"));
        return false;
    }
    out.Source = bgr24 ? com_ptr<IWICBitmapSource>(frame) : com_ptr<IWICBitmapSource>(converter);
    out.Frame = std::move(frame);
    out.Width = w;
    out.Height = h;
    out.Orientation = orientation;
    out.Bgr24 = bgr24;
    return true;
}

} // namespace

bool PictureRows::Open(const std::string& path, FailureNote& note) {
    return Open(PictureData{path, nullptr}, note);
}

bool PictureRows::Open(const PictureData& data, FailureNote& note) {
    Adopt({}, 0, 0, kAsStored, false);
    OpenedPicture opened;
    if (!OpenPicture(data, opened, note)) return false;
    Adopt(std::move(opened.Source), opened.Width, opened.Height, opened.Orientation, opened.Bgr24);
    bytes_ = data.Bytes;
    return true;
}

void PictureRows::Adopt(com_ptr<IWICBitmapSource> source, UINT width, UINT height, int orientation,
                        bool bgr24) {
    bytes_.reset();
    source_ = std::move(source);
    width_ = width;
    height_ = height;
    orientation_ = orientation;
    bgr24_ = bgr24;
    damaged_ = false;
    bandTop_ = bandRows_ = 0;
}

Failure PictureRows::DamagedDataFailure() {
    return PictureFailure("the picture data is damaged");
}

const std::uint8_t* PictureRows::Row(UINT y) {
    if (damaged_ || y >= height_ || !source_) return nullptr;
    const UINT stride = width_ * (bgr24_ ? 3 : 4);
    if (y < bandTop_ || y >= bandTop_ + bandRows_) {
        // About a megabyte of rows, reaching up from y when reading upwards and down otherwise; never
        // a row asked for again, which a decoder that reads its file front to back may have to
        // decode again from the top.
        const UINT most = std::clamp<UINT>((1u << 20) / stride, 1, height_);
        const bool upwards = y < bandTop_;
        const UINT top = upwards ? (y + 1 >= most ? y + 1 - most : 0) : y;
        const UINT band = upwards ? y + 1 - top : std::min(most, height_ - y);
        try {
            band_.resize(static_cast<std::size_t>(stride) * band);
        } catch (const std::bad_alloc&) {
            damaged_ = true;
            return nullptr;
        }
        const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width_), static_cast<INT>(band)};
        if (FAILED(source_->CopyPixels(&rect, stride, stride * band, band_.data()))) {
            damaged_ = true;
            bandRows_ = 0;
            return nullptr;
        }
        bandTop_ = top;
        bandRows_ = band;
    }
    return band_.data() + static_cast<std::size_t>(y - bandTop_) * stride;
}

bool PictureData::Read(const std::string& path, FailureNote& note) {
    Path = path;
    Bytes.reset();
    // Not shared with a writer: the bytes kept must be the whole of one version of the file.
    const unique_file file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        note.Note(OpenFileFailure(GetLastError()));
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        note.Note(FileFailure(kPathFileAccessError));
        return false;
    }
    // A file too large to keep is read again, from its path, when it is used.
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxKeptBytes) return true;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    try {
        bytes->resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return true;
    }
    DWORD got = 0;
    if (!bytes->empty() &&
        (!ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) ||
         got != bytes->size())) {
        note.Note(FileFailure(kDeviceIoError));
        return false;
    }
    Bytes = std::move(bytes);
    return true;
}

namespace {

bool DecodeOpened(OpenedPicture& p, int width, int height, DecodedPicture& out, FailureNote& note);

} // namespace

bool DecodePreview(const PictureData& data, int width, int height, DecodedPicture& out, FailureNote& note) {
    out = DecodedPicture{};
    OpenedPicture p;
    return OpenPicture(data, p, note) && DecodeOpened(p, width, height, out, note);
}

bool DecodePreview(IWICBitmapFrameDecode& frame, int orientation, int width, int height, DecodedPicture& out,
                   FailureNote& note) {
    out = DecodedPicture{};
    OpenedPicture p;
    frame.AddRef();
    return PrepareFrame(com_ptr<IWICBitmapFrameDecode>::attach(&frame), orientation, p, note) &&
           DecodeOpened(p, width, height, out, note);
}

namespace {

bool DecodeOpened(OpenedPicture& p, int width, int height, DecodedPicture& out, FailureNote& note) {
    // The size that fits the box upright, doubled so that the last step can smooth it, in the
    // stored orientation.
    const bool swapped = SwapsSides(p.Orientation);
    const double uprightW = swapped ? p.Height : p.Width, uprightH = swapped ? p.Width : p.Height;
    const double scale =
        std::min({1.0, 2.0 * std::max(width, 1) / uprightW, 2.0 * std::max(height, 1) / uprightH});
    const UINT fitW = std::max(1u, static_cast<UINT>(p.Width * scale + 0.5));
    const UINT fitH = std::max(1u, static_cast<UINT>(p.Height * scale + 0.5));
    UINT w = fitW, h = fitH;

    std::vector<std::uint8_t> pixels;
    UINT bytesPerPixel = p.Bgr24 ? 3 : 4;
    const auto copy = [&](auto&& copyPixels) {
        const UINT stride = w * bytesPerPixel;
        try {
            pixels.resize(static_cast<std::size_t>(stride) * h);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return SUCCEEDED(copyPixels(stride, static_cast<UINT>(pixels.size()), pixels.data()));
    };
    bool decoded = false;
    if (w < p.Width || h < p.Height) {
        // A decoder that scales as it decodes (JPEG by 1/2, 1/4, 1/8) does least work.
        com_ptr<IWICBitmapSourceTransform> transform;
        WICPixelFormatGUID format = p.Bgr24 ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat32bppBGR;
        UINT tw = w, th = h;
        if (SUCCEEDED(p.Frame->QueryInterface(kIidSourceTransform, transform.put_void())) &&
            SUCCEEDED(transform->GetClosestSize(&tw, &th)) && tw * 2 >= w && th * 2 >= h && tw <= p.Width &&
            th <= p.Height && SUCCEEDED(transform->GetClosestPixelFormat(&format)) &&
            (format == GUID_WICPixelFormat24bppBGR || format == GUID_WICPixelFormat32bppBGR)) {
            w = tw;
            h = th;
            bytesPerPixel = format == GUID_WICPixelFormat24bppBGR ? 3 : 4;
            decoded = copy([&](UINT stride, UINT size, BYTE* into) {
                return transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride, size,
                                             into);
            });
        }
        if (!decoded) {
            // Otherwise the rows are averaged down as the decoder gives them (a scaler of the
            // imaging component may copy the whole picture first).
            w = fitW;
            h = fitH;
            bytesPerPixel = p.Bgr24 ? 3 : 4;
            decoded = copy([&](UINT stride, UINT, BYTE* into) {
                return ShrinkRows(*p.Source.get(), p.Width, p.Height, bytesPerPixel, w, h, stride, into);
            });
        }
    } else {
        decoded = copy([&](UINT stride, UINT size, BYTE* into) {
            return p.Source->CopyPixels(nullptr, stride, size, into);
        });
    }
    if (!decoded) {
        note.Note(PictureRows::DamagedDataFailure());
        return false;
    }
    // Upright, with four bytes a pixel.
    const std::size_t stride = static_cast<std::size_t>(w) * bytesPerPixel;
    UprightRows upright(p.Orientation, static_cast<int>(w), static_cast<int>(h),
                        static_cast<int>(bytesPerPixel),
                        [&](int row) { return pixels.data() + stride * static_cast<std::size_t>(row); });
    out.Width = static_cast<UINT>(upright.Width());
    out.Height = static_cast<UINT>(upright.Height());
    out.Bgrx.resize(static_cast<std::size_t>(out.Width) * out.Height * 4);
    for (int y = 0; y < upright.Height(); ++y) {
        const std::uint8_t* s = upright.Row(y);
        if (!s) {
            out = DecodedPicture{};
            note.Note(KnownFailure(kOutOfMemory));
            return false;
        }
        std::uint8_t* t = out.Bgrx.data() + static_cast<std::size_t>(y) * out.Width * 4;
        for (UINT x = 0; x < out.Width; ++x, s += bytesPerPixel, t += 4) {
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
            t[3] = 0;
        }
    }
    return true;
}

} // namespace

bool SavePictureRowsAsBitmap(PictureRows& picture, const std::string& path, FailureNote& note) {
    if (picture.Width() == 0 || picture.Height() == 0) {
        note.Note(PictureFailure("no picture"));
        return false;
    }
    UprightRows upright(picture.Orientation(), static_cast<int>(picture.Width()),
                        static_cast<int>(picture.Height()), picture.Bgr24() ? 3 : 4,
                        [&](int row) { return picture.Row(static_cast<UINT>(row)); });
    // The decoder is asked for its rows top down, in one pass, whatever the orientation: a photo
    // turned half round or flipped gives its upright rows bottom up.
    const bool written = WriteBmp24Rows(
        path, upright.Width(), upright.Height(), picture.Bgr24() ? RowPixels::Bgr24 : RowPixels::Bgrx32,
        [&](int row) { return upright.Row(row); }, note,
        TurnsUpsideDown(picture.Orientation()) ? RowOrder::BottomUp : RowOrder::TopDown);
    if (!written && picture.DamagedData()) note.Note(PictureRows::DamagedDataFailure());
    return written;
}

bool SavePictureAsBitmap(const DecodedPicture& picture, const std::string& path, FailureNote& note) {
    if (picture.Width == 0 || picture.Height == 0) {
        note.Note(PictureFailure("no picture"));
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(picture.Width) * 4;
    return WriteBmp24(
        path, static_cast<int>(picture.Width), static_cast<int>(picture.Height),
        [&](int row) { return picture.Bgrx.data() + stride * static_cast<std::size_t>(row); }, note);
}

unique_hbitmap MakePreview(const DecodedPicture& picture, int width, int height) {
    if (picture.Width == 0 || picture.Height == 0 || width <= 0 || height <= 0) return {};
    const double scale = std::min(
        {1.0, static_cast<double>(width) / picture.Width, static_cast<double>(height) / picture.Height});
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
    StretchDIBits(dc.get(), 0, 0, w, h, 0, 0, static_cast<int>(picture.Width),
                  static_cast<int>(picture.Height), picture.Bgrx.data(), &src, DIB_RGB_COLORS, SRCCOPY);
    return bitmap;
}

std::string WriteConvertedPicture(const std::string& windowsFolder,
                                  const std::function<bool(const std::string&, FailureNote&)>& save,
                                  const std::function<bool()>& damaged, FailureNote& note) {
    const std::string inWindows = windowsFolder + "\\" + kConvertedPictureName;
    if (save(inWindows, note)) return inWindows;
    // A standard user may not write into the Windows folder: the user's own folder. A picture that
    // cannot be decoded fails there as well.
    const std::string own = damaged() ? std::string() : UserPictureFolder();
    if (own.empty()) return {};
    FailureNote second;
    const std::string inOwn = own + "\\" + kConvertedPictureName;
    if (save(inOwn, second)) return inOwn;
    note = second;
    return {};
}

bool PictureOfBitmap(HBITMAP bitmap, DecodedPicture& out, FailureNote& note) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        note.Note(PictureFailure("no picture"));
        return false;
    }
    out.Width = static_cast<UINT>(bm.bmWidth);
    out.Height = static_cast<UINT>(bm.bmHeight);
    out.Bgrx.resize(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight * 4);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(window_dc().get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), out.Bgrx.data(), &info,
                  DIB_RGB_COLORS) > 0)
        return true;
    note.Note(PictureFailure("the picture cannot be read"));
    return false;
}

bool ShowableBitmap(const std::string& path, FailureNote& note) {
    const unique_file file = OpenToRead(path);
    if (!file) {
        note.Note(OpenFileFailure(GetLastError()));
        return false;
    }
    const ByteReader read = ReaderOf(file.get());
    std::uint8_t magic[2] = {};
    const bool bitmap = read(0, magic, 2) == 2 && magic[0] == 'B' && magic[1] == 'M';
    const auto claim = bitmap ? ReadBitmapClaim(read) : std::nullopt;
    if (!claim || claim->Pixels == 0) {
        note.Note(PictureFailure("not a bitmap"));
        return false;
    }
    return true;
}

bool ApplyWallpaper(const std::string& path) {
    // An empty string, not a null pointer, removes the wallpaper.
    std::wstring wide = Wide(path);
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(),
                                 SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE;
}

} // namespace brd
