// File questions both deliverables ask of the system.
#pragma once

#include <string>

namespace brd {

// True when `path` (UTF-8) names an ordinary file: what a directory search for exactly that path
// among normal files finds (read-only and archive files count; hidden and system files, folders
// and names with wildcards do not). Read from the file's attributes alone: a search reads the
// whole folder, which costs far more in a large one.
[[nodiscard]] bool FileExists(const std::string& path);

} // namespace brd
