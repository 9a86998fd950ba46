// Where the program's services send a warning for the user: the warning window, which sits above
// them and is installed at start-up (InstallWarningWindow in the program's entry point).
#pragma once

#include <functional>
#include <string>

namespace brd {

using WarningSink = std::function<void(const std::string& text)>;

// Sends every later warning to `sink`. Before a sink is installed a warning goes nowhere.
void SetWarningSink(WarningSink sink);

// Shows `text` through the installed sink; returns at once.
void ShowWarning(const std::string& text);

} // namespace brd
