// What the library takes from the platform: file existence, message boxes, the clock.
#pragma once

#include "brdsave/core/control_port.h"

namespace brd {

class WindowsLibraryEnvironment final : public ILibraryEnvironment {
  public:
    bool FileExists(const std::string& path) override;
    void ShowMessage(const std::string& text) override;
    std::string TimeOfDayText() override;
    int CurrentHour() override;
};

} // namespace brd
