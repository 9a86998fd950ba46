#include "brdsave/core/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

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

TEST(FailureFromErrno, MapsRuntimeErrorsToFileFailuresWithFixedDescriptions) {
    const std::pair<int, Failure> cases[] = {
        {EINVAL, {52, "Bad file name or number"}}, {ENOENT, {53, "File not found"}},
        {EIO, {57, "Device I/O error"}},           {ENOSPC, {61, "Disk full"}},
        {EMFILE, {67, "Too many files"}},          {EPERM, {70, "Permission denied"}},
        {EACCES, {75, "Path/File access error"}},  {EISDIR, {75, "Path/File access error"}},
        {EROFS, {75, "Path/File access error"}},   {ENOTDIR, {76, "Path not found"}},
        {0, {75, "Path/File access error"}},
    };
    for (const auto& [err, failure] : cases)
        EXPECT_EQ(FailureFromErrno(err), failure) << "errno " << err;
    EXPECT_EQ(FileFailure(62), (Failure{62, "Input past end of file"}));
    EXPECT_EQ(FileFailure(54), (Failure{54, "Bad file mode"}));
}

} // namespace
} // namespace brd
