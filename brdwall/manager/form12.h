// The wallpaper manager window.
#pragma once

#include "brdwall/shared/controls.h"
#include "brdwall/shared/form.h"

namespace brd {

class Form12 final : public Form {
public:
    Form12() = default;

private:
    [[nodiscard]] FormStyle Style() const override;
};

} // namespace brd
