// The help window.
#pragma once

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"
#include "brdwall/runtime/text_area.h"

namespace brd {

class Form2 final : public Form {
  public:
    Form2();

    TextArea txtHelp;
    CommandButton cmdOK;

    void cmdOK_Click();

  private:
    [[nodiscard]] FormStyle Style() const override;
    void Form_Load() override;
};

} // namespace brd
