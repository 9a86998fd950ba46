#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "brdwall/shared/core/random.h"

namespace brd {

// How a list entry's file is applied to the desktop.
enum class PictureKind {
    Bitmap,  // applied from where it lies
    Convert, // a GIF or JPEG picture, applied through the converted bitmap
    Never,   // never applied
};

struct ResolvedEntry {
    std::string BareName; // the file name without the user-folder mark
    std::string FullPath;
    PictureKind Kind = PictureKind::Never;
};

// The kind of a file by the last three characters of its name, without regard to case:
// "bmp" is a bitmap, "gif" and "jpg" are converted, anything else (".jpeg" included) is never used.
PictureKind KindOfName(const std::string& bareName);

// Resolves a wallpaper-list entry. An entry ending in "_" names a file of the user folder: the
// bare name is the entry without its "_" and the path is `userFolderPath` followed directly by it
// (the user folder ends in its own separator). Any other entry names a file of the Windows folder:
// `windowsFolderPath` + "\" + entry.
ResolvedEntry ResolveEntry(const std::string& entry, const std::string& windowsFolderPath,
                           const std::string& userFolderPath);

// The random pick of the next position among `count` entries. Re-seeds `rng` with count - 1,
// draws one position and, should it be the current one, takes the one before it instead (or
// position 1 when the current one is 0), so the current position is never chosen. With fewer than
// two entries it draws nothing and gives 0.
std::int16_t PickRandomIndex(std::int16_t nextShowIndex, int count, IRandom& rng);

// The position after `nextShowIndex` down a list of `count` entries, wrapping to 0 after the last.
std::int16_t NextPriorityIndex(std::int16_t nextShowIndex, int count);

// The wallpaper list as DropMissingFiles sees it.
class IWallpaperList {
  public:
    virtual ~IWallpaperList() = default;
    virtual int Count() = 0;
    virtual std::string Entry(int i) = 0;
    // Removes entry `i`; the entries after it move up one place.
    virtual void Remove(int i) = 0;
};

// What DropMissingFiles needs from the window besides the list.
struct MissingFileActions {
    // Whether the file at a full path exists as a normal file.
    std::function<bool(const std::string& fullPath)> Exists;
    // Shows a warning: the bare name followed by ", file not found".
    std::function<void(const std::string& text)> Warn;
    // Called when a removal leaves exactly one entry: the window clears and disables "Every" and
    // enables the interval box.
    std::function<void()> OneLeft;
};

// Walks forward from `nextShowIndex`, wrapping to the top, and removes each entry whose file is
// missing, with one warning each, until it finds a file that exists or the list is empty.
// `nextShowIndex` ends on the existing entry, or 0 when the list ends empty. An index outside the
// list on entry is taken as 0.
void DropMissingFiles(std::int16_t& nextShowIndex, IWallpaperList& list, const MissingFileActions& actions,
                      const std::string& windowsFolderPath, const std::string& userFolderPath);

// The same with the three actions given one by one.
void DropMissingFiles(std::int16_t& nextShowIndex, IWallpaperList& list,
                      const std::function<bool(const std::string&)>& exists,
                      const std::function<void(const std::string&)>& warn,
                      const std::function<void()>& oneLeft, const std::string& windowsFolderPath,
                      const std::string& userFolderPath);

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
void OrderOptionClick(int optionIndex, std::int16_t& nextShowIndex, int count, IRandom& rng,
                      const std::function<void()>& dropMissingFiles,
                      const std::function<void()>& convertToBitmap);

// Chooses the entry after the one just shown, among `count` (at least one) entries. Random:
// `optionClick` with the random option's index. Priority: the next position down the list, then
// `dropMissingFiles` and `convertToBitmap`. No option selected: nothing.
void ChooseNextEntry(OrderMode mode, std::int16_t& nextShowIndex, int count,
                     const std::function<void(int optionIndex)>& optionClick,
                     const std::function<void()>& dropMissingFiles,
                     const std::function<void()>& convertToBitmap);

} // namespace brd
