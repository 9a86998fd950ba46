// The hidden main window: start-up, the tray icon and its popup menu, and the
// clock timer.
#pragma once

#include <array>
#include <string>

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"
#include "shared/win/handles.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/tray/tray_icon.h"

namespace brd {

class Form1 final : public Form {
  public:
    // Command identifiers of the popup menu's items (see kMenu).
    enum MenuId : UINT {
        mOpen = 101,
        mWallpaper = 102,
        mSetting = 103,
        mHelp = 104,
        mDisable = 105,
        mRemove = 106,
    };
    // The tray icon's identifier and callback message. The callback message is WM_MOUSEMOVE
    // on purpose: the icon reports to this hidden window as a mouse move, and Form_MouseMove
    // reads the real mouse message from lParam. The window is never shown, so no real mouse
    // move reaches it; the icon's identifier in wParam tells the two apart all the same.
    static constexpr UINT kTrayIconId = 1;
    static constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;

    Form1();

    // The single-instance test, before anything else. When another instance
    // runs, says so and ends this process.
    static void Form_Initialize();

    Timer Timer1;

    [[nodiscard]] HMENU mPopup() const noexcept { return popup_.get(); }
    [[nodiscard]] bool DisableChecked() const noexcept;
    [[nodiscard]] HICON NormalIcon() const noexcept { return image1_.get(); }
    [[nodiscard]] HICON DisabledIcon() const noexcept { return imgXclock1_.get(); }
    [[nodiscard]] const TrayIcon& Icon() const noexcept { return trayIcon_; }

    // Tray notification: lParam holds the mouse message of the icon event.
    void Form_MouseMove(LPARAM mouseMessage);

    void mOpen_Click();
    void mWallpaper_Click();
    void mSetting_Click();
    void mHelp_Click();
    void mDisable_Click();
    void mRemove_Click();
    // One tick of the rotation clock.
    void Timer1_Timer();
    // The clock the ticks read; the system clock unless another is set.
    void SetClock(const IClock& clock) noexcept { clock_ = &clock; }

    // One item of the popup menu; a separator has identifier 0 and no handler.
    struct MenuItem {
        UINT Id;
        const char* Caption;
        void (Form1::*Handler)();
    };
    // The popup menu, top to bottom: it builds the menu and dispatches its commands.
    static const std::array<MenuItem, 9> kMenu;

  private:
    [[nodiscard]] FormStyle Style() const override;
    void Form_Load() override;
    bool Form_QueryUnload(UnloadMode mode) override;
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    void ReadStartupSettings();
    void BuildMenu();
    void LoadTrayIcons();
    void AddTrayIcon();
    // Does what came while a handler waited: a close request, a due change.
    void AfterWait();
    // Ends at once, taking the icon away: no window's close handling runs, nothing is saved.
    [[noreturn]] void EndProgram();

    unique_hmenu popup_;
    unique_hicon image1_;
    unique_hicon imgXclock1_;
    TrayIcon trayIcon_;
    UINT taskbarCreated_ = 0;
    bool changeDeferred_ = false; // a change fell due while a handler waited
    bool closeDeferred_ = false;  // a close request came while a handler waited
    SystemClock systemClock_;
    const IClock* clock_ = &systemClock_;
};

} // namespace brd
