// The rotation clock when the wall clock jumps: set back or forward, or the
// machine resumed after a long sleep. Every call the clock makes is recorded
// with its time, so a burst or a double change shows as an extra "show".
#include "brdwall/rotation/core/rotation_clock.h"

#include <gtest/gtest.h>

#include "shared/core/intervals.h"
#include "tests/host/manager_schedule.h"

#include <string>
#include <vector>

namespace brd {
namespace {

constexpr std::int16_t kTrue = -1;

struct Step {
    bool tick; // true: tick every 800 ms up to the time; false: the clock jumps there
    int hour, minute, second;
};

struct Case {
    const char* name;
    int listIndex, showAt;
    bool countDown;
    std::vector<Step> steps;
    std::vector<std::string> calls;
    int showAtAfter;
};

TEST(ClockJump, NoBurstNoDoubleChangeTheScheduleMovesOnByItsRules) {
    const Case cases[] = {
        {"15 min: set back an hour right after the change",
         2,
         30,
         false,
         {{false, 10, 29, 50}, {true, 10, 30, 10}, {false, 9, 30, 10}, {true, 9, 46, 0}},
         {"show 10:30:00", "show 09:45:00"},
         0},
        {"5 min: forward onto a due minute an hour later",
         0,
         15,
         false,
         {{false, 10, 14, 50}, {true, 10, 15, 10}, {false, 11, 20, 5}, {true, 11, 21, 0}},
         {"show 10:15:00", "show 11:20:05"},
         25},
        {"5 min: forward past four due minutes, resynchronised at second 45",
         0,
         15,
         false,
         {{false, 10, 14, 50}, {true, 10, 15, 10}, {false, 10, 37, 10}, {true, 10, 41, 0}},
         {"show 10:15:00", "turn 10:37:45", "show 10:40:00"},
         45},
        {"5 min: forward to a multiple of the interval, one change right after the resynchronisation",
         0,
         20,
         false,
         {{false, 10, 40, 10}, {true, 10, 41, 0}},
         {"turn 10:40:45", "show 10:40:46"},
         45},
        {"15 min: asleep from 10:29:50 to 13:07:10, the due minute never seen",
         2,
         30,
         false,
         {{false, 10, 29, 40}, {true, 10, 29, 50}, {false, 13, 7, 10}, {true, 13, 16, 0}},
         {"turn 13:07:45", "show 13:15:00"},
         30},
        {"1 hr: asleep overnight, resumed before the due hour",
         4,
         11,
         false,
         {{false, 10, 59, 50}, {false, 9, 10, 0}, {true, 11, 0, 10}},
         {"show 11:00:00"},
         12},
        {"2 hrs: set back three hours after the change, the next one waits for its hour",
         5,
         14,
         false,
         {{false, 13, 59, 58}, {true, 14, 0, 10}, {false, 11, 0, 10}, {true, 16, 0, 10}},
         {"show 14:00:00", "show 16:00:00"},
         18},
        {"count-down 5: set back an hour right after the change",
         0,
         20,
         true,
         {{false, 10, 15, 50}, {true, 10, 16, 10}, {false, 9, 16, 10}, {true, 9, 22, 0}},
         {"show 10:16:00", "turn 09:16:45", "show 09:21:00"},
         25},
        {"count-down 5: forward half an hour counts one minute; the passed due minute restarts it twice",
         0,
         20,
         true,
         {{false, 10, 15, 50}, {true, 10, 16, 10}, {false, 10, 50, 10}, {true, 10, 57, 0}},
         {"show 10:16:00", "turn 10:50:45", "turn 10:51:45", "show 10:56:00"},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RotationState state;
        ManualClock clock;
        test::FakeManager window(state, clock);
        window.RecordsUnload = false;
        window.ListIndex = c.listIndex;
        state.ClockArmed = kTrue;
        state.IntervalMinutes = kIntervals[static_cast<std::size_t>(c.listIndex)].Minutes;
        state.NextShowAt = static_cast<std::int16_t>(c.showAt);
        if (c.countDown) {
            // Counting from minute 15: one minute change is left before the change.
            state.CountDownOn = kTrue;
            state.CountDownLeft = 1;
            state.CountDownSpan = state.IntervalMinutes;
            state.LastMinuteSeen = 15;
        }
        long long ms = 0;
        for (const Step& step : c.steps) {
            const long long at = ((step.hour * 60LL + step.minute) * 60 + step.second) * 1000;
            if (!step.tick) {
                ms = at;
                continue;
            }
            if (at < ms) ms -= 24LL * 3600 * 1000; // over midnight
            for (; ms < at; ms += 800) {
                clock.Set(0, 0, static_cast<int>(ms / 1000));
                Timer1_Timer(state, clock, window);
            }
        }
        EXPECT_EQ(window.Calls, c.calls);
        EXPECT_EQ(state.NextShowAt, c.showAtAfter);
    }
}

} // namespace
} // namespace brd
