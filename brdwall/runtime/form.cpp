#include "brdwall/runtime/form.h"

#include <commctrl.h>

#include <algorithm>

#include "shared/win/text.h"
#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/core/twips.h"

namespace brd {

namespace {

constexpr wchar_t kFormClass[] = L"brdForm";

void RegisterFormClass(WNDPROC proc) {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = Application::Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}

// Every form window of this thread, for keyboard handling in the loop.
std::vector<HWND>& FormWindows() {
    static std::vector<HWND> windows;
    return windows;
}

} // namespace

Form::~Form() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Form::AddControl(Control* c) {
    controls_.push_back(c);
    c->id_ = 1000 + static_cast<int>(controls_.size());
}

void Form::AddTimer(Timer* t) {
    timers_.push_back(t);
}

void Form::RemoveTimer(Timer* t) noexcept {
    std::erase(timers_, t);
}

Control* Form::FindControl(HWND h) const noexcept {
    for (Control* c : controls_)
        if (c->hWnd() == h) return c;
    return nullptr;
}

UINT Form::Dpi() const noexcept {
    if (dpi_) return dpi_;
    UINT dpi = hwnd_ ? GetDpiForWindow(hwnd_) : 0;
    if (dpi == 0) dpi = static_cast<UINT>(GetDeviceCaps(window_dc().get(), LOGPIXELSY));
    return dpi ? dpi : 96;
}

int Form::ToPixels(int twips) const noexcept {
    return TwipsToPixels(twips, static_cast<int>(Dpi()));
}

int Form::ToTwips(int pixels) const noexcept {
    return PixelsToTwips(pixels, static_cast<int>(Dpi()));
}

void Form::CreateFont() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(ncm.lfMessageFont), &ncm.lfMessageFont);
    }
    // The message font is given at the system DPI; scale it to this window's.
    const int systemDpi = GetDeviceCaps(window_dc().get(), LOGPIXELSY);
    if (systemDpi > 0) ncm.lfMessageFont.lfHeight = MulDiv(ncm.lfMessageFont.lfHeight, Dpi(), systemDpi);
    unique_hfont font(CreateFontIndirectW(&ncm.lfMessageFont));
    // Controls switch to the new font before the old one goes.
    for (Control* c : controls_) {
        if (c->hWnd() && !c->font_)
            SendMessageW(c->hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);
}

void Form::PlaceWindow(const FormStyle& style) {
    RECT r{0, 0, ToPixels(style.ClientWidth), ToPixels(style.ClientHeight)};
    AdjustWindowRectExForDpi(&r, style.Style, FALSE, style.ExStyle, Dpi());
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    if (style.CentreOnScreen) CentreOnWorkArea();
}

void Form::CentreOnWorkArea() {
    if (!hwnd_) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    const int x = mi.rcWork.left + ((mi.rcWork.right - mi.rcWork.left) - w) / 2;
    const int y = std::max<int>(mi.rcWork.top, mi.rcWork.top + ((mi.rcWork.bottom - mi.rcWork.top) - h) / 2);
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Load() {
    if (hwnd_) return;
    RegisterFormClass(&Form::WndProc);
    const FormStyle style = Style();
    hwnd_ =
        CreateWindowExW(style.ExStyle, kFormClass, Wide(style.Caption).c_str(), style.Style, CW_USEDEFAULT,
                        CW_USEDEFAULT, 100, 100, nullptr, nullptr, Application::Instance(), this);
    if (!hwnd_) return;
    FormWindows().push_back(hwnd_);
    LoadIcons(style);
    CreateFont();
    PlaceWindow(style);

    for (Control* c : controls_) {
        c->Realize();
        if (c->hWnd()) {
            SendMessageW(c->hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
            c->Hook();
        }
    }
    for (Control* c : controls_) {
        if (c->Design().ToolTip.empty() || !c->hWnd()) continue;
        if (!tooltip_) {
            tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                       nullptr, Application::Instance(), nullptr);
        }
        std::wstring tip = Wide(c->Design().ToolTip);
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.uFlags = TTF_IDISHWND; // the controls relay their mouse messages
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(c->hWnd());
        ti.lpszText = tip.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (defaultButton_ && defaultButton_->hWnd()) {
        SendMessageW(defaultButton_->hWnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
    }
    {
        struct Loading {
            bool& flag;
            explicit Loading(bool& f) : flag(f) { flag = true; }
            ~Loading() { flag = false; }
        } loading(loading_);
        Form_Load();
    }
    // Ticks begin once the window's load is over.
    for (Timer* t : timers_)
        t->Apply();
}

void Form::SetDefaultButton(Control* button) noexcept {
    if (defaultButton_ && defaultButton_->hWnd())
        SendMessageW(defaultButton_->hWnd(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    defaultButton_ = button;
    if (defaultButton_ && defaultButton_->hWnd())
        SendMessageW(defaultButton_->hWnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Form::LayOutControls() {
    for (Control* c : controls_) {
        if (!c->hWnd()) continue;
        c->Place();
        if (c->font_) {
            // Rebuilt from the new default font, so that a face alone takes the new size too.
            SendMessageW(c->hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
            c->SetFont(c->fontFace_.empty() ? nullptr : c->fontFace_.c_str(), c->fontPoints_);
        }
    }
}

void Form::LoadIcons(const FormStyle& style) {
    if (!style.IconResource) return;
    // The sizes the window's DPI asks for. The window only borrows its icons: they are destroyed
    // after it, at unload, or once it shows the next ones.
    const UINT dpi = Dpi();
    unique_hicon big = ResourceIcon(style.IconResource, GetSystemMetricsForDpi(SM_CXICON, dpi));
    unique_hicon small = ResourceIcon(style.IconResource, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

void Form::OnDpiChanged(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    LoadIcons(Style());
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        PlaceWindow(Style());
    }
    CreateFont();
    LayOutControls();
}

void Form::Show() {
    if (!hwnd_) Load();
    if (!hwnd_) return;
    KeepOnScreen();
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_SHOWMINNOACTIVE : SW_SHOW);
    if (!IsIconic(hwnd_)) SetForegroundWindow(hwnd_);
}

void Form::Hide() {
    if (!hwnd_) Load();
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Unload(UnloadMode mode) {
    if (!hwnd_ || unloading_) return true;
    if (Form_QueryUnload(mode)) return false;
    unloading_ = true;
    Form_Unload();
    for (Timer* t : timers_)
        KillTimer(hwnd_, t->id_);
    HWND h = std::exchange(hwnd_, nullptr);
    std::erase(FormWindows(), h);
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
    bigIcon_.reset();
    smallIcon_.reset();
    tooltip_ = nullptr;
    for (Control* c : controls_)
        c->hwnd_ = nullptr;
    if (OnUnloaded) OnUnloaded(this);
    return true;
}

bool Form::Visible() const noexcept {
    return hwnd_ && IsWindowVisible(hwnd_);
}

int Form::WindowState() const noexcept {
    if (!hwnd_) return StateNormal;
    if (IsIconic(hwnd_)) return StateMinimized;
    if (IsZoomed(hwnd_)) return StateMaximized;
    return StateNormal;
}

void Form::SetWindowState(int state) {
    if (!hwnd_) Load();
    if (!hwnd_) return;
    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd_, &wp);
    switch (state) {
    case StateMinimized:
        wp.showCmd = SW_SHOWMINNOACTIVE;
        break;
    case StateMaximized:
        wp.showCmd = SW_SHOWMAXIMIZED;
        break;
    default:
        wp.showCmd = SW_RESTORE;
        break;
    }
    SetWindowPlacement(hwnd_, &wp);
    // A hidden window stays hidden; only its state changes.
    if (!visible) ShowWindow(hwnd_, SW_HIDE);
}

namespace {

// Window positions are converted at the system DPI, the one the settings file's positions were
// always written in, whatever monitor the window is on: with each monitor's own DPI a position
// stored on a 144-DPI monitor would come back at two thirds of it on a 96-DPI one.
int PositionDpi() noexcept {
    const UINT dpi = GetDpiForSystem();
    return dpi ? static_cast<int>(dpi) : 96;
}

} // namespace

long Form::Top() const noexcept {
    RECT r{};
    if (hwnd_) GetWindowRect(hwnd_, &r);
    return PixelsToTwips(r.top, PositionDpi());
}

long Form::Left() const noexcept {
    RECT r{};
    if (hwnd_) GetWindowRect(hwnd_, &r);
    return PixelsToTwips(r.left, PositionDpi());
}

void Form::Move(long leftTwips, long topTwips) {
    if (!hwnd_) Load();
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, TwipsToPixels(static_cast<int>(leftTwips), PositionDpi()),
                 TwipsToPixels(static_cast<int>(topTwips), PositionDpi()), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::KeepOnScreen() {
    if (!hwnd_ || IsIconic(hwnd_)) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) return;
    RECT seen{};
    if (IntersectRect(&seen, &r, &mi.rcWork)) return;
    // Off every monitor's work area (its monitor was unplugged): onto the nearest one, whole.
    const RECT& work = mi.rcWork;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int x = std::max(work.left, std::min(r.left, work.right - w));
    const int y = std::max(work.top, std::min(r.top, work.bottom - h));
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Form::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<Form*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // No message may reach the object once its window is gone.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->Dispatch(msg, wp, lp);
}

LRESULT Form::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (HandleMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_COMMAND:
        if (lp) {
            if (Control* c = FindControl(reinterpret_cast<HWND>(lp))) {
                // While a handler waits the windows are disabled, so an action on a control can only
                // come from a message sent to it: it starts nothing. Focus notices still pass.
                const WORD code = HIWORD(wp);
                if (!ModalScope::Active() || code == EN_SETFOCUS || code == EN_KILLFOCUS) c->OnCommand(code);
                return 0;
            }
        } else if (LOWORD(wp) == IDCANCEL && HIWORD(wp) == 0) {
            // Escape.
            if (cancel_) cancel_();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (Control* c = FindControl(reinterpret_cast<HWND>(lp))) {
            if (c->OnCtlColor(reinterpret_cast<HDC>(wp), result)) return result;
        }
        break;
    case DM_GETDEFID:
        if (defaultButton_ && defaultButton_->hWnd()) return MAKELRESULT(defaultButton_->Id(), DC_HASDEFID);
        return 0;
    case WM_TIMER:
        for (Timer* t : timers_) {
            if (t->id_ == wp) {
                t->Fire();
                return 0;
            }
        }
        break;
    case WM_CLOSE:
        // Not while a handler waits (the window may be half-way through an operation).
        if (!ModalScope::Active()) Unload(FormControlMenu);
        return 0;
    case WM_DPICHANGED:
        // Moved to a monitor of another DPI: everything is laid out again from its twips.
        OnDpiChanged(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

// ---- waits ----

namespace {
// What runs when the outermost wait ends; the forms live on one thread.
std::function<void()>& WaitsEndAction() {
    static std::function<void()> action;
    return action;
}
} // namespace

void ModalScope::WhenWaitsEnd(std::function<void()> action) {
    WaitsEndAction() = std::move(action);
}

void ModalScope::WaitsEnded() {
    if (WaitsEndAction()) WaitsEndAction()();
}

// ---- registry ----

void FormRegistry::Adopt(Form& form) {
    form.OnUnloaded = [this](Form* f) { Release(f); };
}

void FormRegistry::Release(Form* form) {
    for (auto it = defaults_.begin(); it != defaults_.end(); ++it) {
        if (it->second.get() == form) {
            graveyard_.push_back(std::move(it->second));
            defaults_.erase(it);
            return;
        }
    }
    auto it = std::find_if(others_.begin(), others_.end(), [form](const auto& p) { return p.get() == form; });
    if (it != others_.end()) {
        graveyard_.push_back(std::move(*it));
        others_.erase(it);
    }
}

void FormRegistry::CollectGarbage() noexcept {
    graveyard_.clear();
}

FormRegistry& Forms() {
    static FormRegistry registry;
    return registry;
}

// ---- message loop ----

namespace Application {

HINSTANCE Instance() noexcept {
    return GetModuleHandleW(nullptr);
}

bool PreTranslate(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (!top) return false;
    const auto& forms = FormWindows();
    if (std::find(forms.begin(), forms.end(), top) == forms.end()) return false;
    return IsDialogMessageW(top, &msg) != FALSE;
}

int Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Forms().CollectGarbage();
    }
    return static_cast<int>(msg.wParam);
}

void DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    Forms().CollectGarbage();
}

} // namespace Application

} // namespace brd
