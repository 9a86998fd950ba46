// Folder search and preview, editing the wallpaper list, and saving it.
#include <gtest/gtest.h>

#include "shared/core/settings_rules.h"
#include "brdwall/manager/form13.h"
#include "manager_fixture.h"

namespace brd::test {
namespace {

using Strings = std::vector<std::string>;

class Editing : public ManagerTest {
  protected:
    void TearDown() override {
        if (Form13* q = Forms().Find<Form13>()) q->Unload();
        ManagerTest::TearDown();
    }
    static Strings Items(ListBox& list) {
        Strings out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }
    static void Select(ListBox& list, std::initializer_list<int> indexes) {
        for (int i = 0; i < list.ListCount(); ++i)
            list.SetSelected(i, false);
        for (int i : indexes)
            list.SetSelected(i, true);
    }
    // Windows-folder names of pictures that exist.
    Strings Pictures(std::initializer_list<const char*> names) {
        Strings out;
        for (const char* n : names)
            out.push_back(PlaceInWindows("blue.bmp", std::string("brdtest_") + n + ".bmp"));
        return out;
    }
    // A loaded window whose wallpaper list holds `entries`.
    Form12& WithList(const Strings& entries, int option = 1, int interval = -1) {
        Form12& f = Forms().Get<Form12>();
        for (const auto& e : entries)
            f.lstShow.AddItem(e);
        if (interval >= 0) f.cbInterval.SetListIndex(interval);
        f.optOption(option).SetValue(true);
        CloseWarnings();
        return f;
    }
    std::string ListFile() {
        return std::string(reinterpret_cast<const char*>(ReadBytes(folder.File("Wpaper.dat")).data()),
                           ReadBytes(folder.File("Wpaper.dat")).size());
    }
};

TEST_F(Editing, SearchWithAnEmptyBoxListsTheWindowsFolderAndStoresAnEmptyFolder) {
    PlaceInWindows("blue.bmp", "brdtest_Zeta.bmp");
    PlaceInWindows("red.jpg", "brdtest_alpha.jpg");
    Form12& f = Forms().Get<Form12>();
    const Strings items = Items(f.lstSearch);
    const auto a = std::find(items.begin(), items.end(), "brdtest_alpha.jpg");
    const auto z = std::find(items.begin(), items.end(), "brdtest_Zeta.bmp");
    ASSERT_NE(a, items.end());
    ASSERT_NE(z, items.end());
    EXPECT_LT(a, z) << "sorted without regard to case";
    for (const auto& i : items)
        EXPECT_NE(i.back(), '_');
    f.cmdRefresh_MouseUp(1, 0, 0, 0);
    const SettingsRecord rec = ReadRecord(1);
    EXPECT_EQ(rec.Top, 1);
    EXPECT_EQ(rec.Data.Text(), std::string(30, ' '));
}

TEST_F(Editing, TypedFoldersFoundMissingOrRefused) {
    const std::string pics = "C:\\brdtest_Pics";
    std::filesystem::create_directories(pics);
    for (const char* n : {"b.JPG", "a.bmp", "c.gif", "skip.png"})
        std::filesystem::copy_file(TestData("blue.bmp"), pics + "\\" + n,
                                   std::filesystem::copy_options::overwrite_existing);
    Form12& f = Forms().Get<Form12>();
    f.txtPath.SetText(pics);
    f.cmdRefresh_Click();
    EXPECT_EQ(f.txtPath.Text(), pics + "\\");
    EXPECT_EQ(f.UserFolderPath(), pics + "\\");
    Strings marked;
    for (const auto& i : Items(f.lstSearch))
        if (i.back() == '_') marked.push_back(i);
    EXPECT_EQ(marked, (Strings{"a.bmp_", "b.JPG_", "c.gif_"}));
    EXPECT_TRUE(WarningTexts().empty());

    // Only an existing folder is taken, and stored: anything else leaves the user folder, in use
    // and stored, as it was.
    f.cmdRefresh_MouseUp(1, 0, 0, 0);
    const std::string names[] = {"C:\\brdtest_none", "C:\\bad|na<me>", "Q:\\x", "C:\\*", "NUL", "CON",
                                 pics + "\\a.bmp",   pics + "\\*.jpg"};
    for (const std::string& typed : names) {
        f.txtPath.SetText(typed);
        f.txtPath_KeyDown(VK_RETURN, 0);
        EXPECT_EQ(WarningTexts(), Strings{typed + ", directory not found"});
        EXPECT_EQ(f.UserFolderPath(), pics + "\\") << "an unfound folder leaves the user folder";
        EXPECT_EQ(f.txtPath.Text(), typed);
        for (const auto& i : Items(f.lstSearch))
            EXPECT_NE(i.back(), '_');
        EXPECT_EQ(UserFolderFromRecord(ReadRecord(1)), pics + "\\") << typed << " is not stored";
        CloseWarnings();
    }
    // A folder is used and stored as typed (blanks around it dropped): a drive stays that drive,
    // not the folder or share behind it.
    RemovableDrive drive;
    drive.Plug();
    for (auto [typed, used] : {std::pair<std::string, std::string>{"c:\\BRDTEST_PICS", "c:\\BRDTEST_PICS\\"},
                               {pics + " ", pics + "\\"},
                               {"R:\\pics", drive.Usable() ? "R:\\pics\\" : ""}}) {
        if (used.empty()) continue;
        f.txtPath.SetText(typed);
        f.txtPath_KeyDown(VK_RETURN, 0);
        EXPECT_TRUE(WarningTexts().empty()) << typed;
        EXPECT_EQ(f.txtPath.Text(), used);
        EXPECT_EQ(f.UserFolderPath(), used);
        EXPECT_EQ(UserFolderFromRecord(ReadRecord(1)), used);
    }
    std::filesystem::remove_all(pics);
}

TEST_F(Editing, StoringTheTypedFolderByLength) {
    Form12& f = Forms().Get<Form12>();
    for (std::size_t length : {30u, 31u, 45u, 46u}) {
        std::filesystem::remove(folder.File("wallpape.ini"));
        // A folder that exists; it is stored with its closing "\\", `length` characters in all.
        const std::string typed = "C:\\" + std::string(length - 4, 'd') + "\\";
        std::filesystem::create_directories(typed);
        f.txtPath.SetText(typed);
        f.cmdRefresh_MouseUp(1, 0, 0, 0);
        std::filesystem::remove(typed);
        if (length == 46) {
            EXPECT_EQ(WarningTexts(), Strings{kPathTooLongWarning});
            EXPECT_FALSE(std::filesystem::exists(folder.File("wallpape.ini")));
            CloseWarnings();
            continue;
        }
        const SettingsRecord rec = ReadRecord(1);
        EXPECT_EQ(rec.Data.Text(), length == 30 ? typed : typed.substr(0, 29) + "?") << length;
        EXPECT_EQ(UserFolderFromRecord(rec), typed);
    }
}

TEST_F(Editing, EnterInThePathBoxSearchesAndStoresWithoutAdding) {
    Form12& f = Forms().Get<Form12>();
    f.Show();
    Select(f.lstSearch, {0});
    f.txtPath.SetFocus();
    Application::DoEvents();
    f.txtPath.SetText("C:\\");
    PostMessageA(f.txtPath.hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    Application::DoEvents();
    EXPECT_EQ(f.lstShow.ListCount(), 0) << "Add is not pressed";
    EXPECT_EQ(f.UserFolderPath(), "C:\\");
    EXPECT_EQ(ReadRecord(1).Data.Text().substr(0, 3), "C:\\");
    // Elsewhere, Enter presses "Add".
    f.lstSearch.SetFocus();
    Application::DoEvents();
    Select(f.lstSearch, {0});
    PostMessageA(f.lstSearch.hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    Application::DoEvents();
    EXPECT_EQ(f.lstShow.ListCount(), f.lstSearch.ListCount() > 0 ? 1 : 0);
}

TEST_F(Editing, ExtendButtonDoublesAndRestoresTheHeight) {
    Form12& f = Forms().Get<Form12>();
    const int normal = f.lstSearch.Height();
    f.cmdExtendList_Click();
    EXPECT_NEAR(f.lstSearch.Height(), normal * 2, 15);
    f.cmdExtendList_Click();
    EXPECT_EQ(f.lstSearch.Height(), normal);
    f.cmdExtendList_Click();
    f.cmdExtendList_Click();
    EXPECT_EQ(f.lstSearch.Height(), normal);
}

TEST_F(Editing, PreviewDropsMissingFilesAndKeepsUndecodableOnes) {
    PlaceInWindows("green.gif", "brdtest_ok.gif");
    PlaceInWindows("broken.jpg", "brdtest_bad.jpg");
    const std::string gone = PlaceInWindows("blue.bmp", "brdtest_gone.bmp");
    Form12& f = WithList({"brdtest_ok.gif", "brdtest_bad.jpg", "Beach.jpg_", "brdtest_gone.bmp"});
    std::filesystem::remove(std::filesystem::path(windows) / gone);

    f.lstShow.SetListIndex(0);
    EXPECT_EQ(f.PreviewPath(), windows + "\\brdtest_ok.gif");
    HBITMAP shown = f.imgShow.Picture();
    f.lstShow.SetListIndex(1); // cannot be decoded: warning, entry and preview kept
    ASSERT_EQ(WarningTexts().size(), 1u);
    EXPECT_TRUE(
        WarningTexts()[0].starts_with("brdtest_bad.jpg: Error occurred when loading the preview, Error # "))
        << WarningTexts()[0];
    EXPECT_EQ(f.imgShow.Picture(), shown);
    EXPECT_EQ(f.lstShow.ListCount(), 4);
    CloseWarnings();
    f.lstShow.SetListIndex(2); // Beach.jpg_ is missing
    EXPECT_EQ(WarningTexts(), Strings{"Beach.jpg file not found"});
    EXPECT_EQ(Items(f.lstShow), (Strings{"brdtest_ok.gif", "brdtest_bad.jpg", "brdtest_gone.bmp"}));
    CloseWarnings();

    // From the search list a missing file goes without a word.
    f.cmdRefresh_Click();
    f.lstSearch.AddItem("brdtest_vanished.bmp");
    const Strings before = Items(f.lstSearch);
    const int at =
        static_cast<int>(std::find(before.begin(), before.end(), "brdtest_vanished.bmp") - before.begin());
    f.lstSearch.SetListIndex(at);
    EXPECT_TRUE(WarningTexts().empty());
    EXPECT_EQ(f.lstSearch.ListCount(), static_cast<int>(before.size()) - 1);
    EXPECT_EQ(f.imgShow.Picture(), shown);
}

TEST_F(Editing, AddAppendsTheSelectedSearchEntriesInOrder) {
    Form12& f = WithList({});
    const Strings p = Pictures({"a", "b", "c", "d", "e"});
    f.lstSearch.SetItems(p);
    Select(f.lstSearch, {0, 2, 3});
    f.cmdAdd_Click();
    f.cmdAdd_Click();
    EXPECT_EQ(Items(f.lstShow), (Strings{p[0], p[2], p[3], p[0], p[2], p[3]}));
    EXPECT_EQ(f.lstSearch.SelCount(), 3) << "the selection stays";
    EXPECT_TRUE(WarningTexts().empty());
}

TEST_F(Editing, AddEnablesEveryOnlyWithAnIntervalChosen) {
    for (int interval : {-1, 2}) {
        const Strings p = Pictures({"a", "b"});
        Form12& f = WithList({p[0]}, 1, interval);
        f.lstSearch.SetItems({p[1]});
        Select(f.lstSearch, {0});
        f.cmdAdd_Click();
        EXPECT_EQ(f.ckEvery.Enabled(), interval >= 0);
        EXPECT_TRUE(f.cbInterval.Enabled());
        f.Unload();
        CloseWarnings();
    }
}

TEST_F(Editing, DeleteRemovesTheHighlightedEntriesAndFollowsTheRules) {
    const Strings p = Pictures({"0", "1", "2", "3", "4", "5"});
    Form12& f = WithList(p, 2, 1);
    G().NextShowAt = 25;
    Select(f.lstShow, {1, 3, 4});
    f.cmdDelete_Click();
    EXPECT_EQ(Items(f.lstShow), (Strings{p[0], p[2], p[5]}));
    EXPECT_TRUE(f.optOption(2).Value()) << "three entries keep random";
    CloseWarnings();
    Select(f.lstShow, {0});
    f.cmdDelete_Click();
    EXPECT_TRUE(f.optOption(1).Value()) << "two entries switch to priority";
    CloseWarnings();
    f.ckEvery.SetEnabled(true);
    f.ckEvery.SetValue(1);
    Select(f.lstShow, {1});
    f.cmdDelete_Click();
    EXPECT_EQ(Items(f.lstShow), (Strings{p[2]}));
    EXPECT_EQ(f.ckEvery.Value(), 0);
    EXPECT_FALSE(f.ckEvery.Enabled());
    EXPECT_TRUE(f.cbInterval.Enabled());
    EXPECT_EQ(G().NextShowAt, 25) << "editing never stops a scheduled rotation";
    CloseWarnings();

    f.cmdDeleteAll_Click();
    EXPECT_EQ(f.lstShow.ListCount(), 0);
    EXPECT_TRUE(f.optOption(1).Value());
    EXPECT_EQ(G().NextShowAt, 25);
}

TEST_F(Editing, ListsPastSixteenBitPositions) {
    // Seven pictures in turn: every entry exists, and the order still tells which entries went.
    const Strings p = Pictures({"0", "1", "2", "3", "4", "5", "6"});
    Strings entries;
    for (int i = 0; i < 40000; ++i)
        entries.push_back(p[i % 7]);
    Form12& f = WithList({});
    f.lstShow.AddItems(entries);
    f.Show();

    f.lstShow.SetSelected(39999, true);
    f.cmdDelete_Click();
    entries.pop_back();
    ASSERT_EQ(f.lstShow.ListCount(), 39999) << "the last entry of a long list";

    // Many at once, spread past position 32767, and a few.
    for (const std::vector<int>& picked : {std::vector<int>{1, 32767, 32768, 39998}, [] {
                                               std::vector<int> v;
                                               for (int i = 5; i < 39000; i += 50)
                                                   v.push_back(i);
                                               return v;
                                           }()}) {
        {
            ListBox::Freeze freeze(f.lstShow);
            for (int i : picked)
                f.lstShow.SetSelected(i, true);
        }
        f.cmdDelete_Click();
        for (auto i = picked.rbegin(); i != picked.rend(); ++i)
            entries.erase(entries.begin() + *i);
        EXPECT_EQ(Items(f.lstShow), entries);
        EXPECT_EQ(f.lstShow.SelCount(), 0);
    }

    // Add of a large selection keeps the search list's order.
    Strings found;
    for (int i = 0; i < 20000; ++i)
        found.push_back(p[i % 5]);
    f.lstSearch.SetItems(found);
    found = Items(f.lstSearch);
    SendMessageA(f.lstSearch.hWnd(), LB_SELITEMRANGEEX, 0, 19999);
    f.cmdAdd_Click();
    entries.insert(entries.end(), found.begin(), found.end());
    EXPECT_EQ(Items(f.lstShow), entries);
}

TEST_F(Editing, LoadReplacesTheListAndFollowsTheRules) {
    struct Case {
        Strings file;
        int option;
        bool everyEnabled;
    } cases[] = {
        {Pictures({"a", "b", "c"}), 2, true}, {Pictures({"a", "b"}), 1, true}, {Pictures({"a"}), 1, false}};
    for (const Case& c : cases) {
        WriteList(c.file);
        Form12& f = WithList(Pictures({"old"}), 2, 0);
        f.cmdLoad_Click();
        EXPECT_EQ(Items(f.lstShow), c.file);
        EXPECT_TRUE(f.optOption(c.option).Value()) << c.file.size();
        EXPECT_EQ(f.ckEvery.Enabled(), c.everyEnabled) << c.file.size();
        f.Unload();
        CloseWarnings();
    }
}

TEST_F(Editing, SavingWritesTheListOrAsksBeforeOverwriting) {
    Form12& f = WithList({});
    f.CmdSaveToFile_Click();
    EXPECT_EQ(ListFile(), "") << "an empty list makes an empty file";
    EXPECT_EQ(Forms().Find<Form13>(), nullptr);

    std::filesystem::remove(folder.File("Wpaper.dat"));
    for (const char* e : {"Clouds.bmp", "Beach.jpg_", "x.gif"})
        f.lstShow.AddItem(e);
    f.CmdSaveToFile_Click();
    EXPECT_EQ(ListFile(), "\"Clouds.bmp\"\r\n\"Beach.jpg_\"\r\n\"x.gif\"\r\n");

    // The file exists: the question comes, top-most; Cancel writes nothing.
    f.lstShow.AddItem("later.bmp");
    f.CmdSaveToFile_Click();
    Form13* q = Forms().Find<Form13>();
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(q->Visible());
    EXPECT_TRUE(GetWindowLongA(q->hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(q->Label1.Caption(), "File already exists, overwrite ?");
    f.CmdSaveToFile_Click();
    EXPECT_EQ(Forms().Find<Form13>(), q) << "a second press brings the same question back";
    q->cmdCancel_Click();
    Application::DoEvents();
    EXPECT_EQ(ListFile(), "\"Clouds.bmp\"\r\n\"Beach.jpg_\"\r\n\"x.gif\"\r\n");

    // Yes writes the list of the moment, with what was added while the question was open.
    f.CmdSaveToFile_Click();
    f.lstShow.AddItem("while_open.bmp");
    Forms().Find<Form13>()->cmdYes_Click();
    Application::DoEvents();
    EXPECT_EQ(ListFile(),
              "\"Clouds.bmp\"\r\n\"Beach.jpg_\"\r\n\"x.gif\"\r\n\"later.bmp\"\r\n\"while_open.bmp\"\r\n");
    EXPECT_TRUE(WarningTexts().empty());

    // The manager window closes (and unloads) while the question is open: the question goes
    // with it, and the saved list stays.
    f.CmdSaveToFile_Click();
    f.cmdClose_Click();
    Application::DoEvents();
    EXPECT_EQ(Forms().Find<Form12>(), nullptr);
    EXPECT_EQ(Forms().Find<Form13>(), nullptr);
    EXPECT_EQ(ListFile(),
              "\"Clouds.bmp\"\r\n\"Beach.jpg_\"\r\n\"x.gif\"\r\n\"later.bmp\"\r\n\"while_open.bmp\"\r\n");
}

TEST_F(Editing, AFailedSaveLeavesTheOldFileByteIdentical) {
    Form12& f = WithList({"new.bmp"});
    WriteList({"old.bmp"});
    const auto old = ReadBytes(folder.File("Wpaper.dat"));
    const std::string path = folder.File("Wpaper.dat");

    // A read-only file.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    f.CmdSaveToFile_Click();
    Forms().Find<Form13>()->cmdYes_Click();
    Application::DoEvents();
    EXPECT_EQ(ReadBytes(path), old);
    ASSERT_EQ(WarningTexts().size(), 1u);
    EXPECT_TRUE(WarningTexts()[0].starts_with("Error occurred when saving items of list to disk, Error # "));
    CloseWarnings();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A file another program holds open without sharing.
    {
        unique_kernel_handle lock(
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        f.CmdSaveToFile_Click();
        Forms().Find<Form13>()->cmdYes_Click();
        Application::DoEvents();
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(WarningTexts().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

} // namespace
} // namespace brd::test
