// The real program started with damaged settings and list files: it starts, says what it must once,
// and leaves the files as they were.
#include "faults.h"

#include "brdwall/services/library.h"

namespace brd::test {
namespace {

using namespace std::string_literals;

struct SettingsFileCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::size_t boxes;  // library message boxes expected
    bool managerLoaded; // record 5 read as "Check..."
};

class DamagedSettingsFile : public testing::TestWithParam<SettingsFileCase> {};

TEST_P(DamagedSettingsFile, StartsOnceWithAtMostOneMessageAndLeavesTheFileAlone) {
    const SettingsFileCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.File("wallpape.ini");
    c.make(path);
    const auto before = Fingerprint(path);

    const auto start = Clock::now();
    ProgramRun run(folder.Path());
    const StartOutcome out = WaitStarted(run, start);
    ASSERT_TRUE(out.started) << "no icon within 20 s; running: " << run.Running();
    EXPECT_EQ(out.boxes.size(), c.boxes);
    for (const auto& t : out.boxes)
        EXPECT_TRUE(t.starts_with(kLoadSettingsSentence)) << t;
    EXPECT_TRUE(out.warnings.empty()) << out.warnings.front();
    EXPECT_EQ(ManagerOf(run) != nullptr, c.managerLoaded);
    if (HWND m = ManagerOf(run)) {
        EXPECT_FALSE(IsWindowVisible(m));
    }
    EXPECT_TRUE(run.Running());
    EXPECT_LT(out.seconds, 10.0);
    EXPECT_EQ(Fingerprint(path), before) << "nothing was saved, so nothing may change";
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, DamagedSettingsFile,
    testing::Values(
        SettingsFileCase{"TenBytes", [](const std::string& p) { WriteRandom(p, 10, 1); }, 0, false},
        SettingsFileCase{
            "OnlyRecordOne",
            [](const std::string& p) { PutRecord(p, 1, *BuildUserFolderRecord(WindowsDirectory())); }, 0,
            false},
        // Record 5's Data begins at byte 245: "Check" survives, the rest reads as zero bytes.
        SettingsFileCase{"CutInsideRecordFive",
                         [](const std::string& p) {
                             WriteFullSettings(p);
                             std::filesystem::resize_file(p, 250);
                         },
                         0, true},
        SettingsFileCase{"Random440", [](const std::string& p) { WriteRandom(p, 440, 440); }, 0, false},
        SettingsFileCase{"Random5000", [](const std::string& p) { WriteRandom(p, 5000, 5000); }, 0, false},
        SettingsFileCase{"Zeros100MB", [](const std::string& p) { WriteSparseZeros(p, 100LL << 20); }, 0,
                         false},
        SettingsFileCase{"Random50MB", [](const std::string& p) { WriteRandom(p, 50u << 20, 50); }, 0, false},
        // The right marker and "Check", then bytes of no meaning, an interval index of 9 and a position
        // far off the screen: the library reports the refused index in its one message box.
        SettingsFileCase{
            "CheckThenGarbage",
            [](const std::string& p) {
                std::string data =
                    "Check\x01\xff\x7f\x80,\"\r\n\t?\0\x1b\xfe\xee\x10 9\xff\xff\0\0\x01\x02\x03\x04"s;
                data.resize(30, '\xff');
                SettingsRecord rec;
                rec.Marker.Assign("[WallpaperLoc]");
                rec.Data.SetBytes(data.data());
                rec.Top = std::numeric_limits<std::int32_t>::max();
                rec.Left = std::numeric_limits<std::int32_t>::min();
                PutRecord(p, 5, rec);
            },
            1, true}),
    [](const testing::TestParamInfo<SettingsFileCase>& info) { return std::string(info.param.name); });

struct ListFileCase {
    const char* name;
    std::function<std::string(const std::string& bmp)> bytes;
    int entries; // in the wallpaper list after start-up
    std::size_t warnings;
    double seconds; // start-up must be over within this time
};

class DamagedListFile : public ManagerTest, public testing::WithParamInterface<ListFileCase> {};

TEST_P(DamagedListFile, StartsWithWhatCanBeReadAndLeavesTheFileAlone) {
    const ListFileCase& c = GetParam();
    const std::string bmp = PlaceInWindows("blue.bmp", "brdtest_rel_list.bmp");
    WriteRecord(5, "[WallpaperLoc]", "CheckEmptyEmptyPrior 0");
    const std::string list = folder.File("Wpaper.dat");
    const std::string bytes = c.bytes(bmp);
    WriteBytes(list, Bytes(bytes.begin(), bytes.end()));
    const auto before = Fingerprint(list);

    const auto start = Clock::now();
    ProgramRun run(folder.Path());
    const StartOutcome out = WaitStarted(run, start, 120000);
    ASSERT_TRUE(out.started) << "no icon; running: " << run.Running();
    std::cout << "[ start-up ] " << c.name << ": " << out.seconds << " s\n";
    RecordProperty("startup_seconds", std::to_string(out.seconds));
    EXPECT_LT(out.seconds, c.seconds);
    EXPECT_EQ(WallpaperListCount(ManagerOf(run)), c.entries);
    EXPECT_TRUE(out.boxes.empty()) << out.boxes.front();
    EXPECT_EQ(out.warnings.size(), c.warnings);
    // A warning names the missing file; a name of a megabyte is more than the window text read here.
    for (const auto& w : out.warnings)
        EXPECT_TRUE(w.starts_with("xxxxxxxx")) << w.substr(0, 80);
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(Fingerprint(list), before);
}

const auto kListName = [](const testing::TestParamInfo<ListFileCase>& info) {
    return std::string(info.param.name);
};

INSTANTIATE_TEST_SUITE_P(
    Reliability, DamagedListFile,
    testing::Values(
        // The last entry runs to the end of the file.
        ListFileCase{"NoClosingQuote", [](const std::string& b) { return "\"" + b + "\"\r\n\"" + b; }, 2, 0,
                     10},
        ListFileCase{"NulBytes",
                     [](const std::string& b) {
                         return "\"" + b.substr(0, 3) + '\0' + b.substr(3) + "\"\r\n\0\0\"" + b + "\"\r\n\0"s;
                     },
                     2, 0, 10},
        ListFileCase{"OneMegabyteLine", [](const std::string&) { return kMegabyteName; }, 1, 0, 10},
        // Checked first, the long name is no file: dropped with its warning.
        ListFileCase{
            "OneMegabyteLineThenAPicture",
            [](const std::string& b) { return kMegabyteName + "\r\n\"" + b + "\"\r\n\"" + b + "\"\r\n"; }, 2,
            1, 10},
        ListFileCase{"HundredThousandEntries",
                     [](const std::string& b) {
                         std::string s;
                         for (int i = 0; i < 100000; ++i)
                             s += "\"" + b + "\"\r\n";
                         return s;
                     },
                     100000, 0, 100}),
    kListName);
} // namespace
} // namespace brd::test
