#pragma once

#include <string>

namespace brd {

// A time of day on the local clock, 24-hour.
struct LocalTime {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;

    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// The source of the time of day, replaceable in tests.
class IClock {
  public:
    virtual ~IClock() = default;
    virtual LocalTime Now() const = 0;
};

// "HH:MM:SS", two digits each, for a time within the day.
std::string TimeText(const LocalTime& time);

// A clock that shows whatever time it is set to.
class ManualClock final : public IClock {
  public:
    ManualClock() = default;
    explicit ManualClock(const LocalTime& time) { Set(time.Hour, time.Minute, time.Second); }

    LocalTime Now() const override { return now_; }

    // Sets the time; values outside their range carry over and wrap within the day.
    void Set(int hour, int minute, int second);
    // Moves the time on (or back, when negative), wrapping within the day.
    void Advance(long long seconds);

  private:
    LocalTime now_;
};

} // namespace brd
