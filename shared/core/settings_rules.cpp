#include "shared/core/settings_rules.h"

#include "shared/core/record_file.h"
#include "shared/core/utf8.h"

#include <algorithm>

namespace brd {

namespace {

// Data keeps this many characters of a long folder before the continuation mark.
constexpr std::size_t kFolderHead = 29;
constexpr char kContinuationMark = '?';

std::string SettingsPath(const std::string& appFolder) {
    return appFolder + kSettingsFileName;
}

} // namespace

std::optional<SettingsRecord> BuildUserFolderRecord(std::string_view path) {
    SettingsRecord record;
    if (path.size() > decltype(record.Data)::kWidth) {
        // The head ends on a character boundary; zero bytes fill it up to the mark.
        const std::size_t cut = Utf8Prefix(path, kFolderHead);
        const std::string_view tail = path.substr(cut);
        if (tail.size() > kLongestUserFolder - kFolderHead) return std::nullopt;
        std::string head(path.substr(0, cut));
        head.append(kFolderHead - cut, '\0');
        head += kContinuationMark;
        record.Data.Assign(head);
        record.Marker.Assign(tail);
    } else {
        record.Data.Assign(path);
    }
    record.Top = 1;
    record.Left = 0;
    return record;
}

std::string UserFolderFromRecord(const SettingsRecord& record) {
    if (record.Top != 1) return {};
    const std::string data = record.Data.Text();
    std::string folder;
    // The mark is looked for in the field itself rather than in its trimmed text, so that a folder
    // typed with leading blanks still gets its tail back. Only the blank fill after the tail is
    // removed: a blank that begins the tail belongs to the folder.
    if (data.back() == kContinuationMark) {
        const std::string tail = record.Marker.Text();
        std::string head = data.substr(0, kFolderHead);
        head.erase(std::min(head.find('\0'), head.size()));
        folder = head + tail.substr(0, tail.find_last_not_of(' ') + 1);
    } else {
        folder = Trim(data);
    }
    const auto zero = folder.find('\0');
    if (zero != std::string::npos) folder.erase(zero);
    return folder;
}

UserFolderStore WriteUserFolderRecord(const std::string& appFolder, std::string_view path,
                                      FailureNote& note) {
    const auto record = BuildUserFolderRecord(path);
    if (!record) return UserFolderStore::TooLong;
    WriteSettingsRecord(SettingsPath(appFolder), kUserFolderRecord, *record, note);
    return UserFolderStore::Stored;
}

std::string ReadUserFolder(const std::string& appFolder, FailureNote& note) {
    return UserFolderFromRecord(ReadSettingsRecord(SettingsPath(appFolder), kUserFolderRecord, note));
}

std::string WindowOptionText(const WindowOptions& options) {
    if (!options.Keep) return "Empty";
    std::string text = options.Every ? "CheckCheck" : "CheckEmpty";
    text += options.CountDown ? "Check" : "Empty";
    text += options.Random ? "Rando" : "Prior";
    const bool fits = options.IntervalIndex >= -1 && options.IntervalIndex <= 9;
    text += NumberText(fits ? options.IntervalIndex : -1);
    return text;
}

SettingsRecord BuildWindowSettingsRecord(const WindowOptions& options, std::int32_t top, std::int32_t left) {
    SettingsRecord record;
    record.Marker.Assign(kWindowSettingsMarker);
    record.Top = top;
    record.Left = left;
    record.Data.Assign(WindowOptionText(options));
    return record;
}

bool WindowOptionsSaved(const SettingsRecord& record) {
    return record.Data.Text().starts_with("Check");
}

WindowOptions ReadWindowOptions(const SettingsRecord& record) {
    const std::string data = record.Data.Text();
    const std::string trimmed = record.Data.Trimmed();
    WindowOptions options;
    options.Keep = WindowOptionsSaved(record);
    options.Every = data.compare(5, 5, "Check") == 0;
    options.CountDown = data.compare(10, 5, "Check") == 0;
    options.Random = !(trimmed.size() >= 20 && trimmed.compare(15, 5, "Prior") == 0);
    options.IntervalIndex = StoredIntervalIndex(record);
    return options;
}

int StoredIntervalIndex(const SettingsRecord& record) {
    const std::string field = record.Data.Text().substr(20, 2);
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    const bool negative = i < field.size() && field[i] == '-';
    if (negative) ++i;
    int number = 0;
    bool anyDigit = false;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        number = number * 10 + (field[i] - '0');
        anyDigit = true;
    }
    if (!anyDigit) return -1;
    return negative ? -number : number;
}

int FontSchemeFromRecord(const SettingsRecord& record) {
    const std::string word = record.Data.Trimmed();
    if (word.starts_with("Arial")) return 1;
    if (word.starts_with("TimesNewRoman")) return 2;
    return 3;
}

std::string_view FontWord(int scheme) {
    switch (scheme) {
    case 1:
        return "Arial";
    case 2:
        return "TimesNewRoman";
    default:
        return "Normal";
    }
}

int ReadFontScheme(const std::string& appFolder) {
    FailureNote ignored;
    return FontSchemeFromRecord(ReadSettingsRecord(SettingsPath(appFolder), kFontRecord, ignored));
}

bool WriteFontRecord(const std::string& appFolder, SettingsRecord& buffer, int scheme) {
    buffer.Marker.Assign(kFontMarker);
    buffer.Data.Assign(FontWord(scheme));
    FailureNote note;
    WriteSettingsRecord(SettingsPath(appFolder), kFontRecord, buffer, note);
    return !note.Noted();
}

} // namespace brd
