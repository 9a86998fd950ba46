// Times filling the manager window's search list from a folder of 20,000
// pictures against the bare directory enumeration of the same patterns.
//
//   search_bench.exe [count]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "brdwall/manager/form12.h"
#include "shared/win/handles.h"
#include "brdwall/services/module1.h"
#include "brdwall/runtime/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <typename F> double Best(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        best = std::min(best, Ms(Clock::now() - t0));
    }
    return best;
}

// A folder of empty files with picture names, in mixed case, made once.
std::string MakeFolder(int count) {
    const std::string folder = "C:\\brdbench_search_" + std::to_string(count);
    if (CreateDirectoryA(folder.c_str(), nullptr)) {
        const char* ext[] = {".jpg", ".BMP", ".gif", ".Jpg"};
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "\\%s%05d%s", (i % 3) ? "Pic" : "holiday", (i * 7919) % 100000,
                          ext[i % 4]);
            HANDLE h =
                CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    brd::com_init_scope com;
    const std::string folder = MakeFolder(count);

    std::size_t found = 0;
    const double enumerate = Best(3, [&] {
        found = 0;
        for (const char* pattern : {"\\*.bmp", "\\*.gif", "\\*.jpg"}) {
            brd::DirSearch search;
            for (std::string n = search.First(folder + pattern, brd::SearchNormal); !n.empty();
                 n = search.Next())
                ++found;
        }
    });

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    brd::G().AppFolder = temp;
    brd::Form12& f = brd::Forms().Get<brd::Form12>();
    f.txtPath.SetText(folder + "\\");
    const double fill = Best(3, [&] { f.cmdRefresh_Click(); });
    const int listed = f.lstSearch.ListCount();
    std::vector<std::string> names;
    for (int i = 0; i < listed; ++i)
        names.push_back(f.lstSearch.List(i));
    const double setItems = Best(3, [&] { f.lstSearch.SetItems(names); });
    const double clear = Best(3,
                              [&] {
                                  f.lstSearch.SetItems(names);
                                  f.lstSearch.Clear();
                              }) -
                         setItems;
    f.Unload();

    std::printf("pictures in folder      : %zu\n", found);
    std::printf("bare enumeration        : %8.1f ms (3 patterns, best of 3)\n", enumerate);
    std::printf("fill the search list    : %8.1f ms (%d entries, best of 3)\n", fill, listed);
    std::printf("  of which sorting and listing: %8.1f ms; emptying the list: %8.1f ms\n", setItems, clear);
    std::printf("ratio fill / enumeration: %8.2f (goal: at most 3)\n", fill / enumerate);
    return 0;
}
