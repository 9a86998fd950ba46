#include "brdwall/windows/form2.h"

#include "brdwall/resources/resource.h"

namespace brd {

Form2::Form2() : cmdOK(*this, {"cmdOK", "OK", "", 5040, 3960, 852, 372}) {
    cmdOK.Click = [this] { Unload(); };
}

FormStyle Form2::Style() const {
    FormStyle s;
    s.Caption = "Help";
    s.ClientWidth = 6252;
    s.ClientHeight = 4452;
    s.CentreOnScreen = true;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

} // namespace brd
