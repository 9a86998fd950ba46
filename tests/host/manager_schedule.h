// The manager window as the rotation clock's tests need it: it runs the library's own schedule
// arithmetic on the test's clock, as the real window does through the library, so that the tests
// write out the due points they expect instead of computing them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "brdsave/core/class1_ops.h"
#include "brdwall/runtime/core/clock.h"
#include "brdwall/rotation/core/rotation_state.h"
#include "brdwall/rotation/core/rotation_clock.h"
#include "tests/host/fake_library.h"

namespace brd::test {

// The library's view of the time: the test's clock at this moment.
inline FakeEnvironment EnvironmentAt(const IClock& clock) {
    FakeEnvironment env;
    env.Time = TimeText(clock.Now());
    env.Hour = clock.Now().Hour;
    return env;
}

// The manager window as the clock sees it: records each call with the time it came ("show
// 10:30:00") and changes the rotation state through the library's schedule arithmetic, as the real
// window does: a change moves the due point on, a recomputation restarts the count-down and takes
// the first due point from now.
class FakeManager final : public IRotationTarget {
  public:
    FakeManager(RotationState& state, const IClock& clock) : state_(state), clock_(clock) {}

    bool Every = true;         // the "Every" box
    int ListIndex = 0;         // the interval combo
    int Entries = 2;           // wallpaper list entries
    bool Visible = false;      // the window is shown
    bool Reacts = true;        // false: only record the calls
    bool RecordsUnload = true; // false: an unload is not recorded
    std::vector<std::string> Calls;

    void EMShowToShow() override {
        Record("show");
        if (!Reacts || Entries == 0) return;
        FakeEnvironment env = EnvironmentAt(clock_);
        CountNextNow(state_.IntervalMinutes, state_.NextShowAt, env);
    }
    void TurnOnOffWallpaper() override {
        Record("turn");
        if (!Reacts) return;
        ResetCountDown(state_, ListIndex, clock_.Now().Minute);
        FakeEnvironment env = EnvironmentAt(clock_);
        EventLog log;
        FakeControl ckEvery{"ckEvery", log}, cbInterval{"cbInterval", log};
        ckEvery.ValueNow = Every ? 1 : 0;
        cbInterval.Index = ListIndex;
        VariantInt16 interval{false, state_.IntervalMinutes}; // the program passes a 16-bit number
        NewShowTimeIs(ckEvery, cbInterval, state_.ClockArmed, interval, state_.NextShowAt, env);
        state_.IntervalMinutes = interval.Number();
    }
    bool ManagerVisible() override { return Visible; }
    void UnloadManager() override {
        if (RecordsUnload) Record("unload");
    }

  private:
    void Record(const char* what) { Calls.push_back(std::string(what) + " " + TimeText(clock_.Now())); }

    RotationState& state_;
    const IClock& clock_;
};

} // namespace brd::test
