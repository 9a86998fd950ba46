// Pictures: BMP, GIF and JPEG files decoded to 32-bit pixels, previews, and
// saving as a 24-bit Windows bitmap file.
#pragma once

#include <windows.h>

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

// Decodes the first frame of a BMP, GIF or JPEG file. On failure notes why and returns false.
bool LoadPictureFile(const std::string& path, DecodedPicture& out, FailureNote& note);

// Writes the picture as a 24-bit bitmap file, replacing the file only when the new one is complete.
bool SavePictureAsBitmap(const DecodedPicture& picture, const std::string& path, FailureNote& note);

// A bitmap of the picture scaled to fit within width x height, keeping its proportions.
unique_hbitmap MakePreview(const DecodedPicture& picture, int width, int height);

// Sets or removes (empty path) the desktop wallpaper; the profile is updated and every window told.
bool ApplyWallpaper(const std::string& path);

} // namespace brd
