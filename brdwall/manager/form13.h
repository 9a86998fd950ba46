// The overwrite question: asked when the wallpaper list is saved over an existing file.
#pragma once

#include <string>

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"

namespace brd {

class Form13 final : public Form {
  public:
    Form13();

    // Shows the question top-most and modeless, keeps what is to be overwritten, and beeps.
    void FileAlreadyExist(const std::string& WhereDoYouComeFrom, const std::string& fFileName);

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
};

// Writes the manager window's wallpaper list to the list file and reports a failure
// in the warning window. Returns true when the file was written.
bool SaveWallpaperList(const std::string& fileName);

} // namespace brd
