// The about window.
#pragma once

#include "brdwall/shared/controls.h"
#include "brdwall/shared/form.h"

namespace brd {

class Form3 final : public Form {
public:
    Form3();
    Frame Frame1;
    Image imgFlowerIcon;
    CommandButton cmdOK;

private:
    [[nodiscard]] FormStyle Style() const override;
};

} // namespace brd
