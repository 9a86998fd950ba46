#include "brdwall/services/core/picture_formats.h"

namespace brd {

namespace {

char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

const PictureFormat* FormatOfName(std::string_view name) noexcept {
    if (name.size() < 3) return nullptr;
    const std::string_view tail = name.substr(name.size() - 3);
    for (const PictureFormat& format : kPictureFormats) {
        bool same = true;
        for (std::size_t i = 0; i < 3; ++i)
            same = same && LowerAscii(tail[i]) == format.Ending[i];
        if (same) return &format;
    }
    return nullptr;
}

const PictureFormat* FormatOfContent(std::string_view start) noexcept {
    for (const PictureFormat& format : kPictureFormats)
        if (start.starts_with(format.Magic)) return &format;
    return nullptr;
}

std::string FormatNames() {
    std::string names;
    for (std::size_t i = 0; i < kPictureFormats.size(); ++i) {
        if (i > 0) names += i + 1 == kPictureFormats.size() ? " or " : ", ";
        names += kPictureFormats[i].Name;
    }
    return names;
}

} // namespace brd
