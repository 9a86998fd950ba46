// Helpers of the fault tests: files made damaged or held, the real program started with them and
// watched, the library's message boxes answered, and pictures that claim more than they hold.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <mutex>
#include <random>
#include <thread>

#include "brdwall/windows/form11.h"
#include "manager_fixture.h"
#include "shared/core/settings_rules.h"

namespace brd::test {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

inline constexpr char kManagerCaption[] = "Brindle - Wallpaper Changer";
inline constexpr char kWarningCaption[] = "Warning Message";
inline constexpr char kLibraryBoxCaption[] = "brdsave"; // the library's own message box
inline const std::string kMegabyteName(1 << 20, 'x');

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// FNV-1a over the whole file, and its size: any change of a byte shows.
inline std::pair<std::uint64_t, std::uintmax_t> Fingerprint(const std::string& path) {
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

inline void WriteRandom(const std::string& path, std::size_t size, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t r = random();
        std::memcpy(bytes.data() + i, &r, std::min<std::size_t>(8, size - i));
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

// A file of `size` zero bytes that takes no room on disk.
inline void WriteSparseZeros(const std::string& path, long long size) {
    unique_kernel_handle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER at;
    at.QuadPart = size;
    SetFilePointerEx(f.get(), at, nullptr, FILE_BEGIN);
    SetEndOfFile(f.get());
}

inline void PutRecord(const std::string& path, int number, const SettingsRecord& rec) {
    FailureNote note;
    WriteSettingsRecord(path, number, rec, note);
    ASSERT_FALSE(note.Noted());
}

inline SettingsRecord Record(const char* marker, const std::string& data, int top = 0, int left = 0) {
    SettingsRecord rec;
    rec.Marker.Assign(marker);
    rec.Data.Assign(data);
    rec.Top = top;
    rec.Left = left;
    return rec;
}

// Records 1 (the Windows folder), 5 (options kept, "random", interval 3) and 8 (Arial): 440 bytes.
inline void WriteFullSettings(const std::string& path) {
    PutRecord(path, 1, *BuildUserFolderRecord(WindowsDirectory()));
    PutRecord(path, 5, Record("[WallpaperLoc]", "CheckCheckEmptyRando 3", 300, 300));
    PutRecord(path, 8, Record("[AllFont]", "Arial"));
}

// Text of a message box or warning window: its longest static text.
inline std::string BoxText(HWND w) {
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

// What start-up showed: library message boxes (answered with OK) and warning windows.
struct StartOutcome {
    bool started = false; // the icon came within the time allowed
    double seconds = 0;   // from the process start to the icon
    std::vector<std::string> boxes;
    std::vector<std::string> warnings;
};

// Waits for the tray icon, pressing OK on each library message box that holds start-up up.
inline StartOutcome WaitStarted(const ProgramRun& run, Clock::time_point since, int timeoutMs = 20000) {
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

inline HWND ManagerOf(const ProgramRun& run) {
    const auto managers = run.Windows(kManagerCaption, "brdForm");
    return managers.empty() ? nullptr : managers[0];
}

// The number of entries in the (unsorted) wallpaper list of the manager window; -1 without one.
inline int WallpaperListCount(HWND manager) {
    if (!manager) return -1;
    for (HWND c : Children(manager))
        if (ClassOf(c) == "ListBox" && !(GetWindowLongA(c, GWL_STYLE) & LBS_SORT))
            return static_cast<int>(SendMessageA(c, LB_GETCOUNT, 0, 0));
    return -1;
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
inline Bytes JpegClaiming(int width, int height) {
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
inline Bytes GifOfFrames(int frames, int width, int height) {
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

} // namespace brd::test
