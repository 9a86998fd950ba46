// The about window.
#pragma once

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"

namespace brd {

class Form3 final : public Form {
  public:
    Form3();

    Frame Frame1;
    PictureBox imgMyName;
    Image imgFlowerIcon;
    Label Label3;
    CommandButton cmdOK;

    void cmdOK_Click();

    // The name picture's size in pixels at 96 DPI; it is shown scaled to the window's DPI.
    static constexpr int kNameWidth = 178;
    static constexpr int kNameHeight = 71;

  private:
    [[nodiscard]] FormStyle Style() const override;
    void Form_Load() override;
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // Shows the name picture whole at the window's present DPI.
    void FitNamePicture();
};

} // namespace brd
