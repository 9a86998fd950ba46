#include "brdwall/manager/form13.h"

#include "brdwall/resources/resource.h"
#include "brdwall/runtime/platform.h"

namespace brd {

Form13::Form13()
    : imgWarningMessage(*this, {"imgWarningMessage", "", "", 120, 120, 384, 384}, IDI_BRD_WARNING),
      Label1(*this, {"Label1", "File already exists, overwrite ?", "", 720, 240, 2532, 252}),
      cmdYes(*this, {"cmdYes", "Yes", "", 1200, 720, 732, 252}),
      cmdCancel(*this, {"cmdCancel", "Cancel", "", 2280, 720, 732, 252}) {
    cmdYes.Click = [this] { cmdYes_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
    // Enter keeps the old file unless "Yes" is chosen on purpose; Escape answers "Cancel".
    SetDefaultButton(&cmdCancel);
    SetCancelAction([this] { cmdCancel_Click(); });
}

FormStyle Form13::Style() const {
    FormStyle s;
    s.Caption = "Warning Message";
    s.ClientWidth = 3432;
    s.ClientHeight = 1152;
    s.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    s.ExStyle = WS_EX_DLGMODALFRAME;
    s.CentreOnScreen = true;
    return s;
}

void Form13::FileAlreadyExist(const std::string& WhereDoYouComeFrom, const std::string& fFileName,
                              std::function<void(const std::string& fileName)> overwrite) {
    if (!IsLoaded()) Load();
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    Show();
    origin_ = WhereDoYouComeFrom;
    fileName_ = fFileName;
    overwrite_ = std::move(overwrite);
    Beep();
}

void Form13::cmdYes_Click() {
    // What the asker writes is taken at this moment (the wallpaper list as it is now).
    if (overwrite_) overwrite_(fileName_);
    Unload();
}

void Form13::cmdCancel_Click() {
    Unload();
}

} // namespace brd
