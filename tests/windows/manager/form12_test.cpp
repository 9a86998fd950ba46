// The manager window driven in this process: its load from the stored
// settings, the option rules, switching rotation, closing, and fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "manager_fixture.h"

namespace brd::test {
namespace {

using Form12Load = ManagerTest;

TEST_F(Form12Load, FirstStartWithNoFiles) {
    // With no folder stored, the search shows the Windows folder's pictures.
    const std::filesystem::path picture = FilePath(WindowsDirectory()) / "brd_first_start.gif";
    std::filesystem::copy_file(TestData("green.gif"), picture,
                               std::filesystem::copy_options::overwrite_existing);
    struct Remove {
        std::filesystem::path path;
        ~Remove() {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    } remove{picture};
    Form12& f = Forms().Get<Form12>();
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(f.ckEvery.Enabled());
    EXPECT_EQ(f.ckEvery.Value(), 0);
    EXPECT_TRUE(f.cbInterval.Enabled());
    EXPECT_EQ(f.cbInterval.ListIndex(), -1);
    EXPECT_EQ(f.cbInterval.Caption(), "min / hr");
    EXPECT_TRUE(f.optOption(1).Value());
    EXPECT_FALSE(f.optOption(2).Value());
    EXPECT_EQ(f.ckCountDown.Value(), 0);
    EXPECT_EQ(f.ckSaveSettings.Value(), 0);
    EXPECT_EQ(f.Top(), 0);
    EXPECT_EQ(f.Left(), 0);
    EXPECT_EQ(G().NextShowAt, -1);
    EXPECT_EQ(f.txtPath.Text(), "");
    EXPECT_TRUE(WarningTexts().empty());
    std::vector<std::string> found;
    for (int i = 0; i < f.lstSearch.ListCount(); ++i)
        found.push_back(f.lstSearch.List(i));
    EXPECT_NE(std::find(found.begin(), found.end(), "brd_first_start.gif"), found.end());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "wallpape.ini")) << "loading writes nothing";
}

TEST_F(Form12Load, AWindowStoredOffTheScreenOpensOnIt) {
    for (const auto& [top, left] : {std::pair{90000, -150000}, {-2000000000, 2000000000}}) {
        WriteRecord(5, "[WallpaperLoc]", "CheckEmptyEmptyPrior 0", top, left);
        Form12& f = Forms().Get<Form12>();
        f.Show();
        RECT r{};
        GetWindowRect(f.hWnd(), &r);
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        GetMonitorInfoA(MonitorFromWindow(f.hWnd(), MONITOR_DEFAULTTONEAREST), &mi);
        RECT inside{};
        EXPECT_TRUE(IntersectRect(&inside, &r, &mi.rcWork) && EqualRect(&inside, &r)) << top << ", " << left;
        const long shownTop = f.Top(), shownLeft = f.Left();
        f.cmdClose_Click();
        const SettingsRecord stored = ReadRecord(5);
        EXPECT_EQ(stored.Top, shownTop) << "where the user saw it";
        EXPECT_EQ(stored.Left, shownLeft);
        Application::DoEvents();
    }
}

// A screen reader asks each control for its name, which for a button is its window text: the
// picture buttons, which show no text, say what they do.
TEST_F(Form12Load, PictureButtonsHaveSpokenNames) {
    Form12& f = Forms().Get<Form12>();
    const std::pair<PictureButton*, const wchar_t*> buttons[] = {
        {&f.cmdDelete, L"remove highlighted items"},
        {&f.cmdDeleteAll, L"remove all items"},
        {&f.CmdSaveToFile, L"save wallpaper list's data to disk"},
        {&f.cmdLoad, L"clear data in wallpaper list and load old data from disk"},
        {&f.cmdExtendList, L"extend or shorten the searched list"},
        {&f.cmdMinimize, L"minimize"}};
    for (const auto& [button, spoken] : buttons) {
        wchar_t text[128] = {};
        GetWindowTextW(button->hWnd(), text, 128);
        EXPECT_STREQ(text, spoken);
    }
}

struct RestoreCase {
    const char* name;
    const char* data;
    int entries;
    int everyValue;
    bool everyEnabled;
    bool intervalEnabled;
    bool rotating;
    int listIndex;
    int option; // selected order option
    int countDown;
};

class Form12Restore : public ManagerTest, public testing::WithParamInterface<RestoreCase> {};

TEST_P(Form12Restore, StoredOptionsComeBackByTheRules) {
    const RestoreCase& c = GetParam();
    std::vector<std::string> entries;
    for (int i = 0; i < c.entries; ++i)
        entries.push_back(PlaceInWindows("blue.bmp", "brdtest_" + std::to_string(i) + ".bmp"));
    WriteList(entries);
    WriteRecord(5, "[WallpaperLoc]", c.data, 600, 900);
    Form12& f = Forms().Get<Form12>();
    EXPECT_EQ(f.lstShow.ListCount(), c.entries);
    EXPECT_EQ(f.ckEvery.Value(), c.everyValue);
    EXPECT_EQ(f.ckEvery.Enabled(), c.everyEnabled);
    EXPECT_EQ(f.cbInterval.Enabled(), c.intervalEnabled);
    EXPECT_EQ(f.cbInterval.ListIndex(), c.listIndex);
    EXPECT_EQ(G().NextShowAt != -1, c.rotating);
    EXPECT_TRUE(f.optOption(c.option).Value());
    EXPECT_EQ(f.ckCountDown.Value(), c.countDown);
    EXPECT_EQ(G().CountDownOn, c.countDown == 1 ? VBTrue : VBFalse);
    EXPECT_EQ(f.ckSaveSettings.Value(), std::string(c.data).starts_with("Check") ? 1 : 0);
    EXPECT_EQ(f.Top(), 600);
    EXPECT_EQ(f.Left(), 900);
    EXPECT_TRUE(WarningTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Records, Form12Restore,
    testing::Values(
        // "Every" stored clear: restoring the interval enables it, rotation stays off.
        RestoreCase{"EveryClearTwoEntries", "CheckEmptyEmptyPrior 2", 2, 0, true, true, false, 2, 1, 0},
        RestoreCase{"EveryCheckedTwoEntries", "CheckCheckEmptyRando 0", 2, 1, true, false, true, 0, 2, 0},
        RestoreCase{"EveryCheckedOneEntry", "CheckCheckEmptyPrior 0", 1, 0, false, true, false, 0, 1, 0},
        // "Every" restored checked, then cleared at the end of the load: no interval is chosen.
        RestoreCase{"CountDownNoInterval", "CheckCheckCheckPrior-1", 3, 0, true, true, false, -1, 1, 1},
        RestoreCase{"NotSavedRestoresOnlyPlace", "Empty", 2, 0, false, true, false, -1, 1, 0}),
    [](const testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

using Form12Rules = ManagerTest;

TEST_F(Form12Rules, IntervalEnablesEveryOnlyWithTwoEntries) {
    Form12& f = Forms().Get<Form12>();
    f.lstShow.AddItem("a.bmp");
    f.cbInterval.SetListIndex(1);
    EXPECT_FALSE(f.ckEvery.Enabled());
    f.lstShow.AddItem("b.bmp");
    f.cbInterval.SetListIndex(2);
    EXPECT_TRUE(f.ckEvery.Enabled());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "wallpape.ini"))
        << "choosing an interval saves nothing";
}

TEST_F(Form12Rules, MouseOnEverySwitchesRotationAndSaves) {
    WriteList({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("blue.bmp", "brdtest_b.bmp")});
    Form12& f = Forms().Get<Form12>();
    f.cbInterval.SetListIndex(3);
    f.ckSaveSettings.SetValue(1);
    Release(f.ckEvery);
    EXPECT_EQ(f.ckEvery.Value(), 1);
    EXPECT_NE(G().NextShowAt, -1);
    EXPECT_EQ(G().NextShowAt % 30, 0);
    EXPECT_EQ(G().IntervalMinutes, 30);
    EXPECT_EQ(G().ClockArmed, VBTrue);
    EXPECT_FALSE(f.cbInterval.Enabled());
    EXPECT_EQ(ReadRecord(5).Data.Text(), "CheckCheckEmptyPrior 3        ");

    Release(f.ckEvery);
    EXPECT_EQ(f.ckEvery.Value(), 0);
    EXPECT_EQ(G().NextShowAt, -1);
    EXPECT_EQ(G().ClockArmed, VBTrue) << "never disarmed";
    EXPECT_TRUE(f.cbInterval.Enabled());
    EXPECT_EQ(ReadRecord(5).Data.Text(), "CheckEmptyEmptyPrior 3        ");
}

TEST_F(Form12Rules, CountDownLoadsTheIntervalsMinutes) {
    Form12& f = Forms().Get<Form12>();
    f.cbInterval.SetListIndex(1);
    SYSTEMTIME before;
    GetLocalTime(&before);
    f.ckCountDown.SetValue(1);
    EXPECT_EQ(G().CountDownOn, VBTrue);
    EXPECT_EQ(G().CountDownLeft, 10);
    EXPECT_EQ(G().CountDownSpan, 10);
    SYSTEMTIME after;
    GetLocalTime(&after);
    EXPECT_TRUE(G().LastMinuteSeen == before.wMinute || G().LastMinuteSeen == after.wMinute);
    f.ckCountDown.SetValue(0);
    EXPECT_EQ(G().CountDownOn, VBFalse);
}

TEST_F(Form12Rules, StoredUserFolderIsShownInFullOrReportedMissing) {
    // 40 characters: 29 in Data with the mark, 11 in Marker.
    const std::string existing = "C:\\brdtest_pics";
    std::filesystem::create_directories(existing);
    struct Case {
        std::string folder;
        bool exists;
    } cases[] = {{std::string("C:\\Users\\Public\\Pictures\\Holiday\\2024\\Sea").substr(0, 40), false},
                 {existing, true}};
    for (const Case& c : cases) {
        SettingsRecord rec;
        FailureNote note;
        const auto built = BuildUserFolderRecord(c.folder);
        ASSERT_TRUE(built.has_value()) << c.folder;
        WriteSettingsRecord(folder.File("wallpape.ini"), 1, *built, note);
        Form12& f = Forms().Get<Form12>();
        if (c.exists) {
            // The load's search finds it and completes it with its separator.
            EXPECT_EQ(f.txtPath.Text(), c.folder + "\\");
            EXPECT_EQ(f.UserFolderPath(), c.folder + "\\");
            EXPECT_TRUE(WarningTexts().empty());
        } else {
            EXPECT_EQ(f.txtPath.Text(), c.folder);
            EXPECT_EQ(f.UserFolderPath(), c.folder + "\\") << "kept while it cannot be reached";
            auto warnings = WarningTexts();
            std::sort(warnings.begin(), warnings.end());
            EXPECT_EQ(warnings, (std::vector<std::string>{c.folder + ", directory not found",
                                                          "invalid path found, please input again!"}));
        }
        f.Unload();
        CloseWarnings();
    }
    std::filesystem::remove(existing);
}

TEST_F(Form12Rules, CloseHidesWhileAChangeIsScheduledAndUnloadsOtherwise) {
    WriteList({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("blue.bmp", "brdtest_b.bmp")});
    Form12& f = Forms().Get<Form12>();
    f.Show();
    f.cbInterval.SetListIndex(0);
    Release(f.ckEvery);
    ASSERT_NE(G().NextShowAt, -1);
    f.cmdClose.PerformClick();
    EXPECT_EQ(Forms().Find<Form12>(), &f);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(ReadRecord(5).Data.Text(), "Empty                         ") << "every close saves";

    Release(f.ckEvery); // rotation off
    ASSERT_EQ(G().NextShowAt, -1);
    f.cmdClose.PerformClick();
    Application::DoEvents();
    EXPECT_EQ(Forms().Find<Form12>(), nullptr);
}

TEST_F(Form12Rules, FontSchemesChangeOnlyTheThirteenControls) {
    struct Case {
        const char* word;
        const char* face;
        int points; // 0: size unchanged
    } cases[] = {{"Arial", "Arial", 0}, {"TimesNewRoman", "Times New Roman", 10}, {"Normal", nullptr, 0}};
    for (const Case& c : cases) {
        WriteRecord(8, "[AllFont]", c.word);
        Form12& f = Forms().Get<Form12>();
        auto font = [](Control& ctl) {
            LOGFONTA lf{};
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(ctl.hWnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
            return lf;
        };
        const LOGFONTA plain = font(f.txtPath);
        for (Control* ctl : std::initializer_list<Control*>{&f.ckEvery, &f.lstShow, &f.cbInterval,
                                                            &f.ckCountDown, &f.cmdClose, &f.optOption2}) {
            const LOGFONTA lf = font(*ctl);
            EXPECT_STREQ(lf.lfFaceName, c.face ? c.face : plain.lfFaceName) << c.word << " " << ctl->Name();
            const int height = c.points ? -MulDiv(c.points, static_cast<int>(f.Dpi()), 72) : plain.lfHeight;
            EXPECT_EQ(lf.lfHeight, height) << c.word << " " << ctl->Name();
        }
        EXPECT_STREQ(font(f.cmdRefresh).lfFaceName, plain.lfFaceName);
        f.Unload();
        Application::DoEvents();
    }
}

} // namespace
} // namespace brd::test
