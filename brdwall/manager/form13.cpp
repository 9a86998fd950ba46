#include "brdwall/manager/form13.h"

#include "brdwall/manager/core/list_writer.h"
#include "brdwall/manager/form12.h"
#include "brdwall/resources/resource.h"
#include "brdwall/services/module1.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/windows/form11.h"

namespace brd {

namespace {
constexpr char kSaveListSentence[] = "Error occurred when saving items of list to disk, ";
constexpr char kOriginWallpaper[] = "Wallpaper";
} // namespace

bool SaveWallpaperList(const std::string& fileName) {
    // Only a list the user is looking at is written: without the manager window there is none,
    // and an empty file would take the place of the saved list.
    Form12* manager = Forms().Find<Form12>();
    if (!manager) return false;
    std::vector<std::string> entries;
    const int count = manager->lstShow.ListCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(manager->lstShow.List(i));
    FailureNote note;
    if (WriteListFile(G().AppFolder + fileName, entries, note)) return true;
    Failure f = note.Last();
    f.Description += " (the list file on disk was left as it was)";
    Form11::AnswerOk(FailureReportText(kSaveListSentence, f));
    return false;
}

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

void Form13::FileAlreadyExist(const std::string& WhereDoYouComeFrom, const std::string& fFileName) {
    if (!IsLoaded()) Load();
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    Show();
    origin_ = WhereDoYouComeFrom;
    fileName_ = fFileName;
    Beep();
}

void Form13::cmdYes_Click() {
    // The list as it is at this moment is written.
    if (origin_ == kOriginWallpaper) SaveWallpaperList(fileName_);
    Unload();
}

void Form13::cmdCancel_Click() {
    Unload();
}

} // namespace brd
