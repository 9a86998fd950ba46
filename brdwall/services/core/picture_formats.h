// The picture formats the program takes, one line each. The search lists the files of each
// format's ending, the kind rule decides by a name's ending, the header check reads what a file
// of the format claims before it is decoded, and the decoder names the formats when a file is
// none of them. A new format is a new line here, with its header reader and its tests.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "brdwall/services/core/picture_claim.h"

namespace brd {

// How a list entry's file is applied to the desktop.
enum class PictureKind {
    Bitmap,  // applied from where it lies
    Convert, // converted into the bitmap tmpFile.bmp first, which is applied
    Never,   // never applied
};

struct PictureFormat {
    std::string_view Ending; // the last three characters of a file name, lower case
    std::string_view Name;   // as a message names it
    PictureKind Kind;
    std::string_view Magic; // what every file of the format begins with
    std::optional<PictureClaim> (*ReadClaim)(const ByteReader& read);
};

// In the order the search lists them.
inline constexpr std::array<PictureFormat, 3> kPictureFormats = {{
    {"bmp", "BMP", PictureKind::Bitmap, "BM", &ReadBitmapClaim},
    {"gif", "GIF", PictureKind::Convert, "GIF8", &ReadGifClaim},
    {"jpg", "JPEG", PictureKind::Convert, "\xFF\xD8", &ReadJpegClaim},
}};

// The format whose ending the name has (its last three characters, without regard to case), or
// null: a name ending ".jpeg" is of no format.
[[nodiscard]] const PictureFormat* FormatOfName(std::string_view name) noexcept;

// The format whose first bytes `start` begins with, or null.
[[nodiscard]] const PictureFormat* FormatOfContent(std::string_view start) noexcept;

// The formats' names for a message: "BMP, GIF or JPEG".
[[nodiscard]] std::string FormatNames();

} // namespace brd
