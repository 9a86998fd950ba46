#include "brdsave/core/class1_ops.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/fake_library.h"

namespace brd {
namespace {

constexpr int kMinutes[] = {5, 10, 15, 30, 60, 120, 180, 240};

struct Schedule {
    test::EventLog log;
    test::FakeControl ckEvery{"ckEvery", log}, cbInterval{"cbInterval", log};
    test::FakeEnvironment env;
    std::int16_t armed = 0, showAt = -1;
    VariantInt16 interval;

    Schedule(int every, int index, int hour, int minute) {
        ckEvery.ValueNow = every;
        cbInterval.Index = index;
        SetClock(hour, minute);
    }
    void SetClock(int hour, int minute) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:20", hour, minute);
        env.Time = text;
        env.Hour = hour;
    }
    void TurnOn() { NewShowTimeIs(ckEvery, cbInterval, armed, interval, showAt, env); }
    void Advance() { CountNextNow(interval.Number(), showAt, env); }
};

Failure FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const OperationFailure& e) {
        return e.failure();
    }
    return {};
}

TEST(Schedule, FirstDuePointsAndTheirSuccessors) {
    struct Case {
        int index, hour, minute;
        int changeHour;                      // the hour at which the changes happen
        std::vector<int> dueAfterEachChange; // NextShowAt when switched on, then after each CountNextNow
    } cases[] = {
        {2, 10, 7, 10, {15, 30, 45, 0}}, {0, 10, 55, 10, {55, 0}}, {4, 14, 30, 14, {14, 15}},
        {4, 23, 0, 23, {23, 0}},         {5, 15, 30, 23, {16, 1}}, {6, 22, 10, 22, {0, 1}},
        {7, 21, 0, 22, {0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index * 10000 + c.hour * 100 + c.minute);
        Schedule s(1, c.index, c.hour, c.minute);
        s.TurnOn();
        EXPECT_EQ(s.armed, kTrue);
        EXPECT_EQ(s.interval, (VariantInt16{false, static_cast<std::int16_t>(kMinutes[c.index])}));
        EXPECT_EQ(s.log.Events, std::vector<std::string>{"cbInterval.Enabled=0"});
        std::vector<int> due = {s.showAt};
        s.SetClock(c.changeHour, 30);
        while (due.size() < c.dueAfterEachChange.size()) {
            s.Advance();
            due.push_back(s.showAt);
        }
        EXPECT_EQ(due, c.dueAfterEachChange);
    }
}

TEST(Schedule, EveryIntervalAtEveryMinuteAndHour) {
    for (int index = 0; index < 8; ++index) {
        const int minutes = kMinutes[index];
        const int hours = minutes / 60;
        for (int hour = 0; hour < 24; ++hour) {
            for (int minute = 0; minute < 60; ++minute) {
                Schedule s(1, index, hour, minute);
                s.TurnOn();
                int expected = 0;
                if (hours == 0) {
                    expected = minute % minutes == 0 ? minute : minute + minutes - minute % minutes;
                    expected = expected == 60 ? 0 : expected;
                } else {
                    expected = hour % hours == 0 ? hour : hour + hours - hour % hours;
                    expected = expected == 24 ? 0 : expected;
                }
                ASSERT_EQ(s.showAt, expected) << minutes << " at " << s.env.Time;
                s.Advance();
                const int next = hours == 0   ? (expected + minutes) % 60
                                 : hours == 1 ? (expected + 1) % 24
                                              : (hour + hours) % 24;
                ASSERT_EQ(s.showAt, next) << minutes << " after " << s.env.Time;
            }
        }
    }
}

TEST(Schedule, SwitchedOffWithoutEveryOrInterval) {
    for (const auto& [every, index] : std::vector<std::pair<int, int>>{{0, 3}, {2, 3}, {1, -1}}) {
        Schedule s(every, index, 10, 7);
        s.showAt = 15;
        s.interval = {false, 30};
        s.TurnOn();
        EXPECT_EQ(s.showAt, -1);
        EXPECT_EQ(s.armed, 0);
        EXPECT_EQ(s.interval, (VariantInt16{false, 30}));
        EXPECT_EQ(s.ckEvery.ValueNow, 0);
        EXPECT_TRUE(s.cbInterval.EnabledNow);
    }
    test::EventLog log;
    test::FakeControl list{"cbInterval", log};
    VariantInt16 value{false, 45};
    for (int index : {-1, 8, -32768}) {
        list.Index = index;
        GetInterval(list, value);
        EXPECT_EQ(value, (VariantInt16{false, 45}));
    }
}

TEST(Schedule, OverflowAndAbsurdValuesFailOrStayInRange) {
    const Failure overflow{kOverflow, "Overflow"};
    test::FakeEnvironment env;
    for (const auto& [interval, start] :
         std::vector<std::pair<int, int>>{{30, 32760}, {5, 32767}, {60, 32767}}) {
        std::int16_t showAt = static_cast<std::int16_t>(start);
        EXPECT_EQ(FailureOf([&, interval = interval] {
                      CountNextNow(static_cast<std::int16_t>(interval), showAt, env);
                  }),
                  overflow);
        EXPECT_EQ(showAt, start);
    }
    std::int16_t unchanged = 17;
    CountNextNow(45, unchanged, env);
    EXPECT_EQ(unchanged, 17);
    env.Hour = 24;
    EXPECT_EQ(FailureOf([&] { CountNextNow(120, unchanged, env); }).Number, kInvalidProcedureCall);

    // An index outside the table keeps whatever the variant held, even nothing or nonsense.
    for (const VariantInt16 held :
         {VariantInt16{}, VariantInt16{false, -5}, VariantInt16{false, 32767}, VariantInt16{false, 90},
          VariantInt16{false, 300}, VariantInt16{false, -32768}}) {
        Schedule s(1, 8, 21, 59);
        s.cbInterval.Choices = 9;
        s.interval = held;
        s.TurnOn();
        EXPECT_EQ(s.armed, kTrue);
        EXPECT_EQ(s.interval, held);
        if (held.Number() <= 0) {
            EXPECT_EQ(s.showAt, -1);
        }
        EXPECT_TRUE(s.showAt >= -1 && s.showAt < 60) << held.Value;
    }

    for (const char* time : {"ab:cd:ef", "1", "25:00:00", "10:75:00"}) {
        Schedule s(1, 2, 10, 7);
        s.env.Time = time;
        EXPECT_NE(FailureOf([&] { s.TurnOn(); }).Number, 0) << time;
        EXPECT_EQ(s.armed, 0);
        EXPECT_EQ(s.showAt, -1);
    }
    Schedule s(1, 2, 10, 7);
    s.ckEvery.Failing["Value"] = {438, "Object doesn't support this property"};
    EXPECT_THROW(s.TurnOn(), ControlFailure);
}

} // namespace
} // namespace brd
