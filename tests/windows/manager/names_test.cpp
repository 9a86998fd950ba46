// Folder and file names in any script: the main road, from the search to a wallpaper applied by the
// real program, with a program folder, a user folder and pictures named in other scripts.
#include <gtest/gtest.h>

#include "shared/core/file_path.h"
#include "shared/win/text.h"
#include "manager_fixture.h"

namespace brd::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The wallpaper the desktop was given, as stored for the user.
std::string StoredWallpaper() {
    wchar_t data[MAX_PATH * 2] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return {};
    return Utf8(data);
}

// The texts of this process's warning windows, read as the screen shows them (wide).
Strings ShownWarnings() {
    Strings texts;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() || WindowText(w) != "Warning Message" || !IsWindowVisible(w))
            continue;
        for (HWND c : Children(w)) {
            if (ClassOf(c) != "Static" || !(GetWindowLongW(c, GWL_STYLE) & SS_NOPREFIX)) continue;
            wchar_t text[1024] = {};
            GetWindowTextW(c, text, 1024);
            texts.push_back(Utf8(text));
        }
    }
    return texts;
}

void Copy(const char* testData, const std::string& to) {
    fs::copy_file(TestData(testData), FilePath(to), fs::copy_options::overwrite_existing);
}

struct Name {
    const char* script;
    const char* text; // UTF-8
};

class Names : public ManagerTest, public testing::WithParamInterface<Name> {
  protected:
    void SetUp() override {
        ManagerTest::SetUp();
        name = GetParam().text;
        program = folder.File("Программа " + name);
        fs::create_directory(FilePath(program));
        G().AppFolder = program + "\\";
        user = "C:\\brdtest_" + name;
        fs::create_directories(FilePath(user));
        ApplyWallpaper("");
    }
    void TearDown() override {
        ManagerTest::TearDown();
        std::error_code ec;
        fs::remove_all(FilePath(user), ec);
        fs::remove(FilePath(windows + "\\brdtest_" + name + ".bmp"), ec);
    }
    std::string FileText(const std::string& path) {
        const auto bytes = ReadBytes(path);
        return {bytes.begin(), bytes.end()};
    }
    std::string name, program, user;
};

TEST_P(Names, TheMainRoadFromTheSearchToTheDesktop) {
    Copy("blue.bmp", windows + "\\brdtest_" + name + ".bmp");
    Copy("blue.bmp", user + "\\" + name + ".bmp");
    Copy("red.jpg", user + "\\" + name + ".jpg");

    // The search finds the pictures of both folders; the typed folder is stored.
    Form12& f = Forms().Get<Form12>();
    f.txtPath.SetText(user);
    f.txtPath_KeyDown(VK_RETURN, 0);
    EXPECT_TRUE(ShownWarnings().empty());
    EXPECT_EQ(f.UserFolderPath(), user + "\\");
    FailureNote note;
    EXPECT_EQ(UserFolderFromRecord(ReadSettingsRecord(program + "\\wallpape.ini", 1, note)), user + "\\");
    Strings found;
    for (int i = 0; i < f.lstSearch.ListCount(); ++i)
        found.push_back(f.lstSearch.List(i));
    for (const std::string& entry : {"brdtest_" + name + ".bmp", name + ".bmp_", name + ".jpg_"})
        EXPECT_NE(std::find(found.begin(), found.end(), entry), found.end()) << entry;

    // Preview, Add, Save, Load.
    const auto at = [&](const std::string& entry) {
        return static_cast<int>(std::find(found.begin(), found.end(), entry) - found.begin());
    };
    f.lstSearch.SetListIndex(at(name + ".jpg_"));
    EXPECT_EQ(f.PreviewPath(), user + "\\" + name + ".jpg");
    f.lstSearch.SetSelected(at(name + ".bmp_"), true);
    f.cmdAdd_Click();
    ASSERT_EQ(f.lstShow.ListCount(), 2);
    f.CmdSaveToFile_Click();
    const std::string list = "\"" + name + ".bmp_\"\r\n\"" + name + ".jpg_\"\r\n";
    EXPECT_EQ(FileText(program + "\\Wpaper.dat"), list) << "UTF-8, as the entries are";
    f.cmdDeleteAll_Click();
    f.cmdLoad_Click();
    EXPECT_EQ(f.lstShow.List(0), name + ".bmp_");
    EXPECT_EQ(f.lstShow.List(1), name + ".jpg_");

    // A warning names the file as it is.
    f.lstShow.AddItem("gone " + name + ".jpg_");
    f.lstShow.SetListIndex(2);
    EXPECT_EQ(ShownWarnings(), Strings{"gone " + name + ".jpg file not found"});
    f.Unload();
    CloseWarnings();

    // The real program, started from the folder with the name: the first entry is applied at
    // once, a bitmap from where it lies, a JPEG through the converted bitmap.
    SettingsRecord options; // every hour, priority
    options.Marker.Assign("[WallpaperLoc]");
    options.Data.Assign("CheckCheckEmptyPrior 4");
    WriteSettingsRecord(program + "\\wallpape.ini", 5, options, note);
    struct Start {
        std::string list, applied;
    };
    const std::string tmp = windows + "\\tmpFile.bmp";
    for (const Start& start : {Start{list, user + "\\" + name + ".bmp"},
                               Start{"\"" + name + ".jpg_\"\r\n\"" + name + ".bmp_\"\r\n", tmp}}) {
        WriteBytes(program + "\\Wpaper.dat", {start.list.begin(), start.list.end()});
        ApplyWallpaper("");
        ProgramRun run(FilePath(program));
        ASSERT_TRUE(run.WaitIdle());
        EXPECT_TRUE(WaitFor([&] { return StoredWallpaper() == start.applied; }, 5000)) << StoredWallpaper();
        EXPECT_TRUE(run.Windows("Warning Message").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, Names,
                         testing::Values(Name{"Cyrillic", "Фото Лето"}, Name{"Chinese", "写真 海"},
                                         Name{"Greek", "Θάλασσα"}, Name{"Latin", "Été € Côte"},
                                         Name{"Emoji", "Sea \xF0\x9F\x8C\x8A"}),
                         [](const auto& info) { return std::string(info.param.script); });

// A list file that an earlier version wrote in the legacy code page still loads, entry by entry,
// beside UTF-8 entries.
using LegacyFiles = ManagerTest;

TEST_F(LegacyFiles, AListFileInTheLegacyCodePageStillLoads) {
    const std::string legacy = "\xC9t\xE9 \xE0 la plage.jpg"; // Windows-1252 and its kin
    const std::string text = "\"" + legacy + "\"\r\n\"\xE6\xB5\xB7.jpg\"\r\n\"plain.bmp\"\r\n";
    WriteBytes(folder.File("Wpaper.dat"), {text.begin(), text.end()});
    Form12& f = Forms().Get<Form12>();
    f.cmdLoad_Click();
    ASSERT_EQ(f.lstShow.ListCount(), 3);
    // What the system's own legacy code page makes of the bytes.
    wchar_t wide[64] = {};
    MultiByteToWideChar(GetACP(), 0, legacy.data(), static_cast<int>(legacy.size()), wide, 64);
    EXPECT_EQ(f.lstShow.List(0), Utf8(wide));
    EXPECT_EQ(f.lstShow.List(1), "\xE6\xB5\xB7.jpg");
    EXPECT_EQ(f.lstShow.List(2), "plain.bmp");
    // Saved again, it is UTF-8.
    std::filesystem::remove(folder.File("Wpaper.dat"));
    f.CmdSaveToFile_Click();
    const auto bytes = ReadBytes(folder.File("Wpaper.dat"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "\"" + Utf8(wide) + "\"\r\n\"\xE6\xB5\xB7.jpg\"\r\n\"plain.bmp\"\r\n");
}

} // namespace
} // namespace brd::test
