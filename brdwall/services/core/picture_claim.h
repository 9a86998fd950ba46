// The size a BMP, GIF or JPEG file claims in its own headers, read before a decoder is given the
// file: a decoder may allocate, and even decode, everything the file claims before its size can
// be asked, which freezes the program on a picture that is refused anyway.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace brd {

struct PictureClaim {
    std::uint32_t Width = 0; // of the first frame
    std::uint32_t Height = 0;
    std::uint32_t Frames = 0; // more than one only for an animated GIF
    std::uint64_t Pixels = 0; // of all frames together: what a decoder may hold at once
    int Orientation = 1;      // a JPEG's Exif orientation tag (1 to 8); 1, as stored, without one
};

// Reads up to `count` bytes at `offset` into `into`; returns how many it read (fewer at the end
// of the file or on a failure).
using ByteReader = std::function<std::size_t(std::uint64_t offset, std::uint8_t* into, std::size_t count)>;

// What the file's headers claim, or nothing when the file is none of the three kinds, or its
// headers are damaged or give no size before the picture data (a decoder then decides). Reads
// the file front to back, skipping what it does not need; each byte at most once. A JPEG's
// orientation comes from the Exif segment before its frame header; a missing, damaged or
// out-of-range tag gives 1.
std::optional<PictureClaim> ReadPictureClaim(const ByteReader& read);

// The header readers of the formats (see picture_formats.h): what a file of that format claims, or
// nothing when its headers are damaged or give no size before the picture data.
std::optional<PictureClaim> ReadBitmapClaim(const ByteReader& read);
std::optional<PictureClaim> ReadGifClaim(const ByteReader& read);
std::optional<PictureClaim> ReadJpegClaim(const ByteReader& read);

} // namespace brd
