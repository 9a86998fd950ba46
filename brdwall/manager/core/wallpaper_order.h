#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "brdwall/runtime/core/file_state.h"
#include "brdwall/runtime/core/random.h"
#include "brdwall/services/core/picture_formats.h"

namespace brd {

struct ResolvedEntry {
    std::string BareName; // the file name without the user-folder mark
    std::string FullPath; // empty for an entry that is no bare name: no such file exists
    PictureKind Kind = PictureKind::Never;
    bool InUserFolder = false; // the entry ends in "_"
};

// The kind of a file by the last three characters of its name, without regard to case, as the
// picture formats give it (bitmaps applied as they are, GIF and JPEG converted); anything else
// (".jpeg" included) is never used.
PictureKind KindOfName(const std::string& bareName);

// Resolves a wallpaper-list entry. An entry ending in "_" names a file of the user folder: the
// bare name is the entry without its "_" and the path is `userFolderPath` followed directly by it
// (the user folder ends in its own separator). Any other entry names a file of the Windows folder:
// `windowsFolderPath` + "\" + entry. Entries are bare names: one that holds a path separator or a
// drive colon (a hand-edited "..\x.bmp") would lead out of its folder, so it resolves to no path
// and counts as a missing file.
ResolvedEntry ResolveEntry(const std::string& entry, const std::string& windowsFolderPath,
                           const std::string& userFolderPath);

// Positions in the wallpaper list are plain ints, so that every entry of a list of any length
// takes its turn; only the library's load call takes 16-bit copies, which it does not use.

// The random pick of the next position among `count` entries. Re-seeds `rng` with count - 1,
// draws one position and, should it be the current one, takes the one before it instead (or
// position 1 when the current one is 0), so the current position is never chosen. With fewer than
// two entries it draws nothing and gives 0.
int PickRandomIndex(int nextShowIndex, int count, IRandom& rng);

// The position after `nextShowIndex` down a list of `count` entries, wrapping to 0 after the last.
int NextPriorityIndex(int nextShowIndex, int count);

// The wallpaper list as DropMissingFiles sees it.
class IWallpaperList {
  public:
    virtual ~IWallpaperList() = default;
    virtual int Count() = 0;
    virtual std::string Entry(int i) = 0;
    // Removes the entries at `indexes` (ascending, each once); the others keep their order.
    virtual void Remove(const std::vector<int>& indexes) = 0;
};

// What DropMissingFiles needs from the window besides the list.
struct MissingFileActions {
    // What is found of an entry's file (a normal file that can be read now is present).
    std::function<FileState(const ResolvedEntry& entry)> State;
    // Shows a warning: the bare name followed by ", file not found".
    std::function<void(const std::string& text)> Warn;
    // Called when a removal leaves exactly one entry: the window clears and disables "Every" and
    // enables the interval box.
    std::function<void()> OneLeft;
};

// Walks forward from `nextShowIndex`, wrapping to the top, and removes each entry whose file is
// gone, with one warning each, until it finds a file that is present or has looked at every entry.
// Entries that cannot be reached now are passed over and kept in their places. Returns true with
// `nextShowIndex` on the present entry; false when there is none, with `nextShowIndex` on the
// place where the walk began (0 when the list ends empty). An index outside the list on entry is
// taken as 0. The entries found gone are removed together at the end of the walk, which leaves
// the list as removing them one by one would, at the cost of one removal.
bool DropMissingFiles(int& nextShowIndex, IWallpaperList& list, const MissingFileActions& actions,
                      const std::string& windowsFolderPath, const std::string& userFolderPath);

// Which order option is selected; "random" is tested first.
enum class OrderMode { None, Priority, Random };

inline OrderMode OrderModeOf(bool randomSelected, bool prioritySelected) {
    if (randomSelected) return OrderMode::Random;
    if (prioritySelected) return OrderMode::Priority;
    return OrderMode::None;
}

// The option index of the order options: 1 "priority", 2 "random".
inline constexpr int kPriorityOption = 1;
inline constexpr int kRandomOption = 2;

// The order options' click steps for `optionIndex`: with two entries or more, a random pick
// (index 2) or the first position (index 1), then `dropMissingFiles` and `convertToBitmap`.
// With fewer than two entries nothing happens.
void OrderOptionClick(int optionIndex, int& nextShowIndex, int count, IRandom& rng,
                      const std::function<void()>& dropMissingFiles,
                      const std::function<void()>& convertToBitmap);

// Chooses the entry after the one just shown, among `count` (at least one) entries. Random:
// `optionClick` with the random option's index. Priority: the next position down the list, then
// `dropMissingFiles` and `convertToBitmap`. No option selected: nothing.
void ChooseNextEntry(OrderMode mode, int& nextShowIndex, int count,
                     const std::function<void(int optionIndex)>& optionClick,
                     const std::function<void()>& dropMissingFiles,
                     const std::function<void()>& convertToBitmap);

} // namespace brd
