#pragma once

#include <array>
#include <cstdint>

#include "brdwall/runtime/core/clock.h"
#include "brdwall/rotation/core/rotation_state.h"

namespace brd {

// What the clock calls on the manager window. The real window changes the rotation state while
// it runs these (EMShowToShow moves NextShowAt on, TurnOnOffWallpaper restarts the count-down and
// recomputes the schedule), so the clock reads the state afresh after each call.
class IRotationTarget {
  public:
    virtual ~IRotationTarget() = default;
    // Shows the next wallpaper of the list; moves NextShowAt on first when the list is not empty.
    virtual void EMShowToShow() = 0;
    // Restarts the count-down and recomputes the schedule from the current time.
    virtual void TurnOnOffWallpaper() = 0;
    virtual bool ManagerVisible() = 0;
    // Asks for the manager window to be unloaded; its close handling may keep it loaded, hidden.
    virtual void UnloadManager() = 0;
};

// Restarts the count-down for the interval combo's `listIndex` at `currentMinute` (0 to 59).
// Nothing happens for index -1 (no interval chosen); for any other index outside 0 to 7 the
// minutes left keep their value, and the span is set to them all the same.
void ResetCountDown(RotationState& state, int listIndex, int currentMinute);

// One tick of the 800 ms timer: the due test of the current mode, then CheckSchedule.
void Timer1_Timer(RotationState& state, const IClock& clock, IRotationTarget& target);

// At second 45 of a minute, with a change scheduled, ResyncSchedule.
void CheckSchedule(RotationState& state, const IClock& clock, IRotationTarget& target);

// Has the schedule recomputed when the due minute or hour has passed, or when the due minute lies
// more than one interval ahead.
void ResyncSchedule(RotationState& state, const IClock& clock, IRotationTarget& target);

// Recomputes the schedule through the window, then unloads the window unless it is visible.
void Resynchronise(IRotationTarget& target);

// A tick that comes while another handler waits (the tray menu or a message box is open): the due
// test and the count-down run as at any tick, but a due change is only remembered in `changeDue`,
// and the schedule is not recomputed. The change is made once the wait is over, however long it
// lasted, and only once.
void Timer1_TimerWhileWaiting(RotationState& state, const IClock& clock, bool& changeDue);

// Makes the change remembered during a wait, if any, while rotation is still on; then forgets it.
void MakeDeferredChange(const RotationState& state, bool& changeDue, IRotationTarget& target);

} // namespace brd
