// What a look at a file finds, for a program whose files may lie on drives that come and go.
#pragma once

namespace brd {

// Only a file missing from a folder that is there is gone. A folder that cannot be reached (a drive
// not plugged in, a share not yet mapped) or a file that cannot be read at the moment (locked,
// offline) says nothing about whether the file is still wanted.
enum class FileState { Present, Gone, Unreachable };

} // namespace brd
