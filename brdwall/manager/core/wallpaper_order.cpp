#include "brdwall/manager/core/wallpaper_order.h"

#include <algorithm>
#include <cmath>

namespace brd {

PictureKind KindOfName(const std::string& bareName) {
    const PictureFormat* format = FormatOfName(bareName);
    return format ? format->Kind : PictureKind::Never;
}

ResolvedEntry ResolveEntry(const std::string& entry, const std::string& windowsFolderPath,
                           const std::string& userFolderPath) {
    ResolvedEntry resolved;
    const bool inUserFolder = !entry.empty() && entry.back() == '_';
    resolved.BareName = inUserFolder ? entry.substr(0, entry.size() - 1) : entry;
    if (resolved.BareName.find_first_of("\\/:") != std::string::npos) return resolved;
    resolved.FullPath = inUserFolder ? userFolderPath + resolved.BareName : windowsFolderPath + "\\" + entry;
    resolved.Kind = KindOfName(resolved.BareName);
    return resolved;
}

int PickRandomIndex(int nextShowIndex, int count, IRandom& rng) {
    if (count < 2) return 0;
    rng.Reseed(static_cast<double>(count - 1));
    const double scaled = std::floor(rng.Next() * count);
    // A draw outside [0, 1) (NaN included) stands for a position past the last one.
    const int r = (scaled >= 0.0 && scaled < count) ? static_cast<int>(scaled) : count;
    if (r != nextShowIndex) return r > count - 1 ? 0 : r;
    return nextShowIndex == 0 ? 1 : nextShowIndex - 1;
}

int NextPriorityIndex(int nextShowIndex, int count) {
    // Past the last entry (or from a position outside the list) the order starts again at the top.
    if (nextShowIndex < 0 || nextShowIndex >= count - 1) return 0;
    return nextShowIndex + 1;
}

void DropMissingFiles(int& nextShowIndex, IWallpaperList& list, const MissingFileActions& actions,
                      const std::string& windowsFolderPath, const std::string& userFolderPath) {
    const int count = list.Count();
    if (count <= 0) return;
    if (nextShowIndex < 0 || nextShowIndex >= count) nextShowIndex = 0;
    // Without an existence test nothing can be known to be missing.
    if (!actions.Exists) return;
    // The walk in the list's positions as they are now: from the next entry down, then from the top.
    std::vector<int> missing;
    int found = -1;
    for (int step = 0, at = nextShowIndex; step < count; ++step, at = (at + 1) % count) {
        const ResolvedEntry resolved = ResolveEntry(list.Entry(at), windowsFolderPath, userFolderPath);
        if (actions.Exists(resolved.FullPath)) {
            found = at;
            break;
        }
        if (actions.Warn) actions.Warn(resolved.BareName + ", file not found");
        missing.push_back(at);
    }
    if (missing.empty()) return;
    std::sort(missing.begin(), missing.end());
    list.Remove(missing);
    // Removed one by one, the list would have passed through one entry on its way down to one or none.
    const int left = list.Count();
    if (count >= 2 && left <= 1 && actions.OneLeft) actions.OneLeft();
    if (found < 0 || left <= 0) {
        nextShowIndex = 0;
        return;
    }
    // The existing entry moves up by the entries removed above it.
    const auto above = std::lower_bound(missing.begin(), missing.end(), found) - missing.begin();
    nextShowIndex = std::clamp(found - static_cast<int>(above), 0, left - 1);
}

void DropMissingFiles(int& nextShowIndex, IWallpaperList& list,
                      const std::function<bool(const std::string&)>& exists,
                      const std::function<void(const std::string&)>& warn,
                      const std::function<void()>& oneLeft, const std::string& windowsFolderPath,
                      const std::string& userFolderPath) {
    DropMissingFiles(nextShowIndex, list, MissingFileActions{exists, warn, oneLeft}, windowsFolderPath,
                     userFolderPath);
}

void OrderOptionClick(int optionIndex, int& nextShowIndex, int count, IRandom& rng,
                      const std::function<void()>& dropMissingFiles,
                      const std::function<void()>& convertToBitmap) {
    if (count < 2) return;
    if (optionIndex == kRandomOption) {
        nextShowIndex = PickRandomIndex(nextShowIndex, count, rng);
    } else if (optionIndex == kPriorityOption) {
        nextShowIndex = 0;
    }
    dropMissingFiles();
    convertToBitmap();
}

void ChooseNextEntry(OrderMode mode, int& nextShowIndex, int count,
                     const std::function<void(int optionIndex)>& optionClick,
                     const std::function<void()>& dropMissingFiles,
                     const std::function<void()>& convertToBitmap) {
    switch (mode) {
    case OrderMode::Random:
        optionClick(kRandomOption);
        break;
    case OrderMode::Priority:
        nextShowIndex = NextPriorityIndex(nextShowIndex, count);
        dropMissingFiles();
        convertToBitmap();
        break;
    case OrderMode::None:
        break;
    }
}

} // namespace brd
