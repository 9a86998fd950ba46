// The wallpaper manager window: rotation options, the search and wallpaper
// lists, applying wallpaper, and the rotation's public entry points.
#pragma once

#include <cstdint>
#include <string>

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/core/random.h"
#include "brdwall/runtime/form.h"
#include "shared/win/handles.h"
#include "brdwall/manager/core/wallpaper_order.h"
#include "brdwall/services/picture.h"
#include "brdwall/runtime/platform.h"

#include <array>
#include <functional>
#include <vector>

namespace brd {

class Form12 final : public Form {
  public:
    Form12();

    // Applies the next wallpaper of the list and chooses the one after it.
    void EMShowToShow();
    // Restarts the count-down and switches rotation on or off for "Every" and the interval.
    void TurnOnOffWallpaper();

    // Controls, as in the window's table.
    PictureBox imgShow;
    ListBox lstSearch;
    PictureButton cmdExtendList;
    PictureBox Image1;
    CommandButton cmdRefresh;
    CommandButton cmdChangeWall;
    CommandButton cmdAdd;
    CommandButton cmdClearWall;
    Label Label3;
    ListBox lstShow;
    TextBox txtPath;
    CheckBox ckEvery;
    ComboBox cbInterval;
    OptionButton optOption1;
    OptionButton optOption2;
    CheckBox ckCountDown;
    CheckBox ckSaveSettings;
    PictureButton cmdMinimize;
    PictureButton cmdDelete;
    PictureButton cmdDeleteAll;
    CommandButton cmdClose;
    PictureButton CmdSaveToFile;
    PictureButton cmdLoad;

    OptionButton& optOption(int index) { return index == 2 ? optOption2 : optOption1; }

    // Window state.
    [[nodiscard]] int NextShowIndex() const noexcept { return NextShowIndex_; }
    [[nodiscard]] const std::string& WindowsFolderPath() const noexcept { return WindowsFolderPath_; }
    [[nodiscard]] const std::string& UserFolderPath() const noexcept { return UserFolderPath_; }
    [[nodiscard]] std::int32_t WindowTop() const noexcept { return WindowTop_; }
    [[nodiscard]] std::int32_t WindowLeft() const noexcept { return WindowLeft_; }
    // Where the converted picture of the next entry was written.
    [[nodiscard]] const std::string& ConvertedPath() const noexcept { return convertedPath_; }
    // The file the preview shows, empty for the placeholder picture.
    [[nodiscard]] const std::string& PreviewPath() const noexcept { return preview_.Path; }

    // The controls' handlers. Only the controls raise them; they are public so that the tests can
    // raise them too, as a user's action would.
    void optOption_Click(int index);
    void cmdRefresh_Click();
    void cbInterval_Click();
    void ckCountDown_Click();
    void cmdChangeWall_Click();
    void cmdClearWall_Click();
    void cmdClose_Click();
    void cmdMinimize_Click();
    void cmdRefresh_MouseUp(int button, int shift, int x, int y);
    void txtPath_KeyDown(int keyCode, int shift);
    void txtPath_GotFocus();
    void txtPath_LostFocus();
    void cmdExtendList_Click();
    void lstSearch_Click();
    void lstShow_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();
    void cmdLoad_Click();
    void CmdSaveToFile_Click();

    // Shows a file's picture in the preview, and keeps the file's bytes for "Change"; false (with the
    // preview unchanged) when it cannot be decoded.
    bool ShowPreview(const std::string& path, FailureNote& note);

  private:
    [[nodiscard]] FormStyle Style() const override;
    void Form_Load() override;
    bool Form_QueryUnload(UnloadMode mode) override;
    void Form_Unload() override;

    void ckEvery_MouseUp();
    void ckCountDown_MouseUp();
    void ckSaveSettings_MouseUp();
    void optOption_MouseUp(int index);

    void ResetCountDown();
    // Clears and disables "Every" and enables the interval box: automatic change needs two entries.
    void ClearAndDisableEvery();
    void ApplyFontScheme();
    // The controls that follow the font scheme, in the order they are changed.
    std::array<Control*, 13> FontSchemeControls();
    void AdvanceNextShow();
    void SaveWindowSettings();
    // The entry at a list position, resolved; no entry for a position outside the list.
    ResolvedEntry EntryAt(int index);
    // Gives the desktop a bitmap file, when it is one that can be shown; false (with one warning
    // until the desktop takes a picture again) when not.
    bool ShowOnDesktop(const std::string& path);
    void PickRandomIndex();
    void DropMissingFiles();
    void ConvertToBitmap();
    void ReadUserFolder();
    void FillSearchList(DirSearch& search, std::string FirstName, std::int16_t Slot,
                        std::vector<std::string>& names);
    // Removes the selected entries from DeleteScanIndex on, in one step; DeleteScanIndex ends on the first.
    void RemoveNextSelected();
    // Writes the wallpaper list to the list file; a failure is reported in the warning window.
    bool SaveWallpaperList(const std::string& fileName);
    // Shows the picture of the focused entry of a list; a missing file's entry is removed.
    void PreviewFromList(ListBox& list, bool warnMissing);

    // Writes tmpFile.bmp through `save`, in the Windows folder or, where that is refused, in the
    // user's own application data folder; `damaged` tells a picture that no folder can mend.
    // Returns the path written, or "" (with a warning that begins with `sentence`).
    std::string WriteConvertedPicture(const std::function<bool(const std::string&, FailureNote&)>& save,
                                      const std::function<bool()>& damaged, const std::string& sentence);

    // Positions in the wallpaper list, of any length it may have.
    int NextShowIndex_ = 0;
    int DeleteScanIndex_ = 0;
    std::string WindowsFolderPath_;
    std::string UserFolderPath_;
    std::int32_t WindowTop_ = 0;
    std::int32_t WindowLeft_ = 0;
    bool ListExtended_ = false;
    std::int32_t NormalListHeight_ = 0;

    std::string convertedPath_;
    bool convertedReady_ = false; // the converted file holds a picture that may be applied
    bool nextShowable_ = true;    // the last look found the entry at NextShowIndex_ there to be shown
    std::string awayWarned_;      // the user folder last reported out of reach
    bool desktopRefused_ = false; // the last picture could not be shown, and the user was told
    PictureData preview_;         // what the preview shows, as it was read; no path for the placeholder
    StirringRandom random_;
};

} // namespace brd
