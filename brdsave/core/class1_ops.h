#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "brdsave/core/control_port.h"
#include "shared/core/failure.h"

namespace brd {

// The operations of the library class, over the caller's controls and the platform. Booleans are
// 16-bit: True is -1, False 0. The class keeps nothing between calls, and neither do these functions.

inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// The schedule operations throw a FailureException when a result does not fit 16 bits (kOverflow) or
// the clock gives something that is not a time of day. The in/out values are then left as they were.

// An in/out variant argument that holds either nothing or a 16-bit integer. Nothing counts as 0 where
// a number is needed.
struct VariantInt16 {
    bool Empty = true;
    std::int16_t Value = 0;

    std::int16_t Number() const { return Empty ? std::int16_t{0} : Value; }
    friend bool operator==(const VariantInt16&, const VariantInt16&) = default;
};

// ---- Settings file ----

// Saves the window options as record `FilePointer` of aApplicationPath + InitialFileName. File and
// control failures are noted, the remaining steps run, and one message reports the last failure at the
// end. When a control cannot be read, the record is not written: the stored options stay as they were.
void cmdCloseRet(std::int16_t FilePointer, const std::string& InitialFileName, IControlPort& chkKeepSet,
                 std::int32_t MeTop, std::int32_t MeLeft, IControlPort& chkChange, std::int16_t optOption,
                 IControlPort& cbChange, const std::string& aApplicationPath, IControlPort& chkCountDown,
                 ILibraryEnvironment& env);

// Restores the window options from record `FilePointer`, loading the wallpaper list on the way.
// iMe, iA and lstSearch are accepted and not used. Every step is covered, property changes included: a
// failing one is noted and skipped, and the rest goes on. The operation shows at most one message of its
// own, at its very end on whichever path it ends, with the last failure noted. A failed read leaves the
// record zero, so the operation ends right after it and the read failure is the one shown, once.
// Failures of the list file are reported by LoadWallpaperList in its own words and not again.
void F12Load(std::int16_t FilePointer, const std::string& InitialFileName, std::int16_t iMe, std::int16_t iA,
             IControlPort& chkChange, IControlPort& cbChange, std::int16_t& FromLibOption1,
             IControlPort* lstSearch, std::int32_t& MeTop, std::int32_t& MeLeft, IControlPort& chkKeepSet,
             IControlPort& lstShow, std::int16_t& FromLibOption2, const std::string& aApplicationPath,
             IControlPort& chkCountDown, ILibraryEnvironment& env);

// ---- List file ----

// The entries of a list file's bytes, each read as one comma-or-line delimited field: leading blanks
// skipped; a quoted field runs to the next quote (or the end of the input), then everything up to and
// including the next comma or line end is skipped; any other field runs to the next comma or line end,
// trailing blanks removed, and the delimiter is consumed. A line ends at CR LF, LF or CR. Zero bytes are
// dropped (no file name holds one), and blanks at the very end make no entry.
std::vector<std::string> ReadListFields(std::string_view bytes);

// Appends the entries of aApplicationPath + "Wpaper.dat" to lstShow. A missing file is no failure and
// leaves the list alone. Failures (opening, reading, an entry the list refuses) are noted, the rest
// goes on, and one message reports the last of them at the end; entries added stay.
void LoadWallpaperList(IControlPort& lstShow, const std::string& aApplicationPath, ILibraryEnvironment& env);

// ---- Schedule ----
// These catch nothing: a control's failure passes through, and so does an FailureException.

// Stores the minutes for cbChange's ListIndex into iIntervalValue; any other index leaves it alone.
void GetInterval(IControlPort& cbChange, VariantInt16& iIntervalValue);

// Switches rotation on (Every checked and an interval chosen) or off, and sets the first due point: the
// first multiple of the interval at or after the current minute, or for intervals of an hour or more
// the first multiple of the hours at or after the current hour.
void NewShowTimeIs(IControlPort& chkChange, IControlPort& cbChange, std::int16_t& eEvent,
                   VariantInt16& iInterval, std::int16_t& iShowTime, ILibraryEnvironment& env);

// Moves the due point on by one interval.
void CountNextNow(std::int16_t iIntervalIs, std::int16_t& iShowTime, ILibraryEnvironment& env);

} // namespace brd
