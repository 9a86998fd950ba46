#include "brdwall/windows/form7.h"

#include "brdwall/resources/resource.h"
#include "brdwall/shared/module1.h"

namespace brd {

Form7::Form7()
    : Frame3(*this, {"Frame3", "Font (it will take effect when Brindle starts next time)", "", 120, 2400, 5052, 1332}),
      optFont1(*this, {"optFont", "Use Arial font", "", 240, 240, 4500, 300}, &Frame3, 1),
      optFont2(*this, {"optFont", "Enlarge", "", 240, 600, 4500, 300}, &Frame3, 2),
      optFont3(*this, {"optFont", "Normal", "", 240, 960, 4500, 300}, &Frame3, 3) {}

OptionButton& Form7::optFont(int index) {
    switch (index) {
    case 1: return optFont1;
    case 2: return optFont2;
    default: return optFont3;
    }
}

FormStyle Form7::Style() const {
    FormStyle s;
    s.Caption = "Settings";
    s.ClientWidth = 5268;
    s.ClientHeight = 4872;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

void Form7::Form_Load() {
    // Scheme 0 (no font record read) shows as "Normal".
    const int scheme = G().FontScheme;
    optFont(scheme >= 1 && scheme <= 3 ? scheme : 3).SetValue(true);
}

} // namespace brd
