// Writing the wallpaper list file: one quoted entry per line, CR LF after each.
#pragma once

#include <string>
#include <vector>

#include "shared/core/failure.h"

namespace brd {

// The bytes of the list file for these entries (an empty list gives no bytes).
std::string ListFileText(const std::vector<std::string>& entries);

// Writes the list file. The new list goes to a temporary file in the same folder first and
// replaces the old file only once complete, so a failure leaves the old file exactly as it was.
// Returns false and notes the failure when the file could not be written or replaced.
bool WriteListFile(const std::string& path, const std::vector<std::string>& entries, FailureNote& note);

} // namespace brd
