// Faults and bad input: damaged settings and list files, files that cannot be
// written, a foreign library, undecodable pictures, files that change under
// the program, and a clock that jumps.
#include <gtest/gtest.h>

#include "brdsave/core/intervals.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <mutex>
#include <random>
#include <thread>

#include "brdsave/core/settings_rules.h"
#include "brdwall/runtime/core/clock.h"
#include "brdwall/services/library.h"
#include "brdwall/tray/core/rotation_clock.h"
#include "brdwall/tray/form1.h"
#include "brdwall/windows/form11.h"
#include "brdwall/windows/form7.h"
#include "manager_fixture.h"

namespace brd::test {
namespace {

using namespace std::string_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

constexpr char kManagerCaption[] = "Brindle - Wallpaper Changer";
constexpr char kWarningCaption[] = "Warning Message";
constexpr char kLibraryBoxCaption[] = "brdsave"; // the library's own message box

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// FNV-1a over the whole file, and its size: any change of a byte shows.
std::pair<std::uint64_t, std::uintmax_t> Fingerprint(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    std::uint64_t h = 1469598103934665603ull;
    std::uintmax_t size = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < got; ++i)
            h = (h ^ static_cast<unsigned char>(chunk[i])) * 1099511628211ull;
        size += got;
    }
    return {h, size};
}

void WriteRandom(const std::string& path, std::size_t size, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t r = random();
        std::memcpy(bytes.data() + i, &r, std::min<std::size_t>(8, size - i));
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

// A file of `size` zero bytes that takes no room on disk.
void WriteSparseZeros(const std::string& path, long long size) {
    unique_kernel_handle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER at;
    at.QuadPart = size;
    SetFilePointerEx(f.get(), at, nullptr, FILE_BEGIN);
    SetEndOfFile(f.get());
}

void PutRecord(const std::string& path, int number, const SettingsRecord& rec) {
    FailureNote note;
    WriteSettingsRecord(path, number, rec, note);
    ASSERT_FALSE(note.Noted());
}

SettingsRecord Record(const char* marker, const std::string& data, int top = 0, int left = 0) {
    SettingsRecord rec;
    rec.Marker.Assign(marker);
    rec.Data.Assign(data);
    rec.Top = top;
    rec.Left = left;
    return rec;
}

// Records 1 (the Windows folder), 5 (options kept, "random", interval 3) and 8 (Arial): 440 bytes.
void WriteFullSettings(const std::string& path) {
    PutRecord(path, 1, *BuildUserFolderRecord(WindowsDirectory()));
    PutRecord(path, 5, Record("[WallpaperLoc]", "CheckCheckEmptyRando 3", 300, 300));
    PutRecord(path, 8, Record("[AllFont]", "Arial"));
}

// Text of a message box or warning window: its longest static text.
std::string BoxText(HWND w) {
    std::string text;
    for (HWND c : Children(w))
        if (ClassOf(c) == "Static" && WindowText(c).size() > text.size()) text = WindowText(c);
    return text;
}

// Presses OK on every message box of the library that this process opens while it lives, from a
// thread of its own (the box is modal on the thread that is being tested), and keeps their texts.
class LibraryBoxCloser {
  public:
    LibraryBoxCloser()
        : thread_([this] {
              while (!stop_) {
                  for (HWND w = FindWindowA("#32770", kLibraryBoxCaption); w;
                       w = FindWindowA("#32770", kLibraryBoxCaption)) {
                      DWORD pid = 0;
                      GetWindowThreadProcessId(w, &pid);
                      if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) break;
                      {
                          std::lock_guard lock(mutex_);
                          texts_.push_back(BoxText(w));
                      }
                      PostMessageA(w, WM_COMMAND, IDOK, 0);
                      for (int i = 0; i < 100 && IsWindow(w); ++i)
                          std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    LibraryBoxCloser(const LibraryBoxCloser&) = delete;
    LibraryBoxCloser& operator=(const LibraryBoxCloser&) = delete;
    ~LibraryBoxCloser() { Stop(); }
    std::vector<std::string> Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        std::lock_guard lock(mutex_);
        return texts_;
    }

  private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};

// ---------------------------------------------------------------- the real program

// What start-up showed: library message boxes (answered with OK) and warning windows.
struct StartOutcome {
    bool started = false; // the icon came within the time allowed
    double seconds = 0;   // from the process start to the icon
    std::vector<std::string> boxes;
    std::vector<std::string> warnings;
};

// Waits for the tray icon, pressing OK on each library message box that holds start-up up.
StartOutcome WaitStarted(const ProgramRun& run, Clock::time_point since, int timeoutMs = 20000) {
    StartOutcome out;
    const auto end = since + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end && run.Running()) {
        if (run.TrayIconPresent()) {
            out.started = true;
            out.seconds = SecondsSince(since);
            break;
        }
        for (HWND box : run.Windows(kLibraryBoxCaption, "#32770")) {
            if (!IsWindowVisible(box)) continue;
            out.boxes.push_back(BoxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            WaitFor([&] { return !IsWindow(box); }, 3000);
        }
        WaitFor([] { return false; }, 20);
    }
    // Start-up shows its warnings before the icon; give late ones a moment all the same.
    WaitFor([] { return false; }, 300);
    for (HWND w : run.Windows(kWarningCaption))
        out.warnings.push_back(BoxText(w));
    for (HWND box : run.Windows(kLibraryBoxCaption, "#32770"))
        out.boxes.push_back(BoxText(box));
    return out;
}

HWND ManagerOf(const ProgramRun& run) {
    const auto managers = run.Windows(kManagerCaption, "brdForm");
    return managers.empty() ? nullptr : managers[0];
}

// The number of entries in the (unsorted) wallpaper list of the manager window; -1 without one.
int WallpaperListCount(HWND manager) {
    if (!manager) return -1;
    for (HWND c : Children(manager))
        if (ClassOf(c) == "ListBox" && !(GetWindowLongA(c, GWL_STYLE) & LBS_SORT))
            return static_cast<int>(SendMessageA(c, LB_GETCOUNT, 0, 0));
    return -1;
}

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

const std::string kMegabyteName(1 << 20, 'x');
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

// Something else under the library's name beside the program.
struct LibraryCase {
    const char* name;
    std::function<std::filesystem::path()> file;
    const char* told; // in the warning, after the sentence
};

class ReliabilityLibrary : public testing::TestWithParam<LibraryCase> {};

TEST_P(ReliabilityLibrary, WarnsOnceAndTheProgramRunsOn) {
    const LibraryCase& c = GetParam();
    TempFolder folder;
    std::filesystem::copy_file(c.file(), folder.Path() / "brdsave.dll");
    PutRecord(folder.File("wallpape.ini"), 5, Record("[WallpaperLoc]", "CheckCheckEmptyPrior 4"));
    const auto before = Fingerprint(folder.File("wallpape.ini"));

    const auto start = Clock::now();
    ProgramRun run(folder.Path(), /*withLibrary=*/false);
    const StartOutcome out = WaitStarted(run, start);
    ASSERT_TRUE(out.started);
    ASSERT_EQ(out.warnings.size(), 1u);
    EXPECT_TRUE(out.warnings[0].starts_with(kLibraryMissingSentence)) << out.warnings[0];
    EXPECT_NE(out.warnings[0].find(c.told), std::string::npos) << out.warnings[0];
    EXPECT_TRUE(out.boxes.empty());

    // Every later use of the library finds it unusable again, without another warning.
    PostMessageA(run.MainWindow(), WM_COMMAND, Form1::mWallpaper, 0);
    ASSERT_TRUE(WaitFor([&] { return ManagerOf(run) && IsWindowVisible(ManagerOf(run)); }));
    PostMessageA(ManagerOf(run), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !ManagerOf(run) || !IsWindowVisible(ManagerOf(run)); }));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(run.Windows(kWarningCaption).size(), 1u);
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(run.TrayIconPresent());
    EXPECT_EQ(Fingerprint(folder.File("wallpape.ini")), before);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, ReliabilityLibrary,
    testing::Values(
        // A DLL that is not ours: no such class in it.
        LibraryCase{"ForeignDll",
                    [] {
                        char system[MAX_PATH] = {};
                        GetSystemDirectoryA(system, MAX_PATH);
                        return std::filesystem::path(system) / "version.dll";
                    },
                    "Error # "},
        // An older build of ours: the same class, type library 13.0.
        LibraryCase{"OlderCopy", [] { return TestExeFolder() / "brdsave_older.dll"; },
                    "another copy of the library (type library version 13.0, 14.0 wanted)"}),
    [](const testing::TestParamInfo<LibraryCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- in-process

// Laying out a megabyte of text in the warning window took about a minute under Wine.
TEST(ReliabilityWarning, AMegabyteLongNameIsShownWithinASecond) {
    const auto start = Clock::now();
    Form11::AnswerOk(kMegabyteName + ", file not found");
    EXPECT_LT(SecondsSince(start), 1.0);
    CloseWarnings();
    // Cut between characters: here the 4,000th byte begins a two-byte "Ж".
    std::string cyrillic = "x";
    for (int i = 0; i < 3000; ++i)
        cyrillic += "\xD0\x96";
    Form11::AnswerOk(cyrillic);
    std::wstring shown;
    for (HWND w = FindWindowA("brdForm", kWarningCaption); w; w = nullptr)
        for (HWND c : Children(w)) {
            wchar_t text[4096] = {};
            GetWindowTextW(c, text, 4096);
            if (wcslen(text) > shown.size()) shown = text;
        }
    EXPECT_EQ(shown, L"x" + std::wstring(1999, L'\x0416') + L"...");
    CloseWarnings();
}

class ReliabilityFixture : public ManagerTest {
  protected:
    void TearDown() override {
        ManagerTest::TearDown();
        for (const auto& p : made_)
            std::filesystem::remove(p);
    }
    // Loads the manager window with `entries`, "priority", an interval of 5 minutes, a change due at 10.
    Form12& Load(const std::vector<std::string>& entries) {
        WriteList(entries);
        WriteRecord(5, "[WallpaperLoc]", "CheckEmptyEmptyPrior 0");
        Form12& f = Forms().Get<Form12>();
        G().IntervalMinutes = 5;
        G().NextShowAt = 10;
        return f;
    }
    // Writes a file of the Windows folder that is removed after the test; returns its name.
    std::string MakeInWindows(const std::string& name, const Bytes& bytes) {
        const std::string path = windows + "\\" + name;
        WriteBytes(path, bytes);
        made_.push_back(path);
        return name;
    }
    std::string Tmp() const { return windows + "\\tmpFile.bmp"; }
    static int BitmapWidth(const std::string& path) {
        const auto b = ReadBytes(path);
        return b.size() > 26 && b[0] == 'B' ? int(b[18] | b[19] << 8 | b[20] << 16) : 0;
    }

  private:
    std::vector<std::string> made_;
};

// red.jpg with the height and width of its frame header changed; the data stays that of 40 x 30.
Bytes JpegClaiming(int width, int height) {
    Bytes b = ReadBytes(TestData("red.jpg").string());
    for (std::size_t i = 0; i + 8 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            // Marker, 2-byte length, 1-byte precision, then height and width, big-endian.
            b[i + 5] = static_cast<unsigned char>(height >> 8);
            b[i + 6] = static_cast<unsigned char>(height & 0xFF);
            b[i + 7] = static_cast<unsigned char>(width >> 8);
            b[i + 8] = static_cast<unsigned char>(width & 0xFF);
            return b;
        }
    }
    ADD_FAILURE() << "red.jpg has no frame header";
    return b;
}

// An animated GIF of `frames` frames of width x height pixels, each with one sub-block of data.
Bytes GifOfFrames(int frames, int width, int height) {
    auto le16 = [](int v) {
        return Bytes{static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)};
    };
    Bytes b{'G', 'I', 'F', '8', '9', 'a'};
    auto add = [&b](const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); };
    add(le16(width));
    add(le16(height));
    add({0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF}); // two-colour global table
    for (int i = 0; i < frames; ++i) {
        add({0x2C, 0, 0, 0, 0});
        add(le16(width));
        add(le16(height));
        add({0, 2, 2, 0x4C, 0x01, 0});
    }
    add({0x3B});
    return b;
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
    const auto start = Clock::now();
    f.EMShowToShow(); // applies a, prepares the bad one
    EXPECT_LT(SecondsSince(start), 5.0);
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

// ---------------------------------------------------------------- the clock

// Form1's ticks every 800 ms from a clock the test sets, driving the real manager window; every
// wallpaper change is counted (the desktop is cleared after each one, so a repeat shows too).
class ReliabilityClock : public ReliabilityFixture {
  protected:
    void SetUp() override {
        form1 = &Forms().Get<Form1>();
        ReliabilityFixture::SetUp();
        form1->SetClock(clock);
    }
    void TearDown() override {
        static SystemClock system;
        form1->SetClock(system);
        ReliabilityFixture::TearDown();
    }
    // Ticks from the clock's time for `seconds` seconds; returns the number of changes.
    int Run(int seconds) {
        int changes = 0;
        for (int ms = 0; ms < seconds * 1000; ms += 800) {
            const LocalTime before = clock.Now();
            form1->Timer1_Timer();
            if (!Wallpaper().empty()) {
                ++changes;
                ApplyWallpaper("");
            }
            clock.Set(before.Hour, before.Minute, before.Second);
            clock.Advance((ms + 800) / 1000 - ms / 1000);
        }
        return changes;
    }
    // Two bitmaps, "Every" on, the interval of `listIndex`, the next change due at `showAt`.
    Form12& Rotating(int listIndex, int showAt) {
        WriteList({PlaceInWindows("blue.bmp", "brdtest_rel_k1.bmp"),
                   PlaceInWindows("blue.bmp", "brdtest_rel_k2.bmp")});
        WriteRecord(5, "[WallpaperLoc]", "CheckCheckEmptyPrior " + std::to_string(listIndex));
        Form12& f = Forms().Get<Form12>();
        EXPECT_EQ(f.ckEvery.Value(), 1);
        G().ClockArmed = VBTrue;
        G().IntervalMinutes = kIntervals[static_cast<std::size_t>(listIndex)].Minutes;
        G().NextShowAt = static_cast<std::int16_t>(showAt);
        ApplyWallpaper("");
        return f;
    }
    // Runs through the minute that is due now (the schedule may have been recomputed from the real
    // time of day); returns the changes in it.
    int RunThroughTheDueMinute(int hour) {
        clock.Set(hour, G().NextShowAt, -5);
        return Run(20);
    }
    Form1* form1 = nullptr;
    ManualClock clock;
};

TEST_F(ReliabilityClock, SetBackAnHourRightAfterAChangeNoSecondChange) {
    Rotating(2, 30); // 15 minutes
    clock.Set(10, 29, 50);
    EXPECT_EQ(Run(20), 1);
    ASSERT_EQ(G().NextShowAt, 45);
    clock.Set(9, 30, 10); // the same minute again, an hour earlier
    EXPECT_EQ(Run(60), 0) << "no second change in the same minute, no resynchronisation";
    EXPECT_EQ(G().NextShowAt, 45);
    clock.Set(9, 44, 55);
    EXPECT_EQ(Run(20), 1);
    EXPECT_EQ(G().NextShowAt, 0);
}

TEST_F(ReliabilityClock, SetForwardOntoADueMinuteChangesOnce) {
    Rotating(0, 15); // 5 minutes
    clock.Set(10, 14, 50);
    EXPECT_EQ(Run(20), 1);
    ASSERT_EQ(G().NextShowAt, 20);
    clock.Set(11, 20, 5); // an hour and five minutes on
    EXPECT_EQ(Run(55), 1);
    EXPECT_EQ(G().NextShowAt, 25);
}

TEST_F(ReliabilityClock, SetForwardPastSeveralDueMinutesNoBurstThenResynchronised) {
    Rotating(0, 15);
    clock.Set(10, 14, 50);
    EXPECT_EQ(Run(20), 1);
    clock.Set(10, 37, 10); // 20, 25, 30 and 35 were never seen
    EXPECT_EQ(Run(35), 0);
    EXPECT_EQ(G().NextShowAt, 20) << "nothing moves before second 45";
    // Minutes 37 and 38 are no multiple of 5, so whatever the resynchronisation picks is not due in them.
    EXPECT_EQ(Run(75), 0) << "the missed changes are not made up";
    EXPECT_EQ(G().NextShowAt % 5, 0);
    EXPECT_EQ(RunThroughTheDueMinute(10), 1);
}

TEST_F(ReliabilityClock, LongSuspendMissesTheDueMinuteAndChangesOnceAfterResuming) {
    Rotating(2, 30);
    clock.Set(10, 29, 40);
    EXPECT_EQ(Run(10), 0);
    clock.Set(13, 7, 10); // resumed: no tick saw 10:30
    EXPECT_EQ(Run(110), 0);
    EXPECT_NE(Forms().Find<Form12>(), nullptr) << "kept loaded for the schedule";
    EXPECT_EQ(G().NextShowAt % 15, 0);
    EXPECT_EQ(RunThroughTheDueMinute(14), 1);
}

} // namespace
} // namespace brd::test
