// The real program, started with saved settings and a saved list, changes
// the wallpaper by itself; with nothing registered; and without its library.
#include <gtest/gtest.h>

#include "shared/core/settings_rules.h"
#include "brdwall/services/library.h"
#include "manager_fixture.h"

namespace brd::test {
namespace {

std::string StoredWallpaper() {
    char data[MAX_PATH * 2] = {};
    DWORD size = sizeof(data);
    if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return {};
    return data;
}

int BitmapWidth(const std::string& path) {
    const auto b = ReadBytes(path);
    return b.size() > 26 ? int(b[18] | b[19] << 8) : 0;
}

class RotationE2E : public ManagerTest {
  protected:
    void SetUp() override {
        ManagerTest::SetUp();
        // Activation must work from the program's manifest alone.
        HMODULE dll = LoadLibraryW((TestExeFolder() / "brdsave.dll").wstring().c_str());
        auto unregister = reinterpret_cast<HRESULT(__stdcall*)()>(
            reinterpret_cast<void (*)()>(GetProcAddress(dll, "DllUnregisterServer")));
        if (unregister) unregister();
        FreeLibrary(dll);
        ApplyWallpaper("");
        std::filesystem::remove(Tmp());
    }
    std::string Tmp() const { return windows + "\\tmpFile.bmp"; }
    // Saved options: "Save above settings", "Every", "priority", interval "1 hr".
    void SaveRotationEveryHour(const std::vector<std::string>& entries) {
        WriteRecord(5, "[WallpaperLoc]", "CheckCheckEmptyPrior 4", 300, 300);
        WriteList(entries);
    }
};

TEST_F(RotationE2E, StartingWithSavedSettingsAppliesTheFirstEntryAtOnce) {
    SaveRotationEveryHour(
        {PlaceInWindows("blue.bmp", "brdtest_e2e_a.bmp"), PlaceInWindows("red.jpg", "brdtest_e2e_b.jpg")});
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    EXPECT_TRUE(WaitFor([&] { return StoredWallpaper() == windows + "\\brdtest_e2e_a.bmp"; }, 5000))
        << StoredWallpaper();
    // The JPEG after it was prepared at its full size.
    EXPECT_TRUE(WaitFor([&] { return BitmapWidth(Tmp()) == 40; }, 3000));
    // The manager window is loaded, hidden, with the list that the library read.
    const auto managers = run.Windows("Brindle - Wallpaper Changer", "brdForm");
    ASSERT_EQ(managers.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(managers[0]));
    int lists = 0;
    for (HWND c : Children(managers[0]))
        if (ClassOf(c) == "ListBox" && SendMessageA(c, LB_GETCOUNT, 0, 0) == 2) ++lists;
    EXPECT_GE(lists, 1); // the wallpaper list (the search list shows the same two files)
    EXPECT_TRUE(run.Windows("Warning Message").empty());
}

TEST_F(RotationE2E, JpegFirstIsAppliedThroughTheConvertedBitmap) {
    SaveRotationEveryHour(
        {PlaceInWindows("red.jpg", "brdtest_e2e_c.jpg"), PlaceInWindows("blue.bmp", "brdtest_e2e_d.bmp")});
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    EXPECT_TRUE(WaitFor([&] { return StoredWallpaper() == Tmp(); }, 5000)) << StoredWallpaper();
    EXPECT_EQ(BitmapWidth(Tmp()), 40);
}

TEST_F(RotationE2E, MissingLibraryIsReportedOnceAndTheProgramRunsOn) {
    SaveRotationEveryHour(
        {PlaceInWindows("blue.bmp", "brdtest_e2e_e.bmp"), PlaceInWindows("blue.bmp", "brdtest_e2e_f.bmp")});
    ProgramRun run(folder.Path(), /*withLibrary=*/false);
    ASSERT_TRUE(run.WaitIdle());
    ASSERT_TRUE(WaitFor([&] { return !run.Windows("Warning Message").empty(); }));
    Application::DoEvents();
    const auto warnings = run.Windows("Warning Message");
    ASSERT_EQ(warnings.size(), 1u);
    std::string text;
    for (HWND c : Children(warnings[0]))
        if (ClassOf(c) == "Static" && !WindowText(c).empty()) text = WindowText(c);
    EXPECT_TRUE(text.starts_with(kLibraryMissingSentence)) << text;
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(run.TrayIconPresent());
    EXPECT_EQ(StoredWallpaper(), "");
}

} // namespace
} // namespace brd::test
