// The one place where text changes form, for both deliverables: between the platform's wide
// strings, the UTF-8 that the code keeps and the files hold, and the legacy ANSI code page in which
// earlier versions wrote their files.
#pragma once

#include <string>
#include <string_view>

namespace brd {

// The wide form of `text`. UTF-8 is read as UTF-8; anything else comes from a file an earlier
// version wrote, and is read in the system's legacy ANSI code page (whatever code page the calling
// process runs with).
[[nodiscard]] std::wstring Wide(std::string_view text);

// The UTF-8 form of wide text. A lone surrogate (no character) becomes U+FFFD.
[[nodiscard]] std::string Utf8(std::wstring_view text);

// Text read from a file, in UTF-8: UTF-8 as it is, legacy bytes converted.
[[nodiscard]] std::string Utf8FromFile(std::string_view text);

} // namespace brd
