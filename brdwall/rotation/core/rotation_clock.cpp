#include "brdwall/rotation/core/rotation_clock.h"

#include <utility>

#include "shared/core/intervals.h"

namespace brd {

namespace {

constexpr std::int16_t kTrue = -1;

// The slot mode's due test: the current minute for minute intervals, the current hour otherwise.
bool SlotIsDue(const RotationState& state, const LocalTime& now) {
    const int current = state.IntervalMinutes < 60 ? now.Minute : now.Hour;
    return current == state.NextShowAt;
}

// Counts one minute change; true when the count-down has run out.
bool CountOneMinute(RotationState& state, int minute) {
    if (minute == state.LastMinuteSeen) return false;
    state.LastMinuteSeen = static_cast<std::int16_t>(minute);
    state.CountDownLeft = static_cast<std::int16_t>(state.CountDownLeft - 1);
    return state.CountDownLeft == 0;
}

} // namespace

void ResetCountDown(RotationState& state, int listIndex, int currentMinute) {
    if (listIndex == -1) return;
    state.LastMinuteSeen = static_cast<std::int16_t>(currentMinute);
    if (const auto minutes = IntervalMinutesAt(listIndex)) state.CountDownLeft = *minutes;
    state.CountDownSpan = state.CountDownLeft;
}

void Timer1_Timer(RotationState& state, const IClock& clock, IRotationTarget& target) {
    if (state.ClockArmed != kTrue) return;
    if (state.NextShowAt != -1) {
        const LocalTime now = clock.Now();
        if (state.CountDownOn == kTrue) {
            if (CountOneMinute(state, now.Minute)) {
                target.EMShowToShow();
                state.CountDownLeft = state.CountDownSpan;
            }
        } else if (SlotIsDue(state, now)) {
            target.EMShowToShow();
        }
    }
    CheckSchedule(state, clock, target);
}

void CheckSchedule(RotationState& state, const IClock& clock, IRotationTarget& target) {
    if (clock.Now().Second == 45 && state.NextShowAt != -1) ResyncSchedule(state, clock, target);
}

void ResyncSchedule(RotationState& state, const IClock& clock, IRotationTarget& target) {
    // One reading, so that the minute and the hour belong to the same moment.
    const LocalTime now = clock.Now();
    const int m = now.Minute;
    const int h = now.Hour;
    const int next = state.NextShowAt;
    const int interval = state.IntervalMinutes;

    if (interval >= 60 && next < h) {
        // Hour 0 is taken to be tomorrow's.
        if (next == 0) return;
    } else if (interval < 60 && next < m) {
        // Minute 0 of the next hour is less than one interval away.
        if (next == 0 && m >= 30 && 60 - m <= interval) return;
    } else if (interval < 60 && next > m) {
        if (next - m <= interval) return;
    } else {
        // The due minute is the current one, or the due hour is now or later.
        return;
    }
    Resynchronise(target);
}

void Resynchronise(IRotationTarget& target) {
    target.TurnOnOffWallpaper();
    if (!target.ManagerVisible()) target.UnloadManager();
}

namespace {

// The manager window as a tick during a wait sees it: a due change is noted, nothing else is done.
class DeferringTarget final : public IRotationTarget {
  public:
    explicit DeferringTarget(bool& changeDue) : changeDue_(changeDue) {}
    void EMShowToShow() override { changeDue_ = true; }
    void TurnOnOffWallpaper() override {}
    bool ManagerVisible() override { return true; }
    void UnloadManager() override {}

  private:
    bool& changeDue_;
};

} // namespace

void Timer1_TimerWhileWaiting(RotationState& state, const IClock& clock, bool& changeDue) {
    DeferringTarget deferring(changeDue);
    Timer1_Timer(state, clock, deferring);
}

void MakeDeferredChange(const RotationState& state, bool& changeDue, IRotationTarget& target) {
    if (!std::exchange(changeDue, false)) return;
    if (state.ClockArmed == kTrue && state.NextShowAt != -1) target.EMShowToShow();
}

} // namespace brd
