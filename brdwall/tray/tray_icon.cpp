#include "brdwall/tray/tray_icon.h"

namespace brd {

namespace {
constexpr UINT kRetryMs = 2000;
constexpr int kRetries = 150; // 5 minutes
} // namespace

TrayIcon::TrayIcon(Form& owner, UINT id, UINT callbackMessage, const char* tip, ShellCall shell)
    : owner_(owner), shell_(shell), retry_(owner, kRetryMs, false) {
    // The smallest record the platform accepts: the first version, with its 64-byte tip.
    record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record_.uID = id;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = callbackMessage;
    lstrcpynA(record_.szTip, tip, sizeof(record_.szTip));
    retry_.Tick = [this] { Retry_Timer(); };
}

BOOL TrayIcon::CallShell(DWORD operation, NOTIFYICONDATAA* record) {
    return Shell_NotifyIconA(operation, record);
}

bool TrayIcon::TryAdd() {
    if (shell_(NIM_ADD, &record_)) return true;
    // A busy shell may add the icon and still report a time-out: then it can be changed.
    return shell_(NIM_MODIFY, &record_) != FALSE;
}

void TrayIcon::Add(HICON icon) {
    record_.hWnd = owner_.hWnd();
    record_.hIcon = icon;
    AddAgain();
}

void TrayIcon::AddAgain() {
    tries_ = 0;
    shown_ = TryAdd();
    retry_.SetEnabled(!shown_);
}

void TrayIcon::Retry_Timer() {
    shown_ = TryAdd();
    if (shown_ || ++tries_ >= kRetries) retry_.SetEnabled(false);
}

void TrayIcon::ChangeIcon(HICON icon) {
    record_.hIcon = icon;
    if (shown_) shell_(NIM_MODIFY, &record_);
}

void TrayIcon::Remove() {
    retry_.SetEnabled(false);
    shell_(NIM_DELETE, &record_);
    shown_ = false;
}

} // namespace brd
