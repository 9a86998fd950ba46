// The real program started from a folder of its own: settings read at
// start-up, the single-instance rule, and the two ways it ends.
#include <gtest/gtest.h>

#include <optional>

#include "shared/core/failure.h"
#include "shared/core/record_file.h"
#include "shared/core/settings_record.h"
#include "brdwall/tray/form1.h"
#include "program_driver.h"
#include "tests/host/temp_folder.h"

namespace brd::test {
namespace {

constexpr char kManagerCaption[] = "Brindle - Wallpaper Changer";
constexpr char kSettingsCaption[] = "Settings";
constexpr char kWarningCaption[] = "Warning Message";

void WriteRecord(const TempFolder& folder, int number, const char* marker, const char* data) {
    SettingsRecord rec;
    if (marker) rec.Marker.Assign(marker);
    rec.Data.Assign(data);
    FailureNote note;
    WriteSettingsRecord(folder.File("wallpape.ini"), number, rec, note);
    ASSERT_FALSE(note.Noted());
}

// Which of the settings window's font options is selected; 0 when the window is not loaded.
int SelectedFontOption(const ProgramRun& run) {
    for (HWND w : run.Windows(kSettingsCaption, "brdForm")) {
        const char* captions[] = {"Use Arial font", "Enlarge", "Normal"};
        for (HWND c : Children(w)) {
            for (int i = 0; i < 3; ++i) {
                if (WindowText(c) == captions[i] && SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    return i + 1;
            }
        }
        return -1; // loaded, nothing selected
    }
    return 0;
}

struct StartupCase {
    const char* name;
    const char* record5; // null: no record 5 written
    const char* record8; // null: no record 8 written
    bool writeFile;
    bool managerLoaded;
    int fontOption; // 0: settings window not loaded
};

class StartupSettings : public testing::TestWithParam<StartupCase> {};

TEST_P(StartupSettings, LoadsTheWindowsTheRecordsAskFor) {
    const StartupCase& c = GetParam();
    TempFolder folder;
    if (c.writeFile) {
        if (c.record5) WriteRecord(folder, 5, "[WallpaperLoc]", c.record5);
        if (c.record8) WriteRecord(folder, 8, "[AllFont]", c.record8);
    }
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());

    const auto managers = run.Windows(kManagerCaption, "brdForm");
    EXPECT_EQ(managers.size(), c.managerLoaded ? 1u : 0u);
    for (HWND m : managers)
        EXPECT_FALSE(IsWindowVisible(m)) << "loaded, never shown";
    EXPECT_EQ(SelectedFontOption(run), c.fontOption);
    for (HWND s : run.Windows(kSettingsCaption, "brdForm"))
        EXPECT_FALSE(IsWindowVisible(s));
    EXPECT_TRUE(run.Windows(kWarningCaption).empty()) << "no failure, no message";
    EXPECT_FALSE(IsWindowVisible(run.MainWindow()));
    EXPECT_TRUE(run.TrayIconPresent());
}

INSTANTIATE_TEST_SUITE_P(
    Records, StartupSettings,
    testing::Values(StartupCase{"NoSettingsFile", nullptr, nullptr, false, false, 0},
                    StartupCase{"CheckLoadsManagerHidden", "CheckEmptyEmptyPrior 3", "Normal", true, true, 3},
                    StartupCase{"EmptyDoesNotLoadManager", "Empty", "Normal", true, false, 3},
                    StartupCase{"Arial", nullptr, "Arial", true, false, 1},
                    StartupCase{"ArialAfterBlanks", nullptr, "  Arial", true, false, 1},
                    StartupCase{"LowerCaseIsNormal", nullptr, "arial", true, false, 3},
                    StartupCase{"TimesNewRomanPrefix", nullptr, "TimesNewRomanX", true, false, 2},
                    StartupCase{"NoFontRecord", "Empty", nullptr, true, false, 3}),
    [](const testing::TestParamInfo<StartupCase>& info) { return std::string(info.param.name); });

TEST(Startup, UnreadableSettingsFileIsReportedOnceAndStartUpGoesOn) {
    TempFolder folder;
    WriteRecord(folder, 8, "[AllFont]", "Arial");
    // Another process holds the file with no sharing, so every read fails.
    unique_kernel_handle lock(CreateFileA(folder.File("wallpape.ini").c_str(), GENERIC_READ | GENERIC_WRITE,
                                          0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);

    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    ASSERT_TRUE(WaitFor([&] { return !run.Windows(kWarningCaption).empty(); }));
    const auto warnings = run.Windows(kWarningCaption);
    ASSERT_EQ(warnings.size(), 1u);
    std::optional<std::string> text;
    for (HWND c : Children(warnings[0]))
        if (ClassOf(c) == "Static" && !WindowText(c).empty()) text = WindowText(c);
    ASSERT_TRUE(text.has_value());
    const std::string prefix = "Error occurred when loading back settings from disk, Error # ";
    EXPECT_EQ(text->substr(0, prefix.size()), prefix);
    EXPECT_NE(text->find("\r\n"), std::string::npos) << "the carriage return shows as a line break";
    // The read failed, so the scheme is "Normal" and the tray agent runs on.
    EXPECT_EQ(SelectedFontOption(run), 3);
    EXPECT_TRUE(run.TrayIconPresent());
}

TEST(Startup, SecondInstanceSaysSoAndEndsLeavingTheFirstAlone) {
    TempFolder first;
    TempFolder second;
    ProgramRun a(first.Path());
    ASSERT_TRUE(a.WaitIdle());
    HWND aMain = a.MainWindow();

    ProgramRun b(second.Path());
    HWND box = nullptr;
    // Found once its text is in place: the box exists a moment before it is filled in.
    ASSERT_TRUE(WaitFor([&] {
        auto boxes = b.Windows("Brindle Wallpaper Changer", "#32770");
        box = boxes.empty() ? nullptr : boxes[0];
        return box != nullptr && IsWindowVisible(box);
    }));
    EXPECT_EQ(DialogItemText(box, 0xFFFF), "Application is already running!");
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_TRUE(b.Running()) << "it waits for the user";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(b.WaitExit(), 0);
    EXPECT_TRUE(b.Windows().empty());

    EXPECT_TRUE(a.Running());
    EXPECT_EQ(a.MainWindow(), aMain);
    EXPECT_TRUE(a.TrayIconPresent());
}

TEST(Startup, RemoveDeletesTheIconAndEndsAtOnce) {
    TempFolder folder;
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    HWND main = run.MainWindow();
    ASSERT_TRUE(ProgramRun::TrayIconPresent(main));
    PostMessageA(main, WM_COMMAND, Form1::mRemove, 0);
    EXPECT_EQ(run.WaitExit(), 0);
    EXPECT_FALSE(ProgramRun::TrayIconPresent(main));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "wallpape.ini")) << "nothing saved";
}

TEST(Startup, CloseRequestEndsAtOnce) {
    TempFolder folder;
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    HWND main = run.MainWindow();
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.WaitExit(), 0);
    EXPECT_FALSE(ProgramRun::TrayIconPresent(main)) << "no dead icon left behind";
}

TEST(Startup, ShutDownIsNeverHeldUp) {
    TempFolder folder;
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(run.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    HWND main = run.MainWindow();
    PostMessageA(main, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(run.WaitExit(), 0);
    EXPECT_FALSE(ProgramRun::TrayIconPresent(main));
}

TEST(Startup, IconComesBackWhenTheTaskbarIsCreatedAgain) {
    TempFolder folder;
    ProgramRun run(folder.Path());
    ASSERT_TRUE(run.WaitIdle());
    HWND main = run.MainWindow();
    // Take the icon away as a restarted shell would have lost it, then announce the new taskbar.
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = main;
    nid.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    ASSERT_FALSE(ProgramRun::TrayIconPresent(main));
    SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramRun::TrayIconPresent(main); }));
}

} // namespace
} // namespace brd::test
