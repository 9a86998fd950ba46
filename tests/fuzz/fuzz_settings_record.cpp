// Fuzz target: the input is a whole settings file. The records the programs use are read through the
// file reader and compared with decoding the same bytes directly, then interpreted with the settings
// rules. Values taken from the input also drive the record builders, whose records must read back as
// built, and one record is written into the file to check that the writer touches nothing else.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "shared/core/record_file.h"
#include "shared/core/settings_rules.h"
#include "shared/core/utf8.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using brd::kSettingsRecordLength;
using brd::SettingsRecord;

// The settings file of this process, rewritten for every input.
std::string g_path;

void RemoveSettingsFile() {
    std::error_code ec;
    std::filesystem::remove(g_path, ec);
}

void WriteFile(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

std::vector<std::uint8_t> ReadFile() {
    std::ifstream in(g_path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of record `number` in the file: `count` of them at `at`, the rest of the 55 missing.
struct Slice {
    const std::uint8_t* at = nullptr;
    std::size_t count = 0;
};

Slice RecordSlice(const std::uint8_t* data, std::size_t size, int number) {
    const std::size_t offset = static_cast<std::size_t>(number - 1) * kSettingsRecordLength;
    if (offset >= size) return {};
    return {data + offset, std::min(size - offset, kSettingsRecordLength)};
}

// Encoding a decoded record gives the decoded bytes back, zeros where the input was short.
void CheckCodec(Slice slice) {
    const SettingsRecord record = SettingsRecord::Decode(slice.at, slice.count);
    const auto bytes = record.Encode();
    for (std::size_t i = 0; i < kSettingsRecordLength; ++i) {
        FUZZ_CHECK(bytes[i] == (i < slice.count ? slice.at[i] : 0));
    }
    FUZZ_CHECK(SettingsRecord::Decode(bytes.data(), bytes.size()) == record);
}

SettingsRecord ReadRecord(const std::uint8_t* data, std::size_t size, int number) {
    brd::FailureNote note;
    const SettingsRecord record = brd::ReadSettingsRecord(g_path, number, note);
    // Short records and records past the end read as zero-filled, without a failure.
    FUZZ_CHECK(!note.Noted());
    const Slice slice = RecordSlice(data, size, number);
    FUZZ_CHECK(record == SettingsRecord::Decode(slice.at, slice.count));
    CheckCodec(slice);
    return record;
}

void CheckUserFolder(const SettingsRecord& record) {
    const std::string folder = brd::UserFolderFromRecord(record);
    FUZZ_CHECK(folder.find('\0') == std::string::npos);
    FUZZ_CHECK(folder.size() <= 29 + decltype(record.Marker)::kWidth);
    if (record.Top != 1) FUZZ_CHECK(folder.empty());
}

void CheckWindowSettings(const SettingsRecord& record) {
    const std::string data = record.Data.Text();
    FUZZ_CHECK(brd::WindowOptionsSaved(record) == (data.compare(0, 5, "Check") == 0));
    // Characters 21-22: leading blanks, then an optional minus and digits; -1 without a digit.
    const std::string field = data.substr(20, 2);
    const char* first = field.data() + std::min(field.find_first_not_of(' '), field.size());
    int expected = -1;
    if (std::from_chars(first, field.data() + field.size(), expected).ec != std::errc{}) expected = -1;
    FUZZ_CHECK(brd::StoredIntervalIndex(record) == expected);
}

void CheckFontScheme(const SettingsRecord& record) {
    const std::string word = record.Data.Trimmed();
    const int expected = word.starts_with("Arial") ? 1 : word.starts_with("TimesNewRoman") ? 2 : 3;
    FUZZ_CHECK(brd::FontSchemeFromRecord(record) == expected);
}

// A folder built into a record reads back unchanged when the record can tell it apart: no zero byte
// (which ends the folder), no blank at either end (blank fill), and not 30 bytes ending in the
// continuation mark (which reads as a long folder; no folder name holds '?'). A folder over 30 bytes
// fits when what follows its head (at most 29 bytes, cut between characters) fits the Marker.
void CheckUserFolderRoundTrip(std::string_view path) {
    const auto record = brd::BuildUserFolderRecord(path);
    const std::size_t head = brd::Utf8Prefix(path, 29);
    const bool fits = path.size() <= 30 || path.size() - head <= brd::kLongestUserFolder - 29;
    FUZZ_CHECK(record.has_value() == fits);
    if (!record) return;
    FUZZ_CHECK(record->Top == 1 && record->Left == 0);
    const bool ambiguous = path.find('\0') != std::string_view::npos || path.starts_with(' ') ||
                           path.ends_with(' ') || (path.size() == 30 && path.ends_with('?'));
    if (ambiguous) return;
    const auto bytes = record->Encode();
    FUZZ_CHECK(brd::UserFolderFromRecord(SettingsRecord::Decode(bytes.data(), bytes.size())) == path);
}

void CheckWindowOptionsRoundTrip(const brd::WindowOptions& options, std::int32_t top, std::int32_t left) {
    const SettingsRecord record = brd::BuildWindowSettingsRecord(options, top, left);
    FUZZ_CHECK(record.Marker.Trimmed() == brd::kWindowSettingsMarker);
    FUZZ_CHECK(record.Top == top && record.Left == left);
    FUZZ_CHECK(brd::WindowOptionsSaved(record) == options.Keep);
    const bool fits = options.IntervalIndex >= -1 && options.IntervalIndex <= 9;
    FUZZ_CHECK(brd::StoredIntervalIndex(record) == (options.Keep && fits ? options.IntervalIndex : -1));
    // The option words where the library's reader looks for them.
    const std::string data = record.Data.Text();
    if (options.Keep) {
        FUZZ_CHECK((data.compare(5, 5, "Check") == 0) == options.Every);
        FUZZ_CHECK((data.compare(10, 5, "Check") == 0) == options.CountDown);
        FUZZ_CHECK(data.compare(15, 5, options.Random ? "Rando" : "Prior") == 0);
    }
}

void CheckFontRoundTrip(int scheme) {
    SettingsRecord record;
    record.Data.Assign(brd::FontWord(scheme));
    FUZZ_CHECK(brd::FontSchemeFromRecord(record) == (scheme == 1 || scheme == 2 ? scheme : 3));
}

// Writes `record` as record `number` and checks the whole file: the record in place, the bytes
// before it kept, a gap up to it zero-filled, the bytes after it kept.
void CheckWrite(const std::uint8_t* data, std::size_t size, int number, const SettingsRecord& record) {
    brd::FailureNote note;
    brd::WriteSettingsRecord(g_path, number, record, note);
    FUZZ_CHECK(!note.Noted());
    const std::vector<std::uint8_t> file = ReadFile();
    const std::size_t offset = static_cast<std::size_t>(number - 1) * kSettingsRecordLength;
    const std::size_t end = offset + kSettingsRecordLength;
    FUZZ_CHECK(file.size() == std::max(size, end));
    const auto bytes = record.Encode();
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (i >= offset && i < end) {
            FUZZ_CHECK(file[i] == bytes[i - offset]);
        } else {
            FUZZ_CHECK(file[i] == (i < size ? data[i] : 0));
        }
    }
}

std::int32_t Int32At(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(at + i < size ? data[at + i] : 0) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

// A memory-backed folder where there is one: rewriting a file for every input costs a disk block
// allocation on each close elsewhere, which slows the run more than tenfold.
std::filesystem::path ScratchFolder() {
    std::error_code ec;
    const std::filesystem::path shm("/dev/shm");
    if (std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0) return shm;
    return std::filesystem::temp_directory_path();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string name = (ScratchFolder() / "brd_fuzz_settings_XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    FUZZ_CHECK(fd >= 0);
    ::close(fd);
    g_path = name;
    std::atexit(RemoveSettingsFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFile(data, size);

    const SettingsRecord folder = ReadRecord(data, size, brd::kUserFolderRecord);
    const SettingsRecord window = ReadRecord(data, size, brd::kWindowSettingsRecord);
    const SettingsRecord font = ReadRecord(data, size, brd::kFontRecord);
    CheckUserFolder(folder);
    CheckWindowSettings(window);
    CheckFontScheme(font);
    // The rules accept any record, not only the one they are meant for; the codec any slice.
    CheckUserFolder(window);
    CheckFontScheme(folder);
    for (const std::size_t start : {std::size_t{1}, size / 3, size / 2}) {
        if (start < size) CheckCodec({data + start, size - start});
    }
    // A whole record's bytes come back exactly (CheckCodec with all 55 present).
    if (size == kSettingsRecordLength) {
        const auto bytes = SettingsRecord::Decode(data, size).Encode();
        FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), data));
    }

    // Builders, driven by the first bytes: a folder of up to 46 characters, window options, a font.
    const std::uint8_t first = size > 0 ? data[0] : 0;
    const std::uint8_t second = size > 1 ? data[1] : 0;
    const std::size_t pathLength = std::min<std::size_t>(first % 47, size > 1 ? size - 1 : 0);
    CheckUserFolderRoundTrip(std::string_view(reinterpret_cast<const char*>(data) + (size > 0), pathLength));
    brd::WindowOptions options;
    options.Keep = first & 1;
    options.Every = first & 2;
    options.CountDown = first & 4;
    options.Random = first & 8;
    options.IntervalIndex = static_cast<std::int8_t>(second);
    const std::int32_t top = Int32At(data, size, 2);
    const std::int32_t left = Int32At(data, size, 6);
    CheckWindowOptionsRoundTrip(options, top, left);
    CheckFontRoundTrip(static_cast<std::int8_t>(second));

    // The writer, on the file just read: record 1 to 10 as chosen by the input.
    CheckWrite(data, size, 1 + first / 26, brd::BuildWindowSettingsRecord(options, top, left));
    return 0;
}
