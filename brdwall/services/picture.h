// Pictures: BMP, GIF and JPEG files decoded to 32-bit pixels, previews, and
// saving as a 24-bit Windows bitmap file.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shared/core/failure.h"
#include "shared/win/handles.h"

// A decoder that scales (and turns) as it decodes: Windows' JPEG decoder offers it. Declared here
// where the compiler's headers lack it; it is part of the imaging component since Windows Vista.
#ifndef __IWICBitmapSourceTransform_INTERFACE_DEFINED__
struct IWICBitmapSourceTransform : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format,
                                                 WICBitmapTransformOptions transform, UINT stride, UINT size,
                                                 BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                           BOOL* supported) = 0;
};
#endif

namespace brd {

inline constexpr IID kIidSourceTransform = {
    0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

struct DecodedPicture {
    UINT Width = 0;
    UINT Height = 0;
    std::vector<std::uint8_t> Bgrx; // top-down rows of Width * 4 bytes
};

// The largest picture the program decodes, in pixels; bigger ones are refused
// with a failure rather than exhausting memory.
inline constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

// A picture file as it was read: its bytes, kept so that what a preview showed can be written later
// even when the file has changed or gone meanwhile. A file too large to keep (a bitmap of hundreds
// of megabytes) is named by its path only, and read again when it is used.
struct PictureData {
    std::string Path;
    std::shared_ptr<const std::vector<std::uint8_t>> Bytes; // null: read from Path

    // The largest file kept in memory.
    static constexpr std::uint64_t kMaxKeptBytes = 64ull << 20;
    // Reads the file; false (with the failure noted) when it cannot be read.
    bool Read(const std::string& path, FailureNote& note);
};

// The first frame of a BMP, GIF or JPEG file, decoded a band of rows at a time, so that a big
// picture is never held twice.
class PictureRows {
  public:
    PictureRows() = default;
    PictureRows(const PictureRows&) = delete;
    PictureRows& operator=(const PictureRows&) = delete;

    // Opens the file, or the kept bytes, and checks its size (headers first, then the decoder's
    // word). On failure notes why and returns false.
    bool Open(const std::string& path, FailureNote& note);
    bool Open(const PictureData& data, FailureNote& note);
    // Rows from a source already opened (a decoder's frame of 24-bit or 32-bit pixels, or a
    // stand-in for one), `width` x `height` as stored.
    void Adopt(com_ptr<IWICBitmapSource> source, UINT width, UINT height, int orientation, bool bgr24);

    // The stored size; a photo's orientation tag may turn it (SavePictureRowsAsBitmap does).
    [[nodiscard]] UINT Width() const noexcept { return width_; }
    [[nodiscard]] UINT Height() const noexcept { return height_; }
    // The Exif orientation (1 to 8; 1 as stored).
    [[nodiscard]] int Orientation() const noexcept { return orientation_; }
    // 3 bytes (blue, green, red) per pixel when true, else 4 (blue, green, red, unused).
    [[nodiscard]] bool Bgr24() const noexcept { return bgr24_; }
    // Row y, counted from the top; valid until the next call. Null when the picture data cannot
    // be decoded, which DamagedData() then tells.
    const std::uint8_t* Row(UINT y);
    [[nodiscard]] bool DamagedData() const noexcept { return damaged_; }
    [[nodiscard]] static Failure DamagedDataFailure();

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_; // the memory the decoder reads, if any
    com_ptr<IWICBitmapSource> source_; // gives the rows: the frame, or a converter over it
    UINT width_ = 0;
    UINT height_ = 0;
    int orientation_ = 1;
    bool bgr24_ = false;
    bool damaged_ = false;
    std::vector<std::uint8_t> band_;
    UINT bandTop_ = 0;
    UINT bandRows_ = 0; // rows held in band_
};

// The picture upright (as its orientation tag says), no larger than about twice the size that fits
// width x height: decoded at a reduced size where the decoder can, otherwise scaled as the rows
// come, so that no full-size copy is made. On failure notes why and returns false.
bool DecodePreview(const PictureData& data, int width, int height, DecodedPicture& out, FailureNote& note);
// The same for a frame already opened (a decoder's, or a stand-in for one), with its orientation.
bool DecodePreview(IWICBitmapFrameDecode& frame, int orientation, int width, int height, DecodedPicture& out,
                   FailureNote& note);

// Writes an opened picture, upright, as a 24-bit bitmap file, replacing the file only when the new
// one is complete. Rows go straight from the decoder to the file, except for a photo turned a
// quarter (or mirrored along a diagonal), which is turned in one 24-bit copy of its own size (only
// JPEG photos carry the tag). A failure to decode is noted as such (DamagedData() is then true).
bool SavePictureRowsAsBitmap(PictureRows& picture, const std::string& path, FailureNote& note);

// Writes the picture as a 24-bit bitmap file, replacing the file only when the new one is complete.
bool SavePictureAsBitmap(const DecodedPicture& picture, const std::string& path, FailureNote& note);

// A bitmap of the picture scaled to fit within width x height, keeping its proportions.
unique_hbitmap MakePreview(const DecodedPicture& picture, int width, int height);

// The converted picture's name, in the Windows folder or the user's own.
inline constexpr char kConvertedPictureName[] = "tmpFile.bmp";

// Writes the converted picture through `save`: into `windowsFolder`, or where a standard user may not
// write there, into the user's own folder (UserPictureFolder). `damaged` tells a picture that no folder
// can mend. Returns the path written, or "" with the last failure noted.
std::string WriteConvertedPicture(const std::string& windowsFolder,
                                  const std::function<bool(const std::string&, FailureNote&)>& save,
                                  const std::function<bool()>& damaged, FailureNote& note);

// The pixels of a bitmap shown on the screen (the preview's placeholder picture), top row first.
bool PictureOfBitmap(HBITMAP bitmap, DecodedPicture& out, FailureNote& note);

// Sets or removes (empty path) the desktop wallpaper; the profile is updated and every window told.
bool ApplyWallpaper(const std::string& path);

// Whether the desktop can be given `path`: a file that is there, can be read, and is a bitmap by its
// headers. Windows may leave a black desktop when it is given anything else. Notes why not.
bool ShowableBitmap(const std::string& path, FailureNote& note);

} // namespace brd
