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

    // `record` is kept for the whole run and passed on every call; the retry timer belongs to `owner`,
    // the window the icon reports to.
    TrayIcon(Form& owner, NOTIFYICONDATAA& record, ShellCall shell = &CallShell);

    // Adds the icon. At logon the shell is often not ready when the program starts, and it need not
    // say when it is: a refused icon is tried again every 2 s for 5 minutes. Also what to do when the
    // taskbar has been created again (the shell was restarted and has forgotten the icon).
    void Add();
    [[nodiscard]] bool Shown() const noexcept { return shown_; }
    // Shows another icon (a refused icon is added with it later).
    void ChangeIcon(HICON icon);
    // Takes the icon away, so that no dead icon is left when the program ends.
    void Remove();
    // One more try while the shell refuses.
    void Retry_Timer();

  private:
    static BOOL CallShell(DWORD operation, NOTIFYICONDATAA* record);
    bool TryAdd();

    NOTIFYICONDATAA& record_;
    ShellCall shell_;
    Timer retry_;
    int tries_ = 0;
    bool shown_ = false;
};

} // namespace brd
