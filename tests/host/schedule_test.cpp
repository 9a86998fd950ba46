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
    } catch (const FailureException& e) {
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

TEST(Schedule, FirstDuePointAndNextAtEveryInterval) {
    // For each interval, times on, just before and just after its due points, and over the
    // hour's or the day's end: the due point when switched on at that time, and the one after
    // a change at that same time. Hours: from the hour of the change, not the due point.
    struct Case {
        int index, hour, minute;
        int due, next;
    } cases[] = {
        {0, 9, 0, 0, 5},    {0, 9, 1, 5, 10},  {0, 9, 4, 5, 10},   {0, 9, 5, 5, 10},    {0, 9, 54, 55, 0},
        {0, 9, 55, 55, 0},  {0, 9, 56, 0, 5},  {0, 9, 59, 0, 5},   {1, 9, 0, 0, 10},    {1, 9, 9, 10, 20},
        {1, 9, 11, 20, 30}, {1, 9, 50, 50, 0}, {1, 9, 51, 0, 10},  {2, 9, 1, 15, 30},   {2, 9, 15, 15, 30},
        {2, 9, 44, 45, 0},  {2, 9, 46, 0, 15}, {2, 9, 59, 0, 15},  {3, 9, 0, 0, 30},    {3, 9, 29, 30, 0},
        {3, 9, 30, 30, 0},  {3, 9, 31, 0, 30}, {4, 0, 0, 0, 1},    {4, 0, 59, 0, 1},    {4, 13, 30, 13, 14},
        {4, 23, 59, 23, 0}, {5, 0, 10, 0, 2},  {5, 13, 0, 14, 15}, {5, 14, 59, 14, 16}, {5, 22, 0, 22, 0},
        {5, 23, 0, 0, 1},   {6, 0, 0, 0, 3},   {6, 1, 0, 3, 4},    {6, 3, 30, 3, 6},    {6, 20, 0, 21, 23},
        {6, 22, 0, 0, 1},   {6, 23, 59, 0, 2}, {7, 0, 0, 0, 4},    {7, 1, 0, 4, 5},     {7, 5, 0, 8, 9},
        {7, 20, 0, 20, 0},  {7, 21, 0, 0, 1},  {7, 23, 30, 0, 3},
    };
    for (const Case& c : cases) {
        Schedule s(1, c.index, c.hour, c.minute);
        s.TurnOn();
        EXPECT_EQ(s.showAt, c.due) << kMinutes[c.index] << " min at " << s.env.Time;
        s.Advance();
        EXPECT_EQ(s.showAt, c.next) << kMinutes[c.index] << " min, next at " << s.env.Time;
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
    EXPECT_THROW(s.TurnOn(), FailureException);
}

} // namespace
} // namespace brd
