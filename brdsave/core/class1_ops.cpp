#include "brdsave/core/class1_ops.h"
#include "shared/core/intervals.h"
#include "shared/core/file_path.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <new>

#include "shared/core/record_file.h"
#include "shared/core/settings_rules.h"

namespace brd {

namespace {

// Runs one step of an operation; a control's failure is noted and the operation goes on.
template <typename Action> bool Step(FailureNote& note, Action&& action) {
    try {
        action();
        return true;
    } catch (const FailureException& e) {
        note.Note(e.failure());
        return false;
    }
}

// Shows the report of a noted failure, then forgets it.
void Report(ILibraryEnvironment& env, std::string_view sentence, FailureNote& note) {
    if (!note.Noted()) return;
    env.ShowMessage(FailureReportText(sentence, note.Last()));
    note.Clear();
}

// ---- Settings file ----

// The number of entries in the list box; 0 when it cannot be told.
int ListCountOrZero(IControlPort& list, FailureNote& note) {
    int count = 0;
    Step(note, [&] { count = list.ListCount(); });
    return count;
}

struct F12LoadArgs {
    std::int16_t FilePointer;
    const std::string& InitialFileName;
    IControlPort& chkChange;
    IControlPort& cbChange;
    std::int16_t& FromLibOption1;
    std::int32_t& MeTop;
    std::int32_t& MeLeft;
    IControlPort& chkKeepSet;
    IControlPort& lstShow;
    std::int16_t& FromLibOption2;
    const std::string& aApplicationPath;
    IControlPort& chkCountDown;
    ILibraryEnvironment& env;
};

// The steps of F12Load; the caller reports what was noted.
void F12LoadSteps(const F12LoadArgs& a, FailureNote& note) {
    Step(note, [&] { a.chkChange.SetEnabled(false); });
    Step(note, [&] { a.cbChange.SetEnabled(false); });
    a.FromLibOption1 = kTrue;

    const std::string path = a.aApplicationPath + a.InitialFileName;
    if (!a.env.FileExists(path)) return;

    // A failed read leaves the record zero, so the marker test below ends the operation.
    const SettingsRecord record = ReadSettingsRecord(path, a.FilePointer, note);
    if (record.Marker.Trimmed() != kWindowSettingsMarker) {
        a.MeTop = 0;
        a.MeLeft = 0;
        return;
    }
    a.MeTop = record.Top;
    a.MeLeft = record.Left;

    const WindowOptions options = ReadWindowOptions(record);
    if (!options.Keep) {
        Step(note, [&] { a.chkKeepSet.SetValue(0); });
        LoadWallpaperList(a.lstShow, a.aApplicationPath, a.env);
        if (ListCountOrZero(a.lstShow, note) >= 2) Step(note, [&] { a.cbChange.SetEnabled(true); });
        return;
    }

    Step(note, [&] { a.chkKeepSet.SetValue(1); });
    LoadWallpaperList(a.lstShow, a.aApplicationPath, a.env);
    // Raises the interval list's click handler, which sees the list just loaded.
    Step(note, [&] { a.cbChange.SetListIndex(options.IntervalIndex); });
    if (ListCountOrZero(a.lstShow, note) >= 2) Step(note, [&] { a.cbChange.SetEnabled(true); });
    if (options.Every && ListCountOrZero(a.lstShow, note) >= 2) {
        Step(note, [&] { a.chkChange.SetEnabled(true); });
        Step(note, [&] { a.chkChange.SetValue(1); });
    }
    Step(note, [&] { a.chkCountDown.SetValue(options.CountDown ? 1 : 0); });
    if (options.Random) {
        a.FromLibOption2 = kTrue;
    } else {
        a.FromLibOption1 = kTrue;
    }
}

// ---- List file ----

Failure FailureFromErrnoOr(int fallback) {
    return errno != 0 ? FailureFromErrno(errno) : FileFailure(fallback);
}

// The bytes of a whole file. After a failed read, what was read is kept up to its last line end, so
// that no entry is cut short.
std::string ReadWholeFile(const std::string& path, FailureNote& note) {
    errno = 0;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        note.Note(OpenFailure(path, errno));
        return {};
    }
    std::string bytes;
    try {
        std::array<char, 16 * 1024> chunk;
        for (;;) {
            errno = 0;
            const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
            bytes.append(chunk.data(), got);
            if (got == chunk.size()) continue;
            if (std::ferror(file)) {
                note.Note(FailureFromErrnoOr(kDeviceIoError));
                const auto lineEnd = bytes.find_last_of("\r\n");
                bytes.erase(lineEnd == std::string::npos ? 0 : lineEnd + 1);
            }
            break;
        }
    } catch (const std::bad_alloc&) {
        note.Note(KnownFailure(kOutOfMemory));
        bytes = std::string();
    }
    errno = 0;
    if (std::fclose(file) != 0) note.Note(FailureFromErrnoOr(kDeviceIoError));
    return bytes;
}

// ---- Schedule ----

// A result of 16-bit arithmetic; one that does not fit is an overflow.
std::int16_t Checked16(long value) {
    if (value < -32768 || value > 32767) throw FailureException(KnownFailure(kOverflow));
    return static_cast<std::int16_t>(value);
}

// A two-character number field of the time of day: two digits, or a blank and a digit.
int TimeField(std::string_view text, std::size_t at) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.size() < at + 2 || !isDigit(text[at + 1]) || !(isDigit(text[at]) || text[at] == ' ')) {
        throw FailureException(KnownFailure(kTypeMismatch));
    }
    return (text[at] == ' ' ? 0 : (text[at] - '0') * 10) + (text[at + 1] - '0');
}

void CheckRange(int value, int last) {
    if (value < 0 || value > last) throw FailureException(KnownFailure(kInvalidProcedureCall));
}

// The first due point for an interval of `minutes` at the time of day the clock gives; nothing for an
// interval that is not positive. Intervals of an hour or more look at the five hours from now for a
// multiple of minutes / 60 hours; the others (and any that found none) take the first multiple of the
// interval from the current minute on. A due point is always a valid hour or minute: 24 becomes 0 and
// 60 becomes 0, and the larger values that only intervals outside the table give are wrapped the same way.
std::optional<std::int16_t> FirstDuePoint(int minutes, ILibraryEnvironment& env) {
    if (minutes <= 0) return std::nullopt;
    const std::string time = env.TimeOfDayText();
    const int hour = TimeField(time, 0);
    const int minute = TimeField(time, 3);
    CheckRange(hour, 23);
    CheckRange(minute, 59);
    if (minutes >= 60) {
        // A multiple of the interval's hours lies within that many hours.
        for (int f = 0; f < minutes / 60; ++f) {
            // (hour + f) / (minutes / 60) is whole exactly when minutes divides 60 * (hour + f).
            if (60 * (hour + f) % minutes == 0) return static_cast<std::int16_t>((hour + f) % 24);
        }
    }
    // The first multiple at or after the minute, at most minutes - 1 further on.
    const long due = (static_cast<long>(minute) + minutes - 1) / minutes * minutes;
    return static_cast<std::int16_t>(Checked16(due) % 60);
}

} // namespace

void cmdCloseRet(std::int16_t FilePointer, const std::string& InitialFileName, IControlPort& chkKeepSet,
                 std::int32_t MeTop, std::int32_t MeLeft, IControlPort& chkChange, std::int16_t optOption,
                 IControlPort& cbChange, const std::string& aApplicationPath, IControlPort& chkCountDown,
                 ILibraryEnvironment& env) {
    FailureNote note;
    bool allRead = true;
    const auto read = [&](auto get, int fallback) {
        int value = fallback;
        allRead = Step(note, [&] { value = get(); }) && allRead;
        return value;
    };

    WindowOptions options;
    options.Keep = read([&] { return chkKeepSet.Value(); }, 0) == 1;
    if (options.Keep) {
        options.Every = read([&] { return chkChange.Value(); }, 0) == 1;
        options.CountDown = read([&] { return chkCountDown.Value(); }, 0) == 1;
        options.Random = optOption == kTrue;
        options.IntervalIndex = read([&] { return cbChange.ListIndex(); }, -1);
    }
    // A record made up around a control that could not be read would store options the window does not
    // show; the stored record is left as it was instead.
    if (allRead) {
        WriteSettingsRecord(aApplicationPath + InitialFileName, FilePointer,
                            BuildWindowSettingsRecord(options, MeTop, MeLeft), note);
    }
    Report(env, kSaveSettingsSentence, note);
}

void F12Load(std::int16_t FilePointer, const std::string& InitialFileName, std::int16_t /*iMe*/,
             std::int16_t /*iA*/, IControlPort& chkChange, IControlPort& cbChange,
             std::int16_t& FromLibOption1, IControlPort* /*lstSearch*/, std::int32_t& MeTop,
             std::int32_t& MeLeft, IControlPort& chkKeepSet, IControlPort& lstShow,
             std::int16_t& FromLibOption2, const std::string& aApplicationPath, IControlPort& chkCountDown,
             ILibraryEnvironment& env) {
    FailureNote note;
    F12LoadSteps({FilePointer, InitialFileName, chkChange, cbChange, FromLibOption1, MeTop, MeLeft,
                  chkKeepSet, lstShow, FromLibOption2, aApplicationPath, chkCountDown, env},
                 note);
    Report(env, kLoadSettingsSentence, note);
}

std::vector<std::string> ReadListFields(std::string_view bytes) {
    std::string withoutZeros;
    if (bytes.find('\0') != std::string_view::npos) {
        withoutZeros.reserve(bytes.size());
        for (char c : bytes)
            if (c != '\0') withoutZeros += c;
        bytes = withoutZeros;
    }

    constexpr std::string_view kDelimiters(",\r\n");
    std::vector<std::string> fields;
    std::size_t pos = 0;
    const std::size_t end = bytes.size();
    // Consumes the comma or line end at `pos`; CR LF counts as one line end.
    const auto consumeDelimiter = [&] {
        if (pos >= end) return;
        const char c = bytes[pos++];
        if (c == '\r' && pos < end && bytes[pos] == '\n') ++pos;
    };

    while (pos < end) {
        while (pos < end && bytes[pos] == ' ')
            ++pos;
        if (pos == end) break;
        if (bytes[pos] == '"') {
            const std::size_t close = bytes.find('"', pos + 1);
            if (close == std::string_view::npos) {
                fields.emplace_back(bytes.substr(pos + 1));
                break;
            }
            fields.emplace_back(bytes.substr(pos + 1, close - pos - 1));
            pos = std::min(bytes.find_first_of(kDelimiters, close + 1), end);
        } else {
            const std::size_t stop = std::min(bytes.find_first_of(kDelimiters, pos), end);
            std::string_view field = bytes.substr(pos, stop - pos);
            while (!field.empty() && field.back() == ' ')
                field.remove_suffix(1);
            fields.emplace_back(field);
            pos = stop;
        }
        consumeDelimiter();
    }
    return fields;
}

void LoadWallpaperList(IControlPort& lstShow, const std::string& aApplicationPath, ILibraryEnvironment& env) {
    const std::string path = aApplicationPath + kListFileName;
    if (!env.FileExists(path)) return;

    FailureNote note;
    const std::string bytes = ReadWholeFile(path, note);
    try {
        for (const std::string& entry : ReadListFields(bytes))
            Step(note, [&] { lstShow.AddItem(entry); });
    } catch (const std::bad_alloc&) {
        note.Note(KnownFailure(kOutOfMemory));
    }
    Report(env, kLoadListSentence, note);
}

void GetInterval(IControlPort& cbChange, VariantInt16& iIntervalValue) {
    if (const auto minutes = IntervalMinutesAt(cbChange.ListIndex())) {
        iIntervalValue.Empty = false;
        iIntervalValue.Value = *minutes;
    }
}

void NewShowTimeIs(IControlPort& chkChange, IControlPort& cbChange, std::int16_t& eEvent,
                   VariantInt16& iInterval, std::int16_t& iShowTime, ILibraryEnvironment& env) {
    // Both are read, as the two tests are made together.
    const bool every = chkChange.Value() == 1;
    const bool chosen = cbChange.ListIndex() >= 0;
    if (!(every && chosen)) {
        chkChange.SetValue(0);
        cbChange.SetEnabled(true);
        iShowTime = -1;
        return;
    }

    cbChange.SetEnabled(false);
    // The in/out values change together at the end, after everything that can fail.
    VariantInt16 interval = iInterval;
    GetInterval(cbChange, interval);
    const auto due = FirstDuePoint(interval.Number(), env);
    eEvent = kTrue;
    iInterval = interval;
    if (due) iShowTime = *due;
}

void CountNextNow(std::int16_t iIntervalIs, std::int16_t& iShowTime, ILibraryEnvironment& env) {
    long next = iShowTime;
    // Only the intervals of the table move the schedule on; any other value leaves it.
    if (IsInterval(iIntervalIs)) {
        if (iIntervalIs < 60) {
            next = static_cast<long>(iShowTime) + iIntervalIs;
        } else if (iIntervalIs == 60) {
            next = static_cast<long>(iShowTime) + 1;
            if (next == 24) next = 0;
        } else {
            // Counted from the hour of the change itself.
            const int hour = env.CurrentHour();
            CheckRange(hour, 23);
            next = (hour + iIntervalIs / 60) % 24;
        }
    }
    const std::int16_t result = Checked16(next);
    iShowTime = result == 60 ? std::int16_t{0} : result;
}

} // namespace brd
