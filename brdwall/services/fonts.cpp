#include "brdwall/services/fonts.h"

#include "shared/core/settings_rules.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/services/module1.h"

namespace brd {

void ApplyStoredFontScheme(std::span<Control* const> controls) {
    if (!FileExists(G().AppFolder + kSettingsFileName)) return;
    const int scheme = ReadFontScheme(G().AppFolder);
    if (scheme != 1 && scheme != 2) return;
    for (Control* c : controls)
        c->SetFont(scheme == 1 ? "Arial" : "Times New Roman", 0);
    if (scheme == 2)
        for (Control* c : controls)
            c->SetFont(nullptr, 10);
}

} // namespace brd
