#include "brdsave/core/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/temp_folder.h"

namespace brd {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Lines = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

Lines ReadAllLines(const std::string& path, FailureNote& note) {
    TextInput in(path, note);
    Lines lines;
    std::string line;
    while (!in.AtEnd()) {
        EXPECT_TRUE(in.ReadLine(line));
        lines.push_back(line);
    }
    EXPECT_FALSE(in.ReadLine(line));
    EXPECT_EQ(line, "");
    return lines;
}

TEST(TextFile, RoundTripsLinesEndedByCarriageReturnLineFeed) {
    TempFolder folder;
    const auto path = folder.File("list.txt");
    WriteBytes(path, Bytes(100, 'x')); // replaced, not overwritten in part
    const Lines lines = {"first", "", "C:\\Pictures\\sea view.bmp", "  padded  ", "caf\xE9"};
    FailureNote note;
    {
        TextOutput out(path, note);
        for (const auto& line : lines)
            EXPECT_TRUE(out.WriteLine(line));
    } // closed here
    const auto bytes = ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "first\r\n\r\nC:\\Pictures\\sea view.bmp\r\n  padded  \r\ncaf\xE9\r\n");
    EXPECT_EQ(ReadAllLines(path, note), lines);
    EXPECT_FALSE(note.Noted()) << note.Last().Description;
}

TEST(TextFile, InputSplitsAtLineFeedDroppingACarriageReturnBeforeIt) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"x\ry\r\nend\r", {"x\ry", "end\r"}},
        {"zero\0byte\r\n"s, {"zero\0byte"s}},
    };
    TempFolder folder;
    const auto path = folder.File("in.txt");
    for (const auto& [content, lines] : cases) {
        WriteBytes(path, {content.begin(), content.end()});
        FailureNote note;
        EXPECT_EQ(ReadAllLines(path, note), lines) << "content: " << content;
        EXPECT_FALSE(note.Noted());
    }
}

TEST(TextFile, NotesFailuresToOpenAndThenDoesNothing) {
    TempFolder folder;
    FailureNote note;
    std::string line = "stale";
    TextInput in(folder.File("missing.txt"), note);
    EXPECT_EQ(note.Last(), FileFailure(53));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(in.ReadLine(line));
    EXPECT_EQ(line, "");

    TextOutput out(folder.File("nowhere/out.txt"), note);
    EXPECT_EQ(note.Last(), FileFailure(76));
    EXPECT_FALSE(out.WriteLine("lost"));
    EXPECT_FALSE(out.Close());
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(TextFile, NotesADiskFullFoundWhenClosing) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no always-full device here";
    FailureNote note;
    TextOutput out("/dev/full", note);
    EXPECT_TRUE(out.WriteLine("buffered"));
    EXPECT_FALSE(out.Close());
    EXPECT_EQ(note.Last(), FileFailure(61));
}

} // namespace
} // namespace brd
