// The help window.
#pragma once

#include "brdwall/shared/controls.h"
#include "brdwall/shared/form.h"

namespace brd {

class Form2 final : public Form {
public:
    Form2();
    CommandButton cmdOK;

private:
    [[nodiscard]] FormStyle Style() const override;
};

} // namespace brd
