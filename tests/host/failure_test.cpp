#include "shared/core/failure.h"

#include <gtest/gtest.h>

#include <set>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "shared/core/file_path.h"
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

// Every number of the catalogue has words of its own (a number left out would read "File error").
TEST(KnownFailure, EachNumberHasItsOwnWordsAndTheDetailFollows) {
    std::set<std::string> words{"File error"};
    for (int n : {kInvalidProcedureCall, kOverflow,
                  kOutOfMemory,          kTypeMismatch,
                  kObjectNotSet,         kInvalidPropertyValue,
                  kNoAutomation,         kNoSuchPropertyOrMethod,
                  kInvalidPicture,       kBadFileNameOrNumber,
                  kFileNotFound,         kBadFileMode,
                  kDeviceIoError,        kDiskFull,
                  kInputPastEndOfFile,   kBadRecordNumber,
                  kTooManyFiles,         kPermissionDenied,
                  kPathFileAccessError,  kPathNotFound})
        EXPECT_TRUE(words.insert(KnownFailure(n).Description).second) << n;
    EXPECT_EQ(KnownFailure(kInvalidPicture, "not a bitmap"), (Failure{481, "Invalid picture: not a bitmap"}));
}

} // namespace
} // namespace brd
