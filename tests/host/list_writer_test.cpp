#include "brdwall/manager/core/list_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "brdsave/core/class1_ops.h"
#include "temp_folder.h"

namespace brd {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::string Text(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(ListWriter, QuotedLinesWithCrLfAndNothingForAnEmptyList) {
    TempFolder folder;
    struct Case {
        std::vector<std::string> entries;
        std::string bytes;
    } cases[] = {
        {{}, ""},
        {{"Clouds.bmp", "Beach.jpg_", "a, b.gif"}, "\"Clouds.bmp\"\r\n\"Beach.jpg_\"\r\n\"a, b.gif\"\r\n"},
        {{""}, "\"\"\r\n"},
        {{"\xC3\x89t\xC3\xA9.jpg_", "\xE6\xB5\xB7.jpg"},
         "\"\xC3\x89t\xC3\xA9.jpg_\"\r\n\"\xE6\xB5\xB7.jpg\"\r\n"}, // UTF-8 as it is
    };
    // Also in a folder named in other scripts, as a program folder may be.
    std::filesystem::create_directory(FilePath(folder.File("Программы 写真 €")));
    for (const std::string& list : {folder.File("Wpaper.dat"), folder.File("Программы 写真 €/Wpaper.dat")}) {
        for (const Case& c : cases) {
            FailureNote note;
            ASSERT_TRUE(WriteListFile(list, c.entries, note)) << list;
            EXPECT_FALSE(note.Noted());
            EXPECT_EQ(Text(ReadBytes(list)), c.bytes);
            // What is written reads back as the same entries.
            EXPECT_EQ(ReadListFields(c.bytes), c.entries);
        }
        EXPECT_FALSE(std::filesystem::exists(FilePath(list + ".new")));
    }
}

TEST(ListWriter, AFailedWriteLeavesTheOldFileAsItWas) {
    TempFolder folder;
    const std::string path = folder.File("Wpaper.dat");
    WriteBytes(path, {'"', 'o', 'l', 'd', '"', '\r', '\n'});
    // The temporary file cannot be made: a folder stands in its place.
    std::filesystem::create_directory(path + ".new");
    FailureNote note;
    EXPECT_FALSE(WriteListFile(path, {"new.bmp"}, note));
    EXPECT_TRUE(note.Noted());
    EXPECT_EQ(Text(ReadBytes(path)), "\"old\"\r\n");
    std::filesystem::remove(path + ".new");
    // A read-only file stays as it was.
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    FailureNote readOnly;
    EXPECT_FALSE(WriteListFile(path, {"new.bmp"}, readOnly));
    EXPECT_EQ(Text(ReadBytes(path)), "\"old\"\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    // A missing folder: nothing is created.
    FailureNote missing;
    EXPECT_FALSE(WriteListFile(folder.File("none/Wpaper.dat"), {"x"}, missing));
    EXPECT_EQ(missing.Last().Number, 76);
}

} // namespace
} // namespace brd
