// Times the wallpaper list's operations on a large list, with the manager window
// shown as a user has it: each figure covers the handler and the repaint after it.
//
//   list_bench.exe [entries] [selection]
//
// entries    the size of the wallpaper list (default 100,000)
// selection  the size of the search selection added, of the many-entry delete
//            and of the run of missing files dropped (default 20,000)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "brdwall/manager/form12.h"
#include "shared/win/handles.h"
#include "brdwall/services/module1.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/windows/form11.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalMs = 1000;

// Runs `op`, then lets the window repaint; returns the milliseconds both took.
template <typename F> double Time(F&& op) {
    const auto t0 = Clock::now();
    op();
    brd::Application::DoEvents();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

int failures = 0;

// Times `op` and prints the figure, with whether `check` holds afterwards.
template <typename Op, typename Check>
void Measure(const char* what, const brd::Form12& f, Op&& op, Check&& check) {
    const double ms = Time(op);
    const bool ok = check();
    const bool fast = ms <= kGoalMs;
    if (!fast || !ok) ++failures;
    std::printf("%-44s %9.1f ms  (%d entries)%s%s\n", what, ms, f.lstShow.ListCount(),
                fast ? "" : "  over 1 s", ok ? "" : "  WRONG RESULT");
}

void WriteListFile(const std::string& path, const std::vector<std::string>& entries) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& e : entries)
        out << '"' << e << "\"\r\n";
}

void CloseWarnings() {
    for (HWND w = FindWindowA("brdForm", "Warning Message"); w; w = FindWindowA("brdForm", "Warning Message"))
        SendMessageA(w, WM_CLOSE, 0, 0);
    brd::Application::DoEvents();
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int selection = argc > 2 ? std::atoi(argv[2]) : 20000;
    if (count < 4 || selection < 1 || selection >= count) {
        std::fprintf(stderr, "usage: list_bench.exe [entries >= 4] [selection < entries]\n");
        return 2;
    }
    brd::com_init_scope com;

    // One small existing bitmap in the Windows folder stands for every picture.
    const std::string windows = brd::WindowsDirectory();
    const std::string picture = "brdbench_list.bmp";
    {
        std::ofstream out(windows + "\\" + picture, std::ios::binary);
        const unsigned char bmp[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0,   0, 1, 0,
                                     0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0,   0, 0, 0,
                                     0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 255, 0};
        out.write(reinterpret_cast<const char*>(bmp), sizeof(bmp));
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "brdbench_list\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "wallpape.ini").c_str());
    brd::G().AppFolder = folder;
    brd::G().IntervalMinutes = 5;
    const std::string listFile = folder + "Wpaper.dat";

    brd::Form12& f = brd::Forms().Get<brd::Form12>();
    f.Show();
    brd::Application::DoEvents();
    std::printf("wallpaper list of %d entries, selections of %d, manager window shown\n", count, selection);

    // Load: the list file read into the shown list.
    WriteListFile(listFile, std::vector<std::string>(static_cast<std::size_t>(count), picture));
    Measure(
        "Load (the whole list file)", f, [&] { f.cmdLoad_Click(); },
        [&] { return f.lstShow.ListCount() == count; });

    // Add: a search selection appended.
    f.lstSearch.SetItems(std::vector<std::string>(static_cast<std::size_t>(selection), picture));
    {
        // As one shift-click selects them: the list is drawn once.
        brd::ListBox::Freeze freeze(f.lstSearch);
        for (int i = 0; i < selection; ++i)
            f.lstSearch.SetSelected(i, true);
    }
    Measure(
        "Add (the whole search selection)", f, [&] { f.cmdAdd_Click(); },
        [&] { return f.lstShow.ListCount() == count + selection; });
    Measure(
        "Delete all", f, [&] { f.cmdDeleteAll_Click(); }, [&] { return f.lstShow.ListCount() == 0; });
    f.cmdLoad_Click();

    // Save: the list written afresh.
    DeleteFileA(listFile.c_str());
    Measure(
        "Save (no file yet)", f, [&] { f.CmdSaveToFile_Click(); },
        [&] { return brd::FileExists(listFile) && f.lstShow.ListCount() == count; });

    // Turns: one change in each order, the next entry chosen among all.
    f.optOption(1).SetValue(true);
    f.optOption_Click(1);
    Measure(
        "Change, priority", f, [&] { f.EMShowToShow(); }, [&] { return f.NextShowIndex() == 1; });
    f.optOption(2).SetValue(true);
    Measure(
        "Change, random", f, [&] { f.EMShowToShow(); }, [&] { return f.NextShowIndex() >= 0; });

    // Delete one: the last entry.
    f.lstShow.SetSelected(count - 1, true);
    Measure(
        "Delete (the last entry)", f, [&] { f.cmdDelete_Click(); },
        [&] { return f.lstShow.ListCount() == count - 1; });

    // Delete many: every (count / selection)-th entry.
    const int stride = (count - 1) / selection;
    int selected = 0;
    {
        brd::ListBox::Freeze freeze(f.lstShow);
        for (int i = 0; i < count - 1 && selected < selection; i += stride, ++selected)
            f.lstShow.SetSelected(i, true);
    }
    Measure(
        "Delete (a selection spread over the list)", f, [&] { f.cmdDelete_Click(); },
        [&] { return f.lstShow.ListCount() == count - 1 - selected; });

    // Dropping missing files: the entries after the next one are gone, a run of `selection`.
    std::vector<std::string> withMissing(static_cast<std::size_t>(count), picture);
    for (int i = 1; i <= selection; ++i)
        withMissing[static_cast<std::size_t>(i)] = "brdbench_gone_" + std::to_string(i) + ".bmp";
    WriteListFile(listFile, withMissing);
    f.cmdLoad_Click();
    f.optOption(1).SetValue(true);
    f.optOption_Click(1);
    Measure(
        "Change, priority, dropping the missing run", f, [&] { f.EMShowToShow(); },
        [&] { return f.lstShow.ListCount() == count - selection && f.NextShowIndex() == 1; });
    CloseWarnings();

    // A warning naming a megabyte-long file (a list line of that length), shown and painted.
    const std::string longName(std::size_t{1} << 20, 'x');
    Measure(
        "Warning naming a megabyte-long file", f,
        [&] { brd::Form11::AnswerOk(longName + ", file not found"); },
        [&] { return FindWindowA("brdForm", "Warning Message") != nullptr; });
    CloseWarnings();

    brd::G().NextShowAt = -1;
    f.Unload();
    DeleteFileA(listFile.c_str());
    DeleteFileA((windows + "\\" + picture).c_str());
    std::printf("%s\n", failures ? "some operations were slow or wrong" : "every operation within 1 s");
    return failures ? 1 : 0;
}
