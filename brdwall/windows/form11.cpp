#include "brdwall/windows/form11.h"

#include <algorithm>

#include "shared/core/utf8.h"
#include "shared/win/text.h"
#include "brdwall/resources/resource.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/services/warnings.h"

namespace brd {

namespace {
constexpr int kClientWidth = 3432;
constexpr int kClientHeight = 1716;
constexpr int kLabelHeight = 852;
} // namespace

std::string DisplayText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

Form11::Form11()
    : imgWarningMessage(*this, {"imgWarningMessage", "", "", 120, 240, 480, 480}, IDI_BRD_WARNING),
      Label1(*this, {"Label1", "", "", 720, 240, 2532, kLabelHeight}),
      cmdOK(*this, {"cmdOK", "OK", "", 1320, 1200, 732, 372}) {
    Label1.SetBackColor(RGB(192, 192, 192));
    cmdOK.Click = [this] { cmdOK_Click(); };
    SetDefaultButton(&cmdOK);
    SetCancelAction([this] { cmdOK_Click(); }); // Escape closes it like OK
}

FormStyle Form11::Style() const {
    FormStyle s;
    s.Caption = "Warning Message";
    s.ClientWidth = kClientWidth;
    s.ClientHeight = kClientHeight;
    s.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    s.ExStyle = WS_EX_DLGMODALFRAME;
    s.CentreOnScreen = true;
    return s;
}

void Form11::cmdOK_Click() {
    Unload();
}

void Form11::FitText() {
    HWND label = Label1.hWnd();
    if (!label) return;
    RECT lr{};
    GetClientRect(label, &lr);
    const std::string text = Label1.Caption();
    RECT need{0, 0, lr.right, 0};
    {
        const window_dc dc(label);
        const selected_object font(dc.get(),
                                   reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        const std::wstring wide = Wide(text);
        DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &need,
                  DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    }

    const int have = lr.bottom;
    const int maxExtra = ToPixels(kMaxClientHeight - kClientHeight);
    const int extra = std::min<int>(need.bottom - have, maxExtra);
    if (extra <= 0) return;

    RECT r{};
    GetWindowRect(label, &r);
    SetWindowPos(label, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(cmdOK.hWnd(), &r);
    POINT p{r.left, r.top};
    ScreenToClient(hWnd(), &p);
    SetWindowPos(cmdOK.hWnd(), nullptr, p.x, p.y + extra, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Grow downwards, then centre the taller window again.
    GetWindowRect(hWnd(), &r);
    SetWindowPos(hWnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top + extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnWorkArea();
}

Form11& Form11::AnswerOk(const std::string& ErrorMsgStr) {
    Form11& form = Forms().CreateNew<Form11>();
    // The window never grows past a few inches: a longer text is cut, which also spares
    // measuring megabytes of it.
    constexpr std::size_t kLongestShown = 4000;
    std::string shown = DisplayText(ErrorMsgStr);
    // Cut between characters: half a character would make the rest read as another code page.
    if (shown.size() > kLongestShown) shown = shown.substr(0, Utf8Prefix(shown, kLongestShown)) + "...";
    form.Label1.SetCaption(shown);
    form.FitText();
    SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    form.Show();
    form.cmdOK.SetFocus();
    Beep();
    return form;
}

void InstallWarningWindow() {
    SetWarningSink([](const std::string& text) { Form11::AnswerOk(text); });
}

} // namespace brd
