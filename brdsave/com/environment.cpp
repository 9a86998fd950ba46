#include "brdsave/com/environment.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "shared/win/files.h"
#include "shared/win/text.h"

namespace brd {

bool WindowsLibraryEnvironment::FileExists(const std::string& path) {
    return brd::FileExists(path);
}

namespace {

// The top-level windows of the calling thread that a message disables, to enable them again.
struct ThreadWindows {
    HWND owner = nullptr; // the message box disables and enables its owner itself
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM param) {
    auto& windows = *reinterpret_cast<ThreadWindows*>(param);
    if (window != windows.owner && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        windows.disabled.push_back(window);
    }
    return TRUE;
}

} // namespace

void WindowsLibraryEnvironment::ShowMessage(const std::string& text) {
    // Modal to every window of the calling thread, whichever host it is: none of the host's
    // windows takes input while the message is up, so none of its handlers can run under the
    // library's call. The active window owns the box, which keeps it in front of that window;
    // with none active (a host with no visible window) the box goes above every window.
    ThreadWindows windows;
    windows.owner = GetActiveWindow();
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&windows));
    const UINT flags = MB_OK | MB_SETFOREGROUND | (windows.owner ? MB_APPLMODAL : MB_TASKMODAL | MB_TOPMOST);
    MessageBoxW(windows.owner, Wide(text).c_str(), L"brdsave", flags);
    for (HWND window : windows.disabled)
        if (IsWindow(window)) EnableWindow(window, TRUE);
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
