// The warning window: one top-most modeless window per call.
#include <gtest/gtest.h>

#include "brdwall/windows/form11.h"
#include "program_driver.h"

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

TEST(Form11, LayoutFollowsTheTwipTable) {
    Form11& f = Form11::AnswerOk("x");
    RECT client{};
    GetClientRect(f.hWnd(), &client);
    EXPECT_EQ(client.right, f.ToPixels(3432));
    EXPECT_EQ(client.bottom, f.ToPixels(1716));
    RECT ok{};
    GetWindowRect(f.cmdOK.hWnd(), &ok);
    MapWindowPoints(nullptr, f.hWnd(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_EQ(ok.left, f.ToPixels(1320));
    EXPECT_EQ(ok.top, f.ToPixels(1200));
    EXPECT_EQ(ok.right - ok.left, f.ToPixels(732));
    f.Unload();
    Application::DoEvents();
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

} // namespace
} // namespace brd::test
