#include "brdsave/com/environment.h"

#include <windows.h>

#include <cstdio>

namespace brd {

bool WindowsLibraryEnvironment::FileExists(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(path.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (data.dwFileAttributes & excluded) == 0;
}

void WindowsLibraryEnvironment::ShowMessage(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "brdsave", MB_OK | MB_SETFOREGROUND);
}

std::string WindowsLibraryEnvironment::TimeOfDayText() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    char text[16];
    std::snprintf(text, sizeof(text), "%02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
    return text;
}

int WindowsLibraryEnvironment::CurrentHour() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st.wHour;
}

} // namespace brd
