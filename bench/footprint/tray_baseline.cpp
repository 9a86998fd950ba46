// tray_baseline.exe: the smallest tray program we can write, as a yardstick for
// the footprint of brdwall.exe. One hidden window, one tray icon, an 800 ms
// timer that reads the local time and compares a few numbers, and a message
// loop. It ends on WM_CLOSE, taking its icon away first.
//
// Built a second time as tray_baseline_cc.exe (BASELINE_COMMON_CONTROLS), with a manifest
// asking for common controls 6 and the controls library initialised at start, as every
// program with visual styles has it: the yardstick for what that library costs by itself.
#include <windows.h>
#include <shellapi.h>
#ifdef BASELINE_COMMON_CONTROLS
#include <commctrl.h>
#endif

namespace {

constexpr UINT kIconId = 1;
constexpr UINT kTimerId = 1;
constexpr UINT kTrayMessage = WM_APP + 1;

NOTIFYICONDATAA g_icon{};
// What the timer remembers between ticks, so that each tick has something to compare.
WORD g_lastMinute = 0xFFFF;
int g_minuteChanges = 0;

void OnTimer() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wMinute != g_lastMinute) {
        g_lastMinute = now.wMinute;
        ++g_minuteChanges;
    }
    if (now.wSecond == 45 && now.wHour == 25) PostQuitMessage(2); // never true: just a comparison
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kTimerId) OnTimer();
        return 0;
    case WM_CLOSE:
        KillTimer(hwnd, kTimerId);
        Shell_NotifyIconA(NIM_DELETE, &g_icon);
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef BASELINE_COMMON_CONTROLS
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    if (!InitCommonControlsEx(&controls)) return 1;
#endif
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "trayBaseline";
    if (!RegisterClassA(&wc)) return 1;

    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Tray Baseline", WS_OVERLAPPED,
                                CW_USEDEFAULT, CW_USEDEFAULT, 200, 100, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;

    g_icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    g_icon.hWnd = hwnd;
    g_icon.uID = kIconId;
    g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_icon.uCallbackMessage = kTrayMessage;
    g_icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(g_icon.szTip, "Baseline", sizeof(g_icon.szTip));
    Shell_NotifyIconA(NIM_ADD, &g_icon);

    SetTimer(hwnd, kTimerId, 800, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
