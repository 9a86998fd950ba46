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
    resolved.InUserFolder = inUserFolder;
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

bool DropMissingFiles(int& nextShowIndex, IWallpaperList& list, const MissingFileActions& actions,
                      const std::string& windowsFolderPath, const std::string& userFolderPath) {
    const int count = list.Count();
    if (count <= 0) return false;
    if (nextShowIndex < 0 || nextShowIndex >= count) nextShowIndex = 0;
    // Without a look at the files nothing can be known to be gone.
    if (!actions.State) return true;
    // The walk in the list's positions as they are now: from the next entry down, then from the top.
    std::vector<int> gone;
    int found = -1;
    for (int step = 0, at = nextShowIndex; step < count; ++step, at = (at + 1) % count) {
        const ResolvedEntry resolved = ResolveEntry(list.Entry(at), windowsFolderPath, userFolderPath);
        const FileState state = actions.State(resolved);
        if (state == FileState::Present) {
            found = at;
            break;
        }
        if (state == FileState::Unreachable) continue;
        if (actions.Warn) actions.Warn(resolved.BareName + ", file not found");
        gone.push_back(at);
    }
    // The entry the walk ends on moves up by the entries removed above it.
    const int stay = found >= 0 ? found : nextShowIndex;
    std::sort(gone.begin(), gone.end());
    const int removedAbove =
        static_cast<int>(std::lower_bound(gone.begin(), gone.end(), stay) - gone.begin());
    if (!gone.empty()) list.Remove(gone);
    // Removed one by one, the list would have passed through one entry on its way down to one or none.
    const int left = list.Count();
    if (!gone.empty() && count >= 2 && left <= 1 && actions.OneLeft) actions.OneLeft();
    nextShowIndex = stay - removedAbove;
    if (nextShowIndex < 0 || nextShowIndex >= left) nextShowIndex = 0;
    return found >= 0;
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
