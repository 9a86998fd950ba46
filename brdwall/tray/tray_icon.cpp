#include "brdwall/tray/tray_icon.h"

namespace brd {

namespace {
constexpr UINT kRetryMs = 2000;
constexpr int kRetries = 150; // 5 minutes
} // namespace

TrayIcon::TrayIcon(Form& owner, NOTIFYICONDATAA& record, ShellCall shell)
    : record_(record), shell_(shell), retry_(owner, kRetryMs, false) {
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

void TrayIcon::Add() {
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
