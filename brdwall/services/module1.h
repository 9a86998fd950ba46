// Program-wide values, kept together in one place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shared/core/settings_record.h"
#include "brdwall/rotation/core/rotation_state.h"

namespace brd {

// 16-bit booleans: a test for True compares with -1.
using VBBool = std::int16_t;
inline constexpr VBBool VBTrue = -1;
inline constexpr VBBool VBFalse = 0;

// The rotation state (ClockArmed, NextShowAt, IntervalMinutes and the count-down
// values) is the RotationState part.
struct Module1 : RotationState {
    // The program's folder, always ending in "\".
    std::string AppFolder;
    // 1 = Arial, 2 = Enlarge, 3 = Normal; 0 until a font record is read (behaves as Normal).
    std::int16_t FontScheme = 0;
    SettingsRecord SettingsBuffer;
};

// The one instance.
Module1& G();

} // namespace brd
