// Applying wallpaper: the due change, the choice of the next entry, missing
// and undecodable files, "Change" and "Clear".
#include <gtest/gtest.h>

#include <fstream>

#include "manager_fixture.h"
#include "faults.h"

namespace brd::test {
namespace {

using Strings = std::vector<std::string>;

class Apply : public ManagerTest {
  protected:
    // Loads the window with `entries` in its list and "priority" or "random" chosen.
    Form12& Load(const std::vector<std::string>& entries, int option = 1) {
        WriteList(entries);
        WriteRecord(5, "[WallpaperLoc]", option == 2 ? "CheckEmptyEmptyRando 0" : "CheckEmptyEmptyPrior 0");
        Form12& f = Forms().Get<Form12>();
        G().IntervalMinutes = 5;
        G().NextShowAt = 10;
        return f;
    }
    // Width, height and the first pixel (B, G, R) of a 24-bit bitmap file.
    static std::array<int, 5> BitmapFacts(const std::string& path) {
        const auto b = ReadBytes(path);
        if (b.size() < 57 || b[0] != 'B' || b[1] != 'M') return {};
        auto i32 = [&](std::size_t at) {
            return int(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
        };
        return {i32(18), i32(22), b[54], b[55], b[56]};
    }
    std::string Tmp() const { return windows + "\\tmpFile.bmp"; }
};

TEST_F(Apply, EmptyListChangesNothing) {
    Form12& f = Load({});
    ApplyWallpaper("");
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), "");
    EXPECT_EQ(G().NextShowAt, 10) << "the next show minute is not recounted";
}

TEST_F(Apply, BitmapsInTurnWithTheScheduleMovedOn) {
    Form12& f =
        Load({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("blue.bmp", "brdtest_b.bmp")});
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_a.bmp");
    EXPECT_EQ(G().NextShowAt, 15);
    EXPECT_EQ(f.NextShowIndex(), 1);
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_b.bmp");
    EXPECT_EQ(f.NextShowIndex(), 0) << "wraps after the last entry";
    EXPECT_EQ(G().NextShowAt, 20);
}

TEST_F(Apply, PicturesAreConvertedOneStepAheadAtFullSize) {
    std::filesystem::remove(Tmp());
    Form12& f =
        Load({PlaceInWindows("red.jpg", "brdtest_red.jpg"), PlaceInWindows("green.gif", "brdtest_g.GIF")});
    // Choosing "priority" at load prepared the first entry.
    auto facts = BitmapFacts(Tmp());
    EXPECT_EQ(facts[0], 40);
    EXPECT_EQ(facts[1], 30);
    EXPECT_NEAR(facts[4], 0xc0, 12); // red
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), Tmp());
    // ... and the change prepared the next one, the GIF.
    facts = BitmapFacts(Tmp());
    EXPECT_EQ(facts[2], 0x40);
    EXPECT_EQ(facts[3], 0xa0);
    EXPECT_EQ(facts[4], 0x20);
    EXPECT_EQ(f.ConvertedPath(), Tmp());
}

TEST_F(Apply, KindsAndUserFolderEntries) {
    const std::string user = "C:\\brdtest_user\\";
    std::filesystem::create_directories(user);
    std::filesystem::copy_file(TestData("red.jpg"), user + "Sunset.JPG",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(TestData("red.jpg"), user + "photo.jpeg",
                               std::filesystem::copy_options::overwrite_existing);
    FailureNote note;
    WriteSettingsRecord(folder.File("wallpape.ini"), 1, *BuildUserFolderRecord(user), note);
    Form12& f = Load({"photo.jpeg_", "Sunset.JPG_"});
    ASSERT_EQ(f.UserFolderPath(), user);
    ApplyWallpaper("");
    f.EMShowToShow(); // photo.jpeg: never applied, the order moves on
    EXPECT_EQ(Wallpaper(), "");
    EXPECT_EQ(f.NextShowIndex(), 1);
    f.EMShowToShow(); // Sunset.JPG_: converted, applied through tmpFile.bmp
    EXPECT_EQ(Wallpaper(), Tmp());
    f.Unload();
    std::filesystem::remove_all(user);
}

TEST_F(Apply, AUserFolderOutOfReachKeepsItsEntriesUntilItIsBack) {
    RemovableDrive drive;
    if (!drive.Usable()) GTEST_SKIP() << "no drive R: to plug in and out here";
    FailureNote note;
    WriteSettingsRecord(folder.File("wallpape.ini"), 1, *BuildUserFolderRecord("R:\\pics\\"), note);
    Form12& f = Load({"ua.bmp_", "ub.jpg_", PlaceInWindows("blue.bmp", "brdtest_w.bmp")});
    EXPECT_EQ(WarningTexts().size(), 2u) << "the folder reported (see Form12Rules), no entry";
    CloseWarnings();
    // Passed over at every change, kept in place, and told once; then the drive is plugged in and out.
    const std::string w = windows + "\\brdtest_w.bmp", ua = "R:\\pics\\ua.bmp";
    const std::string expected[] = {w, w, w, ua, Tmp(), w, w, w};
    for (int turn = 0; turn < 8; ++turn) {
        if (turn == 2) {
            drive.Plug();
            std::filesystem::copy_file(TestData("blue.bmp"), std::string(drive.kBacking) + "\\pics\\ua.bmp");
            std::filesystem::copy_file(TestData("red.jpg"), std::string(drive.kBacking) + "\\pics\\ub.jpg");
        }
        if (turn == 5) drive.Unplug();
        f.EMShowToShow();
        EXPECT_EQ(Wallpaper(), expected[turn]) << turn;
        EXPECT_EQ(f.lstShow.ListCount(), 3) << turn;
        EXPECT_EQ(WarningTexts().size(), turn >= 5 ? 1u : 0u) << turn;
    }
}

TEST_F(Apply, RandomWithTwoEntriesAlternates) {
    Form12& f =
        Load({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("blue.bmp", "brdtest_b.bmp")}, 2);
    std::string last;
    for (int i = 0; i < 6; ++i) {
        f.EMShowToShow();
        EXPECT_NE(Wallpaper(), last);
        last = Wallpaper();
    }
}

TEST_F(Apply, MissingNextFileIsDroppedWithOneWarning) {
    Form12& f =
        Load({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("blue.bmp", "brdtest_b.bmp")});
    f.cbInterval.SetListIndex(0);
    f.ckEvery.SetValue(1);
    std::filesystem::remove(std::filesystem::path(windows) / "brdtest_b.bmp");
    f.EMShowToShow();
    EXPECT_EQ(WarningTexts(), (std::vector<std::string>{"brdtest_b.bmp, file not found"}));
    ASSERT_EQ(f.lstShow.ListCount(), 1);
    EXPECT_EQ(f.lstShow.List(0), "brdtest_a.bmp");
    EXPECT_EQ(f.NextShowIndex(), 0);
    EXPECT_EQ(f.ckEvery.Value(), 0);
    EXPECT_FALSE(f.ckEvery.Enabled());
    EXPECT_TRUE(f.cbInterval.Enabled());
}

TEST_F(Apply, EveryFileMissingEmptiesTheListWithBoundedWarnings) {
    for (int n : {3, 14}) {
        Strings entries;
        for (int i = 0; i < n; ++i)
            entries.push_back(PlaceInWindows("blue.bmp", "brdtest_m" + std::to_string(i) + ".bmp"));
        Form12& f = Load(entries);
        for (const auto& e : entries)
            std::filesystem::remove(std::filesystem::path(windows) / e);
        f.optOption_Click(1);
        EXPECT_EQ(f.lstShow.ListCount(), 0);
        const auto warnings = WarningTexts();
        if (n == 3) {
            EXPECT_EQ(warnings.size(), 3u) << "one warning for each missing file";
        } else {
            // Ten named, then one for the rest.
            ASSERT_EQ(warnings.size(), 11u);
            EXPECT_EQ(std::count(warnings.begin(), warnings.end(), "4 more files not found"), 1);
        }
        G().NextShowAt = -1; // so that closing unloads rather than hides
        f.Unload();
        CloseWarnings();
    }
}

TEST_F(Apply, UndecodablePictureWarnsAndChangesNothing) {
    Form12& f =
        Load({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("broken.jpg", "brdtest_bad.jpg"),
              PlaceInWindows("truncated.jpg", "brdtest_cut.jpg")});
    f.EMShowToShow(); // applies a, prepares the broken one
    ASSERT_EQ(WarningTexts().size(), 1u);
    EXPECT_TRUE(WarningTexts()[0].starts_with("brdtest_bad.jpg: ")) << WarningTexts()[0];
    CloseWarnings();
    f.EMShowToShow(); // its turn: nothing applied
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_a.bmp");
    EXPECT_EQ(f.lstShow.ListCount(), 3) << "the list is kept";
    EXPECT_EQ(f.NextShowIndex(), 2);
}

TEST_F(Apply, APositionPastTheListAppliesNothingThenTheOrderStartsAgain) {
    // The change applies the JPEG and prepares the GIF; then the GIF's entry is deleted.
    Form12& f =
        Load({PlaceInWindows("red.jpg", "brdtest_r.jpg"), PlaceInWindows("green.gif", "brdtest_g.gif")});
    f.EMShowToShow();
    f.lstShow.SetSelected(1, true);
    f.cmdDelete_Click();
    ASSERT_EQ(f.lstShow.ListCount(), 1);
    ASSERT_EQ(f.NextShowIndex(), 1);
    ApplyWallpaper("");
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), "") << "not the picture prepared for the deleted entry";
    EXPECT_EQ(f.NextShowIndex(), 0);
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), Tmp());
    EXPECT_NEAR(BitmapFacts(Tmp())[4], 0xc0, 12) << "the remaining entry's own picture";
}

TEST_F(Apply, ClearAndChange) {
    Form12& f =
        Load({PlaceInWindows("blue.bmp", "brdtest_a.bmp"), PlaceInWindows("blue.bmp", "brdtest_b.bmp")});
    f.EMShowToShow();
    f.cmdClearWall_Click();
    EXPECT_EQ(Wallpaper(), "");
    EXPECT_EQ(f.NextShowIndex(), 1) << "the list and the order are untouched";

    // Before anything is previewed, "Change" applies the placeholder picture.
    std::filesystem::remove(Tmp());
    f.cmdChangeWall_Click();
    EXPECT_EQ(Wallpaper(), Tmp());
    BITMAP bm{};
    GetObjectA(f.imgShow.Picture(), sizeof(bm), &bm);
    const auto facts = BitmapFacts(Tmp());
    EXPECT_EQ(facts[0], bm.bmWidth);
    EXPECT_EQ(facts[1], bm.bmHeight);

    // After a preview, the previewed picture at its full size: also when the file has been
    // replaced or deleted since the preview.
    FailureNote note;
    const std::string previewed = windows + "\\brdtest_previewed.gif";
    for (const bool deleted : {false, true}) {
        std::filesystem::copy_file(TestData("green.gif"), previewed,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(f.ShowPreview(previewed, note));
        if (deleted) {
            std::filesystem::remove(previewed);
        } else {
            std::filesystem::copy_file(TestData("red.jpg"), previewed,
                                       std::filesystem::copy_options::overwrite_existing);
        }
        f.cmdChangeWall_Click();
        EXPECT_TRUE(WarningTexts().empty()) << (deleted ? "deleted" : "replaced");
        EXPECT_EQ(Wallpaper(), Tmp());
        const auto facts = BitmapFacts(Tmp());
        EXPECT_EQ(facts[0], 40);
        EXPECT_EQ(facts[3], 0xa0) << "the green picture that was shown";
    }
    EXPECT_EQ(f.NextShowIndex(), 1);

    // Where tmpFile.bmp cannot be written anywhere, "Change" says so in its own words.
    {
        const std::string own = UserPictureFolder() + "\\tmpFile.bmp";
        std::filesystem::copy_file(TestData("blue.bmp"), own,
                                   std::filesystem::copy_options::overwrite_existing);
        unique_kernel_handle lock(
            CreateFileA(Tmp().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        unique_kernel_handle lockOwn(
            CreateFileA(own.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        f.cmdChangeWall_Click();
    }
    ASSERT_EQ(WarningTexts().size(), 1u);
    EXPECT_TRUE(WarningTexts()[0].starts_with("Error occurred when changing wallpaper, Error # "))
        << WarningTexts()[0];
}

struct PictureCase {
    const char* name;
    const char* file;
    std::function<Bytes()> bytes;
    bool converted; // GIF or JPEG: decoded ahead of its turn
    bool tooLarge = false;
};

class BadPicture : public ReliabilityFixture, public testing::WithParamInterface<PictureCase> {};

TEST_P(BadPicture, WarnsOnceAndChangesNothing) {
    const PictureCase& c = GetParam();
    const std::string bad = MakeInWindows(c.file, c.bytes());
    Form12& f = Load({PlaceInWindows("blue.bmp", "brdtest_rel_a.bmp"), bad,
                      PlaceInWindows("blue.bmp", "brdtest_rel_c.bmp")});
    ApplyWallpaper("");
    f.EMShowToShow(); // applies a, prepares the bad one
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_rel_a.bmp");
    const auto warnings = WarningTexts();
    if (c.converted) {
        ASSERT_EQ(warnings.size(), 1u);
        if (c.tooLarge) {
            EXPECT_NE(warnings[0].find("too large"), std::string::npos) << warnings[0];
        }
        EXPECT_TRUE(
            warnings[0].starts_with(bad + ": " + "Error occurred when preparing the next wallpaper, "))
            << warnings[0];
    } else {
        EXPECT_TRUE(warnings.empty()) << "a bitmap is looked at just before its turn";
    }
    CloseWarnings();

    f.EMShowToShow(); // its turn
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_rel_a.bmp") << "the desktop keeps its picture";
    if (!c.converted) {
        ASSERT_EQ(WarningTexts().size(), 1u);
        EXPECT_TRUE(WarningTexts()[0].starts_with("Error occurred when changing wallpaper, "))
            << WarningTexts()[0];
        CloseWarnings();
    }
    EXPECT_EQ(f.NextShowIndex(), 2) << "the order moves on";
    EXPECT_EQ(f.lstShow.ListCount(), 3) << "the list is kept";
    f.EMShowToShow();
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_rel_c.bmp");
    EXPECT_TRUE(WarningTexts().empty());
}

const auto kPictureName = [](const testing::TestParamInfo<PictureCase>& info) {
    return std::string(info.param.name);
};

INSTANTIATE_TEST_SUITE_P(
    Reliability, BadPicture,
    testing::Values(PictureCase{"ZeroByteJpeg", "brdtest_rel_zero.jpg", [] { return Bytes{}; }, true},
                    PictureCase{"ZeroByteGif", "brdtest_rel_zero.gif", [] { return Bytes{}; }, true},
                    PictureCase{"TruncatedJpeg", "brdtest_rel_cut.jpg",
                                [] { return ReadBytes(TestData("truncated.jpg").string()); }, true},
                    PictureCase{"TextNamedGif", "brdtest_rel_text.gif",
                                [] { return ReadBytes(TestData("broken.jpg").string()); }, true},
                    // Just over the limit of 100 million pixels.
                    PictureCase{"JpegOf10001By10000", "brdtest_rel_over.jpg",
                                [] { return JpegClaiming(10001, 10000); }, true, true},
                    // Refused on the header's word, before a decoder sees the file.
                    PictureCase{"JpegOf30000By30000", "brdtest_rel_huge.jpg",
                                [] { return JpegClaiming(30000, 30000); }, true, true},
                    PictureCase{"GifOfFourFramesOf6000By5000", "brdtest_rel_frames.gif",
                                [] { return GifOfFrames(4, 6000, 5000); }, true, true},
                    PictureCase{"ZeroByteBitmap", "brdtest_rel_zero.bmp", [] { return Bytes{}; }, false}),
    kPictureName);

// The file of the next entry changes after it was checked (and converted) and before its turn. The
// desktop is never given a file that is not there: a bitmap that has gone makes way for the next
// entry; a converted picture that has gone is reported, once, and the desktop keeps its picture.
struct ChangeCase {
    const char* name;
    const char* middle; // test picture of the middle entry
    bool deleteEntryFile;
    bool deleteConverted;
    const char* shown;   // at its turn: "c" (the entry after it), "converted" or "a" (unchanged)
    const char* warning; // the start of the one warning given then, if any
};

class FileChangedBeforeItsTurn : public ReliabilityFixture, public testing::WithParamInterface<ChangeCase> {};

TEST_P(FileChangedBeforeItsTurn, NoMissingFileIsGivenToTheDesktop) {
    const ChangeCase& c = GetParam();
    const std::string ext = std::filesystem::path(c.middle).extension().string();
    const std::string middle = PlaceInWindows(c.middle, "brdtest_rel_mid" + ext);
    Form12& f = Load({PlaceInWindows("blue.bmp", "brdtest_rel_a.bmp"), middle,
                      PlaceInWindows("blue.bmp", "brdtest_rel_c.bmp")});
    ApplyWallpaper("");
    f.EMShowToShow(); // applies a; the middle entry passes the check (and is converted)
    ASSERT_EQ(f.NextShowIndex(), 1);
    const std::string converted = f.ConvertedPath();
    if (c.deleteEntryFile) ASSERT_TRUE(std::filesystem::remove(windows + "\\" + middle));
    if (c.deleteConverted) ASSERT_TRUE(std::filesystem::remove(converted));

    f.EMShowToShow(); // its turn
    const std::string shown = c.shown;
    EXPECT_EQ(Wallpaper(), shown == "converted" ? converted : windows + "\\brdtest_rel_" + shown + ".bmp");
    const auto warnings = WarningTexts();
    EXPECT_EQ(warnings.size(), *c.warning ? 1u : 0u);
    if (!warnings.empty()) {
        EXPECT_TRUE(warnings[0].starts_with(c.warning)) << warnings[0];
    }
    EXPECT_EQ(f.lstShow.ListCount(), shown == "c" ? 2 : 3) << "dropped only when found gone";
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, FileChangedBeforeItsTurn,
    testing::Values(ChangeCase{"BitmapDeletedAfterItsCheck", "blue.bmp", true, false, "c",
                               "brdtest_rel_mid.bmp, file not found"},
                    ChangeCase{"JpegDeletedAfterItsConversion", "red.jpg", true, false, "converted", ""},
                    ChangeCase{"ConvertedBitmapDeleted", "red.jpg", false, true, "a",
                               "Error occurred when changing wallpaper, "}),
    [](const testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace brd::test
