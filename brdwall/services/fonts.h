// The font scheme of the windows, as the settings file stores it.
#pragma once

#include <span>

#include "brdwall/runtime/controls.h"

namespace brd {

// Gives `controls` the scheme of the font record in the program folder's settings file: "Use Arial
// font" the Arial face, "Enlarge" Times New Roman at 10 points, "Normal" (or no settings file) their
// own font. Each window does it to its own controls when it loads; a scheme chosen later takes
// effect at the next start.
void ApplyStoredFontScheme(std::span<Control* const> controls);

} // namespace brd
