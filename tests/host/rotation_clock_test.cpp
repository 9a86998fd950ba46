#include "brdwall/rotation/core/rotation_clock.h"

#include <gtest/gtest.h>

#include "shared/core/intervals.h"
#include "tests/host/manager_schedule.h"

#include <string>
#include <vector>

namespace brd {
namespace {

constexpr std::int16_t kTrue = -1;

using test::FakeManager;

// The clock, the window and the timer, ticking every 800 ms from a moment of the day.
struct Rig {
    RotationState state;
    ManualClock clock;
    FakeManager manager{state, clock};
    long long ms = 0;

    void JumpTo(int hour, int minute, int second) { ms = ((hour * 60LL + minute) * 60 + second) * 1000; }
    // Ticks from the current moment up to, not including, the given time.
    void RunUntil(int hour, int minute, int second) {
        const long long end = ((hour * 60LL + minute) * 60 + second) * 1000;
        for (; ms < end; ms += 800)
            TickNow();
    }
    void TickNow() {
        clock.Set(0, 0, static_cast<int>(ms / 1000));
        Timer1_Timer(state, clock, manager);
    }
    void SlotMode(int listIndex, int showAt) {
        manager.ListIndex = listIndex;
        state.ClockArmed = kTrue;
        state.IntervalMinutes = kIntervals[static_cast<std::size_t>(listIndex)].Minutes;
        state.NextShowAt = static_cast<std::int16_t>(showAt);
    }
};

TEST(RotationClock, NotArmedDoesNothingAtAnySecond) {
    struct Case {
        std::int16_t armed, countDownOn;
    };
    // 1 is not True: only -1 is.
    for (const Case c : {Case{0, 0}, Case{0, kTrue}, Case{1, 0}, Case{1, kTrue}}) {
        Rig rig;
        rig.SlotMode(2, 30);
        rig.state.ClockArmed = c.armed;
        rig.state.CountDownOn = c.countDownOn;
        rig.state.CountDownLeft = rig.state.CountDownSpan = 1;
        rig.RunUntil(24, 0, 0);
        EXPECT_TRUE(rig.manager.Calls.empty()) << c.armed << " " << c.countDownOn;
        EXPECT_EQ(rig.state.CountDownLeft, 1);
        EXPECT_EQ(rig.state.LastMinuteSeen, 0);
    }
}

TEST(RotationClock, SlotScenarios) {
    struct Step {
        bool jump; // true: jump to the time (suspended or disabled); false: tick up to it
        int hour, minute, second;
    };
    struct Case {
        const char* name;
        int listIndex, showAt;
        std::vector<Step> steps;
        std::vector<std::string> calls;
        int showAtAfter;
    };
    const Case cases[] = {
        {"interval 15 due at 30: one change, at the first tick of the minute",
         2,
         30,
         {{true, 10, 29, 50}, {false, 10, 31, 30}},
         {"show 10:30:00"},
         45},
        {"suspended 10:14 to 10:22: missed change not made, resync at 10:22:45",
         0,
         15,
         {{true, 10, 13, 50}, {false, 10, 14, 10}, {true, 10, 22, 0}, {false, 10, 23, 0}},
         {"turn 10:22:45", "unload 10:22:45"},
         25},
        {"disabled across the due minute: resync at the next second 45, then on time",
         0,
         15,
         {{true, 10, 14, 0}, {false, 10, 14, 30}, {true, 10, 17, 10}, {false, 10, 20, 30}},
         {"turn 10:17:45", "unload 10:17:45", "show 10:20:00"},
         25},
        {"2-hour slots: due hour 14 changes at 14:00:00",
         5,
         14,
         {{true, 13, 59, 58}, {false, 14, 0, 30}},
         {"show 14:00:00"},
         16},
        {"1-hour slots, due hour passed: resync at second 45 makes the current hour due",
         4,
         13,
         {{true, 14, 10, 40}, {false, 14, 10, 50}},
         {"turn 14:10:45", "unload 14:10:45", "show 14:10:46"},
         15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.SlotMode(c.listIndex, c.showAt);
        for (const Step& step : c.steps) {
            if (step.jump) {
                rig.JumpTo(step.hour, step.minute, step.second);
            } else {
                rig.RunUntil(step.hour, step.minute, step.second);
            }
        }
        EXPECT_EQ(rig.manager.Calls, c.calls);
        EXPECT_EQ(rig.state.NextShowAt, c.showAtAfter);
    }
}

TEST(RotationClock, ResyncOnlyAtSecond45WhenTheScheduleNoLongerFits) {
    struct Case {
        int interval, showAt, hour, minute;
        bool resync;
    };
    const Case cases[] = {
        {15, 0, 10, 50, false},                            // minute 0 is 10 away, within one interval
        {5, 0, 10, 50, true},                              // 10 away, more than one interval
        {15, 0, 10, 20, true},                             // before the half hour
        {15, 0, 10, 45, false},                            // exactly one interval away
        {15, 0, 10, 44, true},   {10, 50, 10, 20, true},   // clock set back: 30 ahead
        {10, 25, 10, 20, false},                           // 5 ahead
        {10, 30, 10, 20, false},                           // exactly one interval ahead
        {10, 20, 10, 20, false},                           // due now
        {5, 15, 10, 22, true},                             // passed
        {120, 0, 14, 33, false},                           // hour 0 is tomorrow's
        {120, 12, 14, 33, true}, {120, 20, 14, 33, false}, // ahead: no test for hours too far ahead
        {60, 13, 14, 0, true},   {-1, -1, 10, 20, false},  // nothing scheduled (interval given as 5 below)
    };
    for (const Case& c : cases) {
        for (const int second : {44, 45, 46}) {
            for (const bool visible : {false, true}) {
                SCOPED_TRACE(testing::Message() << c.interval << " " << c.showAt << " at " << c.hour << ":"
                                                << c.minute << ":" << second << (visible ? " visible" : ""));
                Rig rig;
                rig.state.ClockArmed = kTrue;
                rig.state.IntervalMinutes = static_cast<std::int16_t>(c.interval < 0 ? 5 : c.interval);
                rig.state.NextShowAt = static_cast<std::int16_t>(c.showAt);
                rig.manager.Reacts = false;
                rig.manager.Visible = visible;
                rig.clock.Set(c.hour, c.minute, second);
                CheckSchedule(rig.state, rig.clock, rig.manager);
                std::vector<std::string> expected;
                if (c.resync && second == 45) {
                    expected.push_back("turn " + TimeText(rig.clock.Now()));
                    if (!visible) expected.push_back("unload " + TimeText(rig.clock.Now()));
                }
                EXPECT_EQ(rig.manager.Calls, expected);
            }
        }
    }
}

TEST(RotationClock, TwoTicksInSecond45ResyncTwiceUnlessTheFirstFixedIt) {
    for (const bool reacts : {false, true}) {
        Rig rig;
        rig.SlotMode(0, 10);
        rig.manager.Reacts = reacts;
        rig.clock.Set(10, 22, 45);
        Timer1_Timer(rig.state, rig.clock, rig.manager);
        Timer1_Timer(rig.state, rig.clock, rig.manager);
        const std::vector<std::string> once = {"turn 10:22:45", "unload 10:22:45"};
        std::vector<std::string> twice = once;
        twice.insert(twice.end(), once.begin(), once.end());
        EXPECT_EQ(rig.manager.Calls, reacts ? once : twice);
    }
}

TEST(RotationClock, CountDownWalkThrough) {
    Rig rig;
    rig.manager.ListIndex = 0;
    rig.JumpTo(10, 7, 50);
    rig.clock.Set(10, 7, 50);
    // "Count down" checked, then "Every" switched on, at 10:07:50.
    ResetCountDown(rig.state, 0, 7);
    rig.state.CountDownOn = kTrue;
    rig.manager.TurnOnOffWallpaper();
    rig.manager.Calls.clear();
    ASSERT_EQ(rig.state.NextShowAt, 10);
    ASSERT_EQ(rig.state.CountDownLeft, 5);
    ASSERT_EQ(rig.state.LastMinuteSeen, 7);

    rig.RunUntil(10, 11, 45);
    EXPECT_EQ(rig.state.CountDownLeft, 1);
    EXPECT_TRUE(rig.manager.Calls.empty());

    rig.RunUntil(10, 11, 46);
    EXPECT_EQ(rig.state.CountDownLeft, 5);
    EXPECT_EQ(rig.state.LastMinuteSeen, 11);
    EXPECT_EQ(rig.state.NextShowAt, 15);

    rig.RunUntil(10, 16, 1);
    EXPECT_EQ(rig.state.NextShowAt, 20);
    EXPECT_EQ(rig.state.CountDownLeft, 5);

    rig.RunUntil(10, 30, 0);
    const std::vector<std::string> calls = {"turn 10:11:45", "unload 10:11:45", "show 10:16:00",
                                            "show 10:21:00", "show 10:26:00"};
    EXPECT_EQ(rig.manager.Calls, calls);
}

TEST(RotationClock, CountDownCountsOneStepAfterTheTimerWasStopped) {
    Rig rig;
    rig.SlotMode(2, 15);
    rig.state.CountDownOn = kTrue;
    ResetCountDown(rig.state, 2, 7);
    rig.JumpTo(10, 7, 58);
    rig.RunUntil(10, 8, 2);
    EXPECT_EQ(rig.state.CountDownLeft, 14);
    rig.JumpTo(10, 12, 30); // the timer was stopped meanwhile
    rig.RunUntil(10, 12, 40);
    EXPECT_EQ(rig.state.CountDownLeft, 13);
    EXPECT_EQ(rig.state.LastMinuteSeen, 12);
    EXPECT_TRUE(rig.manager.Calls.empty());
}

TEST(RotationClock, EmptyListCallsEveryTickOfTheDueMinuteThenResyncs) {
    Rig rig;
    rig.SlotMode(0, 15);
    rig.manager.Entries = 0;
    rig.JumpTo(10, 14, 50);
    rig.RunUntil(10, 17, 0);
    std::vector<std::string> expected;
    // Ticks fall every 800 ms from 10:14:50; minute 15 is 10 s to 70 s later.
    for (long long ms = 0; ms < 70 * 1000; ms += 800) {
        if (ms >= 10 * 1000) {
            const int second = static_cast<int>(ms / 1000) - 10;
            expected.push_back("show " + TimeText(LocalTime{10, 15, second}));
        }
    }
    expected.push_back("turn 10:16:45");
    expected.push_back("unload 10:16:45");
    EXPECT_EQ(rig.manager.Calls, expected);
    EXPECT_EQ(rig.state.NextShowAt, 20);
}

TEST(RotationClock, ResetCountDown) {
    struct Case {
        int index;
        std::int16_t left, span, lastMinute;
    };
    // Index -1 (no interval) changes nothing; an index outside the table keeps the minutes left,
    // and the span follows them.
    const Case cases[] = {
        {-1, 7, 9, 3},
        {0, 5, 5, 58},
        {7, 240, 240, 58},
        {8, 7, 7, 58},
    };
    for (const Case& c : cases) {
        RotationState state;
        state.CountDownLeft = 7;
        state.CountDownSpan = 9;
        state.LastMinuteSeen = 3;
        ResetCountDown(state, c.index, 58);
        EXPECT_EQ(state.CountDownLeft, c.left) << c.index;
        EXPECT_EQ(state.CountDownSpan, c.span) << c.index;
        EXPECT_EQ(state.LastMinuteSeen, c.lastMinute) << c.index;
    }
}

} // namespace
} // namespace brd
