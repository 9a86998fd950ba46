// Platform services the windows rely on: the program's folder, directory
// search, message boxes, the beep and the clock.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "brdwall/runtime/core/clock.h"
#include "brdwall/runtime/core/file_state.h"
#include "brdwall/runtime/form.h"
#include "shared/win/files.h"
#include "shared/win/handles.h"

namespace brd {

// The folder of the running program, without a trailing "\" (except for a root folder).
std::string AppPath();

// The Windows folder, whole, without a trailing backslash.
std::string WindowsDirectory();

// The user's own folder for the program's files that may not go elsewhere (the converted picture
// where the Windows folder cannot be written), made when it is missing; "" when there is none.
std::string UserPictureFolder();

// Attribute masks of the directory search.
enum SearchAttributes : unsigned { SearchNormal = 0, SearchDirectory = 16 };

// Bare names of the entries that match a path pattern, one at a time.
// Mask 0 finds normal files (read-only and archive included, hidden and system
// not); mask 16 finds folders too.
class DirSearch {
  public:
    // The first match, or "" when there is none (or the pattern cannot be searched).
    // A pattern ending in "\" searches that folder's entries, so an existing folder finds ".".
    std::string First(const std::string& pattern, unsigned mask);
    // The next match, or "" at the end.
    std::string Next();

  private:
    [[nodiscard]] bool Accept(unsigned long attributes) const noexcept;
    std::string Current();
    unique_find find_;
    unsigned mask_ = 0;
    WIN32_FIND_DATAW data_{};
};

// The folder `name` names, as the user wrote it (blanks around it removed, a relative name made
// whole) and ending in "\", or "" when it is no folder that is there now: a name with wildcards, a
// device such as NUL or CON, a file, or nothing at all. A mapped or substituted drive stays the
// drive the user typed.
std::string UsableFolder(const std::string& name);

// Looks at the files of wallpaper-list entries, many in a row. After a few missing files it reads
// each folder it is asked about once and answers from that listing: a walk over thousands of
// missing files would otherwise have each lookup search its folder again. A folder found out of
// reach is not asked again.
class FileProbe {
  public:
    // Whether `path` names a normal file (hidden and system files and folders do not count).
    bool Exists(const std::string& path);
    // Present: a normal file that can be read now. Gone: missing from a folder that is there.
    // Unreachable: its folder is not there (a drive or share away), or it cannot be read now.
    FileState State(const std::string& path);
    // Whether `folder` (ending in "\") is a folder that is there now.
    bool FolderThere(const std::string& folder);

  private:
    // Upper-case names of a folder's ordinary files (long and short forms); unset when the folder
    // could not be read (but may still hold files that can be looked up one by one).
    struct Listing {
        bool Read = false;
        std::unordered_set<std::wstring> Names;
    };
    const Listing& ListingOf(const std::string& folder);
    int misses_ = 0;
    std::unordered_map<std::string, Listing> folders_;
    std::unordered_map<std::string, bool> there_;
};

// A task-modal message box with no owner; returns the button chosen.
int MsgBox(const std::string& text, unsigned flags, const std::string& title);

// The default system beep.
void Beep();

// Local time of day from the system clock.
class SystemClock final : public IClock {
  public:
    [[nodiscard]] LocalTime Now() const override;
};

} // namespace brd
