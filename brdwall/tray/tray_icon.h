// The program's icon in the notification area. Every call to the shell about it goes through here.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "brdwall/runtime/controls.h"

namespace brd {

class TrayIcon {
  public:
    // What reaches the shell: Shell_NotifyIconA, or a stand-in in the tests.
    using ShellCall = BOOL (*)(DWORD operation, NOTIFYICONDATAA* record);

    // The icon `id` of `owner`, the window its notifications (`callbackMessage`) go to, with the tip
    // `tip`; the retry timer belongs to the owner too.
    TrayIcon(Form& owner, UINT id, UINT callbackMessage, const char* tip, ShellCall shell = &CallShell);

    // Adds the icon with `icon`. At logon the shell is often not ready when the program starts, and
    // it need not say when it is: a refused icon is tried again every 2 s for 5 minutes.
    void Add(HICON icon);
    // Adds it again with the icon it has: the taskbar was created again (the shell restarted and
    // has forgotten the icon, or is ready for the first time).
    void AddAgain();
    [[nodiscard]] bool Shown() const noexcept { return shown_; }
    // Shows another icon (a refused icon is added with it later).
    void ChangeIcon(HICON icon);
    // Takes the icon away, so that no dead icon is left when the program ends.
    void Remove();
    // One more try while the shell refuses.
    void Retry_Timer();
    // The notification-icon record every call passes, kept for the whole run.
    [[nodiscard]] const NOTIFYICONDATAA& Record() const noexcept { return record_; }

  private:
    static BOOL CallShell(DWORD operation, NOTIFYICONDATAA* record);
    bool TryAdd();

    Form& owner_;
    NOTIFYICONDATAA record_{};
    ShellCall shell_;
    Timer retry_;
    int tries_ = 0;
    bool shown_ = false;
};

} // namespace brd
