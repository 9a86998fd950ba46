#include "shared/core/settings_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/core/record_file.h"
#include "shared/core/utf8.h"
#include "tests/host/temp_folder.h"

namespace brd {
namespace {

using namespace std::string_literals;

// A folder of `length` characters.
std::string Folder(std::size_t length) {
    return ("C:\\Wallpapers\\Holiday 2002\\Beaches and Sea\\Crete"s).substr(0, length);
}

SettingsRecord RecordWith(std::int32_t top, const std::string& data, const std::string& marker = "") {
    SettingsRecord record;
    record.Top = top;
    if (!data.empty()) record.Data.Assign(data);
    if (!marker.empty()) record.Marker.Assign(marker);
    return record;
}

TEST(UserFolderRecord, StoresUpToFortyFiveCharactersAndRestoresThem) {
    const std::string head = "C:\\Wallpapers\\Holiday 2002\\Be", zeros(17, '\0');
    // Marker, Top, Left and Data as stored, for folders of 0, 30, 31 and 45 characters.
    const std::vector<std::pair<std::size_t, std::string>> cases = {
        {0, zeros + "\1\0\0\0\0\0\0\0"s + std::string(30, ' ')},
        {30, zeros + "\1\0\0\0\0\0\0\0"s + head + "a"},
        {31, "ac" + std::string(15, ' ') + "\1\0\0\0\0\0\0\0"s + head + "?"},
        {45, "aches and Sea\\Cr " + "\1\0\0\0\0\0\0\0"s + head + "?"}};
    for (const auto& [length, bytes] : cases) {
        const auto encoded = BuildUserFolderRecord(Folder(length))->Encode();
        EXPECT_EQ(std::string(encoded.begin(), encoded.end()), bytes) << length;
    }
    EXPECT_FALSE(BuildUserFolderRecord(Folder(46)).has_value());
    for (std::size_t length = 1; length <= kLongestUserFolder; ++length) {
        const std::string folder = Folder(length);
        const std::string kept = folder.substr(0, folder.find_last_not_of(' ') + 1); // trailing blanks go
        EXPECT_EQ(UserFolderFromRecord(*BuildUserFolderRecord(folder)), kept) << length;
    }
    // Blanks in the 29th or 30th place, or leading blanks, do not lose or change the tail.
    for (const std::string& folder :
         {head + " Beach", head.substr(0, 28) + " Beach", "  D:\\Pictures\\Collected\\Sea\\Wave"s})
        EXPECT_EQ(UserFolderFromRecord(*BuildUserFolderRecord(folder)), folder);

    // UTF-8: the fields are bytes, cut between characters. In each folder below a character of 2, 3
    // or 4 bytes lies across the 29th and 30th bytes.
    const std::string cut[] = {"C:\\Users\\Жанна\\Фотографии", "C:\\Program Files\\写真集\\海\\x",
                               "C:\\Φωτογραφίες\\Θάλασσα", "D:\\Été 2024\\Côte d'Azur €\\Nice",
                               "C:\\Photos\\Beach 12345\\Sea \xF0\x9F\x8C\x8A\\x"};
    for (const std::string& folder : cut) {
        ASSERT_LT(Utf8Prefix(folder, 29), 29u) << folder;
        const auto record = BuildUserFolderRecord(folder);
        ASSERT_TRUE(record.has_value()) << folder;
        const std::string data = record->Data.Text();
        EXPECT_EQ(data.back(), '?');
        EXPECT_TRUE(IsUtf8(data.substr(0, data.find('\0')))) << "no character cut in Data";
        EXPECT_TRUE(IsUtf8(record->Marker.Text())) << "nor in Marker";
        EXPECT_EQ(UserFolderFromRecord(*record), folder);
    }
    // A tail that would not fit the Marker's 16 bytes: refused, as 46 ASCII characters are.
    EXPECT_FALSE(BuildUserFolderRecord(cut[0] + "\\Лето").has_value());

    const std::vector<std::pair<SettingsRecord, std::string>> records = {
        {RecordWith(1, "  D:\\Pics  "), "D:\\Pics"},
        {RecordWith(0, "D:\\Pics"), ""},
        {RecordWith(2, "D:\\Pics"), ""},
        {RecordWith(1, head + "?", "tail  "), head + "tail"},
        {RecordWith(1, head + "?"), head},
        {RecordWith(1, ""), ""},
        {RecordWith(1, "D:\\P\0ics"s), "D:\\P"}};
    for (const auto& [record, folder] : records)
        EXPECT_EQ(UserFolderFromRecord(record), folder) << record.Data.Text();
}

TEST(UserFolderRecord, WritesRecordOneOnlyForAFolderItCanHold) {
    test::TempFolder folder;
    const std::string app = (folder.Path() / "").string();
    FailureNote note;
    EXPECT_EQ(WriteUserFolderRecord(app, Folder(46), note), UserFolderStore::TooLong);
    EXPECT_FALSE(std::filesystem::exists(app + kSettingsFileName));
    EXPECT_EQ(WriteUserFolderRecord(app, Folder(40), note), UserFolderStore::Stored);
    EXPECT_EQ(test::ReadBytes(app + kSettingsFileName).size(), 55u);
    EXPECT_EQ(ReadUserFolder(app, note), Folder(40));
    EXPECT_FALSE(note.Noted());
}

TEST(WindowSettingsRecord, OptionTextForEveryCombinationAndItsIntervalReadBack) {
    const std::vector<std::pair<WindowOptions, std::string>> cases = {
        {{true, true, false, true, 3},
         "CheckCheck"
         "Empty"
         "Rando"
         " 3"},
        {{true, false, false, false, -1},
         "CheckEmpty"
         "Empty"
         "Prior"
         "-1"},
        {{true, false, false, true, 0},
         "CheckEmpty"
         "Empty"
         "Rando"
         " 0"},
        {{true, false, true, false, 1},
         "CheckEmpty"
         "Check"
         "Prior"
         " 1"},
        {{true, false, true, true, 2},
         "CheckEmpty"
         "Check"
         "Rando"
         " 2"},
        {{true, true, false, false, 4},
         "CheckCheck"
         "Empty"
         "Prior"
         " 4"},
        {{true, true, true, false, 5},
         "CheckCheck"
         "Check"
         "Prior"
         " 5"},
        {{true, true, true, true, 7},
         "CheckCheck"
         "Check"
         "Rando"
         " 7"},
        {{true, true, true, true, 12},
         "CheckCheck"
         "Check"
         "Rando"
         "-1"}, // would not read back
        {{false, true, true, true, 3}, "Empty"}};
    for (const auto& [options, text] : cases) {
        const SettingsRecord record = BuildWindowSettingsRecord(options, -120, 7200);
        const auto bytes = record.Encode();
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[WallpaperLoc]   \x88\xFF\xFF\xFF\x20\x1C\0\0"s +
                                                               text + std::string(30 - text.size(), ' '));
        EXPECT_EQ(WindowOptionsSaved(record), options.Keep);
        if (options.Keep) {
            // Read back as written; the reader mirrors the writer.
            const WindowOptions read = ReadWindowOptions(record);
            EXPECT_EQ(read.Every, options.Every) << text;
            EXPECT_EQ(read.CountDown, options.CountDown) << text;
            EXPECT_EQ(read.Random, options.Random) << text;
            EXPECT_EQ(read.IntervalIndex, options.IntervalIndex > 9 ? -1 : options.IntervalIndex) << text;
        }
    }
    // What is not "Prior" reads as "random", as the library always read it.
    EXPECT_TRUE(ReadWindowOptions(RecordWith(0, "CheckCheckCheckPrio")).Random);
    EXPECT_FALSE(ReadWindowOptions(RecordWith(0, "CheckCheckCheckPrior-1")).Random);
    const std::vector<std::pair<std::string, int>> fields = {
        {"12", 12}, {"7x", 7}, {"-5", -5}, {"  ", -1}, {"xx", -1}, {" -", -1}, {"+3", -1}, {"\0\0"s, -1}};
    for (const auto& [field, index] : fields)
        EXPECT_EQ(StoredIntervalIndex(RecordWith(0, "CheckCheckCheckPrior" + field)), index) << field;
}

TEST(FontRecord, SchemesAndWordsAndRecordEightWrittenFromTheBuffer) {
    const std::vector<std::pair<std::string, int>> words = {
        {"Arial", 1},          {"   Arial", 1}, {"ArialBlack", 1}, {"arial", 3}, {"TimesNewRoman", 2},
        {"TimesNewRomanX", 2}, {"Times", 3},    {"Normal", 3},     {"  ", 3},    {"", 3}};
    for (const auto& [word, scheme] : words)
        EXPECT_EQ(FontSchemeFromRecord(RecordWith(0, word)), scheme) << word;
    const std::vector<std::pair<int, std::string>> schemes = {
        {0, "Normal"}, {1, "Arial"}, {2, "TimesNewRoman"}, {3, "Normal"}, {-1, "Normal"}, {4, "Normal"}};
    for (const auto& [scheme, word] : schemes)
        EXPECT_EQ(FontWord(scheme), word) << scheme;

    test::TempFolder folder;
    const std::string app = (folder.Path() / "").string();
    test::WriteBytes(app + kSettingsFileName, std::vector<unsigned char>(55, 'x'));
    SettingsRecord buffer = RecordWith(345, "CheckCheckCheckPrior 3", "[WallpaperLoc]");
    ASSERT_TRUE(WriteFontRecord(app, buffer, 2));
    const auto bytes = test::ReadBytes(app + kSettingsFileName);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(55, 'x') + std::string(330, '\0') +
                                                           "[AllFont]        \x59\x01\0\0\0\0\0\0"s +
                                                           "TimesNewRoman" + std::string(17, ' '));
    EXPECT_EQ(ReadFontScheme(app), 2);
    EXPECT_FALSE(WriteFontRecord(app + "missing/", buffer, 1));
    EXPECT_EQ(ReadFontScheme(app + "missing/"), 3);
}

} // namespace
} // namespace brd
