// Measures what brdwall.exe costs the machine while it waits in the tray, next to
// tray_baseline.exe (the smallest tray program with the same 800 ms timer) and
// tray_baseline_cc.exe (the same with common controls 6 loaded), in the same run; then the cost of one
// wallpaper change to a big JPEG picture.
//
//   footprint_bench [--seconds N] [--starts N] [--jpeg <picture.jpg>]
//
// Idle part: both programs start from fresh folders (brdwall.exe with settings that
// switch rotation on every 5 minutes and a list of two small bitmaps), wait until
// they are idle, then the same N seconds (default 60). Prints for each the private
// bytes, the working set and the CPU time (since start and during the wait) and the
// ratios brdwall / baseline. Then each program is started N more times in turn (--starts,
// default 10) for the mean CPU time of one start.
//
// Change part (with --jpeg): brdwall.exe starts with rotation every hour and a list
// whose first entry is the JPEG; at start it converts the picture to tmpFile.bmp in
// the Windows folder and applies it at the first tick. Prints the time from process
// start until the wallpaper setting names that file, the peak private bytes and the
// private bytes 2 s after the change.
//
// Needs brdwall.exe, brdsave.dll, tray_baseline.exe, tray_baseline_cc.exe and testdata/blue.bmp beside
// itself. Puts brdfoot_* pictures into the Windows folder and removes them at the end;
// the wallpaper setting is restored. Exits 1 when the set-up fails or the programs do
// not behave as expected; the figures themselves never fail.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/core/failure.h"
#include "shared/core/record_file.h"
#include "shared/core/settings_record.h"

namespace {

namespace fs = std::filesystem;

constexpr char kMainCaption[] = "Brindle Wallpaper Changer";
constexpr char kMainClass[] = "brdForm";
constexpr char kManagerCaption[] = "Brindle - Wallpaper Changer";
constexpr char kWarningCaption[] = "Warning Message";
constexpr char kBaselineClass[] = "trayBaseline";
constexpr double kGoal = 1.25;
constexpr int kStartTimeoutMs = 30000;
constexpr int kChangeTimeoutMs = 180000;

// Thrown out to main, so that the programs started are ended and the files put down removed.
[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what);
}

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double MiB(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

fs::path ExeFolder() {
    char path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    return fs::path(std::string(path, n)).parent_path();
}

std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) Fail("cannot find the Windows folder");
    std::string s(path, n);
    while (s.size() > 3 && s.back() == '\\')
        s.pop_back();
    return s;
}

// ---- the wallpaper setting ----

std::string StoredWallpaper() {
    char data[MAX_PATH * 4] = {};
    DWORD size = sizeof(data);
    if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return {};
    return data;
}

void SetWallpaper(const std::string& path) {
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), SPIF_UPDATEINIFILE);
}

// Everything the bench puts on the machine, taken away again however it ends.
class Cleanup {
  public:
    Cleanup() : wallpaper_(StoredWallpaper()) {}
    Cleanup(const Cleanup&) = delete;
    Cleanup& operator=(const Cleanup&) = delete;
    ~Cleanup() {
        if (wallpaperTouched_ && StoredWallpaper() != wallpaper_) SetWallpaper(wallpaper_);
        std::error_code ec;
        for (const fs::path& p : paths_) {
            // A program that has just ended may still hold its files for a moment.
            for (int attempt = 0; attempt < 20 && fs::exists(p, ec); ++attempt) {
                fs::remove_all(p, ec);
                if (ec) Sleep(100);
            }
        }
    }
    void Add(const fs::path& p) { paths_.push_back(p); }
    void WallpaperTouched() { wallpaperTouched_ = true; }
    [[nodiscard]] const std::string& OriginalWallpaper() const { return wallpaper_; }

  private:
    std::string wallpaper_;
    bool wallpaperTouched_ = false;
    std::vector<fs::path> paths_;
};

// ---- processes ----

// How many processes, with how many threads, run as `exeName`, or with the id `pid` when that is not 0.
struct ProcessCount {
    int Processes = 0;
    int Threads = 0;
};

ProcessCount FindProcesses(const char* exeName, DWORD pid = 0) {
    ProcessCount found;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof(e);
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e)) {
        if (pid != 0 ? e.th32ProcessID != pid : lstrcmpiA(e.szExeFile, exeName) != 0) continue;
        ++found.Processes;
        found.Threads += static_cast<int>(e.cntThreads);
    }
    CloseHandle(snap);
    return found;
}

std::string WindowText(HWND h) {
    char buf[512];
    const int n = GetWindowTextA(h, buf, sizeof(buf));
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string ClassOf(HWND h) {
    char buf[256];
    const int n = GetClassNameA(h, buf, sizeof(buf));
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// The first top-level window of process `pid` with the given class and caption (either may be empty).
HWND FindTopWindow(DWORD pid, const std::string& cls, const std::string& caption, bool toolWindow = false) {
    struct Search {
        DWORD Pid;
        const std::string* Cls;
        const std::string* Caption;
        bool ToolWindow;
        HWND Found;
    } s{pid, &cls, &caption, toolWindow, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner != s->Pid) return TRUE;
            if (!s->Cls->empty() && ClassOf(h) != *s->Cls) return TRUE;
            if (!s->Caption->empty() && WindowText(h) != *s->Caption) return TRUE;
            if (s->ToolWindow && !(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) return TRUE;
            s->Found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

struct Footprint {
    SIZE_T PrivateBytes = 0;
    SIZE_T PeakPrivateBytes = 0; // as reported; some systems give the current value here
    SIZE_T WorkingSet = 0;
    SIZE_T PeakWorkingSet = 0;
    double CpuMs = 0; // kernel + user, since the start
};

double FileTimeMs(const FILETIME& t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 10000.0;
}

// Wine gives the caller's own times for another process; its threads' times are right.
bool OnWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Kernel + user time of the threads that process `pid` still has.
double ThreadCpuMs(DWORD pid) {
    double ms = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return ms;
    THREADENTRY32 e{};
    e.dwSize = sizeof(e);
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e)) {
        if (e.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, e.th32ThreadID);
        if (!thread) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user))
            ms += FileTimeMs(kernel) + FileTimeMs(user);
        CloseHandle(thread);
    }
    CloseHandle(snap);
    return ms;
}

Footprint Measure(HANDLE process) {
    Footprint f;
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc)))
        Fail("GetProcessMemoryInfo failed, error " + std::to_string(GetLastError()));
    // The commit charge: on Windows PrivateUsage and PagefileUsage hold the same value; Wine fills
    // only the older record, with the process's anonymous resident memory.
    f.PrivateBytes = pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
    f.PeakPrivateBytes = pmc.PeakPagefileUsage;
    f.WorkingSet = pmc.WorkingSetSize;
    f.PeakWorkingSet = pmc.PeakWorkingSetSize;
    FILETIME created, exited, kernel, user;
    if (OnWine()) {
        f.CpuMs = ThreadCpuMs(GetProcessId(process));
    } else if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        f.CpuMs = FileTimeMs(kernel) + FileTimeMs(user);
    } else {
        Fail("GetProcessTimes failed, error " + std::to_string(GetLastError()));
    }
    return f;
}

class Child {
  public:
    Child(const fs::path& exe, const char* name) : name_(name) {
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        std::string cmd = "\"" + exe.string() + "\"";
        const std::string dir = exe.parent_path().string();
        if (!CreateProcessA(exe.string().c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir.c_str(), &si, &pi))
            Fail("cannot start " + exe.string() + ", error " + std::to_string(GetLastError()));
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
        CloseHandle(pi.hThread);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (Running()) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }

    [[nodiscard]] HANDLE Handle() const { return process_; }
    [[nodiscard]] DWORD Pid() const { return pid_; }
    [[nodiscard]] bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    void WaitIdle() const {
        const DWORD r = WaitForInputIdle(process_, kStartTimeoutMs);
        if (r != 0) Fail(name_ + (Running() ? " did not become idle" : " ended during its start"));
    }

    // Asks the window to close and waits for the end; ends the process when that does not help.
    // Returns how it ended.
    std::string End(HWND window) {
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        if (window && WaitForSingleObject(process_, 5000) == WAIT_OBJECT_0) {
            // An exit code other than 0 tells of a failure while ending, a crash for instance.
            DWORD code = 0;
            GetExitCodeProcess(process_, &code);
            char text[64];
            std::snprintf(text, sizeof text, "closed by WM_CLOSE, exit code 0x%lX",
                          static_cast<unsigned long>(code));
            return text;
        }
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
        return window ? "did not close on WM_CLOSE, terminated" : "no window found, terminated";
    }

  private:
    std::string name_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// ---- program folders ----

void Copy(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) Fail("cannot copy " + from.string() + " to " + to.string() + ": " + ec.message());
}

fs::path FreshFolder(const std::string& tag) {
    char base[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof(base), base) == 0) Fail("no temporary folder");
    const fs::path folder = fs::path(base) / ("brdfoot-" + std::to_string(GetCurrentProcessId()) + "-" + tag);
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    if (ec) Fail("cannot make " + folder.string() + ": " + ec.message());
    return folder;
}

// A program folder: the program and its library, record 5 of the settings file with "Save above
// settings", "Every", "priority" and the interval `intervalIndex`, and the wallpaper list.
void PrepareProgramFolder(const fs::path& folder, int intervalIndex,
                          const std::vector<std::string>& entries) {
    const fs::path bin = ExeFolder();
    Copy(bin / "brdwall.exe", folder / "brdwall.exe");
    Copy(bin / "brdsave.dll", folder / "brdsave.dll");

    brd::SettingsRecord rec;
    rec.Marker.Assign("[WallpaperLoc]");
    rec.Top = 300;
    rec.Left = 300;
    rec.Data.Assign("CheckCheckEmptyPrior " + std::to_string(intervalIndex));
    brd::FailureNote note;
    brd::WriteSettingsRecord((folder / "wallpape.ini").string(), brd::kWindowSettingsRecord, rec, note);
    if (note.Noted()) Fail("cannot write the settings file: " + note.Last().Description);

    std::string list;
    for (const std::string& e : entries)
        list += "\"" + e + "\"\r\n";
    std::ofstream out(folder / "Wpaper.dat", std::ios::binary);
    out << list;
    if (!out) Fail("cannot write the list file");
}

// ---- the idle footprint ----

std::string Ratio(double program, double baseline, bool withGoal) {
    if (baseline <= 0) return "n/a";
    const double r = program / baseline;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f%s", r, !withGoal ? "" : r <= kGoal ? " (within)" : " (above)");
    return buf;
}

void IdleFootprint(int seconds, Cleanup& cleanup) {
    const fs::path folder = FreshFolder("idle");
    cleanup.Add(folder);
    PrepareProgramFolder(folder, 0, {"brdfoot_1.bmp", "brdfoot_2.bmp"});

    std::printf(
        "Idle footprint: brdwall.exe with rotation every 5 minutes over 2 bitmaps, tray_baseline.exe,\n"
        "and tray_baseline_cc.exe (the same with common controls 6 loaded at start)\n");
    std::fflush(stdout);
    // The program may apply a list entry at start or at a due minute during the wait.
    cleanup.WallpaperTouched();
    const std::string wallpaperBefore = StoredWallpaper();
    Child program(folder / "brdwall.exe", "brdwall.exe");
    Child baseline(ExeFolder() / "tray_baseline.exe", "tray_baseline.exe");
    Child controls(ExeFolder() / "tray_baseline_cc.exe", "tray_baseline_cc.exe");
    program.WaitIdle();
    baseline.WaitIdle();
    controls.WaitIdle();

    // Start-up is over when the main window exists; the hidden manager window keeps the list.
    HWND main = nullptr;
    for (int i = 0; i < 250 && !(main = FindTopWindow(program.Pid(), kMainClass, kMainCaption, true)); ++i)
        Sleep(20);
    if (!main) Fail("brdwall.exe shows no main window");
    if (FindTopWindow(program.Pid(), "", kWarningCaption)) Fail("brdwall.exe shows a warning at start");
    const bool managerLoaded = FindTopWindow(program.Pid(), kMainClass, kManagerCaption) != nullptr;

    const Footprint programStart = Measure(program.Handle());
    const Footprint baselineStart = Measure(baseline.Handle());
    const Footprint controlsStart = Measure(controls.Handle());
    std::printf("all idle; waiting %d s...\n", seconds);
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    if (!program.Running() || !baseline.Running() || !controls.Running())
        Fail("a program ended during the wait");
    const Footprint p = Measure(program.Handle());
    const Footprint b = Measure(baseline.Handle());
    const Footprint c = Measure(controls.Handle());
    const ProcessCount pThreads = FindProcesses(nullptr, program.Pid());
    const ProcessCount bThreads = FindProcesses(nullptr, baseline.Pid());
    const ProcessCount cThreads = FindProcesses(nullptr, controls.Pid());
    const bool changed = StoredWallpaper() != wallpaperBefore;

    auto row = [](const char* what, double pv, double bv, double cv, const char* unit, bool goal) {
        const bool mib = unit[0] == 'M';
        const char* format = mib ? "  %-24s %10.2f %s %10.2f %s %9s %10.2f %s %9s\n"
                                 : "  %-24s %10.0f %s  %10.0f %s  %9s %10.0f %s  %9s\n";
        std::printf(format, what, pv, unit, bv, unit, Ratio(pv, bv, goal).c_str(), cv, unit,
                    Ratio(pv, cv, false).c_str());
    };
    std::printf("\nAfter %d s idle              %14s %14s %9s %14s %9s\n", seconds, "brdwall.exe",
                "tray_baseline", "ratio", "with controls", "ratio");
    row("private bytes", MiB(p.PrivateBytes), MiB(b.PrivateBytes), MiB(c.PrivateBytes), "MiB", true);
    row("working set", MiB(p.WorkingSet), MiB(b.WorkingSet), MiB(c.WorkingSet), "MiB", false);
    row("CPU time since start", p.CpuMs, b.CpuMs, c.CpuMs, "ms", true);
    row("CPU time during the wait", p.CpuMs - programStart.CpuMs, b.CpuMs - baselineStart.CpuMs,
        c.CpuMs - controlsStart.CpuMs, "ms", false);
    row("private bytes when idle", MiB(programStart.PrivateBytes), MiB(baselineStart.PrivateBytes),
        MiB(controlsStart.PrivateBytes), "MiB", false);
    row("peak working set", MiB(p.PeakWorkingSet), MiB(b.PeakWorkingSet), MiB(c.PeakWorkingSet), "MiB",
        false);
    std::printf("  %-24s %14d %14d %9s %14d\n", "threads", pThreads.Threads, bThreads.Threads, "",
                cThreads.Threads);
    std::printf("  manager window loaded: %s; wallpaper changed during the run: %s\n",
                managerLoaded ? "yes" : "no", changed ? "yes" : "no");
    std::printf("Goal: private bytes and CPU time since start at most %.2f x tray_baseline\n", kGoal);
    if (OnWine())
        std::printf("(Wine: private bytes are the anonymous resident memory; CPU times are the threads' own, "
                    "in 10 ms steps)\n");

    std::printf("brdwall.exe %s; ", program.End(main).c_str());
    std::printf("tray_baseline.exe %s; ",
                baseline.End(FindTopWindow(baseline.Pid(), kBaselineClass, "")).c_str());
    std::printf("tray_baseline_cc.exe %s\n",
                controls.End(FindTopWindow(controls.Pid(), kBaselineClass, "")).c_str());
}

// ---- start-up CPU time over several starts ----

// Wine counts thread times in 10 ms steps, so one start tells little: the mean over several,
// each program started in turn, once idle and its main window made.
void StartupCpu(int runs, Cleanup& cleanup) {
    const fs::path folder = FreshFolder("starts");
    cleanup.Add(folder);
    PrepareProgramFolder(folder, 0, {"brdfoot_1.bmp", "brdfoot_2.bmp"});
    struct Program {
        fs::path Exe;
        const char* Name;
        const char* Class;
        double TotalMs = 0;
    };
    Program programs[] = {{folder / "brdwall.exe", "brdwall.exe", kMainClass},
                          {ExeFolder() / "tray_baseline.exe", "tray_baseline.exe", kBaselineClass},
                          {ExeFolder() / "tray_baseline_cc.exe", "tray_baseline_cc.exe", kBaselineClass}};
    for (int run = 0; run < runs; ++run) {
        for (Program& p : programs) {
            Child child(p.Exe, p.Name);
            child.WaitIdle();
            HWND main = nullptr;
            for (int i = 0; i < 250 && !(main = FindTopWindow(child.Pid(), p.Class, "")); ++i)
                Sleep(20);
            if (!main) Fail(std::string(p.Name) + " shows no main window");
            Sleep(300); // start-up work posted after the window is made
            p.TotalMs += Measure(child.Handle()).CpuMs;
            child.End(main);
        }
    }
    const double program = programs[0].TotalMs / runs, baseline = programs[1].TotalMs / runs,
                 controls = programs[2].TotalMs / runs;
    std::printf("\nCPU time of one start, mean of %d starts each\n", runs);
    std::printf("  %-24s %10.0f ms  %10.0f ms  %9s %10.0f ms  %9s\n", "brdwall / baseline / cc", program,
                baseline, Ratio(program, baseline, true).c_str(), controls,
                Ratio(program, controls, false).c_str());
}

// ---- one change to a big JPEG ----

void BigJpegChange(const std::string& jpeg, const std::string& windows, Cleanup& cleanup) {
    std::printf("\nOne change to %s\n", jpeg.c_str());
    const fs::path big = fs::path(windows) / "brdfoot_big.jpg";
    Copy(jpeg, big);
    cleanup.Add(big);
    const fs::path folder = FreshFolder("jpeg");
    cleanup.Add(folder);
    PrepareProgramFolder(folder, 4, {"brdfoot_big.jpg", "brdfoot_1.bmp"});

    const std::string converted = windows + "\\tmpFile.bmp";
    // A fresh start: no converted picture yet, no wallpaper.
    cleanup.WallpaperTouched();
    SetWallpaper("");
    std::error_code ec;
    fs::remove(converted, ec);
    if (cleanup.OriginalWallpaper() != converted) cleanup.Add(converted);

    const double start = NowMs();
    Child program(folder / "brdwall.exe", "brdwall.exe");
    SIZE_T sampledPeak = 0;
    double writtenAt = -1; // the converted file appears whole, renamed from a temporary one
    double changedAt = -1;
    while (NowMs() - start < kChangeTimeoutMs && program.Running()) {
        if (writtenAt < 0 && fs::exists(converted, ec)) writtenAt = NowMs() - start;
        if (StoredWallpaper() == converted) {
            changedAt = NowMs() - start;
            break;
        }
        sampledPeak = std::max(sampledPeak, Measure(program.Handle()).PrivateBytes);
        Sleep(20);
    }
    if (changedAt < 0) {
        if (!program.Running()) Fail("brdwall.exe ended before changing the wallpaper");
        Fail("brdwall.exe did not apply " + converted + " within " + std::to_string(kChangeTimeoutMs / 1000) +
             " s");
    }
    // Settling: sampled as well, in case the peak comes after the setting is written.
    for (const double settle = NowMs(); NowMs() - settle < 2000;) {
        sampledPeak = std::max(sampledPeak, Measure(program.Handle()).PrivateBytes);
        Sleep(20);
    }
    const Footprint after = Measure(program.Handle());
    if (FindTopWindow(program.Pid(), "", kWarningCaption))
        Fail("brdwall.exe shows a warning during the change");
    const std::uintmax_t size = fs::file_size(converted, ec);

    std::printf(
        "  from process start: tmpFile.bmp written after %.0f ms, wallpaper set to it after %.0f ms\n",
        writtenAt, changedAt);
    std::printf("  peak private bytes: reported %.2f MiB, sampled every 20 ms %.2f MiB\n",
                MiB(after.PeakPrivateBytes), MiB(sampledPeak));
    std::printf(
        "  2 s after the change: private bytes %.2f MiB, working set %.2f MiB (peak %.2f MiB), CPU %.0f ms\n",
        MiB(after.PrivateBytes), MiB(after.WorkingSet), MiB(after.PeakWorkingSet), after.CpuMs);
    std::printf("  tmpFile.bmp: %ju bytes\n", ec ? std::uintmax_t{0} : size);
    HWND main = FindTopWindow(program.Pid(), kMainClass, kMainCaption, true);
    std::printf("brdwall.exe %s\n", program.End(main).c_str());
}

int Run(int seconds, int starts, const std::string& jpeg) {
    const fs::path bin = ExeFolder();
    for (const char* needed :
         {"brdwall.exe", "brdsave.dll", "tray_baseline.exe", "tray_baseline_cc.exe", "testdata\\blue.bmp"})
        if (!fs::exists(bin / needed))
            Fail((bin / needed).string() + " is missing: build the windows preset");
    // Only one brdwall.exe runs in a session: a second one would say so and end at once.
    if (const ProcessCount running = FindProcesses("brdwall.exe"); running.Processes > 0)
        Fail(std::to_string(running.Processes) +
             " brdwall.exe already running in this session; end it first (it allows one instance)");

    const std::string windows = WindowsFolder();
    Cleanup cleanup;
    for (const char* name : {"brdfoot_1.bmp", "brdfoot_2.bmp"}) {
        Copy(bin / "testdata" / "blue.bmp", fs::path(windows) / name);
        cleanup.Add(fs::path(windows) / name);
    }

    IdleFootprint(seconds, cleanup);
    StartupCpu(starts, cleanup);
    if (jpeg.empty()) {
        std::printf("\nNo --jpeg picture given: the change to a big JPEG is not measured\n");
    } else if (!fs::exists(jpeg)) {
        std::printf("\n%s not found: the change to a big JPEG is not measured\n", jpeg.c_str());
    } else {
        BigJpegChange(jpeg, windows, cleanup);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 60;
    int starts = 10;
    std::string jpeg;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        char* end = nullptr;
        if (a == "--seconds" && i + 1 < argc) {
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || n < 0 || n > 3600) {
                std::fprintf(stderr, "footprint_bench: --seconds wants a whole number from 0 to 3600\n");
                return 2;
            }
            seconds = static_cast<int>(n);
        } else if (a == "--starts" && i + 1 < argc) {
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || n < 1 || n > 100) {
                std::fprintf(stderr, "footprint_bench: --starts wants a whole number from 1 to 100\n");
                return 2;
            }
            starts = static_cast<int>(n);
        } else if (a == "--jpeg" && i + 1 < argc) {
            jpeg = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: footprint_bench [--seconds N] [--starts N] [--jpeg <picture.jpg>]\n");
            return 2;
        }
    }
    try {
        return Run(seconds, starts, jpeg);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "footprint_bench: %s\n", e.what());
        return 1;
    }
}
