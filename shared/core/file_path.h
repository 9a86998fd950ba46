// Files are named by UTF-8 paths everywhere in the code. On Windows they are opened by their wide
// names, so that a name in any script works whatever the system's code page, and in whichever
// process the library runs.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace brd {

// The path that a UTF-8 path names; empty when `utf8Path` is not UTF-8 (no file has such a name).
[[nodiscard]] std::filesystem::path FilePath(std::string_view utf8Path);

// std::fopen for a UTF-8 path; null (with errno set) when the file cannot be opened.
[[nodiscard]] std::FILE* OpenFile(std::string_view utf8Path, const char* mode);

} // namespace brd
