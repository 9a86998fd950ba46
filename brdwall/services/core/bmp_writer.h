#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shared/core/failure.h"

namespace brd {

// File header (14 bytes) and information header (40 bytes) of a Windows bitmap file.
inline constexpr int kBmpHeaderSize = 54;
// The largest bitmap file written, header included.
inline constexpr std::uint64_t kBmpMaxFileSize = std::uint64_t{1} << 31;

// The bytes of one stored row of a 24-bit picture `width` pixels wide: 3 per pixel, padded to a
// multiple of 4. 0 for a width that is not positive.
std::uint64_t BmpRowStride(int width);

// The 54 header bytes of a 24-bit, uncompressed, bottom-up bitmap of `width` x `height` pixels at
// 2835 pixels per metre (72 per inch). Empty when a dimension is not positive or the file would
// be larger than kBmpMaxFileSize.
std::vector<std::uint8_t> BmpHeader(int width, int height);

// Writes a 24-bit bitmap file of `width` x `height` pixels to `path`. `rowBgrx(y)` gives the
// pixels of picture row y, counted from the top (0 to height - 1): `width` pixels of 4 bytes each,
// blue, green, red and one unused byte. Rows are asked for from the bottom up, each once, and the
// pointer is only read until the next call.
//
// The file is written under a temporary name in the same folder and put in place of `path` only
// once complete, so a failure leaves any earlier file at `path` as it was and no partial file.
// Returns false and notes the failure in `note` when the size is refused (nothing is written),
// when a row is missing, or when the file cannot be written or put in place.
bool WriteBmp24(const std::string& path, int width, int height,
                const std::function<const std::uint8_t*(int row)>& rowBgrx, FailureNote& note);

// How the pixels of the rows given to WriteBmp24Rows are laid out: 4 bytes (blue, green, red,
// unused) or 3 bytes (blue, green, red) per pixel.
enum class RowPixels { Bgrx32, Bgr24 };

// The order in which WriteBmp24Rows asks for the rows. A decoder that reads its file front to back
// (Windows' JPEG decoder) must be asked top down: asked for a band above the last one, it may
// decode the picture again from its top.
enum class RowOrder { BottomUp, TopDown };

// WriteBmp24 for rows of either layout, asked for in either order, each once; rows of 3-byte pixels
// are written as they are. Each row goes to its place in the (bottom-up) file, a band at a time.
bool WriteBmp24Rows(const std::string& path, int width, int height, RowPixels layout,
                    const std::function<const std::uint8_t*(int row)>& row, FailureNote& note,
                    RowOrder order = RowOrder::BottomUp);

} // namespace brd
