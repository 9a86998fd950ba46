// The warning window: one top-most modeless window per call.
#include <gtest/gtest.h>

#include "brdwall/windows/form11.h"
#include "program_driver.h"
#include "faults.h"

namespace brd::test {
namespace {

bool TopMost(HWND h) {
    return (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(Form11, EachCallOpensItsOwnTopMostWindowAndOkClosesOnlyThatOne) {
    Form11& first = Form11::AnswerOk("first");
    Form11& second = Form11::AnswerOk("");
    HWND h1 = first.hWnd();
    HWND h2 = second.hWnd();
    ASSERT_NE(h1, h2);
    for (HWND h : {h1, h2}) {
        EXPECT_TRUE(IsWindowVisible(h));
        EXPECT_TRUE(TopMost(h));
        EXPECT_EQ(WindowText(h), "Warning Message");
        const LONG style = GetWindowLongA(h, GWL_STYLE);
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    }
    EXPECT_EQ(first.Label1.Caption(), "first");
    EXPECT_EQ(second.Label1.Caption(), "");
    EXPECT_EQ(second.cmdOK.Caption(), "OK");

    first.cmdOK.PerformClick();
    Application::DoEvents();
    EXPECT_FALSE(IsWindow(h1));
    EXPECT_TRUE(IsWindow(h2));
    SendMessageA(h2, WM_CLOSE, 0, 0);
    Application::DoEvents();
    EXPECT_FALSE(IsWindow(h2));
    EXPECT_EQ(Forms().OtherCount(), 0u);
}

// The label's text in the system's window-text colour, on light grey; under a high-contrast theme
// (white text, say) on the system's window colour instead.
TEST(Form11, TheLabelTakesTheSystemsColoursUnderHighContrast) {
    for (const bool high : {false, true}) {
        SetHighContrastSource(high ? +[] { return true; } : +[] { return false; });
        Form11& w = Form11::AnswerOk("text");
        const HDC dc = GetDC(w.Label1.hWnd());
        SendMessageW(w.hWnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(w.Label1.hWnd()));
        EXPECT_EQ(GetBkColor(dc), high ? GetSysColor(COLOR_WINDOW) : RGB(192, 192, 192)) << high;
        EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
        ReleaseDC(w.Label1.hWnd(), dc);
        w.Unload();
    }
    SetHighContrastSource(nullptr);
}

TEST(Form11, CarriageReturnShowsAsLineBreakAndTheTextIsKept) {
    EXPECT_EQ(DisplayText("a\rb"), "a\r\nb");
    EXPECT_EQ(DisplayText("a\r\nb\r"), "a\r\nb\r\n");
    Form11& f = Form11::AnswerOk("Saving, Error #  53\rFile not found");
    EXPECT_EQ(f.Label1.Caption(), "Saving, Error #  53\r\nFile not found");
    f.Unload();
    Application::DoEvents();
}

TEST(Form11, EnterPressesOk) {
    Form11& f = Form11::AnswerOk("press Enter");
    HWND h = f.hWnd();
    SetForegroundWindow(h);
    f.cmdOK.SetFocus();
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(GetFocus(), WM_KEYUP, VK_RETURN, 0);
    EXPECT_TRUE(WaitFor(
        [&] {
            Application::DoEvents();
            return !IsWindow(h);
        },
        3000));
}

TEST(Form11, LongTextGrowsTheWindowDownwardsWithinTheScreen) {
    Form11& f = Form11::AnswerOk(std::string(2000, 'w') + " end");
    RECT client{};
    GetClientRect(f.hWnd(), &client);
    EXPECT_GT(client.bottom, f.ToPixels(1716));
    EXPECT_LE(client.bottom, f.ToPixels(Form11::kMaxClientHeight));
    RECT label{}, ok{};
    GetWindowRect(f.Label1.hWnd(), &label);
    GetWindowRect(f.cmdOK.hWnd(), &ok);
    EXPECT_LT(label.bottom, ok.top) << "the button moves below the longer label";
    f.Unload();
    Application::DoEvents();
}

// A warning naming a megabyte-long file is cut to 4,000 bytes (laying the whole text out took about a
// minute under Wine; `make bench-list` times it), between characters.
TEST(ReliabilityWarning, AMegabyteLongNameIsCutBetweenCharacters) {
    Form11::AnswerOk(kMegabyteName + ", file not found");
    CloseWarnings();
    // Cut between characters: here the 4,000th byte begins a two-byte "Ж".
    std::string cyrillic = "x";
    for (int i = 0; i < 3000; ++i)
        cyrillic += "\xD0\x96";
    Form11::AnswerOk(cyrillic);
    std::wstring shown;
    for (HWND w = FindWindowA("brdForm", kWarningCaption); w; w = nullptr)
        for (HWND c : Children(w)) {
            wchar_t text[4096] = {};
            GetWindowTextW(c, text, 4096);
            if (wcslen(text) > shown.size()) shown = text;
        }
    EXPECT_EQ(shown, L"x" + std::wstring(1999, L'\x0416') + L"...");
    CloseWarnings();
}

} // namespace
} // namespace brd::test
