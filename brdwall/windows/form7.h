// The settings window.
#pragma once

#include "brdwall/shared/controls.h"
#include "brdwall/shared/form.h"

namespace brd {

class Form7 final : public Form {
public:
    Form7();

    Frame Frame3;
    OptionButton optFont1;
    OptionButton optFont2;
    OptionButton optFont3;
    // The option array by its index, 1 to 3 (the font scheme it stands for).
    OptionButton& optFont(int index);

private:
    [[nodiscard]] FormStyle Style() const override;
    void Form_Load() override;
};

} // namespace brd
