// Pictures: BMP, GIF and JPEG files decoded to 32-bit pixels, previews, and
// saving as a 24-bit Windows bitmap file.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <string>
#include <vector>

#include "brdsave/core/failure.h"
#include "brdwall/shared/handles.h"

namespace brd {

struct DecodedPicture {
    UINT Width = 0;
    UINT Height = 0;
    std::vector<std::uint8_t> Bgrx; // top-down rows of Width * 4 bytes
};

// The largest picture the program decodes, in pixels; bigger ones are refused
// with a failure rather than exhausting memory.
inline constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

// The first frame of a BMP, GIF or JPEG file, decoded a band of rows at a time, so that a big
// picture is never held twice.
class PictureRows {
public:
    PictureRows() = default;
    PictureRows(const PictureRows&) = delete;
    PictureRows& operator=(const PictureRows&) = delete;

    // Opens the file and checks its size (headers first, then the decoder's word). On failure
    // notes why and returns false.
    bool Open(const std::string& path, FailureNote& note);

    [[nodiscard]] UINT Width() const noexcept { return width_; }
    [[nodiscard]] UINT Height() const noexcept { return height_; }
    // 3 bytes (blue, green, red) per pixel when true, else 4 (blue, green, red, unused).
    [[nodiscard]] bool Bgr24() const noexcept { return bgr24_; }
    // Row y, counted from the top; valid until the next call. Null when the picture data cannot
    // be decoded, which DamagedData() then tells.
    const std::uint8_t* Row(UINT y);
    [[nodiscard]] bool DamagedData() const noexcept { return damaged_; }
    [[nodiscard]] static Failure DamagedDataFailure();

private:
    com_ptr<IWICBitmapFrameDecode> frame_;
    com_ptr<IWICFormatConverter> converter_;
    UINT width_ = 0;
    UINT height_ = 0;
    bool bgr24_ = false;
    bool damaged_ = false;
    std::vector<std::uint8_t> band_;
    UINT bandTop_ = 0;
    UINT bandRows_ = 0; // rows held in band_
};

// Decodes the first frame of a BMP, GIF or JPEG file. On failure notes why and returns false.
bool LoadPictureFile(const std::string& path, DecodedPicture& out, FailureNote& note);

// Writes an opened picture as a 24-bit bitmap file, replacing the file only when the new one is
// complete. A failure to decode is noted as such (DamagedData() is then true).
bool SavePictureRowsAsBitmap(PictureRows& picture, const std::string& path, FailureNote& note);

// Writes the picture as a 24-bit bitmap file, replacing the file only when the new one is complete.
bool SavePictureAsBitmap(const DecodedPicture& picture, const std::string& path, FailureNote& note);

// A bitmap of the picture scaled to fit within width x height, keeping its proportions.
unique_hbitmap MakePreview(const DecodedPicture& picture, int width, int height);

// Sets or removes (empty path) the desktop wallpaper; the profile is updated and every window told.
bool ApplyWallpaper(const std::string& path);

} // namespace brd
