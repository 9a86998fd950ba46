// The forms runtime: loading on first use, handlers raised by code-made
// changes, real mouse releases, twips, the timer and the directory search.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <vector>

#include "brdwall/manager/form12.h"
#include "brdwall/resources/resource.h"
#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/services/module1.h"
#include "program_driver.h"
#include "tests/host/temp_folder.h"

namespace brd::test {
namespace {

// A small form with one control of each kind, recording the handlers it raises.
class Probe final : public Form {
  public:
    Probe()
        : chk(*this, {"chk", "check", "a tip", 120, 120, 1500, 300}),
          cb(*this, {"cb", "", "", 120, 480, 1500, 300}),
          fra(*this, {"fra", "frame", "", 1800, 120, 2000, 1500}),
          opt1(*this, {"opt", "one", "", 120, 240, 1500, 300}, &fra, 1),
          opt2(*this, {"opt", "two", "", 120, 600, 1500, 300}, &fra, 2),
          cmd(*this, {"cmd", "press", "", 120, 900, 1200, 372}), tick(*this, 20, false) {
        chk.Click = [this] { log.push_back("chk" + std::to_string(chk.Value())); };
        cb.Click = [this] { log.push_back("cb" + std::to_string(cb.ListIndex())); };
        opt1.Click = opt2.Click = [this](int i) { log.push_back("opt" + std::to_string(i)); };
        cmd.Click = [this] { log.push_back("click"); };
        cmd.MouseUp = [this](int b, int, int, int) { log.push_back("up" + std::to_string(b)); };
        chk.MouseUp = [this](int b, int, int, int) { log.push_back("chkup" + std::to_string(b)); };
        tick.Tick = [this] { ++ticks; };
        for (const char* item : {"5 mins", "10 mins", "15 mins"})
            cb.AddItem(item);
    }
    static inline int loads = 0;
    static inline int destroyed = 0;
    ~Probe() override { ++destroyed; }
    bool cancelUnload = false;

    CheckBox chk;
    ComboBox cb;
    Frame fra;
    OptionButton opt1, opt2;
    CommandButton cmd;
    Timer tick;
    int ticks = 0;
    std::vector<std::string> log;

  private:
    FormStyle Style() const override { return FormStyle{"Probe", 4000, 2000}; }
    void Form_Load() override { ++loads; }
    bool Form_QueryUnload(UnloadMode) override { return cancelUnload; }
};

using Log = std::vector<std::string>;

TEST(Runtime, FormIsLoadedOnFirstUseAndStartsAfreshAfterUnload) {
    Probe::loads = Probe::destroyed = 0;
    EXPECT_EQ(Forms().Find<Probe>(), nullptr);
    Probe& p = Forms().Get<Probe>();
    EXPECT_TRUE(p.IsLoaded());
    EXPECT_FALSE(p.Visible()) << "loading does not show";
    EXPECT_EQ(Probe::loads, 1);
    EXPECT_EQ(&Forms().Get<Probe>(), &p);
    EXPECT_EQ(Probe::loads, 1);
    p.chk.SetValue(1);

    p.cancelUnload = true;
    EXPECT_FALSE(p.Unload(FormControlMenu));
    EXPECT_TRUE(p.IsLoaded());
    p.cancelUnload = false;
    EXPECT_TRUE(p.Unload());
    EXPECT_EQ(Forms().Find<Probe>(), nullptr);
    Application::DoEvents();
    EXPECT_EQ(Probe::destroyed, 1);

    Probe& again = Forms().Get<Probe>();
    EXPECT_EQ(Probe::loads, 2);
    EXPECT_EQ(again.chk.Value(), 0) << "nothing kept from the earlier load";
    again.Unload();
    Application::DoEvents();
}

TEST(Runtime, CodeMadeChangesRaiseTheUsersHandlers) {
    Probe& p = Forms().Get<Probe>();
    // Check box: Click on every change of value, none when it stays.
    p.chk.SetValue(1);
    p.chk.SetValue(1);
    p.chk.SetValue(2);
    p.chk.SetValue(0);
    EXPECT_EQ(p.log, (Log{"chk1", "chk2", "chk0"}));
    EXPECT_EQ(SendMessageA(p.chk.hWnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Combo box: Click on every assignment of the list index.
    p.log.clear();
    p.cb.SetListIndex(2);
    p.cb.SetListIndex(2);
    p.cb.SetListIndex(-1);
    EXPECT_EQ(p.log, (Log{"cb2", "cb2", "cb-1"}));
    // Option buttons: Click only when newly selected; the other one is cleared silently.
    p.log.clear();
    p.opt1.SetValue(true);
    p.opt1.SetValue(true);
    p.opt2.SetValue(true);
    p.opt2.SetValue(false);
    EXPECT_EQ(p.log, (Log{"opt1", "opt2"}));
    EXPECT_FALSE(p.opt1.Value());
    EXPECT_FALSE(p.opt2.Value());
    p.Unload();
    Application::DoEvents();
}

TEST(Runtime, UserActionsRaiseTheSameHandlers) {
    Probe& p = Forms().Get<Probe>();
    // A click on a box checks it, the next clears it; a grayed box becomes checked.
    SendMessageA(p.chk.hWnd(), BM_CLICK, 0, 0);
    SendMessageA(p.chk.hWnd(), BM_CLICK, 0, 0);
    p.chk.SetValue(2);
    SendMessageA(p.chk.hWnd(), BM_CLICK, 0, 0);
    SendMessageA(p.opt2.hWnd(), BM_CLICK, 0, 0);
    SendMessageA(p.opt2.hWnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(p.log, (Log{"chk1", "chk0", "chk2", "chk1", "opt2"}));
    EXPECT_EQ(SendMessageA(p.opt2.hWnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    p.Unload();
    Application::DoEvents();
}

TEST(Runtime, MouseUpOnlyForRealReleasesAndAfterClick) {
    Probe& p = Forms().Get<Probe>();
    p.Show();
    p.cmd.PerformClick();
    SendMessageA(p.cmd.hWnd(), BM_CLICK, 0, 0); // keyboard-like press, no release of a mouse button
    EXPECT_EQ(p.log, (Log{"click", "click"}));
    p.log.clear();
    SendMessageA(p.cmd.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(p.cmd.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(p.cmd.hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(p.log, (Log{"click", "up1", "up2"}));
    p.log.clear();
    p.chk.SetValue(1);
    EXPECT_EQ(p.log, (Log{"chk1"})) << "a code-made change is no mouse release";
    p.log.clear();
    // The space bar toggles a check box as a click does, release included; a button only clicks.
    for (HWND h : {p.chk.hWnd(), p.cmd.hWnd()}) {
        SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    }
    SendMessageA(p.chk.hWnd(), WM_KEYUP, VK_SPACE, 0); // a release without a press changes nothing
    EXPECT_EQ(p.log, (Log{"chk0", "chkup1", "click"}));
    p.Unload();
    Application::DoEvents();
}

TEST(Runtime, PositionsAndSizesAreTwipsAtTheWindowsDpi) {
    Probe& p = Forms().Get<Probe>();
    const int dpi = static_cast<int>(p.Dpi());
    RECT client{};
    GetClientRect(p.hWnd(), &client);
    EXPECT_EQ(client.right, MulDiv(4000, dpi, 1440));
    RECT r{};
    GetWindowRect(p.opt2.hWnd(), &r);
    MapWindowPoints(nullptr, p.hWnd(), reinterpret_cast<POINT*>(&r), 2);
    // Inside the frame: the frame's place plus its own.
    EXPECT_EQ(r.left, p.ToPixels(1800 + 120));
    EXPECT_EQ(r.top, p.ToPixels(120 + 600));
    EXPECT_EQ(r.right - r.left, p.ToPixels(1500));
    p.Unload();
    Application::DoEvents();
}

TEST(Runtime, AnotherMonitorsDpiLaysTheWindowOutAgain) {
    Probe& p = Forms().Get<Probe>();
    p.chk.SetFont("Arial", 10);
    const int before = p.ToPixels(1000);
    RECT suggested{10, 10, 10 + p.ToPixels(4000) * 2, 10 + p.ToPixels(2000) * 2};
    SendMessageA(p.hWnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(p.Dpi(), 192u);
    EXPECT_EQ(p.ToPixels(1440), 192);
    RECT r{};
    GetWindowRect(p.opt2.hWnd(), &r);
    MapWindowPoints(nullptr, p.hWnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(1800 + 120, 192, 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(1500, 192, 1440));
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(p.chk.hWnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -MulDiv(10, 192, 72)) << "a font of its own keeps its points at the new DPI";
    EXPECT_GT(p.ToPixels(1000), before);
    // Its position keeps the one conversion stored positions use, the system DPI's.
    const int system = static_cast<int>(GetDpiForSystem());
    p.Move(900, 600);
    GetWindowRect(p.hWnd(), &r);
    EXPECT_EQ(r.left, MulDiv(900, system, 1440));
    EXPECT_EQ(p.Left(), 900);
    EXPECT_EQ(p.Top(), 600);
    p.Unload();
    Application::DoEvents();
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bm{};
    GetObjectW(info.hbmMask, sizeof(bm), &bm);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return bm.bmWidth;
}

// Icons are loaded at the sizes the window's DPI asks for, again when it moves to another DPI;
// the program file holds an entry drawn at each of those sizes, so that none is scaled.
TEST(Runtime, IconsAtEverySizeTheDpiAsksFor) {
    TempFolder folder; // where the manager window keeps its settings
    const std::string appFolder = std::exchange(G().AppFolder, folder.Path().string() + "\\");
    Form12& f = Forms().Get<Form12>();
    for (const auto [dpi, button] : {std::pair{120, 16}, {144, 20}, {192, 24}, {96, 16}}) {
        SendMessageW(f.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
        EXPECT_EQ(IconWidth(f.SmallIcon()), GetSystemMetricsForDpi(SM_CXSMICON, dpi)) << dpi;
        EXPECT_EQ(IconWidth(f.CmdSaveToFile.Icon()), button) << dpi;
    }
    f.Unload();
    G().AppFolder = appFolder;
    const HMODULE exe = LoadLibraryExW((TestExeFolder() / "brdwall.exe").wstring().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    auto resource = [&](int id, LPCSTR type) {
        HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(id), type);
        const auto* at = found ? static_cast<const char*>(LockResource(LoadResource(exe, found))) : nullptr;
        return at ? std::string(at, SizeofResource(exe, found)) : std::string();
    };
    auto sizes = [&](int id) {
        const std::string group = resource(id, RT_GROUP_ICON); // 6 bytes, then 14 a picture
        std::set<int> drawn;
        for (std::size_t at = 6; at + 14 <= group.size(); at += 14)
            drawn.insert(static_cast<unsigned char>(group[at]) ? static_cast<unsigned char>(group[at]) : 256);
        return drawn;
    };
    const std::set<int> scaled{16, 20, 24, 32, 40, 48};
    EXPECT_EQ(sizes(IDI_BRD_FLOWER), (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
    for (int id :
         {IDI_BRD_XCLOCK, IDI_BRD_WARNING, IDI_BRD_DELETE, IDI_BRD_SAVE, IDI_BRD_LOAD, IDI_BRD_MINIMIZE})
        EXPECT_EQ(sizes(id), scaled) << id;
    // Bitmaps found by number, as every resource compiler writes them.
    for (int id = IDB_BRD_BANNER; id <= IDB_BRD_NAME_2X; ++id)
        EXPECT_FALSE(resource(id, RT_BITMAP).empty()) << id;
    EXPECT_NE(resource(1, RT_MANIFEST).find(">true</longPathAware>"), std::string::npos);
    FreeLibrary(exe);
}

TEST(Runtime, TimerTicksOnlyWhileEnabled) {
    Probe& p = Forms().Get<Probe>();
    EXPECT_FALSE(WaitFor([&] { return p.ticks > 0; }, 200));
    p.tick.SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return p.ticks >= 3; }, 3000));
    p.tick.SetEnabled(false);
    Application::DoEvents();
    const int seen = p.ticks;
    EXPECT_FALSE(WaitFor([&] { return p.ticks > seen; }, 200));
    p.Unload();
    Application::DoEvents();
}

TEST(Runtime, DirectorySearchHonoursTheAttributeMask) {
    TempFolder folder;
    auto make = [&](const char* name, DWORD attributes) {
        std::ofstream(folder.File(name)) << "x";
        SetFileAttributesA(folder.File(name).c_str(), attributes);
    };
    make("plain.jpg", FILE_ATTRIBUTE_NORMAL);
    make("readonly.jpg", FILE_ATTRIBUTE_READONLY);
    make("archive.jpg", FILE_ATTRIBUTE_ARCHIVE);
    make("hidden.jpg", FILE_ATTRIBUTE_HIDDEN);
    make("system.jpg", FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryA(folder.File("sub.jpg").c_str(), nullptr);

    auto all = [&](unsigned mask) {
        std::vector<std::string> names;
        DirSearch search;
        for (std::string n = search.First(folder.File("*.jpg"), mask); !n.empty(); n = search.Next())
            names.push_back(n);
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(all(SearchNormal), (std::vector<std::string>{"archive.jpg", "plain.jpg", "readonly.jpg"}));
    EXPECT_EQ(all(SearchDirectory),
              (std::vector<std::string>{"archive.jpg", "plain.jpg", "readonly.jpg", "sub.jpg"}));
    EXPECT_EQ(DirSearch().First(folder.File("*.gif"), SearchNormal), "");
    EXPECT_EQ(DirSearch().First(folder.File("missing\\*.gif"), SearchNormal), "");

    EXPECT_TRUE(FileExists(folder.File("readonly.jpg")));
    EXPECT_FALSE(FileExists(folder.File("hidden.jpg")));
    EXPECT_FALSE(FileExists(folder.File("system.jpg")));
    EXPECT_FALSE(FileExists(folder.File("sub.jpg")));
    EXPECT_FALSE(FileExists(folder.File("*.jpg")));
    for (const char* n : {"readonly.jpg", "hidden.jpg", "system.jpg"})
        SetFileAttributesA(folder.File(n).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Runtime, AppPathIsTheProgramsFolder) {
    const std::string path = AppPath();
    EXPECT_EQ(std::filesystem::path(path), TestExeFolder());
    EXPECT_NE(path.back(), '\\');
}

} // namespace
} // namespace brd::test
