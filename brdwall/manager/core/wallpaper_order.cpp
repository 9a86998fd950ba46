#include "brdwall/manager/core/wallpaper_order.h"

#include <cmath>
#include <limits>

namespace brd {

namespace {

// Positions a 16-bit index can hold; entries past them are never chosen.
constexpr int kMaxPositions = std::numeric_limits<std::int16_t>::max() + 1;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithNoCase(const std::string& text, const char* tail3) {
    if (text.size() < 3) return false;
    const std::size_t start = text.size() - 3;
    for (std::size_t i = 0; i < 3; ++i) {
        if (LowerAscii(text[start + i]) != tail3[i]) return false;
    }
    return true;
}

} // namespace

PictureKind KindOfName(const std::string& bareName) {
    if (EndsWithNoCase(bareName, "gif") || EndsWithNoCase(bareName, "jpg")) return PictureKind::Convert;
    if (EndsWithNoCase(bareName, "bmp")) return PictureKind::Bitmap;
    return PictureKind::Never;
}

ResolvedEntry ResolveEntry(const std::string& entry, const std::string& windowsFolderPath,
                           const std::string& userFolderPath) {
    ResolvedEntry resolved;
    if (!entry.empty() && entry.back() == '_') {
        resolved.BareName = entry.substr(0, entry.size() - 1);
        resolved.FullPath = userFolderPath + resolved.BareName;
    } else {
        resolved.BareName = entry;
        resolved.FullPath = windowsFolderPath + "\\" + entry;
    }
    resolved.Kind = KindOfName(resolved.BareName);
    return resolved;
}

std::int16_t PickRandomIndex(std::int16_t nextShowIndex, int count, IRandom& rng) {
    if (count < 2) return 0;
    rng.Reseed(static_cast<double>(count - 1));
    const int positions = count < kMaxPositions ? count : kMaxPositions;
    const double scaled = std::floor(rng.Next() * positions);
    // A draw outside [0, 1) (NaN included) stands for a position past the last one.
    const int r = (scaled >= 0.0 && scaled < positions) ? static_cast<int>(scaled) : positions;
    if (r != nextShowIndex) return static_cast<std::int16_t>(r > positions - 1 ? 0 : r);
    return static_cast<std::int16_t>(nextShowIndex == 0 ? 1 : nextShowIndex - 1);
}

std::int16_t NextPriorityIndex(std::int16_t nextShowIndex, int count) {
    const int next = nextShowIndex + 1;
    if (next < 0 || next > count - 1 || next >= kMaxPositions) return 0;
    return static_cast<std::int16_t>(next);
}

void DropMissingFiles(std::int16_t& nextShowIndex, IWallpaperList& list, const MissingFileActions& actions,
                      const std::string& windowsFolderPath, const std::string& userFolderPath) {
    int count = list.Count();
    if (count <= 0) return;
    if (nextShowIndex < 0 || nextShowIndex >= count) nextShowIndex = 0;
    // Each round removes one entry, so there are at most as many rounds as entries; the bound also
    // holds should the list fail to shrink.
    for (int rounds = count; rounds > 0; --rounds) {
        const ResolvedEntry resolved =
            ResolveEntry(list.Entry(nextShowIndex), windowsFolderPath, userFolderPath);
        // Without an existence test nothing can be known to be missing.
        if (!actions.Exists || actions.Exists(resolved.FullPath)) return;
        if (actions.Warn) actions.Warn(resolved.BareName + ", file not found");
        list.Remove(nextShowIndex);
        const int left = list.Count();
        if (left == 1 && actions.OneLeft) actions.OneLeft();
        if (left <= 0) {
            nextShowIndex = 0;
            return;
        }
        if (left >= count) return;
        count = left;
        if (nextShowIndex >= count) nextShowIndex = 0;
    }
}

void DropMissingFiles(std::int16_t& nextShowIndex, IWallpaperList& list,
                      const std::function<bool(const std::string&)>& exists,
                      const std::function<void(const std::string&)>& warn,
                      const std::function<void()>& oneLeft, const std::string& windowsFolderPath,
                      const std::string& userFolderPath) {
    DropMissingFiles(nextShowIndex, list, MissingFileActions{exists, warn, oneLeft}, windowsFolderPath,
                     userFolderPath);
}

void OrderOptionClick(int optionIndex, std::int16_t& nextShowIndex, int count, IRandom& rng,
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

void ChooseNextEntry(OrderMode mode, std::int16_t& nextShowIndex, int count,
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
