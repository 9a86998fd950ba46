#include "brdwall/tray/form1.h"

#include <shellapi.h>

#include <array>
#include <exception>

#include "shared/core/failure.h"
#include "shared/core/record_file.h"
#include "shared/core/settings_record.h"
#include "shared/core/settings_rules.h"
#include "brdwall/manager/form12.h"
#include "brdwall/resources/resource.h"
#include "brdwall/services/module1.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/rotation/core/rotation_clock.h"
#include "brdwall/windows/form11.h"
#include "brdwall/windows/form2.h"
#include "brdwall/windows/form3.h"
#include "brdwall/windows/form7.h"

namespace brd {

namespace {

constexpr char kInstanceMutexName[] = "Local\\brdwall.single-instance.{7C1D2E64-5B0A-4F3E-9A51-2D8C6E0B4F17}";

// A failure thrown out of a window's load counts like a file failure.
Failure FailureFromException(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e)) return KnownFailure(kOutOfMemory);
    return Failure{kInvalidProcedureCall, e.what()};
}

// Posted to Form1 when a wait ends with something put off during it.
constexpr UINT kAfterWaitMessage = WM_APP + 1;

} // namespace

Form1::Form1() : Timer1(*this, 800, true), trayIcon_(*this, kTrayIconId, kTrayCallbackMessage, "Brd") {
    Timer1.Tick = [this] { Timer1_Timer(); };
    // A change that falls due while the menu or a message box is open is made when it closes.
    Timer1.TickWhileWaiting = [this] { brd::Timer1_TimerWhileWaiting(G(), *clock_, changeDeferred_); };
}

FormStyle Form1::Style() const {
    FormStyle s;
    s.Caption = "Brindle Wallpaper Changer";
    s.ClientWidth = 1440;
    s.ClientHeight = 720;
    s.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    s.ExStyle = WS_EX_TOOLWINDOW;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

void Form1::Form_Initialize() {
    // The handle is kept open for the whole run; the system closes it at the end.
    static unique_kernel_handle instance;
    instance.reset(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
    if (instance && GetLastError() == ERROR_ALREADY_EXISTS) {
        MsgBox("Application is already running!", MB_OK, "Brindle Wallpaper Changer");
        ExitProcess(0);
    }
}

void Form1::Form_Load() {
    Module1& g = G();
    g.AppFolder = AppPath();
    if (g.AppFolder.empty() || g.AppFolder.back() != '\\') g.AppFolder += '\\';
    g.NextShowAt = -1;
    g.ClockArmed = VBFalse;

    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    LoadTrayIcons();
    // A program that runs elevated hears of a new taskbar only when it lets the message through.
    ChangeWindowMessageFilterEx(hWnd(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
    ModalScope::WhenWaitsEnd([this] {
        if (changeDeferred_ || closeDeferred_) PostMessageW(hWnd(), kAfterWaitMessage, 0, 0);
    });
    BuildMenu();

    ReadStartupSettings();

    Hide();
    AddTrayIcon();
}

void Form1::ReadStartupSettings() {
    Module1& g = G();
    const std::string path = g.AppFolder + brd::kSettingsFileName;
    if (!FileExists(path)) return;

    // From here on a failing step is skipped and the last failure is kept.
    FailureNote note;
    auto readInto = [&](int recordNumber) {
        FailureNote step;
        SettingsRecord rec = ReadSettingsRecord(path, recordNumber, step);
        if (step.Noted()) {
            note.Note(step.Last());
        } else {
            g.SettingsBuffer = rec;
        }
    };
    auto guarded = [&](auto&& action) {
        try {
            action();
        } catch (const std::exception& e) {
            note.Note(FailureFromException(e));
        }
    };

    readInto(kWindowSettingsRecord);
    if (WindowOptionsSaved(g.SettingsBuffer)) {
        guarded([] { Forms().Get<Form12>(); });
    }

    readInto(kFontRecord);
    const int option = FontSchemeFromRecord(g.SettingsBuffer);
    g.FontScheme = static_cast<std::int16_t>(option);
    guarded([option] { Forms().Get<Form7>().optFont(option).SetValue(true); });

    if (note.Noted()) {
        Form11::AnswerOk(FailureReportText(kStartupSettingsSentence, note.Last()));
        note.Clear();
    }
}

// The popup menu, top to bottom: each item's identifier, caption and handler; a separator has none.
const std::array<Form1::MenuItem, 9> Form1::kMenu = {{
    {mOpen, " About  ", &Form1::mOpen_Click},
    {0, "-", nullptr},
    {mWallpaper, " Wallpaper  ", &Form1::mWallpaper_Click},
    {mSetting, " Settings  ", &Form1::mSetting_Click},
    {0, "-", nullptr},
    {mHelp, " Help  ", &Form1::mHelp_Click},
    {0, "-", nullptr},
    {mDisable, " Disable  ", &Form1::mDisable_Click},
    {mRemove, " Remove  ", &Form1::mRemove_Click},
}};

void Form1::BuildMenu() {
    popup_.reset(CreatePopupMenu());
    for (const MenuItem& item : kMenu) {
        if (item.Id == 0) {
            AppendMenuA(popup_.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(popup_.get(), MF_STRING | MF_UNCHECKED, item.Id, item.Caption);
        }
    }
}

void Form1::LoadTrayIcons() {
    // The small icon's size at the DPI of the screen the taskbar is on (this hidden window's), drawn
    // at that size: 16 pixels at 100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %.
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, Dpi());
    unique_hicon normal = ResourceIcon(IDI_BRD_FLOWER, size);
    unique_hicon disabled = ResourceIcon(IDI_BRD_XCLOCK, size);
    if (trayIcon_.Record().hWnd) trayIcon_.ChangeIcon(DisableChecked() ? disabled.get() : normal.get());
    image1_ = std::move(normal);
    imgXclock1_ = std::move(disabled);
}

void Form1::AddTrayIcon() {
    trayIcon_.Add(DisableChecked() ? imgXclock1_.get() : image1_.get());
}

bool Form1::DisableChecked() const noexcept {
    return popup_ && (GetMenuState(popup_.get(), mDisable, MF_BYCOMMAND) & MF_CHECKED);
}

void Form1::Form_MouseMove(LPARAM mouseMessage) {
    if (mouseMessage != WM_RBUTTONUP) return;
    SetForegroundWindow(hWnd());
    POINT pt{};
    GetCursorPos(&pt);
    {
        // The menu waits for the user in a loop of its own; the chosen item's command comes after.
        ModalScope menu;
        TrackPopupMenuEx(popup_.get(), TPM_RIGHTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, hWnd(), nullptr);
    }
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(hWnd(), WM_NULL, 0, 0);
}

void Form1::mOpen_Click() {
    Forms().Get<Form3>().Show();
}

void Form1::mWallpaper_Click() {
    Form12& f = Forms().Get<Form12>();
    if (f.WindowState() == StateMinimized) f.SetWindowState(StateNormal);
    f.Show();
}

void Form1::mSetting_Click() {
    Form7& f = Forms().Get<Form7>();
    if (f.WindowState() == StateMinimized) {
        f.SetWindowState(StateNormal);
    } else {
        f.Show();
    }
}

void Form1::mHelp_Click() {
    Form2& f = Forms().Get<Form2>();
    if (f.WindowState() == StateMinimized) f.SetWindowState(StateNormal);
    f.Show();
}

void Form1::mDisable_Click() {
    const bool nowChecked = !DisableChecked();
    CheckMenuItem(popup_.get(), mDisable, MF_BYCOMMAND | (nowChecked ? MF_CHECKED : MF_UNCHECKED));
    Timer1.SetEnabled(!nowChecked);
    trayIcon_.ChangeIcon(nowChecked ? imgXclock1_.get() : image1_.get());
}

void Form1::mRemove_Click() {
    EndProgram();
}

void Form1::EndProgram() {
    trayIcon_.Remove();
    ExitProcess(0);
}

bool Form1::Form_QueryUnload(UnloadMode /*mode*/) {
    EndProgram();
}

namespace {

// The manager window as the clock sees it; every call finds it loaded.
class ManagerTarget final : public IRotationTarget {
  public:
    void EMShowToShow() override { Forms().Get<Form12>().EMShowToShow(); }
    void TurnOnOffWallpaper() override { Forms().Get<Form12>().TurnOnOffWallpaper(); }
    bool ManagerVisible() override {
        const Form12* f = Forms().Find<Form12>();
        return f && f->Visible();
    }
    void UnloadManager() override {
        if (Form12* f = Forms().Find<Form12>()) f->Unload(FormCode);
    }
};

} // namespace

void Form1::Timer1_Timer() {
    ManagerTarget target;
    // A change put off by a wait comes first, so that this tick's due test finds it made.
    MakeDeferredChange(G(), changeDeferred_, target);
    brd::Timer1_Timer(G(), *clock_, target);
}

void Form1::AfterWait() {
    if (closeDeferred_) Unload(FormControlMenu);
    // Switched off from the menu meanwhile: the change is not made later either.
    if (!Timer1.Enabled()) changeDeferred_ = false;
    ManagerTarget target;
    MakeDeferredChange(G(), changeDeferred_, target);
}

bool Form1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (msg == kTrayCallbackMessage && wp == kTrayIconId) {
        // While a handler waits (a message box is up, the menu is open) a tray click is let go.
        if (!ModalScope::Active()) Form_MouseMove(lp);
        return true;
    }
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        trayIcon_.AddAgain();
        return true;
    }
    if (msg == WM_DPICHANGED) {
        // The taskbar's screen has another DPI now: the icon at its new size (the layout follows).
        LoadTrayIcons();
        return false;
    }
    if (msg == kAfterWaitMessage) {
        // Another wait may have begun since this was posted; its own end posts again.
        if (!ModalScope::Active()) AfterWait();
        return true;
    }
    if (msg == WM_CLOSE && ModalScope::Active()) {
        closeDeferred_ = true;
        return true;
    }
    switch (msg) {
    case WM_COMMAND:
        if (lp != 0) return false;
        for (const MenuItem& item : kMenu) {
            if (item.Id != 0 && item.Id == LOWORD(wp)) {
                (this->*item.Handler)();
                return true;
            }
        }
        return false;
    case WM_QUERYENDSESSION:
        // Never hold up a shut-down or log-off.
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        if (wp) EndProgram();
        return true;
    default:
        return false;
    }
}

} // namespace brd
