// The rotation clock in the running program: Form1's ticks, read from a
// clock the test sets, drive the real manager window.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "brdwall/runtime/core/clock.h"
#include "brdwall/tray/form1.h"
#include "manager_fixture.h"
#include "faults.h"
#include "shared/core/intervals.h"

namespace brd::test {
namespace {

class ClockTest : public ManagerTest {
  protected:
    void SetUp() override {
        // Form1's load sets the program folder; the test's folder is set after it.
        form1 = &Forms().Get<Form1>();
        ManagerTest::SetUp();
        form1->SetClock(clock);
    }
    void TearDown() override {
        static SystemClock system;
        form1->SetClock(system);
        ManagerTest::TearDown();
    }
    // Ticks every 800 ms from the clock's time for `seconds` seconds.
    void Run(int seconds) {
        for (int ms = 0; ms < seconds * 1000; ms += 800) {
            const LocalTime before = clock.Now();
            form1->Timer1_Timer();
            clock.Set(before.Hour, before.Minute, before.Second);
            clock.Advance((ms + 800) / 1000 - ms / 1000);
        }
    }
    Form12& LoadTwoBitmaps() {
        WriteList(
            {PlaceInWindows("blue.bmp", "brdtest_c1.bmp"), PlaceInWindows("blue.bmp", "brdtest_c2.bmp")});
        WriteRecord(5, "[WallpaperLoc]", "CheckEmptyEmptyPrior 2");
        Form12& f = Forms().Get<Form12>();
        G().ClockArmed = VBTrue;
        G().IntervalMinutes = 15;
        G().NextShowAt = 30;
        return f;
    }
    Form1* form1 = nullptr;
    ManualClock clock;
};

TEST_F(ClockTest, DueMinuteChangesOnceThenClearAndTheNextDueChange) {
    Form12& f = LoadTwoBitmaps();
    ApplyWallpaper("");
    clock.Set(10, 29, 50);
    Run(10);
    EXPECT_EQ(Wallpaper(), "") << "nothing before the due minute";
    Run(30); // through 10:30:00 .. 10:30:29
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_c1.bmp");
    EXPECT_EQ(G().NextShowAt, 45);
    EXPECT_EQ(f.NextShowIndex(), 1) << "one change in the due minute";

    f.cmdClearWall_Click();
    EXPECT_EQ(Wallpaper(), "");
    clock.Set(10, 44, 50);
    Run(20);
    EXPECT_EQ(Wallpaper(), windows + "\\brdtest_c2.bmp");
    EXPECT_EQ(G().NextShowAt, 0);
}

TEST_F(ClockTest, NotArmedOrDisabledDoesNothing) {
    Form12& f = LoadTwoBitmaps();
    ApplyWallpaper("");
    G().ClockArmed = VBFalse;
    clock.Set(10, 29, 58);
    Run(5);
    EXPECT_EQ(Wallpaper(), "");
    EXPECT_EQ(f.NextShowIndex(), 0);
    // Disabled from the tray menu: the timer no longer ticks at all.
    G().ClockArmed = VBTrue;
    form1->mDisable_Click();
    EXPECT_FALSE(form1->Timer1.Enabled());
    form1->mDisable_Click();
    EXPECT_TRUE(form1->Timer1.Enabled());
}

TEST_F(ClockTest, ResyncKeepsAHiddenWindowWhileScheduledAndUnloadsItOtherwise) {
    Form12& f = LoadTwoBitmaps();
    // "Every" on with the stored interval: the resynchronised schedule stays on.
    f.ckEvery.SetValue(1);
    G().NextShowAt = 5; // passed at 10:20
    clock.Set(10, 20, 45);
    form1->Timer1_Timer();
    EXPECT_NE(G().NextShowAt, -1);
    EXPECT_NE(G().NextShowAt, 5);
    EXPECT_EQ(Forms().Find<Form12>(), &f);
    EXPECT_FALSE(f.Visible());

    // "Every" off: the resynchronisation switches rotation off and the hidden window goes.
    f.ckEvery.SetValue(0);
    G().NextShowAt = 5;
    form1->Timer1_Timer();
    EXPECT_EQ(G().NextShowAt, -1);
    Application::DoEvents();
    EXPECT_EQ(Forms().Find<Form12>(), nullptr);
}

TEST_F(ClockTest, EveryTurnedOnWithTheSpaceBarStartsRotation) {
    Form12& f = LoadTwoBitmaps();
    G().NextShowAt = -1;
    ASSERT_TRUE(f.ckEvery.Enabled());
    SendMessageA(f.ckEvery.hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(f.ckEvery.hWnd(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(f.ckEvery.Value(), 1);
    EXPECT_NE(G().NextShowAt, -1) << "scheduled as with a click";
    EXPECT_FALSE(f.cbInterval.Enabled());
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

// The library's message box, or the tray menu, held open in the due minute: Form1's real timer ticks
// inside its loop while the test's clock reads 10:30. Closing the manager window reports a locked
// settings file in that box. The change comes once, right after the wait, however long it lasted.
TEST_F(ClockTest, ADueChangeWaitsForTheLibrarysMessageBoxOrTheMenu) {
    struct Case {
        const char* name;
        bool menu, heldPastTheDueMinute;
    };
    for (const Case& c : {Case{"box closed within the due minute", false, false},
                          Case{"box held across it", false, true}, Case{"menu held across it", true, true}}) {
        SCOPED_TRACE(c.name);
        Form12& f = LoadTwoBitmaps();
        f.ckEvery.SetValue(1);
        f.Show();
        ApplyWallpaper("");
        clock.Set(10, 30, 1);
        unique_kernel_handle lock(CreateFileA(folder.File("wallpape.ini").c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        std::atomic<bool> boxShown{c.menu}, managerEnabled{!c.menu};
        std::thread closer([&] {
            HWND box = nullptr;
            for (int i = 0; i < 250 && !box && !c.menu; ++i, Sleep(20)) {
                box = FindWindowA("#32770", "brdsave");
                DWORD pid = 0;
                if (box) GetWindowThreadProcessId(box, &pid);
                if (pid != GetCurrentProcessId()) box = nullptr;
            }
            if (!box) return;
            boxShown = true;
            // A click sent to a button under the box (a disabled window takes no real one).
            PostMessageA(f.cmdDeleteAll.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            PostMessageA(f.cmdDeleteAll.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            Sleep(2500); // three ticks of the timer or more
            managerEnabled = IsWindowEnabled(f.hWnd()) != FALSE;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        const UINT_PTR menuTimer = c.menu ? SetTimer(nullptr, 0, 2500, &CloseMenu) : 0;
        if (c.menu) {
            form1->Form_MouseMove(WM_RBUTTONUP);
        } else {
            f.cmdClose_Click();
        }
        KillTimer(nullptr, menuTimer);
        closer.join();
        lock.reset();
        ASSERT_TRUE(boxShown);
        EXPECT_FALSE(managerEnabled) << "the manager window takes no input under the box";
        EXPECT_EQ(Wallpaper(), "") << "no change from inside the wait";
        EXPECT_EQ(f.lstShow.ListCount(), 2) << "no handler ran inside the box";
        EXPECT_EQ(G().NextShowAt, 30);
        if (c.heldPastTheDueMinute) clock.Set(10, 31, 40);
        Application::DoEvents();
        EXPECT_EQ(Wallpaper(), windows + "\\brdtest_c1.bmp") << "made when the wait is over";
        EXPECT_EQ(G().NextShowAt, 45);
        ApplyWallpaper("");
        Run(10);
        EXPECT_EQ(Wallpaper(), "") << "once";
        G().NextShowAt = -1;
        if (Form12* open = Forms().Find<Form12>()) open->Unload();
    }
}

TEST_F(ClockTest, EmptyListAtTheDueMinuteChangesNothing) {
    WriteRecord(5, "[WallpaperLoc]", "CheckEmptyEmptyPrior 2");
    Forms().Get<Form12>();
    G().ClockArmed = VBTrue;
    G().IntervalMinutes = 15;
    G().NextShowAt = 30;
    ApplyWallpaper("");
    clock.Set(10, 30, 0);
    Run(20);
    EXPECT_EQ(Wallpaper(), "");
    EXPECT_EQ(G().NextShowAt, 30);
}

// ---------------------------------------------------------------- the clock

// Form1's ticks every 800 ms from a clock the test sets, driving the real manager window; every
// wallpaper change is counted (the desktop is cleared after each one, so a repeat shows too).
class ReliabilityClock : public ReliabilityFixture {
  protected:
    void SetUp() override {
        form1 = &Forms().Get<Form1>();
        ReliabilityFixture::SetUp();
        form1->SetClock(clock);
    }
    void TearDown() override {
        static SystemClock system;
        form1->SetClock(system);
        ReliabilityFixture::TearDown();
    }
    // Ticks from the clock's time for `seconds` seconds; returns the number of changes.
    int Run(int seconds) {
        int changes = 0;
        for (int ms = 0; ms < seconds * 1000; ms += 800) {
            const LocalTime before = clock.Now();
            form1->Timer1_Timer();
            if (!Wallpaper().empty()) {
                ++changes;
                ApplyWallpaper("");
            }
            clock.Set(before.Hour, before.Minute, before.Second);
            clock.Advance((ms + 800) / 1000 - ms / 1000);
        }
        return changes;
    }
    // Two bitmaps, "Every" on, the interval of `listIndex`, the next change due at `showAt`.
    Form12& Rotating(int listIndex, int showAt) {
        WriteList({PlaceInWindows("blue.bmp", "brdtest_rel_k1.bmp"),
                   PlaceInWindows("blue.bmp", "brdtest_rel_k2.bmp")});
        WriteRecord(5, "[WallpaperLoc]", "CheckCheckEmptyPrior " + std::to_string(listIndex));
        Form12& f = Forms().Get<Form12>();
        EXPECT_EQ(f.ckEvery.Value(), 1);
        G().ClockArmed = VBTrue;
        G().IntervalMinutes = kIntervals[static_cast<std::size_t>(listIndex)].Minutes;
        G().NextShowAt = static_cast<std::int16_t>(showAt);
        ApplyWallpaper("");
        return f;
    }
    // Runs through the minute that is due now (the schedule may have been recomputed from the real
    // time of day); returns the changes in it.
    int RunThroughTheDueMinute(int hour) {
        clock.Set(hour, G().NextShowAt, -5);
        return Run(20);
    }
    Form1* form1 = nullptr;
    ManualClock clock;
};

TEST_F(ReliabilityClock, SetBackAnHourRightAfterAChangeNoSecondChange) {
    Rotating(2, 30); // 15 minutes
    clock.Set(10, 29, 50);
    EXPECT_EQ(Run(20), 1);
    ASSERT_EQ(G().NextShowAt, 45);
    clock.Set(9, 30, 10); // the same minute again, an hour earlier
    EXPECT_EQ(Run(60), 0) << "no second change in the same minute, no resynchronisation";
    EXPECT_EQ(G().NextShowAt, 45);
    clock.Set(9, 44, 55);
    EXPECT_EQ(Run(20), 1);
    EXPECT_EQ(G().NextShowAt, 0);
}

TEST_F(ReliabilityClock, SetForwardOntoADueMinuteChangesOnce) {
    Rotating(0, 15); // 5 minutes
    clock.Set(10, 14, 50);
    EXPECT_EQ(Run(20), 1);
    ASSERT_EQ(G().NextShowAt, 20);
    clock.Set(11, 20, 5); // an hour and five minutes on
    EXPECT_EQ(Run(55), 1);
    EXPECT_EQ(G().NextShowAt, 25);
}

TEST_F(ReliabilityClock, SetForwardPastSeveralDueMinutesNoBurstThenResynchronised) {
    Rotating(0, 15);
    clock.Set(10, 14, 50);
    EXPECT_EQ(Run(20), 1);
    clock.Set(10, 37, 10); // 20, 25, 30 and 35 were never seen
    EXPECT_EQ(Run(35), 0);
    EXPECT_EQ(G().NextShowAt, 20) << "nothing moves before second 45";
    // Minutes 37 and 38 are no multiple of 5, so whatever the resynchronisation picks is not due in them.
    EXPECT_EQ(Run(75), 0) << "the missed changes are not made up";
    EXPECT_EQ(G().NextShowAt % 5, 0);
    EXPECT_EQ(RunThroughTheDueMinute(10), 1);
}

TEST_F(ReliabilityClock, LongSuspendMissesTheDueMinuteAndChangesOnceAfterResuming) {
    Rotating(2, 30);
    clock.Set(10, 29, 40);
    EXPECT_EQ(Run(10), 0);
    clock.Set(13, 7, 10); // resumed: no tick saw 10:30
    EXPECT_EQ(Run(110), 0);
    EXPECT_NE(Forms().Find<Form12>(), nullptr) << "kept loaded for the schedule";
    EXPECT_EQ(G().NextShowAt % 15, 0);
    EXPECT_EQ(RunThroughTheDueMinute(14), 1);
}

} // namespace
} // namespace brd::test
