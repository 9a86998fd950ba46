// Files the program may not write: the settings file held open elsewhere or read-only, the converted
// picture held open. Each is reported, or goes elsewhere, and the old bytes are kept.
#include "faults.h"

#include "brdwall/windows/form7.h"

namespace brd::test {
namespace {

// Each writer of the settings file against a file it may not write: the report it must give
// (the library's message box, the warning window, or none for the font record) and the old bytes kept.
class ReliabilityWrites : public ReliabilityFixture {
  protected:
    enum class Fault { HeldOpen, ReadOnly };
    void CheckEveryWriterIsRefused(Fault fault) {
        enum class Writer { WindowSettings, UserFolder, Font };
        struct Case {
            const char* name;
            Writer writer;
            const char* boxSentence;
            const char* warningSentence;
        };
        const Case cases[] = {
            {"record 5, closing the manager window", Writer::WindowSettings, kSaveSettingsSentence, nullptr},
            {"record 1, Enter in the path box", Writer::UserFolder, nullptr, kSaveUserFolderSentence},
            {"record 8, closing the settings window", Writer::Font, nullptr, nullptr},
        };
        const std::string path = folder.File("wallpape.ini");
        const std::int16_t scheme = G().FontScheme;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            std::filesystem::remove(path);
            WriteFullSettings(path);
            PutRecord(path, 5, Record("[WallpaperLoc]", "CheckEmptyEmptyPrior 0", 300, 300));
            const Bytes old = ReadBytes(path);
            // Loaded before the fault, as windows the user has had open for a while.
            Form12& f = Forms().Get<Form12>();
            Form7& s = Forms().Get<Form7>();
            // Changes each writer would store, so that a write that went through shows.
            f.ckCountDown.SetValue(1);
            f.txtPath.SetText(windows);
            s.optFont(2).SetValue(true);
            CloseWarnings();

            unique_kernel_handle lock;
            if (fault == Fault::HeldOpen) {
                // Another program holds the file open without sharing.
                lock.reset(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
            } else {
                ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
            }
            std::vector<std::string> boxes;
            {
                LibraryBoxCloser closer;
                switch (c.writer) {
                case Writer::WindowSettings:
                    f.cmdClose_Click();
                    break;
                case Writer::UserFolder:
                    f.txtPath_KeyDown(VK_RETURN, 0);
                    break;
                case Writer::Font:
                    s.cmdClose_Click();
                    break;
                }
                Application::DoEvents();
                boxes = closer.Stop();
            }
            lock.reset();
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

            EXPECT_EQ(ReadBytes(path), old) << "byte-identical";
            const auto warnings = WarningTexts();
            EXPECT_EQ(boxes.size(), c.boxSentence ? 1u : 0u);
            for (const auto& b : boxes)
                EXPECT_TRUE(b.starts_with(std::string(c.boxSentence) + "Error # ")) << b;
            EXPECT_EQ(warnings.size(), c.warningSentence ? 1u : 0u);
            for (const auto& w : warnings)
                EXPECT_TRUE(w.starts_with(std::string(c.warningSentence) + "Error # ")) << w;
            if (Form7* open = Forms().Find<Form7>()) open->Unload();
            if (Form12* open = Forms().Find<Form12>()) open->Unload();
            CloseWarnings();
            G().FontScheme = scheme;
        }
    }
};

TEST_F(ReliabilityWrites, LockedConvertedPictureGoesToTheUsersOwnFolder) {
    const std::string own = UserPictureFolder() + "\\tmpFile.bmp";
    for (const bool ownLockedToo : {false, true}) {
        SCOPED_TRACE(ownLockedToo ? "both locked" : "Windows folder's locked");
        std::filesystem::copy_file(TestData("blue.bmp"), Tmp(),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(TestData("blue.bmp"), own,
                                   std::filesystem::copy_options::overwrite_existing);
        const Bytes old = ReadBytes(Tmp());
        {
            // Another program holds the files open without sharing.
            unique_kernel_handle lock(
                CreateFileA(Tmp().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
            unique_kernel_handle lockOwn(
                ownLockedToo ? CreateFileA(own.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : nullptr);
            // Choosing "priority" at load converts the first entry.
            Form12& f = Load({PlaceInWindows("red.jpg", "brdtest_rel_red.jpg"),
                              PlaceInWindows("blue.bmp", "brdtest_rel_b.bmp")});
            ApplyWallpaper("");
            f.EMShowToShow();
            if (!ownLockedToo) {
                EXPECT_EQ(f.ConvertedPath(), own);
                EXPECT_EQ(Wallpaper(), own);
                EXPECT_TRUE(WarningTexts().empty());
            } else {
                ASSERT_EQ(WarningTexts().size(), 1u);
                EXPECT_TRUE(WarningTexts()[0].starts_with("brdtest_rel_red.jpg: ")) << WarningTexts()[0];
                EXPECT_EQ(Wallpaper(), "") << "nothing applied";
            }
            EXPECT_EQ(f.NextShowIndex(), 1);
            EXPECT_EQ(f.lstShow.ListCount(), 2);
            G().NextShowAt = -1;
            f.Unload();
            CloseWarnings();
        }
        EXPECT_EQ(ReadBytes(Tmp()), old);
        if (!ownLockedToo) {
            EXPECT_EQ(BitmapWidth(own), 40) << "the converted picture, at its full size";
            EXPECT_NE(ReadBytes(own), old) << "written afresh";
        }
        EXPECT_FALSE(std::filesystem::exists(Tmp() + ".part"));
        EXPECT_FALSE(std::filesystem::exists(own + ".part"));
    }
}

TEST_F(ReliabilityWrites, SettingsFileHeldOpenElsewhereIsReportedAndKept) {
    CheckEveryWriterIsRefused(Fault::HeldOpen);
}

// The record writer refuses a read-only file itself: as root under Wine the open alone would not.
TEST_F(ReliabilityWrites, ReadOnlySettingsFileIsReportedAndKept) {
    CheckEveryWriterIsRefused(Fault::ReadOnly);
}
} // namespace
} // namespace brd::test
