#include "brdwall/manager/form12.h"

#include "brdwall/resources/resource.h"

namespace brd {

FormStyle Form12::Style() const {
    FormStyle s;
    s.Caption = "Brindle - Wallpaper Changer";
    s.ClientWidth = 5424;
    s.ClientHeight = 4716;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

} // namespace brd
