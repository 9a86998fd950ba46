#include "brdwall/manager/form12.h"

#include <algorithm>
#include <array>
#include <climits>

#include "shared/core/intervals.h"
#include "shared/core/settings_rules.h"
#include "shared/win/error_text.h"
#include "shared/win/text.h"
#include "brdwall/manager/core/list_writer.h"
#include "brdwall/manager/core/wallpaper_order.h"
#include "brdwall/manager/form13.h"
#include "brdwall/resources/resource.h"
#include "brdwall/runtime/control_dispatch.h"
#include "brdwall/services/fonts.h"
#include "brdwall/services/library.h"
#include "brdwall/services/module1.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/rotation/core/rotation_clock.h"
#include "brdwall/windows/form11.h"

namespace brd {

namespace {

constexpr char kInvalidPathWarning[] = "invalid path found, please input again!";
constexpr char kSaveListSentence[] = "Error occurred when saving items of list to disk, ";
constexpr char kFolderNotFound[] = ", directory not found";
constexpr char kConversionSentence[] = "Error occurred when preparing the next wallpaper, ";
constexpr char kChangeSentence[] = "Error occurred when changing wallpaper, ";
constexpr char kPreviewSentence[] = "Error occurred when loading the preview, ";
constexpr char kScheduleSentence[] = "Error occurred when counting the next change, ";
constexpr char kSwitchSentence[] = "Error occurred when switching the automatic change, ";
constexpr int kMaxMissingFileWarnings = 10;

// The wallpaper list box as the order logic sees it.
class ListBoxEntries final : public IWallpaperList {
  public:
    explicit ListBoxEntries(ListBox& list) : list_(list) {}
    int Count() override { return list_.ListCount(); }
    std::string Entry(int i) override { return list_.List(i); }
    void Remove(const std::vector<int>& indexes) override { list_.RemoveItems(indexes); }

  private:
    ListBox& list_;
};

int CurrentMinute() {
    return SystemClock().Now().Minute;
}

// The library's load takes the list positions as 16-bit values and does not use them.
short LibraryIndex(int position) {
    return static_cast<short>(std::clamp(position, static_cast<int>(SHRT_MIN), static_cast<int>(SHRT_MAX)));
}

} // namespace

Form12::Form12()
    : imgShow(*this, {"imgShow", "", "preview", 120, 120, 1572, 1332}, IDB_BRD_PLACEHOLDER),
      lstSearch(*this, {"lstSearch", "", "Windows' directory and path input by user", 1920, 120, 2172, 2028},
                nullptr, true, true),
      cmdExtendList(*this, {"cmdExtendList", "", "", 4080, 120, 132, 252}, IDI_BRD_EXTEND, nullptr,
                    "extend or shorten the searched list"),
      Image1(*this, {"Image1", "", "", 4320, 240, 852, 336}, IDB_BRD_BANNER),
      cmdRefresh(*this, {"cmdRefresh", "Refresh", "refresh searched list", 4320, 840, 972, 372}),
      cmdChangeWall(*this,
                    {"cmdChangeWall", "Change", "change wallpaper now when item is highlighted on the left",
                     4320, 1320, 972, 372}),
      cmdAdd(*this, {"cmdAdd", "Add", "add file name to wallpaper list after view", 480, 1680, 612, 252}),
      cmdClearWall(*this, {"cmdClearWall", "Clear", "clear wallpaper", 4320, 1800, 972, 372}),
      Label3(*this, {"Label3", "Wallpaper list :", "", 120, 2040, 1452, 252}),
      lstShow(*this, {"lstShow", "", "waiting for appearance", 120, 2400, 1572, 1488}, nullptr, false, true),
      txtPath(*this, {"txtPath", "", "directory you want to search", 1920, 2400, 2172, 264}),
      ckEvery(*this, {"ckEvery", "Every", "enable changing wallpaper when check", 1920, 2880, 972, 300}),
      cbInterval(*this, {"cbInterval", "min / hr", "interval", 3000, 2880, 1092, 276}, nullptr, true),
      optOption1(*this,
                 {"optOption", "priority", "change from up to down in Wallpaper list", 4200, 2880, 1212, 300},
                 nullptr, 1),
      optOption2(*this, {"optOption", "random", "change randomly", 4200, 3240, 1212, 180}, nullptr, 2),
      ckCountDown(*this, {"ckCountDown", "Count down",
                          "depends on interval, start count from now or from twelve o'clock ", 1920, 3240,
                          1452, 300}),
      ckSaveSettings(*this,
                     {"ckSaveSettings", "Save above settings",
                      "automatically run the same when program starts next time", 1920, 3600, 2052, 300}),
      cmdMinimize(*this, {"cmdMinimize", "", "", 4200, 3720, 852, 180}, IDI_BRD_MINIMIZE, nullptr,
                  "minimize"),
      cmdDelete(*this, {"cmdDelete", "", "remove highlighted items", 240, 3960, 372, 252}, IDI_BRD_DELETE),
      cmdDeleteAll(*this, {"cmdDeleteAll", "", "remove all items", 840, 3960, 732, 252}, IDI_BRD_DELETEALL),
      cmdClose(*this, {"cmdClose", "Close", "", 4200, 4080, 852, 372}),
      CmdSaveToFile(*this, {"CmdSaveToFile", "", "save wallpaper list's data to disk", 240, 4320, 252, 252},
                    IDI_BRD_SAVE),
      cmdLoad(
          *this,
          {"cmdLoad", "", "clear data in wallpaper list and load old data from disk", 840, 4320, 252, 252},
          IDI_BRD_LOAD) {
    for (const Interval& interval : kIntervals)
        cbInterval.AddItem(interval.Item);
    SetDefaultButton(&cmdAdd);
    SetCancelAction([this] { cmdClose_Click(); }); // Escape closes the window as "Close" does

    cbInterval.Click = [this] { cbInterval_Click(); };
    ckEvery.MouseUp = [this](int, int, int, int) { ckEvery_MouseUp(); };
    ckCountDown.Click = [this] { ckCountDown_Click(); };
    ckCountDown.MouseUp = [this](int, int, int, int) { ckCountDown_MouseUp(); };
    ckSaveSettings.MouseUp = [this](int, int, int, int) { ckSaveSettings_MouseUp(); };
    optOption1.Click = optOption2.Click = [this](int index) { optOption_Click(index); };
    optOption1.MouseUp = [this](int, int, int, int) { optOption_MouseUp(1); };
    optOption2.MouseUp = [this](int, int, int, int) { optOption_MouseUp(2); };
    cmdRefresh.Click = [this] { cmdRefresh_Click(); };
    cmdChangeWall.Click = [this] { cmdChangeWall_Click(); };
    cmdClearWall.Click = [this] { cmdClearWall_Click(); };
    cmdClose.Click = [this] { cmdClose_Click(); };
    cmdMinimize.Click = [this] { cmdMinimize_Click(); };
    cmdRefresh.MouseUp = [this](int b, int sh, int x, int y) { cmdRefresh_MouseUp(b, sh, x, y); };
    txtPath.KeyDown = [this](int key, int shift) { txtPath_KeyDown(key, shift); };
    txtPath.GotFocus = [this] { txtPath_GotFocus(); };
    txtPath.LostFocus = [this] { txtPath_LostFocus(); };
    cmdExtendList.Click = [this] { cmdExtendList_Click(); };
    lstSearch.Click = [this] { lstSearch_Click(); };
    lstShow.Click = [this] { lstShow_Click(); };
    cmdAdd.Click = [this] { cmdAdd_Click(); };
    cmdDelete.Click = [this] { cmdDelete_Click(); };
    cmdDeleteAll.Click = [this] { cmdDeleteAll_Click(); };
    cmdLoad.Click = [this] { cmdLoad_Click(); };
    CmdSaveToFile.Click = [this] { CmdSaveToFile_Click(); };
}

FormStyle Form12::Style() const {
    FormStyle s;
    s.Caption = "Brindle - Wallpaper Changer";
    s.ClientWidth = 5424;
    s.ClientHeight = 4716;
    s.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

// ---- load ----

void Form12::Form_Load() {
    Module1& g = G();
    WindowsFolderPath_ = WindowsDirectory();
    convertedPath_ = WindowsFolderPath_ + "\\" + kConvertedPictureName;
    txtPath.SetText("");
    ListExtended_ = false;

    const bool settingsExist = FileExists(g.AppFolder + kSettingsFileName);
    if (settingsExist) ReadUserFolder();

    VARIANT_BOOL option1 = VARIANT_FALSE, option2 = VARIANT_FALSE;
    LONG top = 0, left = 0;
    if (LibraryObject library = NewClass1()) {
        ControlArg every(DispatchFor(ckEvery)), interval(DispatchFor(cbInterval)),
            search(DispatchFor(lstSearch)), keep(DispatchFor(ckSaveSettings)), list(DispatchFor(lstShow)),
            countDown(DispatchFor(ckCountDown));
        const Bstr file(kSettingsFileName), appPath(g.AppFolder);
        ListBox::Freeze freeze(lstShow);
        library->F12Load(kWindowSettingsRecord, file.get(), LibraryIndex(NextShowIndex_),
                         LibraryIndex(DeleteScanIndex_), every.ptr(), interval.ptr(), &option1, search.ptr(),
                         &top, &left, keep.ptr(), list.ptr(), &option2, appPath.get(), countDown.ptr());
    }
    Move(left, top);
    KeepOnScreen();
    WindowTop_ = static_cast<std::int32_t>(Top());
    WindowLeft_ = static_cast<std::int32_t>(Left());
    if (option1 == VARIANT_TRUE) optOption(1).SetValue(true);
    if (option2 == VARIANT_TRUE) optOption(2).SetValue(true);

    ApplyFontScheme();
    cmdRefresh_Click();
    ckCountDown_Click();
    TurnOnOffWallpaper();
}

void Form12::ReadUserFolder() {
    FailureNote note;
    // A folder stored by an earlier version is in the legacy code page.
    const std::string folder = Utf8FromFile(brd::ReadUserFolder(G().AppFolder, note));
    if (note.Noted()) {
        Form11::AnswerOk(FailureReportText(kLoadUserFolderSentence, note.Last()));
        note.Clear();
    }
    // Nothing stored (the record's Top is not 1): the box stays empty.
    if (folder.empty()) return;
    txtPath.SetText(folder);
    // The folder stays the user folder while it cannot be reached (a drive not plugged in, a share
    // not yet mapped): its entries wait in the list and work again once it is back.
    UserFolderPath_ = folder.back() == '\\' ? folder : folder + '\\';
    if (UsableFolder(folder).empty()) {
        Form11::AnswerOk(kInvalidPathWarning);
        awayWarned_ = UserFolderPath_;
    }
}

std::array<Control*, 13> Form12::FontSchemeControls() {
    return {&ckEvery,       &ckSaveSettings, &Label3,   &optOption1, &optOption2, &lstShow,    &cmdAdd,
            &cmdChangeWall, &cmdClearWall,   &cmdClose, &cbInterval, &lstSearch,  &ckCountDown};
}

void Form12::ApplyFontScheme() {
    ApplyStoredFontScheme(FontSchemeControls());
}

// ---- rotation ----

void Form12::TurnOnOffWallpaper() {
    ResetCountDown();
    Module1& g = G();
    LibraryObject library = NewClass1();
    if (!library) return;
    ControlArg every(DispatchFor(ckEvery)), interval(DispatchFor(cbInterval));
    VARIANT minutes;
    minutes.vt = VT_I2 | VT_BYREF;
    minutes.piVal = &g.IntervalMinutes;
    VARIANT_BOOL armed = g.ClockArmed;
    short showAt = g.NextShowAt;
    const HRESULT hr = library->NewShowTimeIs(every.get(), interval.ptr(), &armed, &minutes, &showAt);
    if (LibraryCallSucceeded(hr, kSwitchSentence)) {
        g.ClockArmed = armed;
        g.NextShowAt = showAt;
    }
}

void Form12::ClearAndDisableEvery() {
    ckEvery.SetValue(0);
    ckEvery.SetEnabled(false);
    cbInterval.SetEnabled(true);
}

void Form12::ResetCountDown() {
    brd::ResetCountDown(G(), cbInterval.ListIndex(), CurrentMinute());
}

void Form12::AdvanceNextShow() {
    Module1& g = G();
    LibraryObject library = NewClass1();
    short showAt = g.NextShowAt;
    const HRESULT hr = library ? library->CountNextNow(g.IntervalMinutes, &showAt) : E_FAIL;
    if (SUCCEEDED(hr)) {
        g.NextShowAt = showAt;
        return;
    }
    // A schedule that cannot move on would fall due again at every tick: stop it instead.
    if (library) LibraryCallSucceeded(hr, kScheduleSentence);
    g.NextShowAt = -1;
}

void Form12::SaveWindowSettings() {
    if (WindowState() != StateMinimized) {
        WindowTop_ = static_cast<std::int32_t>(Top());
        WindowLeft_ = static_cast<std::int32_t>(Left());
    }
    LibraryObject library = NewClass1();
    if (!library) return;
    ControlArg keep(DispatchFor(ckSaveSettings)), every(DispatchFor(ckEvery)),
        interval(DispatchFor(cbInterval)), countDown(DispatchFor(ckCountDown));
    const Bstr file(kSettingsFileName), appPath(G().AppFolder);
    library->cmdCloseRet(kWindowSettingsRecord, file.get(), keep.get(), WindowTop_, WindowLeft_, every.get(),
                         optOption(2).Value() ? VARIANT_TRUE : VARIANT_FALSE, interval.get(), appPath.get(),
                         countDown.get());
}

// ---- option rules ----

void Form12::cbInterval_Click() {
    if (lstShow.ListCount() >= 2) {
        ckEvery.SetEnabled(true);
    } else if (ckEvery.Value() == 1) {
        ckEvery.SetValue(0);
    }
}

void Form12::ckEvery_MouseUp() {
    TurnOnOffWallpaper();
    SaveWindowSettings();
    cbInterval.SetEnabled(ckEvery.Value() != 1);
}

void Form12::ckCountDown_Click() {
    if (ckCountDown.Value() == 1) {
        ResetCountDown();
        G().CountDownOn = VBTrue;
    } else {
        G().CountDownOn = VBFalse;
    }
}

void Form12::ckCountDown_MouseUp() {
    SaveWindowSettings();
}

void Form12::ckSaveSettings_MouseUp() {
    SaveWindowSettings();
}

void Form12::optOption_Click(int index) {
    OrderOptionClick(
        index, NextShowIndex_, lstShow.ListCount(), random_, [this] { DropMissingFiles(); },
        [this] { ConvertToBitmap(); });
}

void Form12::optOption_MouseUp(int index) {
    optOption_Click(index);
    SaveWindowSettings();
}

// ---- applying wallpaper ----

void Form12::EMShowToShow() {
    if (lstShow.ListCount() == 0) return;
    AdvanceNextShow();
    ResolvedEntry entry = EntryAt(NextShowIndex_);
    // The entry chosen ahead may not be there to be shown now: nothing could be shown when this turn
    // was prepared (every entry's drive was away), or its bitmap has gone or cannot be read since.
    // Look again from it: the drive may be back, and a file that is gone makes way for the next.
    if (!nextShowable_ ||
        (entry.Kind == PictureKind::Bitmap && FileProbe().State(entry.FullPath) != FileState::Present)) {
        DropMissingFiles();
        ConvertToBitmap();
        if (lstShow.ListCount() == 0) return;
        entry = EntryAt(NextShowIndex_);
    }
    switch (entry.Kind) {
    case PictureKind::Convert:
        // Prepared when this entry became the next one; not applied when that failed.
        if (convertedReady_) ShowOnDesktop(convertedPath_);
        break;
    case PictureKind::Bitmap:
        if (nextShowable_) ShowOnDesktop(entry.FullPath);
        break;
    case PictureKind::Never:
        break;
    }
    ChooseNextEntry(
        OrderModeOf(optOption(2).Value(), optOption(1).Value()), NextShowIndex_, lstShow.ListCount(),
        [this](int index) { optOption_Click(index); }, [this] { DropMissingFiles(); },
        [this] { ConvertToBitmap(); });
}

ResolvedEntry Form12::EntryAt(int index) {
    // A position outside the list (its entry was removed by a preview or a delete) holds no entry:
    // nothing is applied, and the order starts again from the top.
    const bool inList = index >= 0 && index < lstShow.ListCount();
    return ResolveEntry(inList ? lstShow.List(index) : std::string(), WindowsFolderPath_, UserFolderPath_);
}

bool Form12::ShowOnDesktop(const std::string& path) {
    FailureNote note;
    if (ShowableBitmap(path, note) && ApplyWallpaper(path)) {
        desktopRefused_ = false;
        return true;
    }
    if (!note.Noted()) {
        const DWORD error = GetLastError();
        note.Note(error ? Failure{static_cast<std::int32_t>(error), SystemErrorText(error, "Refused")}
                        : KnownFailure(kInvalidProcedureCall, "the desktop did not take the picture"));
    }
    // The desktop stays as it was. Told once, not at every change, until a picture is taken again.
    if (!desktopRefused_) Form11::AnswerOk(FailureReportText(kChangeSentence, note.Last()));
    desktopRefused_ = true;
    return false;
}

void Form12::PickRandomIndex() {
    NextShowIndex_ = brd::PickRandomIndex(NextShowIndex_, lstShow.ListCount(), random_);
}

void Form12::DropMissingFiles() {
    ListBoxEntries entries(lstShow);
    MissingFileActions actions;
    FileProbe probe;
    bool userFolderAway = false;
    actions.State = [&](const ResolvedEntry& entry) {
        const FileState state = probe.State(entry.FullPath);
        if (entry.InUserFolder && state == FileState::Present) awayWarned_.clear(); // it is back
        if (entry.InUserFolder && state == FileState::Unreachable)
            userFolderAway = userFolderAway || !probe.FolderThere(UserFolderPath_);
        return state;
    };
    // One warning window per missing file, but not thousands of them when a whole folder is gone.
    int warned = 0;
    actions.Warn = [&warned](const std::string& text) {
        if (++warned <= kMaxMissingFileWarnings) Form11::AnswerOk(text);
    };
    actions.OneLeft = [this] { ClearAndDisableEvery(); };
    nextShowable_ =
        brd::DropMissingFiles(NextShowIndex_, entries, actions, WindowsFolderPath_, UserFolderPath_);
    if (warned > kMaxMissingFileWarnings)
        Form11::AnswerOk(std::to_string(warned - kMaxMissingFileWarnings) + " more files not found");
    // Its entries are passed over while the user folder is away; the user is told once, not at
    // every change.
    if (userFolderAway && awayWarned_ != UserFolderPath_) {
        awayWarned_ = UserFolderPath_;
        Form11::AnswerOk(UserFolderPath_ + kFolderNotFound);
    }
}

void Form12::ConvertToBitmap() {
    const int count = lstShow.ListCount();
    if (count == 0) return;
    if (NextShowIndex_ >= count || NextShowIndex_ < 0) return;
    const ResolvedEntry entry =
        ResolveEntry(lstShow.List(NextShowIndex_), WindowsFolderPath_, UserFolderPath_);
    if (entry.Kind != PictureKind::Convert) return;
    if (!nextShowable_) {
        // Out of reach now: looked at again at its turn.
        convertedReady_ = false;
        return;
    }
    // Decoded band by band straight into the bitmap file: a big picture is never held whole.
    PictureRows picture;
    FailureNote note;
    if (!picture.Open(entry.FullPath, note)) {
        convertedReady_ = false;
        Form11::AnswerOk(FailureReportText(entry.BareName + ": " + kConversionSentence, note.Last()));
        return;
    }
    const std::string written = WriteConvertedPicture(
        [&picture](const std::string& path, FailureNote& n) {
            return SavePictureRowsAsBitmap(picture, path, n);
        },
        [&picture] { return picture.DamagedData(); }, entry.BareName + ": " + kConversionSentence);
    convertedReady_ = !written.empty();
    if (convertedReady_) convertedPath_ = written;
}

std::string Form12::WriteConvertedPicture(const std::function<bool(const std::string&, FailureNote&)>& save,
                                          const std::function<bool()>& damaged, const std::string& sentence) {
    FailureNote note;
    const std::string written = brd::WriteConvertedPicture(WindowsFolderPath_, save, damaged, note);
    if (written.empty()) Form11::AnswerOk(FailureReportText(sentence, note.Last()));
    return written;
}

bool Form12::ShowPreview(const std::string& path, FailureNote& note) {
    PictureData data;
    DecodedPicture picture;
    const SIZE room = imgShow.Room();
    if (!data.Read(path, note) || !DecodePreview(data, room.cx, room.cy, picture, note)) return false;
    imgShow.SetPicture(MakePreview(picture, room.cx, room.cy));
    preview_ = std::move(data);
    return true;
}

void Form12::cmdChangeWall_Click() {
    if (!imgShow.Picture()) return;
    FailureNote note;
    std::function<bool(const std::string&, FailureNote&)> save;
    std::function<bool()> damaged = [] { return false; };
    DecodedPicture placeholder;
    PictureRows previewed;
    if (preview_.Path.empty()) {
        // The placeholder picture: saved at its own size.
        if (!PictureOfBitmap(imgShow.Picture(), placeholder, note)) {
            Form11::AnswerOk(FailureReportText(kChangeSentence, note.Last()));
            return;
        }
        save = [&](const std::string& path, FailureNote& n) {
            return SavePictureAsBitmap(placeholder, path, n);
        };
    } else {
        // What the preview shows, from the bytes read for it: the file may have changed or gone since.
        if (!previewed.Open(preview_, note)) {
            Form11::AnswerOk(FailureReportText(kChangeSentence, note.Last()));
            return;
        }
        save = [&](const std::string& path, FailureNote& n) {
            return SavePictureRowsAsBitmap(previewed, path, n);
        };
        damaged = [&] { return previewed.DamagedData(); };
    }
    const std::string written = WriteConvertedPicture(save, damaged, kChangeSentence);
    if (written.empty()) return;
    // The next due change of a GIF or JPEG entry applies what "Change" wrote.
    convertedPath_ = written;
    convertedReady_ = true;
    desktopRefused_ = false; // asked for now: a refusal is told
    ShowOnDesktop(written);
}

void Form12::cmdClearWall_Click() {
    ApplyWallpaper("");
}

// ---- search and preview ----

void Form12::cmdRefresh_Click() {
    std::vector<std::string> names;
    const std::string windows = WindowsDirectory();
    // One search a format, first in the Windows folder, then in the user folder: the slots count them.
    std::int16_t slot = 0;
    for (const PictureFormat& format : kPictureFormats) {
        DirSearch search;
        FillSearchList(search, search.First(windows + "\\*." + std::string(format.Ending), SearchNormal),
                       slot++, names);
    }
    const std::string typed = txtPath.Text();
    if (!typed.empty()) {
        // Only an existing folder becomes the user folder, as typed: a pattern, a device or a file
        // would take every "_" entry of the wallpaper list with it.
        const std::string folder = UsableFolder(typed);
        if (folder.empty()) {
            lstSearch.SetItems(std::move(names));
            Form11::AnswerOk(typed + kFolderNotFound);
            Beep();
            return;
        }
        txtPath.SetText(folder);
        UserFolderPath_ = folder;
        awayWarned_.clear();
        for (const PictureFormat& format : kPictureFormats) {
            DirSearch search;
            FillSearchList(search,
                           search.First(UserFolderPath_ + "*." + std::string(format.Ending), SearchNormal),
                           slot++, names);
        }
    }
    // All names at once: the sorted list puts them in order without one insertion each.
    lstSearch.SetItems(std::move(names));
}

void Form12::FillSearchList(DirSearch& search, std::string FirstName, std::int16_t Slot,
                            std::vector<std::string>& names) {
    for (std::string name = std::move(FirstName); !name.empty(); name = search.Next()) {
        // The user folder's slots come after the Windows folder's.
        if (Slot >= static_cast<std::int16_t>(kPictureFormats.size())) name += '_';
        names.push_back(std::move(name));
    }
}

void Form12::cmdRefresh_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    // An empty box is stored as it is; a name that is no folder is not stored at all, so that the
    // next start keeps the folder stored before.
    std::string folder = txtPath.Text();
    if (!folder.empty()) {
        folder = UsableFolder(folder);
        if (folder.empty()) return;
    }
    FailureNote note;
    if (WriteUserFolderRecord(G().AppFolder, folder, note) == UserFolderStore::TooLong) {
        Form11::AnswerOk(kPathTooLongWarning);
        Beep();
        return;
    }
    if (note.Noted()) {
        Form11::AnswerOk(FailureReportText(kSaveUserFolderSentence, note.Last()));
        note.Clear();
    }
}

void Form12::txtPath_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode != VK_RETURN) return;
    cmdRefresh_Click();
    cmdRefresh_MouseUp(LeftButton, 0, 0, 0);
}

// Enter in the path box searches; elsewhere it presses "Add".
void Form12::txtPath_GotFocus() {
    SetDefaultButton(nullptr);
}

void Form12::txtPath_LostFocus() {
    SetDefaultButton(&cmdAdd);
}

void Form12::cmdExtendList_Click() {
    if (!ListExtended_) {
        NormalListHeight_ = lstSearch.Height();
        lstSearch.SetHeight(NormalListHeight_ * 2);
        ListExtended_ = true;
    } else {
        lstSearch.SetHeight(NormalListHeight_);
        ListExtended_ = false;
    }
}

void Form12::lstSearch_Click() {
    PreviewFromList(lstSearch, false);
}

void Form12::lstShow_Click() {
    PreviewFromList(lstShow, true);
}

void Form12::PreviewFromList(ListBox& list, bool warnMissing) {
    const int index = list.ListIndex();
    if (index < 0) return;
    const ResolvedEntry entry = ResolveEntry(list.List(index), WindowsFolderPath_, UserFolderPath_);
    FileProbe probe;
    const FileState state = probe.State(entry.FullPath);
    if (state == FileState::Unreachable && entry.InUserFolder && !probe.FolderThere(UserFolderPath_)) {
        // The entry waits for its folder to come back.
        Form11::AnswerOk(UserFolderPath_ + kFolderNotFound);
        return;
    }
    if (state != FileState::Gone) {
        FailureNote note;
        // A file that cannot be decoded or read now keeps its entry and the previous preview.
        if (!ShowPreview(entry.FullPath, note))
            Form11::AnswerOk(FailureReportText(entry.BareName + ": " + kPreviewSentence, note.Last()));
        return;
    }
    list.RemoveItem(index);
    if (warnMissing) Form11::AnswerOk(entry.BareName + " file not found");
}

// ---- list editing ----

void Form12::cmdAdd_Click() {
    if (lstSearch.SelCount() > 0) {
        // In the search list's order, all at once.
        std::vector<std::string> added;
        for (int i : lstSearch.SelectedIndexes())
            added.push_back(lstSearch.List(i));
        lstShow.AddItems(added);
    }
    if (lstShow.ListCount() >= 2) {
        cbInterval.SetEnabled(true);
        if (cbInterval.ListIndex() != -1) ckEvery.SetEnabled(true);
    }
    optOption_Click(2);
}

void Form12::cmdDelete_Click() {
    if (lstShow.SelCount() > 0) {
        while (lstShow.SelCount() > 0) {
            const int before = lstShow.ListCount();
            RemoveNextSelected();
            if (lstShow.ListCount() == before) break; // nothing more could be removed
        }
        DeleteScanIndex_ = 0;
        const int count = lstShow.ListCount();
        if (count <= 2) optOption(1).SetValue(true);
        if (count <= 1) {
            ClearAndDisableEvery();
        }
    }
    if (optOption(2).Value()) {
        optOption_Click(2);
    } else if (optOption(1).Value()) {
        optOption_Click(1);
    }
}

void Form12::RemoveNextSelected() {
    if (lstShow.ListCount() == 0) return;
    if (DeleteScanIndex_ < 0) DeleteScanIndex_ = 0;
    // Every selected entry from the scan position on goes in one removal: removed one at a time,
    // each would move the rest of a long list up by one place.
    std::vector<int> selected = lstShow.SelectedIndexes();
    std::erase_if(selected, [this](int i) { return i < DeleteScanIndex_; });
    if (selected.empty()) return;
    lstShow.RemoveItems(selected);
    DeleteScanIndex_ = selected.front();
}

void Form12::cmdDeleteAll_Click() {
    lstShow.Clear();
    ClearAndDisableEvery();
    optOption(1).SetValue(true);
}

void Form12::cmdLoad_Click() {
    lstShow.Clear();
    if (LibraryObject library = NewClass1()) {
        ControlArg list(DispatchFor(lstShow));
        const Bstr appPath(G().AppFolder);
        // The library adds the entries one by one: the list is drawn once, at the end.
        ListBox::Freeze freeze(lstShow);
        library->LoadWallpaperList(list.ptr(), appPath.get());
    }
    const int count = lstShow.ListCount();
    if (cbInterval.ListIndex() != -1 && count >= 2) ckEvery.SetEnabled(true);
    if (count <= 2) optOption(1).SetValue(true);
    if (count <= 1) {
        ClearAndDisableEvery();
    }
}

// ---- saving ----

void Form12::CmdSaveToFile_Click() {
    if (FileExists(G().AppFolder + kListFileName)) {
        Forms().Get<Form13>().FileAlreadyExist("Wallpaper", kListFileName,
                                               [this](const std::string& file) { SaveWallpaperList(file); });
        return;
    }
    SaveWallpaperList(kListFileName);
}

bool Form12::SaveWallpaperList(const std::string& fileName) {
    std::vector<std::string> entries;
    const int count = lstShow.ListCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(lstShow.List(i));
    FailureNote note;
    if (WriteListFile(G().AppFolder + fileName, entries, note)) return true;
    Failure f = note.Last();
    f.Description += " (the list file on disk was left as it was)";
    Form11::AnswerOk(FailureReportText(kSaveListSentence, f));
    return false;
}

// ---- closing ----

void Form12::cmdClose_Click() {
    Unload(FormCode);
}

void Form12::cmdMinimize_Click() {
    SetWindowState(StateMinimized);
}

bool Form12::Form_QueryUnload(UnloadMode /*mode*/) {
    SaveWindowSettings();
    if (G().NextShowAt == -1) return false;
    // The clock needs the window while a change is scheduled: hide it instead.
    Hide();
    return true;
}

void Form12::Form_Unload() {
    // The overwrite question asks about this window's list: it goes with it, unanswered.
    if (Form13* question = Forms().Find<Form13>()) question->Unload();
}

} // namespace brd
