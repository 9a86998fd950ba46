#include "brdsave/core/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "brdsave/core/file_path.h"
#include "tests/host/temp_folder.h"

namespace brd {
namespace {

TEST(FailureReportText, NumberWithBlankOrMinusThenCarriageReturnOnly) {
    EXPECT_EQ(
        FailureReportText("Error occurred when loading back settings from disk, ", {53, "File not found"}),
        "Error occurred when loading back settings from disk, Error #  53\rFile not found");
    EXPECT_EQ(FailureReportText("Saving, ", {0, ""}), "Saving, Error #  0\r");
    EXPECT_EQ(FailureReportText("Saving, ", {-2147024891, "Denied"}), "Saving, Error # -2147024891\rDenied");
    EXPECT_EQ(NumberText(LLONG_MIN), "-9223372036854775808");
}

TEST(FailureNote, KeepsOnlyTheLastFailureUntilCleared) {
    FailureNote note;
    EXPECT_FALSE(note.Noted());
    note.Note({53, "File not found"});
    note.Note({61, "Disk full"});
    EXPECT_TRUE(note.Noted());
    EXPECT_EQ(note.Last(), (Failure{61, "Disk full"}));
    note.Clear();
    EXPECT_FALSE(note.Noted());
    EXPECT_EQ(note.Last(), Failure{});
}

TEST(OpenFailure, NamesWhatWentWrongWhenARealFileCannotBeOpened) {
    test::TempFolder folder;
    std::FILE* plain = OpenFile(folder.File("plain.dat"), "wb");
    ASSERT_NE(plain, nullptr);
    std::fclose(plain);
    struct Case {
        const char* name;
        std::string path;
        const char* mode;
        Failure failure;
    } cases[] = {
        {"a missing file", folder.File("none.dat"), "rb", {53, "File not found"}},
        {"a file in a missing folder", folder.File("none/x.dat"), "rb", {76, "Path not found"}},
        {"a file under a file", folder.File("plain.dat/x.dat"), "rb", {76, "Path not found"}},
        {"a folder written as a file", folder.File(""), "wb", {75, "Path/File access error"}},
    };
    for (const Case& c : cases) {
        errno = 0;
        std::FILE* file = OpenFile(c.path, c.mode);
        ASSERT_EQ(file, nullptr) << c.name;
        EXPECT_EQ(OpenFailure(c.path, errno), c.failure) << c.name;
    }
    // No reason given: the general access error.
    EXPECT_EQ(OpenFailure(folder.File("none.dat"), 0), (Failure{75, "Path/File access error"}));
}

TEST(FileFailure, NumbersAndTheirFixedDescriptions) {
    const Failure cases[] = {
        {52, "Bad file name or number"}, {53, "File not found"}, {54, "Bad file mode"},
        {57, "Device I/O error"},        {61, "Disk full"},      {62, "Input past end of file"},
        {63, "Bad record number"},       {67, "Too many files"}, {70, "Permission denied"},
        {75, "Path/File access error"},  {76, "Path not found"}, {1, "File error"},
    };
    for (const Failure& failure : cases)
        EXPECT_EQ(FileFailure(failure.Number), failure);
}

} // namespace
} // namespace brd
