#include "shared/core/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/temp_folder.h"

namespace brd {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Bytes = std::vector<unsigned char>;
constexpr auto kLength = static_cast<std::ptrdiff_t>(kSettingsRecordLength);

// `count` bytes, none zero, each differing from its neighbours.
Bytes Patterned(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(1 + i % 251);
    return bytes;
}

TEST(RecordFile, WritingRecordEightCreatesAFileZeroFilledUpToIt) {
    TempFolder folder;
    const auto path = folder.File("settings.dat");
    SettingsRecord font;
    font.Data.Assign("Normal");
    FailureNote note;

    WriteSettingsRecord(path, kFontRecord, font, note);

    Bytes expected(385 + 17 + 8, 0);
    for (char c : "Normal" + std::string(24, ' '))
        expected.push_back(static_cast<unsigned char>(c));
    ASSERT_EQ(expected.size(), 440u);
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(ReadSettingsRecord(path, kFontRecord, note), font);
    EXPECT_FALSE(note.Noted()) << note.Last().Description;
}

TEST(RecordFile, WritingLeavesEveryOtherByteAlone) {
    TempFolder folder;
    const auto path = folder.File("settings.dat");
    SettingsRecord record;
    record.Marker.Assign("[Window]");
    record.Top = -15;
    const auto encoded = record.Encode();
    FailureNote note;

    // Record 5 of an eight-record file.
    const Bytes full = Patterned(8 * kSettingsRecordLength);
    WriteBytes(path, full);
    WriteSettingsRecord(path, kWindowSettingsRecord, record, note);
    Bytes expected = full;
    std::copy(encoded.begin(), encoded.end(), expected.begin() + 4 * kLength);
    EXPECT_EQ(ReadBytes(path), expected);

    // Record 4 of a file that ends 5 bytes into record 2: only the gap is zero-filled.
    WriteBytes(path, Patterned(60));
    WriteSettingsRecord(path, 4, record, note);
    expected = Patterned(60);
    expected.resize(3 * kSettingsRecordLength, 0);
    expected.insert(expected.end(), encoded.begin(), encoded.end());
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_FALSE(note.Noted()) << note.Last().Description;
}

TEST(RecordFile, ReadsRecordsBeyondOrAcrossTheEndOfAReadOnlyFileWithoutFailure) {
    TempFolder folder;
    const auto path = folder.File("settings.dat");
    const Bytes bytes = Patterned(kSettingsRecordLength + 20); // record 2 cut short
    WriteBytes(path, bytes);
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    FailureNote note;

    EXPECT_EQ(ReadSettingsRecord(path, 1, note), SettingsRecord::Decode(bytes.data(), kSettingsRecordLength));
    EXPECT_EQ(ReadSettingsRecord(path, 2, note), SettingsRecord::Decode(bytes.data() + kLength, 20));
    EXPECT_EQ(ReadSettingsRecord(path, 9, note), SettingsRecord{});
    EXPECT_FALSE(note.Noted()) << note.Last().Description;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

TEST(RecordFile, NotesFailuresAndCreatesNothing) {
    TempFolder folder;
    const auto missing = folder.File("missing.dat");
    const SettingsRecord record;
    const std::pair<std::function<void(FailureNote&)>, int> cases[] = {
        {[&](FailureNote& n) { ReadSettingsRecord(missing, 1, n); }, 53},
        {[&](FailureNote& n) { ReadSettingsRecord(missing, 0, n); }, 63},
        {[&](FailureNote& n) { WriteSettingsRecord(missing, -1, record, n); }, 63},
        {[&](FailureNote& n) { WriteSettingsRecord(folder.File("nowhere/s.dat"), 1, record, n); }, 76},
        {[&](FailureNote& n) { WriteSettingsRecord(folder.Path().string(), 1, record, n); }, 75}, // a folder
    };
    for (const auto& [operation, number] : cases) {
        FailureNote note;
        operation(note);
        EXPECT_EQ(note.Last(), FileFailure(number));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

// A device that is always full shows that the flush result is checked.
TEST(RecordFile, NotesADiskFullFoundWhenFlushing) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no always-full device here";
    FailureNote note;
    WriteSettingsRecord("/dev/full", 1, SettingsRecord{}, note);
    EXPECT_EQ(note.Last(), FileFailure(61));
}

} // namespace
} // namespace brd
