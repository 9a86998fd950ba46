// The settings, help and about windows, driven in-process.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>
#include <sddl.h>

#include <filesystem>
#include <optional>
#include <random>
#include <tuple>

#include "shared/core/record_file.h"
#include "brdwall/manager/form12.h"
#include "brdwall/manager/form13.h"
#include "brdwall/services/module1.h"
#include "brdwall/windows/form11.h"
#include "brdwall/windows/form2.h"
#include "brdwall/windows/form3.h"
#include "brdwall/windows/form7.h"
#include "program_driver.h"
#include "tests/host/temp_folder.h"

namespace brd::test {
namespace {

// A program folder of its own; the program-wide values are given back as found.
class AuxWindows : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = {G().AppFolder, G().FontScheme, G().SettingsBuffer};
        G().AppFolder = folder.Path().string() + "\\";
        UnloadAll();
    }
    void TearDown() override {
        UnloadAll();
        std::tie(G().AppFolder, G().FontScheme, G().SettingsBuffer) = saved_;
    }
    static void UnloadAll() {
        if (Form7* f = Forms().Find<Form7>()) f->Unload();
        if (Form2* f = Forms().Find<Form2>()) f->Unload();
        if (Form3* f = Forms().Find<Form3>()) f->Unload();
        Application::DoEvents();
    }
    static LOGFONTA FontOf(const Control& c) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(c.hWnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf;
    }
    TempFolder folder;

  private:
    std::tuple<std::string, std::int16_t, SettingsRecord> saved_;
};

TEST_F(AuxWindows, SettingsLoadSelectsTheSchemeAndEveryCloseWritesRecord8) {
    struct Case {
        int schemeAtLoad, selected, choice; // choice 0: no option touched
        bool closeBox;
        const char* word;
    } cases[] = {{0, 3, 0, false, "Normal"},
                 {1, 1, 0, true, "Arial"},
                 {1, 1, 2, true, "TimesNewRoman"},
                 {2, 2, 3, false, "Normal"},
                 {3, 3, 1, false, "Arial"}};
    for (const Case& c : cases) {
        std::filesystem::remove(folder.File("wallpape.ini"));
        G().FontScheme = static_cast<std::int16_t>(c.schemeAtLoad);
        G().SettingsBuffer = SettingsRecord{};
        G().SettingsBuffer.Top = 7;
        G().SettingsBuffer.Left = -3;
        Form7& f = Forms().Get<Form7>();
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(f.optFont(i).Value(), i == c.selected) << c.schemeAtLoad << i;
        EXPECT_EQ(G().FontScheme, c.selected);
        if (c.choice) f.optFont(c.choice).SetValue(true);
        EXPECT_FALSE(std::filesystem::exists(folder.File("wallpape.ini"))) << "a choice alone writes nothing";
        if (c.closeBox) {
            SendMessageA(f.hWnd(), WM_CLOSE, 0, 0);
        } else {
            f.cmdClose.PerformClick();
        }
        EXPECT_EQ(Forms().Find<Form7>(), nullptr);
        SettingsRecord expected;
        expected.Marker.Assign("[AllFont]");
        expected.Data.Assign(c.word);
        expected.Top = 7;
        expected.Left = -3;
        FailureNote note;
        EXPECT_EQ(ReadSettingsRecord(folder.File("wallpape.ini"), 8, note), expected) << c.word;
    }
}

TEST_F(AuxWindows, SettingsFontsFollowTheStoredRecordNotALaterChoice) {
    struct Case {
        const char* word; // null: no settings file
        const char* face; // null: the default font
        int points;       // 0: size unchanged
    } cases[] = {{"Arial", "Arial", 0}, {"TimesNewRoman", "Times New Roman", 10}, {nullptr, nullptr, 0}};
    for (const Case& c : cases) {
        std::filesystem::remove(folder.File("wallpape.ini"));
        if (c.word) {
            SettingsRecord rec;
            rec.Data.Assign(c.word);
            FailureNote note;
            WriteSettingsRecord(folder.File("wallpape.ini"), 8, rec, note);
        }
        G().FontScheme = 0;
        Form7& f = Forms().Get<Form7>();
        const LOGFONTA plain = FontOf(f.cmdRun);
        for (int round = 0; round < 2; ++round) {
            for (const Control* ctl :
                 std::initializer_list<const Control*>{&f.cmdClose, &f.Frame3, &f.optFont3}) {
                const LOGFONTA lf = FontOf(*ctl);
                EXPECT_STREQ(lf.lfFaceName, c.face ? c.face : plain.lfFaceName) << round << ctl->Name();
                EXPECT_EQ(lf.lfHeight,
                          c.points ? -MulDiv(c.points, static_cast<int>(f.Dpi()), 72) : plain.lfHeight);
            }
            EXPECT_STREQ(FontOf(f.lblLoadBrd).lfFaceName, plain.lfFaceName);
            f.optFont(2).SetValue(true); // takes effect at the next start, not now
        }
        UnloadAll();
    }
}

// Every window gives back at unload what its load took: the icons it showed are destroyed, and
// many openings leave the process's handle counts where they were.
TEST_F(AuxWindows, EveryWindowGivesItsHandlesBackAtUnload) {
    std::vector<HICON> icons;
    const auto cycle = [&icons](bool collect) {
        G().NextShowAt = -1; // the manager window unloads when it closes
        Forms().Get<Form12>().Show();
        Forms().Get<Form13>().FileAlreadyExist("Wallpaper", "Wpaper.dat", nullptr);
        Forms().Get<Form7>().Show();
        Forms().Get<Form2>().Show();
        Forms().Get<Form3>().Show();
        Form11::AnswerOk("handles");
        std::vector<HWND> ours;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() && ClassOf(w) == "brdForm" && IsWindowVisible(w))
                ours.push_back(w);
        }
        for (HWND w : ours) {
            if (!collect) continue;
            for (WPARAM kind : {ICON_BIG, ICON_SMALL})
                if (auto icon = reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, kind, 0)))
                    icons.push_back(icon);
        }
        for (HWND w : ours)
            SendMessageA(w, WM_CLOSE, 0, 0);
        Application::DoEvents();
        return ours.size();
    };
    EXPECT_EQ(cycle(true), 6u);
    ASSERT_FALSE(icons.empty());
    for (HICON icon : icons) {
        ICONINFO info{};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "destroyed with its window";
    }

    const auto counts = [] {
        DWORD handles = 0;
        GetProcessHandleCount(GetCurrentProcess(), &handles);
        return std::array<DWORD, 3>{handles, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                                    GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    };
    cycle(false);
    const auto before = counts();
    // A handle kept by any cycle shows in the counts; a cycle takes about 0.4 s under Wine.
    for (int i = 0; i < 30; ++i)
        cycle(false);
    EXPECT_EQ(counts(), before) << "kernel handles, GDI objects, USER objects";
}

TEST(RunValueData, AlwaysAddsASeparatorBeforeTheProgramName) {
    for (auto [folder, data] : {std::pair{"C:\\", "C:\\\\brdwall.exe"},
                                {"C:\\Tools\\Brd", "C:\\Tools\\Brd\\brdwall.exe"},
                                {"\\\\server\\share", "\\\\server\\share\\brdwall.exe"},
                                {"C:\\brd N", "\"C:\\brd N\\brdwall.exe\""}})
        EXPECT_EQ(RunValueData(folder), data);
}

// Keys under HKCU\Software\brdtest that stand in for the two Run roots.
class TestKeys {
  public:
    TestKeys() : path_("Software\\brdtest\\" + std::to_string(std::random_device()())) {}
    ~TestKeys() {
        roots_.clear();
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\brdtest"); // fails while another run's keys are there
    }
    // A root whose Run key holds `data` (if any); a refused one lets nobody set or delete its values.
    HKEY Root(const char* name, const char* data = nullptr, bool refused = false) {
        HKEY root = nullptr, run = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (path_ + "\\" + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &root, nullptr);
        roots_.emplace_back(root);
        RegCreateKeyExA(root, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr);
        const unique_hkey key(run);
        if (data)
            RegSetValueExA(run, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                           lstrlenA(data) + 1);
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (refused && ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;KRSDWD;;;WD)",
                                                                            SDDL_REVISION_1, &sd, nullptr)) {
            EXPECT_EQ(RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
            LocalFree(sd);
        }
        return root;
    }
    // The value's type and bytes as stored; nothing when there is none.
    static std::optional<std::pair<DWORD, std::string>> Value(HKEY root) {
        HKEY raw = nullptr;
        char buf[1024];
        DWORD type = 0, size = sizeof(buf);
        if (RegOpenKeyExA(root, kRunKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return std::nullopt;
        const unique_hkey run(raw);
        if (RegQueryValueExA(raw, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size))
            return {};
        return std::pair{type, std::string(buf, size)};
    }

  private:
    std::string path_;
    std::vector<unique_hkey> roots_;
};

// The program's folder (the tests' folder here), one "\", its name.
std::string ProgramData() {
    return (TestExeFolder() / "brdwall.exe").string();
}

TEST_F(AuxWindows, RunWritesTheMachineWideValueAndNoRunRemovesIt) {
    TestKeys keys;
    HKEY machine = keys.Root("machine");
    HKEY user = keys.Root("user", "C:\\old\\brdwall.exe");
    Form7& f = Forms().Get<Form7>();
    f.UserRunRoot = user;
    // The program names HKEY_LOCAL_MACHINE itself; in this process it leads to the test key.
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine), ERROR_SUCCESS);
    f.cmdRun.PerformClick();
    f.cmdRun.PerformClick();
    const auto written = TestKeys::Value(machine);
    const bool userLeft = TestKeys::Value(user).has_value();
    f.cmdNoRun.PerformClick();
    f.cmdNoRun.PerformClick(); // nothing left to delete: no message either
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);

    ASSERT_TRUE(written);
    EXPECT_EQ(written->first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(written->second, ProgramData() + '\0') << "the length counts the terminating NUL";
    EXPECT_FALSE(userLeft) << "one entry only, or the program would start twice";
    EXPECT_EQ(f.lblLoadBrd.Caption(), "It is done!It is done!It is done!It is done!");
    EXPECT_FALSE(TestKeys::Value(machine));
    EXPECT_EQ(Forms().OtherCount(), 0u) << "no warning window";
}

TEST_F(AuxWindows, WithoutRightsToTheMachineKeyRunFallsBackToThisUserAndNeverClaimsSuccess) {
    const std::string data = ProgramData();
    struct Case {
        const char* name;
        bool run; // cmdRun, else cmdNoRun
        bool machineHolds, userHolds, userRefused;
        const char* label;
        bool machineAfter, userAfter;
        bool quoted = false; // the values held are in quotes
    } cases[] = {
        {"per-user value", true, false, false, false, kRunDoneForThisUser, false, true},
        {"nothing writable", true, false, false, true, kRunNotDone, false, false},
        {"machine value already in place", true, true, true, false, kRunDone, true, false},
        {"machine value in quotes already in place", true, true, true, false, kRunDone, true, false, true},
        {"machine value that cannot be removed", false, true, true, false, kRunNotDone, true, false},
        {"no machine value to remove", false, false, true, false, kRunDone, false, false},
    };
    for (const Case& c : cases) {
        TestKeys keys;
        Form7& f = Forms().Get<Form7>();
        const std::string held = c.quoted ? '"' + data + '"' : data;
        f.MachineRunRoot = keys.Root("machine", c.machineHolds ? held.c_str() : nullptr, true);
        f.UserRunRoot = keys.Root("user", c.userHolds ? data.c_str() : nullptr, c.userRefused);
        (c.run ? f.cmdRun : f.cmdNoRun).PerformClick();
        EXPECT_EQ(f.lblLoadBrd.Caption(), c.label) << c.name;
        EXPECT_EQ(TestKeys::Value(f.MachineRunRoot).has_value(), c.machineAfter) << c.name;
        const auto user = TestKeys::Value(f.UserRunRoot);
        EXPECT_EQ(user.has_value(), c.userAfter) << c.name;
        if (user) {
            EXPECT_EQ(user->second, data + '\0') << c.name;
        }
        UnloadAll();
    }
}

// Enter pressed in `target` and handled by the program's message loop until `done` or 3 s.
template <typename Done> bool EnterIn(HWND target, Done done) {
    SetForegroundWindow(GetAncestor(target, GA_ROOT));
    SetFocus(target);
    PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(target, WM_KEYUP, VK_RETURN, 0);
    return WaitFor([&] { return Application::DoEvents(), done(); }, 3000);
}

TEST_F(AuxWindows, HelpShowsItsTwentyTwoLinesOnceAtEveryOpeningAndKeepsEnter) {
    std::string first; // the text of the first opening
    for (int opening = 1; opening <= 2; ++opening) {
        Form2& f = Forms().Get<Form2>();
        f.Show();
        const std::string text = f.txtHelp.Text();
        if (opening == 1) first = text;
        EXPECT_EQ(text, first) << "the same text, once, at every opening";
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21) << "22 lines";
        EXPECT_TRUE(text.starts_with("   https://")) << text;
        EXPECT_STREQ(FontOf(f.txtHelp).lfFaceName, "Comic Sans MS");
        EXPECT_EQ(FontOf(f.txtHelp).lfHeight, -MulDiv(9, static_cast<int>(f.Dpi()), 72));
        const std::string typed = "the user's own words"; // lost at the next load
        f.txtHelp.SetText(typed);
        EXPECT_TRUE(EnterIn(f.txtHelp.hWnd(), [&] { return f.txtHelp.Text().size() == typed.size() + 2; }))
            << "Enter starts a new line";
        EXPECT_EQ(Forms().Find<Form2>(), &f) << "Enter does not press OK";
        f.cmdOK.PerformClick();
        EXPECT_EQ(Forms().Find<Form2>(), nullptr);
    }
}

TEST_F(AuxWindows, AboutShowsTheWholeNamePictureTheFlowerAndOneLineAndEnterPressesOk) {
    Form3& f = Forms().Get<Form3>();
    f.Show();
    // The whole picture, at its 96 DPI size scaled to the window's DPI, also after a move to a 150% monitor.
    for (const int dpi : {0, 144}) {
        if (dpi) {
            RECT at{};
            GetWindowRect(f.hWnd(), &at);
            SendMessageA(f.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&at));
            Application::DoEvents();
        }
        BITMAP shown{};
        ASSERT_TRUE(GetObjectA(f.imgMyName.Picture(), sizeof(shown), &shown));
        RECT box{};
        GetClientRect(f.imgMyName.hWnd(), &box);
        EXPECT_EQ(shown.bmWidth, MulDiv(178, static_cast<int>(f.Dpi()), 96)) << dpi;
        EXPECT_EQ(shown.bmHeight, MulDiv(71, static_cast<int>(f.Dpi()), 96)) << dpi;
        EXPECT_EQ(std::pair(box.right, box.bottom), std::pair(shown.bmWidth, shown.bmHeight))
            << "not cropped";
    }
    EXPECT_NE(f.imgFlowerIcon.Icon(), nullptr);

    // Label3's text fits its width: one line.
    const std::string line = f.Label3.Caption();
    HDC dc = GetDC(f.Label3.hWnd());
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(f.Label3.hWnd(), WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &extent);
    ReleaseDC(f.Label3.hWnd(), dc);
    RECT label{};
    GetClientRect(f.Label3.hWnd(), &label);
    EXPECT_FALSE(line.empty());
    EXPECT_LE(extent.cx, label.right);

    EXPECT_TRUE(EnterIn(f.hWnd(), [] { return Forms().Find<Form3>() == nullptr; })) << "Enter presses OK";
}

} // namespace
} // namespace brd::test
