// A multi-line text box with a vertical scroll bar.
#pragma once

#include <string>
#include <string_view>

#include "brdwall/runtime/controls.h"

namespace brd {

// Long lines wrap at the box's width. Enter starts a new line in the box, so
// it never reaches a button of the form; Escape still closes a form that
// handles its close.
class TextArea final : public Control {
  public:
    TextArea(Form& owner, ControlDesign design, Control* container = nullptr, bool readOnly = false);
    // Lines are separated by CR LF.
    [[nodiscard]] std::string Text() const { return Caption(); }
    void SetText(std::string_view text) { SetCaption(text); }

  private:
    void Realize() override;
    bool readOnly_;
};

} // namespace brd
