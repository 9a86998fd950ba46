#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "shared/core/failure.h"

namespace brd {

// One of the caller's controls, reached by the names "Value", "Enabled", "ListIndex", "ListCount" and
// "AddItem" only. Setting a property raises the control's own event handlers at once, as a change made
// by the user would. Any member may throw a FailureException.
class IControlPort {
  public:
    virtual ~IControlPort() = default;

    // Check boxes: 0 clear, 1 checked, 2 grayed.
    virtual int Value() = 0;
    virtual void SetValue(int v) = 0;
    virtual void SetEnabled(bool e) = 0;
    // Lists: -1 when nothing is chosen.
    virtual int ListIndex() = 0;
    virtual void SetListIndex(int i) = 0;
    virtual int ListCount() = 0;
    virtual void AddItem(const std::string& item) = 0;
};

// What the library needs from the platform.
class ILibraryEnvironment {
  public:
    virtual ~ILibraryEnvironment() = default;

    // True when a directory search finds `path` as an ordinary file; hidden and system files count as
    // missing, and so do folders.
    virtual bool FileExists(const std::string& path) = 0;
    // A modal message box with an OK button only.
    virtual void ShowMessage(const std::string& text) = 0;
    // The local time of day as "HH:MM:SS", 24-hour.
    virtual std::string TimeOfDayText() = 0;
    // The hour (0 to 23) of the current local date and time.
    virtual int CurrentHour() = 0;
};

} // namespace brd
