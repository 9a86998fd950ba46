// The desktop's wallpaper as a test program found it, given back when it ends: the tests apply
// wallpapers, and a developer's own desktop must not keep them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace brd::test {

inline std::wstring DesktopWallpaper() {
    wchar_t path[MAX_PATH] = {};
    SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return path;
}

inline void SetDesktopWallpaper(std::wstring path) {
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

class DesktopKeeper final : public testing::Environment {
  public:
    void SetUp() override { saved_ = DesktopWallpaper(); }
    void TearDown() override { SetDesktopWallpaper(saved_); }

  private:
    std::wstring saved_;
};

// Before and after all the test programs (CTest runs these two around them): the wallpaper is noted,
// and afterwards it must be the same. A desktop without one (a fresh Wine prefix) is given `marker`
// first, so that a change shows, and has it taken away again after the check.
inline int RecordDesktop(const std::string& note, const std::wstring& marker) {
    std::wstring now = DesktopWallpaper();
    const bool marked = now.empty();
    if (marked) SetDesktopWallpaper(now = marker);
    std::wofstream(note) << (marked ? L'+' : L'-') << now;
    return 0;
}

inline int CheckDesktop(const std::string& note) {
    std::wstring recorded;
    std::getline(std::wifstream(note), recorded);
    const bool same = !recorded.empty() && recorded.substr(1) == DesktopWallpaper();
    if (!same) std::printf("the tests left another wallpaper than they found\n");
    if (!recorded.empty() && recorded[0] == L'+') SetDesktopWallpaper(L"");
    return same ? 0 : 1;
}

} // namespace brd::test
