#include "brdwall/runtime/text_area.h"

namespace brd {

TextArea::TextArea(Form& owner, ControlDesign design, Control* container, bool readOnly)
    : Control(owner, std::move(design), container), readOnly_(readOnly) {}

void TextArea::Realize() {
    DWORD style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (readOnly_) style |= ES_READONLY;
    CreateChild(L"EDIT", style, WS_EX_CLIENTEDGE);
}

} // namespace brd
