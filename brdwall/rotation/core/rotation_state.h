// The rotation state: the program-wide values (part of Module1) that the rotation clock works
// from and the manager window and the library's schedule arithmetic fill in.
#pragma once

#include <cstdint>

namespace brd {

// Every value is 16-bit; the booleans hold True = -1 and False = 0, and a test for True compares
// with -1 exactly.
struct RotationState {
    std::int16_t ClockArmed = 0;      // boolean: the clock does nothing until this is True
    std::int16_t NextShowAt = -1;     // due minute (interval < 60) or due hour; -1 when off
    std::int16_t IntervalMinutes = 0; // 5, 10, 15, 30, 60, 120, 180 or 240; 0 until first armed
    std::int16_t CountDownOn = 0;     // boolean: count-down mode
    std::int16_t CountDownLeft = 0;   // minute changes still to pass before the next change
    std::int16_t CountDownSpan = 0;   // what CountDownLeft is reloaded with after a change
    std::int16_t LastMinuteSeen = 0;  // the minute at which the count-down last counted
};

} // namespace brd
