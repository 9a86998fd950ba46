// Whole-program scenarios: the real brdwall.exe, started from a folder of its own,
// used through its tray menu and windows as a user would, and its files looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "shared/core/failure.h"
#include "shared/core/record_file.h"
#include "shared/core/settings_record.h"
#include "shared/core/settings_rules.h"
#include "tests/host/temp_folder.h"
#include "desktop_keeper.h"
#include "ui_driver.h"

namespace brd::acceptance {
namespace {

testing::Environment* const desktop = testing::AddGlobalTestEnvironment(new test::DesktopKeeper);

namespace fs = std::filesystem;
using test::TempFolder;

constexpr char kManager[] = "Brindle - Wallpaper Changer";
constexpr char kSettings[] = "Settings";
constexpr char kHelp[] = "Help";
constexpr char kAbout[] = "";
constexpr char kQuestion[] = "Warning Message";
constexpr char kPictures[] = "C:\\brdacc_pics";
constexpr char kWindowsPicture[] = "brdacc_w.bmp";

// Where the manager window's controls without a caption of their own are.
constexpr Twips kSearchList{1920, 120, 2172, 2028};
constexpr Twips kWallpaperList{120, 2400, 1572, 1488};
constexpr Twips kPathBox{1920, 2400, 2172, 264};
constexpr Twips kIntervalBox{3000, 2880, 1092, 276};
constexpr Twips kSaveListButton{240, 4320, 252, 252};

// The menu as the user sees it: About, line, Wallpaper, Settings, line, Help, line, Disable, Remove.
constexpr char kMenuShape[] = "ISIISISII";

class Acceptance : public testing::Test {
  protected:
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(kPictures, ec);
        fs::remove(WindowsFolder() / kWindowsPicture, ec);
    }

    static fs::path WindowsFolder() {
        char path[MAX_PATH] = {};
        GetWindowsDirectoryA(path, MAX_PATH);
        return path;
    }

    std::unique_ptr<ProgramRun> Start() {
        auto run = std::make_unique<ProgramRun>(folder.Path());
        EXPECT_TRUE(run->WaitIdle()) << "the program did not settle in the tray";
        return run;
    }

    // The user's picture folder with one picture of each kind.
    static void PlacePictures() {
        fs::create_directories(kPictures);
        for (const char* name : {"blue.bmp", "red.jpg", "green.gif"})
            fs::copy_file(test::TestExeFolder() / "testdata" / name, fs::path(kPictures) / name,
                          fs::copy_options::overwrite_existing);
    }

    std::set<std::string> FilesInProgramFolder() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder.Path()))
            names.insert(e.path().filename().string());
        return names;
    }

    // A record of the settings file; all zero while it cannot be read.
    SettingsRecord Record(int number) const {
        FailureNote note;
        return ReadSettingsRecord(folder.File("wallpape.ini"), number, note);
    }

    std::string ListFile() const {
        const auto bytes = test::ReadBytes(folder.File("Wpaper.dat"));
        return {bytes.begin(), bytes.end()};
    }

    TempFolder folder;
};

// Some things only the screen shows: the menu's lines and marks, the look of a font.
constexpr char kNothingDrawn[] =
    "nothing the program shows is drawn on this display (a Wine prefix whose virtual desktop is not "
    "the one the test scripts start?), so what only the screen shows cannot be checked here";
const std::vector<bool> kNoMarks(kChoosableMenuItems, false);

TEST_F(Acceptance, FirstStartSitsInTheTrayWritesNothingAndOffersItsMenu) {
    auto run = Start();
    EXPECT_TRUE(run->TrayIconPresent());
    for (HWND w : run->Windows())
        EXPECT_FALSE(IsWindowVisible(w)) << "shown: \"" << WindowText(w) << "\"";
    EXPECT_EQ(LoadedWindow(*run, kManager), nullptr);
    EXPECT_EQ(LoadedWindow(*run, kSettings), nullptr);

    // The menu opens with its right edge at the mouse pointer (where it fits on the screen).
    HWND menu = OpenTrayMenu(*run);
    ASSERT_NE(menu, nullptr);
    POINT pointer{};
    GetCursorPos(&pointer);
    RECT at{};
    GetWindowRect(menu, &at);
    if (pointer.x >= at.right - at.left &&
        pointer.y + (at.bottom - at.top) <= GetSystemMetrics(SM_CYSCREEN)) {
        EXPECT_EQ(at.right, pointer.x);
        EXPECT_EQ(at.top, pointer.y);
    }
    PressKey(menu, VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return OpenMenuWindow(*run) == nullptr; })) << "Escape closes it";

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::About));
    HWND about = WaitShown(*run, kAbout);
    ASSERT_NE(about, nullptr) << "About shows the about window";
    Click(FindButton(about, "OK"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); })) << "OK closes it";

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Help));
    HWND help = WaitShown(*run, kHelp);
    ASSERT_NE(help, nullptr);
    Click(FindButton(help, "OK"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(help); }));

    EXPECT_TRUE(run->Running());
    EXPECT_EQ(FilesInProgramFolder(), (std::set<std::string>{"brdsave.dll", "brdwall.exe"}))
        << "no file written";

    const std::optional<MenuLook> look = LookAtTrayMenu(*run);
    if (!look) GTEST_SKIP() << kNothingDrawn;
    EXPECT_EQ(look->Shape, kMenuShape);
    EXPECT_EQ(look->Marked, kNoMarks);
}

TEST_F(Acceptance, SavedListAndOptionsResumeRotationAtTheNextStart) {
    PlacePictures();
    auto run = Start();
    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Wallpaper));
    HWND manager = WaitShown(*run, kManager);
    ASSERT_NE(manager, nullptr);
    HWND search = ControlAt(manager, kSearchList);
    HWND list = ControlAt(manager, kWallpaperList);
    HWND path = ControlAt(manager, kPathBox);
    HWND interval = ControlAt(manager, kIntervalBox);
    HWND every = FindButton(manager, "Every");
    HWND keep = FindButton(manager, "Save above settings");
    ASSERT_TRUE(search && list && path && interval && every && keep);
    ASSERT_EQ(ClassOf(path), "Edit");
    EXPECT_FALSE(Enabled(every)) << "nothing to rotate yet";

    // The folder typed and Enter pressed: its pictures are listed with their mark.
    TypeText(path, kPictures);
    PressEnterIn(path);
    auto isUsers = [](const std::string& entry) { return entry.ends_with('_'); };
    std::vector<std::string> found;
    EXPECT_TRUE(WaitFor([&] {
        found.clear();
        for (const auto& e : ListItems(search))
            if (isUsers(e)) found.push_back(e);
        return found.size() == 3;
    }));
    EXPECT_EQ(found, (std::vector<std::string>{"blue.bmp_", "green.gif_", "red.jpg_"}));
    EXPECT_EQ(ControlText(path), std::string(kPictures) + "\\");
    ASSERT_TRUE(WaitFor([&] { return Record(kUserFolderRecord).Top == 1; })) << "the typed folder is stored";
    EXPECT_EQ(Record(kUserFolderRecord).Data.Trimmed(), std::string(kPictures) + "\\");

    // The folder's pictures chosen and added to the wallpaper list. The Windows folder's own
    // pictures stay out: the program's converted picture lands there, so they vary from run to run.
    ASSERT_EQ(SelectListItems(search, isUsers), 3);
    Click(FindButton(manager, "Add"));
    ASSERT_TRUE(WaitFor([&] { return ListItems(list).size() == 3; }));
    EXPECT_EQ(ListItems(list), found);

    ChooseComboItem(interval, 0);
    ASSERT_TRUE(WaitFor([&] { return Enabled(every); })) << "an interval and two or more entries";
    EXPECT_EQ(ComboIndex(interval), 0);
    EXPECT_EQ(ControlText(interval), "5 mins");

    Click(keep);
    ASSERT_TRUE(WaitFor([&] { return Checked(keep); }));
    Click(every);
    ASSERT_TRUE(WaitFor([&] { return Checked(every) && !Enabled(interval); }))
        << "rotation on, interval fixed";
    // Each release saved the options; the last one with "Every" on.
    EXPECT_TRUE(WaitFor([&] {
        return Record(kWindowSettingsRecord).Data.Trimmed() == "CheckCheckEmptyPrior 0";
    })) << Record(kWindowSettingsRecord).Data.Text();
    EXPECT_EQ(Record(kWindowSettingsRecord).Marker.Trimmed(), "[WallpaperLoc]");

    // No list file yet: the save button writes it at once.
    const std::string saved = "\"blue.bmp_\"\r\n\"green.gif_\"\r\n\"red.jpg_\"\r\n";
    HWND save = ControlAt(manager, kSaveListButton);
    ASSERT_NE(save, nullptr);
    Click(save);
    EXPECT_TRUE(WaitFor([&] { return ListFile() == saved; })) << ListFile();
    EXPECT_EQ(ShownWindow(*run, kQuestion), nullptr);

    // An older list file is there: the program asks first, and "Yes" writes the list.
    test::WriteBytes(folder.File("Wpaper.dat"), {'"', 'o', 'l', 'd', '"', '\r', '\n'});
    Click(save);
    HWND question = WaitShown(*run, kQuestion);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(FindControl(question, "Static", "File already exists, overwrite ?"), nullptr);
    ASSERT_NE(FindButton(question, "Cancel"), nullptr);
    Click(FindButton(question, "Yes"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(question) && ListFile() == saved; })) << ListFile();

    // A change is scheduled, so Close only hides the window. Once the menu opens the close is
    // over: the program handles one message at a time.
    Click(FindButton(manager, "Close"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(manager); }));
    HWND main = run->MainWindow();
    HWND menu = OpenTrayMenu(*run);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(IsWindow(manager)) << "kept loaded for the rotation";
    EXPECT_FALSE(IsWindowVisible(manager));
    ASSERT_TRUE(ChooseFromMenu(*run, menu, MenuItem::Remove));
    EXPECT_EQ(run->WaitExit(), 0);
    EXPECT_FALSE(ProgramRun::TrayIconPresent(main));

    // Next start: the manager window comes back hidden with the list and rotation on.
    run = Start();
    manager = LoadedWindow(*run, kManager);
    ASSERT_NE(manager, nullptr) << "the saved options ask for the manager window";
    EXPECT_FALSE(IsWindowVisible(manager));
    list = ControlAt(manager, kWallpaperList);
    interval = ControlAt(manager, kIntervalBox);
    every = FindButton(manager, "Every");
    keep = FindButton(manager, "Save above settings");
    ASSERT_TRUE(list && interval && every && keep);
    EXPECT_EQ(ListItems(list), found);
    EXPECT_TRUE(Checked(every));
    EXPECT_TRUE(Enabled(every));
    EXPECT_TRUE(Checked(keep));
    EXPECT_EQ(ComboIndex(interval), 0);
    EXPECT_EQ(ControlText(interval), "5 mins");
    EXPECT_FALSE(Enabled(interval)) << "rotation is on";
    EXPECT_EQ(ShownWindow(*run, kQuestion), nullptr) << "no warning at start";

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Wallpaper));
    EXPECT_EQ(WaitShown(*run, kManager), manager);
    EXPECT_EQ(ControlText(ControlAt(manager, kPathBox)), std::string(kPictures) + "\\");
    std::vector<std::string> again;
    for (const auto& e : ListItems(ControlAt(manager, kSearchList)))
        if (isUsers(e)) again.push_back(e);
    EXPECT_EQ(again, found) << "the stored folder is searched again";
}

TEST_F(Acceptance, SecondStartSaysSoAndLeavesTheFirstAlone) {
    auto first = Start();
    ASSERT_TRUE(ChooseFromTray(*first, MenuItem::Wallpaper));
    HWND manager = WaitShown(*first, kManager);
    ASSERT_NE(manager, nullptr);
    HWND main = first->MainWindow();

    TempFolder elsewhere;
    ProgramRun second(elsewhere.Path());
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        const auto boxes = second.Windows("Brindle Wallpaper Changer", "#32770");
        box = boxes.empty() ? nullptr : boxes.front();
        return box && IsWindowVisible(box);
    }));
    EXPECT_EQ(test::DialogItemText(box, 0xFFFF), "Application is already running!");
    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), "OK");
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_TRUE(second.Running()) << "it waits for the user";
    Click(ok);
    EXPECT_EQ(second.WaitExit(), 0);

    EXPECT_TRUE(first->Running());
    EXPECT_EQ(first->MainWindow(), main);
    EXPECT_TRUE(first->TrayIconPresent());
    EXPECT_TRUE(IsWindowVisible(manager));
    const std::optional<MenuLook> look = LookAtTrayMenu(*first);
    if (!look) GTEST_SKIP() << kNothingDrawn;
    EXPECT_EQ(look->Shape, kMenuShape) << "its menu still opens";
}

TEST_F(Acceptance, DisableMarksTheMenuUntilChosenAgainAndKeepsRunning) {
    auto run = Start();
    const std::optional<MenuLook> before = LookAtTrayMenu(*run);
    auto chooseDisable = [&] {
        EXPECT_TRUE(ChooseFromTray(*run, MenuItem::Disable));
        EXPECT_TRUE(run->Running());
        EXPECT_TRUE(run->TrayIconPresent());
        return before ? LookAtTrayMenu(*run) : std::nullopt;
    };
    const std::optional<MenuLook> disabled = chooseDisable();
    const std::optional<MenuLook> enabledAgain = chooseDisable();
    EXPECT_FALSE(fs::exists(folder.Path() / "wallpape.ini")) << "nothing saved";

    if (!before) GTEST_SKIP() << kNothingDrawn;
    ASSERT_TRUE(disabled && enabledAgain);
    EXPECT_EQ(before->Marked, kNoMarks);
    std::vector<bool> onlyDisable = kNoMarks;
    onlyDisable[static_cast<int>(MenuItem::Disable)] = true;
    EXPECT_EQ(disabled->Shape, kMenuShape);
    EXPECT_EQ(disabled->Marked, onlyDisable) << "the check mark";
    EXPECT_EQ(enabledAgain->Marked, kNoMarks) << "the check mark is gone";
}

TEST_F(Acceptance, ACloseRequestWhileTheMenuIsOpenIsCarriedOutWhenItCloses) {
    auto run = Start();
    HWND main = run->MainWindow();
    HWND menu = OpenTrayMenu(*run);
    ASSERT_NE(menu, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run->WaitExit(500), -1) << "nothing ends inside the menu";
    PressKey(menu, VK_ESCAPE);
    EXPECT_EQ(run->WaitExit(), 0);
    EXPECT_FALSE(ProgramRun::TrayIconPresent(main)) << "no dead icon left behind";
}

TEST_F(Acceptance, RunMeWhenWindowsStartsQuotesAProgramFolderWithABlank) {
    // Machine-wide; for this user only where the tests run without administrator rights.
    constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        if (RegGetValueA(root, kRun, "brdwall.exe", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) == 0)
            GTEST_SKIP() << "this user's own Run value is there, and is left alone";
    const fs::path place = "C:\\brd N";
    fs::create_directories(place);
    std::string value(MAX_PATH, '\0');
    {
        ProgramRun run(place);
        ASSERT_TRUE(run.WaitIdle());
        ASSERT_TRUE(ChooseFromTray(run, MenuItem::Settings));
        HWND settings = WaitShown(run, kSettings);
        ASSERT_NE(settings, nullptr);
        for (HWND c : test::Children(settings))
            if (WindowText(c) == "Run me when Windows starts") Click(c);
        WaitFor([&] {
            for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
                DWORD size = MAX_PATH;
                if (RegGetValueA(root, kRun, "brdwall.exe", RRF_RT_REG_SZ, nullptr, value.data(), &size) == 0)
                    return RegDeleteKeyValueA(root, kRun, "brdwall.exe"), true;
            }
            return false;
        });
    }
    fs::remove_all(place);
    EXPECT_STREQ(value.c_str(), "\"C:\\brd N\\brdwall.exe\"");
}

// Saved: the folder R:\pics\ on a drive not plugged in yet, its pictures and one of the Windows
// folder in the list, rotation every hour (so due at once at every start or switch-on).
TEST_F(Acceptance, AUserFolderOnADriveThatComesLateLosesNothing) {
    test::RemovableDrive drive;
    if (!drive.Usable()) GTEST_SKIP() << "no drive R: to plug in and out here";
    if (!test::WindowsFolderWritable()) GTEST_SKIP() << test::kNeedsTheWindowsFolder;
    FailureNote note;
    WriteSettingsRecord(folder.File("wallpape.ini"), kUserFolderRecord, *BuildUserFolderRecord("R:\\pics\\"),
                        note);
    SettingsRecord options;
    options.Marker.Assign("[WallpaperLoc]");
    options.Data.Assign("CheckCheckEmptyPrior 4");
    WriteSettingsRecord(folder.File("wallpape.ini"), kWindowSettingsRecord, options, note);
    fs::copy_file(test::TestExeFolder() / "testdata" / "blue.bmp", WindowsFolder() / kWindowsPicture,
                  fs::copy_options::overwrite_existing);
    const std::string list = std::string("\"ua.bmp_\"\r\n\"ub.jpg_\"\r\n\"") + kWindowsPicture + "\"\r\n";
    test::WriteBytes(folder.File("Wpaper.dat"), {list.begin(), list.end()});
    auto wallpaper = [] {
        char path[MAX_PATH] = {};
        DWORD size = sizeof(path);
        RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr, path,
                     &size);
        return std::string(path);
    };
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
    auto run = Start();
    const std::string windowsPicture = (WindowsFolder() / kWindowsPicture).string();
    EXPECT_TRUE(WaitFor([&] { return wallpaper() == windowsPicture; })) << "the drive's pictures passed over";

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Wallpaper));
    HWND manager = WaitShown(*run, kManager);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(ListItems(ControlAt(manager, kWallpaperList)),
              (std::vector<std::string>{"ua.bmp_", "ub.jpg_", kWindowsPicture}));
    EXPECT_EQ(run->Windows(kQuestion).size(), 2u) << "the folder reported (see Form12Rules), no entry";
    for (HWND w : run->Windows(kQuestion))
        Click(FindButton(w, "OK"));
    ASSERT_TRUE(WaitFor([&] { return run->Windows(kQuestion).empty(); }));

    // Saved again over the old list: every entry is written back.
    Click(ControlAt(manager, kSaveListButton));
    HWND question = WaitShown(*run, kQuestion);
    ASSERT_NE(question, nullptr);
    Click(FindButton(question, "Yes"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }));
    EXPECT_EQ(ListFile(), list);
    EXPECT_EQ(Record(kUserFolderRecord).Data.Trimmed(), "R:\\pics\\") << "the folder stays stored";

    // The drive is plugged in. "Every" switched off and on makes a change due at once: the first
    // brings the next turn round to the drive, the second shows its picture.
    ASSERT_TRUE(drive.Plug());
    for (auto [data, name] : {std::pair{"blue.bmp", "ua.bmp"}, {"red.jpg", "ub.jpg"}})
        fs::copy_file(test::TestExeFolder() / "testdata" / data, fs::path("R:\\pics") / name);
    HWND every = FindButton(manager, "Every");
    for (const std::string& shown : {windowsPicture, std::string("R:\\pics\\ua.bmp")}) {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
        Click(every);
        ASSERT_TRUE(WaitFor([&] { return !Checked(every); }));
        Click(every);
        EXPECT_TRUE(WaitFor([&] { return wallpaper() == shown; })) << wallpaper();
    }
    EXPECT_TRUE(run->Windows(kQuestion).empty()) << "no entry reported missing";
}

struct SchemeCase {
    const char* option; // the settings window's option
    const char* word;   // what record 8 stores for it
    bool changesLook;   // whether "Every" looks different on this desktop
};

void PrintTo(const SchemeCase& c, std::ostream* os) {
    *os << '"' << c.option << '"';
}

class FontScheme : public Acceptance, public testing::WithParamInterface<SchemeCase> {};

TEST_P(FontScheme, ChosenInSettingsTakesEffectAtTheNextStart) {
    const SchemeCase& c = GetParam();
    auto run = Start();
    // How "Refresh" (which keeps its font) and "Every" (a control of the scheme) look; nothing when not
    // drawn.
    auto looks = [](HWND manager) {
        Picture refresh = SettledPicture(FindButton(manager, "Refresh"));
        if (!refresh.Drawn()) return std::pair<Picture, Picture>{};
        return std::pair{std::move(refresh), SettledPicture(FindButton(manager, "Every"))};
    };
    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Wallpaper));
    HWND manager = WaitShown(*run, kManager);
    ASSERT_NE(manager, nullptr);
    const auto [refreshBefore, everyBefore] = looks(manager);
    Click(FindButton(manager, "Close"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(manager); })) << "nothing scheduled: closing unloads it";

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Settings));
    HWND settings = WaitShown(*run, kSettings);
    ASSERT_NE(settings, nullptr);
    HWND chosen = FindButton(settings, c.option);
    HWND normal = FindButton(settings, "Normal");
    ASSERT_TRUE(chosen && normal);
    EXPECT_TRUE(Checked(normal)) << "no scheme chosen yet";
    Click(chosen);
    ASSERT_TRUE(WaitFor([&] { return Checked(chosen) && !Checked(normal); }));
    Click(FindButton(settings, "Close"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));

    // Record 8 (bytes 385 to 439) holds the scheme's word in its Data (from offset 25).
    const auto bytes = test::ReadBytes(folder.File("wallpape.ini"));
    ASSERT_GE(bytes.size(), 440u);
    const std::string word = c.word;
    EXPECT_EQ(std::string(bytes.begin() + 385 + 25, bytes.begin() + 385 + 25 + word.size()), word);
    EXPECT_EQ(Record(kFontRecord).Marker.Trimmed(), "[AllFont]");

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Remove));
    EXPECT_EQ(run->WaitExit(), 0);

    run = Start();
    settings = LoadedWindow(*run, kSettings);
    ASSERT_NE(settings, nullptr) << "start-up selects the stored scheme's option";
    EXPECT_FALSE(IsWindowVisible(settings));
    EXPECT_TRUE(Checked(FindButton(settings, c.option)));
    EXPECT_FALSE(Checked(FindButton(settings, "Normal")));

    ASSERT_TRUE(ChooseFromTray(*run, MenuItem::Wallpaper));
    manager = WaitShown(*run, kManager);
    ASSERT_NE(manager, nullptr);
    if (!refreshBefore.Drawn()) GTEST_SKIP() << kNothingDrawn;
    const auto [refreshAfter, everyAfter] = looks(manager);
    EXPECT_EQ(refreshAfter, refreshBefore) << "\"Refresh\" keeps its font";
    if (c.changesLook) {
        EXPECT_NE(everyAfter, everyBefore) << "\"Every\" follows the scheme";
    }
}

// This desktop has no Arial face of its own: its stand-in draws like the window's usual font,
// so only the larger "Enlarge" scheme can be told apart on the screen.
INSTANTIATE_TEST_SUITE_P(Schemes, FontScheme,
                         testing::Values(SchemeCase{"Use Arial font", "Arial", false},
                                         SchemeCase{"Enlarge", "TimesNewRoman", true}),
                         [](const testing::TestParamInfo<SchemeCase>& info) {
                             return std::string(info.param.word);
                         });

} // namespace
} // namespace brd::acceptance
