#include "brdwall/windows/form3.h"

#include "brdwall/resources/resource.h"

namespace brd {

Form3::Form3()
    : Frame1(*this, {"Frame1", "", "", 120, 0, 4572, 3012}),
      imgFlowerIcon(*this, {"imgFlowerIcon", "", "", 360, 1800, 480, 480}, IDI_BRD_FLOWER, &Frame1),
      cmdOK(*this, {"cmdOK", "OK", "", 240, 2520, 4000, 252}, &Frame1) {
    cmdOK.Click = [this] { Unload(); };
    SetDefaultButton(&cmdOK);
}

FormStyle Form3::Style() const {
    FormStyle s;
    s.Caption = "";
    s.ClientWidth = 4788;
    s.ClientHeight = 3120;
    s.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    s.CentreOnScreen = true;
    return s;
}

} // namespace brd
