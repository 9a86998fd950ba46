// The overwrite question: asked when the wallpaper list is saved over an existing file.
#pragma once

#include <functional>
#include <string>

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"

namespace brd {

class Form13 final : public Form {
  public:
    Form13();

    // Shows the question top-most and modeless, keeps what is to be overwritten (the origin word, as
    // "Wallpaper", and the file name) and what writes it on "Yes", and beeps.
    void FileAlreadyExist(const std::string& WhereDoYouComeFrom, const std::string& fFileName,
                          std::function<void(const std::string& fileName)> overwrite);

    Image imgWarningMessage;
    Label Label1;
    CommandButton cmdYes;
    CommandButton cmdCancel;

    void cmdYes_Click();
    void cmdCancel_Click();

  private:
    [[nodiscard]] FormStyle Style() const override;

    std::string origin_;
    std::string fileName_;
    std::function<void(const std::string&)> overwrite_;
};

} // namespace brd
