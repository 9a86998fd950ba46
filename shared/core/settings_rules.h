#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shared/core/failure.h"
#include "shared/core/settings_record.h"

namespace brd {

// Files of the program folder.
inline constexpr char kSettingsFileName[] = "wallpape.ini";
inline constexpr char kListFileName[] = "Wpaper.dat";

// Record markers.
inline constexpr char kWindowSettingsMarker[] = "[WallpaperLoc]";
inline constexpr char kFontMarker[] = "[AllFont]";

// The sentences that open a failure report (see FailureReportText).
inline constexpr char kSaveSettingsSentence[] = "Error occurred when saving settings to disk, ";
inline constexpr char kLoadSettingsSentence[] = "Error occurred when loading settings back, ";
inline constexpr char kStartupSettingsSentence[] = "Error occurred when loading back settings from disk, ";
inline constexpr char kSaveUserFolderSentence[] =
    "Error occurred when saving path that input by user to disk, ";
inline constexpr char kLoadUserFolderSentence[] = "Error occurred when loading initial data from files, ";
inline constexpr char kLoadListSentence[] = "Error occurred when loading data back from Wpaper.dat, ";

// Warning for a typed folder that the user-folder record cannot hold.
inline constexpr char kPathTooLongWarning[] =
    "This path is too long. It won't be stored to disk. Try to move it to a shorter location.";

// ---- Record 1, the user folder ----

// The longest folder the record holds, in bytes of its UTF-8 text: 29 in Data, the rest in Marker.
// A folder in another script holds fewer characters than bytes.
inline constexpr std::size_t kLongestUserFolder = 45;

enum class UserFolderStore { Stored, TooLong };

// The user-folder record for a typed folder (UTF-8), or nothing when the record cannot hold it.
// Up to 30 bytes: Data = the folder, Marker left zero. Longer: Data = the first 29 bytes and the
// continuation mark "?", Marker = the rest (at most 16 bytes), Top 1 and Left 0 in both cases.
// Where the 30th byte falls inside a character, Data keeps the characters before it, then zero
// bytes up to the mark, and Marker takes the rest from that character on.
std::optional<SettingsRecord> BuildUserFolderRecord(std::string_view path);

// The folder a user-folder record holds; empty when its Top is not 1. A Data field ending in the
// continuation mark gives its first 29 bytes up to a zero byte, followed by the Marker without its
// blank fill; any other gives the trimmed Data. The folder ends before the first zero byte, which no
// path contains.
std::string UserFolderFromRecord(const SettingsRecord& record);

// Writes the record for `path` as record 1 of the settings file in `appFolder` (ending in a
// separator). Nothing is written for a folder that is too long. File failures are noted in `note`;
// the caller reports them with kSaveUserFolderSentence.
UserFolderStore WriteUserFolderRecord(const std::string& appFolder, std::string_view path, FailureNote& note);

// Reads record 1 of the settings file in `appFolder` and returns the folder it holds. Meant for a
// settings file that exists; a failure is noted in `note` (report it with kLoadUserFolderSentence)
// and gives an empty folder.
std::string ReadUserFolder(const std::string& appFolder, FailureNote& note);

// ---- Record 5, the window settings ----

struct WindowOptions {
    bool Keep = false;      // "Save above settings" checked
    bool Every = false;     // "Every" checked
    bool CountDown = false; // "Count down" checked
    bool Random = false;    // "random" selected rather than "priority"
    int IntervalIndex = -1; // chosen interval, -1 for none
};

// The Data text of the window-settings record, before the blank fill: "Empty" when the options are not
// kept, otherwise "Check", "Check"/"Empty" twice, "Rando"/"Prior" and the interval index as NumberText
// (" 3", "-1"). An index that two characters cannot hold for reading back (outside -1 to 9) is
// written as "-1", no interval.
std::string WindowOptionText(const WindowOptions& options);

// The whole window-settings record: Marker "[WallpaperLoc]", the window position, the option text.
SettingsRecord BuildWindowSettingsRecord(const WindowOptions& options, std::int32_t top, std::int32_t left);

// True when the options of a window-settings record are to be restored (Data begins "Check").
bool WindowOptionsSaved(const SettingsRecord& record);

// The options a window-settings record holds, read where WindowOptionText writes them: Keep when
// Data begins "Check"; Every and CountDown when Data characters 6-10 and 11-15 are "Check";
// "priority" only when characters 16-20 of the trimmed Data are "Prior" (anything else is "random");
// the interval index as StoredIntervalIndex. The Marker is not looked at.
WindowOptions ReadWindowOptions(const SettingsRecord& record);

// The interval index stored in Data characters 21-22: leading blanks skipped, an optional minus sign,
// digits. Without any digit it is -1, no interval.
int StoredIntervalIndex(const SettingsRecord& record);

// ---- Record 8, the font scheme ----

// 1 when the trimmed Data begins "Arial", 2 when it begins "TimesNewRoman", otherwise 3 (Normal).
int FontSchemeFromRecord(const SettingsRecord& record);

// The stored word of a scheme: "Arial" (1), "TimesNewRoman" (2), "Normal" (any other value, 0 too).
std::string_view FontWord(int scheme);

// The scheme of record 8 of the settings file in `appFolder`; failures are ignored and give 3.
int ReadFontScheme(const std::string& appFolder);

// Sets Marker "[AllFont]" and Data = FontWord(scheme) in `buffer`, leaving Top and Left as they are, and
// writes it as record 8 of the settings file in `appFolder`. Failures are not reported; the result
// says whether the record was written.
bool WriteFontRecord(const std::string& appFolder, SettingsRecord& buffer, int scheme);

} // namespace brd
