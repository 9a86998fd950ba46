// The tray agent's window driven in this process: its menu, Disable, and
// which icon events open the menu.
#include <gtest/gtest.h>

#include "brdwall/services/module1.h"
#include "brdwall/tray/form1.h"
#include "brdwall/tray/tray_icon.h"
#include "program_driver.h"

namespace brd::test {
namespace {

class Form1Test : public testing::Test {
  protected:
    void SetUp() override { form = &Forms().Get<Form1>(); }
    static void TearDownTestSuite() {
        // Unloading Form1 ends the program, so its window is only taken away from the shell.
        if (Form1* f = Forms().Find<Form1>()) {
            NOTIFYICONDATAA record = f->Icon().Record();
            Shell_NotifyIconA(NIM_DELETE, &record);
        }
    }
    Form1* form = nullptr;
};

TEST_F(Form1Test, StartUpStateAndTrayRecord) {
    const Module1& g = G();
    EXPECT_EQ(g.NextShowAt, -1);
    EXPECT_EQ(g.ClockArmed, VBFalse);
    ASSERT_FALSE(g.AppFolder.empty());
    EXPECT_EQ(g.AppFolder.back(), '\\');
    EXPECT_FALSE(IsWindowVisible(form->hWnd()));
    EXPECT_TRUE(form->Timer1.Enabled());
    EXPECT_EQ(form->Timer1.Interval(), 800u); // the clock's tests tick at this pace

    // The icon's notifications come back to this window (see OnlyRightButtonReleaseOpensTheMenu).
    const NOTIFYICONDATAA& nid = form->Icon().Record();
    EXPECT_EQ(nid.hWnd, form->hWnd());
    EXPECT_EQ(nid.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_STREQ(nid.szTip, "Brd");
    EXPECT_EQ(nid.hIcon, form->NormalIcon());
    EXPECT_TRUE(ProgramRun::TrayIconPresent(form->hWnd()));
}

TEST_F(Form1Test, DisableTwiceGivesBackTheEnabledState) {
    const std::int16_t nextShowAt = G().NextShowAt;
    form->mDisable_Click();
    EXPECT_TRUE(form->DisableChecked());
    EXPECT_FALSE(form->Timer1.Enabled());
    EXPECT_EQ(form->Icon().Record().hIcon, form->DisabledIcon());
    EXPECT_STREQ(form->Icon().Record().szTip, "Brd");

    form->mDisable_Click();
    EXPECT_FALSE(form->DisableChecked());
    EXPECT_TRUE(form->Timer1.Enabled());
    EXPECT_EQ(form->Icon().Record().hIcon, form->NormalIcon());
    EXPECT_EQ(G().NextShowAt, nextShowAt);
    EXPECT_TRUE(ProgramRun::TrayIconPresent(form->hWnd()));
}

// At logon the shell may refuse the icon for a while, and say nothing when it is ready.
int g_refusals = 0;
BOOL RefusingShell(DWORD operation, NOTIFYICONDATAA* record) {
    if (operation == NIM_ADD && g_refusals-- > 0) return FALSE;
    return Shell_NotifyIconA(operation, record);
}

TEST_F(Form1Test, ARefusedIconIsTriedAgainUntilTheShellTakesIt) {
    g_refusals = 3;
    TrayIcon icon(*form, 7, Form1::kTrayCallbackMessage, "Brd", &RefusingShell);
    icon.Add(form->NormalIcon());
    icon.Retry_Timer();
    icon.Retry_Timer();
    EXPECT_FALSE(icon.Shown()) << "refused three times";
    icon.Retry_Timer();
    NOTIFYICONDATAA record = icon.Record();
    record.uFlags = 0;
    EXPECT_TRUE(icon.Shown() && Shell_NotifyIconA(NIM_MODIFY, &record));
    icon.Remove();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &record));
}

// Closes any popup menu that opens and remembers that one did.
bool g_menuSeen = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_menuSeen = true;
        EndMenu();
    }
}

// The notifications as the shell sends them: the tray record's callback message and icon
// identifier, with the mouse message in lParam.
TEST_F(Form1Test, OnlyRightButtonReleaseOpensTheMenu) {
    const NOTIFYICONDATAA& nid = form->Icon().Record();
    struct Event {
        UINT id, message;
        bool opens;
    } events[] = {
        {nid.uID, WM_RBUTTONUP, true},      {nid.uID, WM_LBUTTONUP, false},
        {nid.uID, WM_LBUTTONDOWN, false},   {nid.uID, WM_LBUTTONDBLCLK, false},
        {nid.uID, WM_RBUTTONDBLCLK, false}, {nid.uID, WM_RBUTTONDOWN, false},
        {nid.uID, WM_MOUSEMOVE, false},     {nid.uID + 1, WM_RBUTTONUP, false}, // another icon
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &CloseMenu);
    for (const Event& e : events) {
        g_menuSeen = false;
        SendMessageA(form->hWnd(), nid.uCallbackMessage, e.id, e.message);
        Application::DoEvents();
        EXPECT_EQ(g_menuSeen, e.opens) << e.id << " " << std::hex << e.message;
    }
    KillTimer(nullptr, timer);
}

} // namespace
} // namespace brd::test
