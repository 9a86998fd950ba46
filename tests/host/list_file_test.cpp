#include "brdsave/core/class1_ops.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "shared/core/settings_rules.h"
#include "tests/host/fake_library.h"
#include "tests/host/temp_folder.h"

namespace brd {
namespace {

using namespace std::string_literals;
using Fields = std::vector<std::string>;

TEST(ReadListFields, ReadsWhatTheWriterWritesAndSurvivesBrokenFiles) {
    const std::string megabyte(1 << 20, 'm');
    const struct Case {
        std::string bytes;
        Fields fields;
    } cases[] = {
        {"", {}},
        {"\"a.bmp\"\r\n\"b.gif\"\r\n\"Beach.jpg_\"\r\n", {"a.bmp", "b.gif", "Beach.jpg_"}},
        {"\"sea, blue.jpg\"\r\n", {"sea, blue.jpg"}},
        {"\"\"\r\n\"x.bmp\"\r\n", {"", "x.bmp"}},
        {"  \"x.bmp\"  junk, y.bmp  \r\n", {"x.bmp", "y.bmp"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\"no end\r\nnext", {"no end\r\nnext"}},
        {"\"a.bmp\"", {"a.bmp"}},
        {"a,", {"a"}},
        {"\"a\"\r\n   ", {"a"}},
        {"\"a\0b.bmp\"\r\n\0\"c\"\0"s, {"ab.bmp", "c"}},
        {"\"" + megabyte + "\"\r\n" + megabyte, {megabyte, megabyte}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadListFields(c.bytes), c.fields) << c.bytes.substr(0, 40);
}

TEST(ReadListFields, RandomBytesNeverBreakIt) {
    std::mt19937 random(20020516);
    const std::string alphabet = "\"\", \r\n\0ab"s;
    for (int round = 0; round < 5000; ++round) {
        std::string bytes(random() % 40, ' ');
        for (char& c : bytes)
            c = alphabet[random() % alphabet.size()];
        const Fields fields = ReadListFields(bytes);
        std::size_t delimiters = 0;
        for (char c : bytes)
            delimiters += c == ',' || c == '\r' || c == '\n';
        EXPECT_LE(fields.size(), delimiters + 1);
        for (const std::string& field : fields)
            EXPECT_EQ(field.find('\0'), std::string::npos);
    }
}

struct ListWindow {
    test::TempFolder folder;
    std::string app = (folder.Path() / "").string();
    test::EventLog log;
    test::FakeControl lstShow{"lstShow", log};
    test::FakeEnvironment env;

    void Write(const std::string& bytes) {
        test::WriteBytes(app + kListFileName, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }
    void Load() { LoadWallpaperList(lstShow, app, env); }
};

TEST(LoadWallpaperList, AppendsEntriesAndLeavesTheListAloneWithoutAFile) {
    ListWindow w;
    w.lstShow.Items = {"old.bmp"};
    w.Load();
    std::filesystem::create_directory(w.app + kListFileName); // a folder is no list file
    w.Load();
    EXPECT_EQ(w.lstShow.Items, Fields{"old.bmp"});
    EXPECT_TRUE(w.log.Events.empty());

    ListWindow v;
    v.lstShow.Items = {"old.bmp"};
    v.Write("");
    v.Load();
    v.Write("\"a.bmp\"\r\n\"b, c.gif\"\r\n\"d.jpg_\"\r\n");
    v.Load();
    EXPECT_EQ(v.lstShow.Items, (Fields{"old.bmp", "a.bmp", "b, c.gif", "d.jpg_"}));
    EXPECT_TRUE(v.env.Messages.empty());
}

TEST(LoadWallpaperList, ReportsOnceAndKeepsWhatWasAdded) {
    ListWindow w;
    w.Write("\"a.bmp\"\r\n\"refused\"\r\n\"c.bmp\"\r\n\"refused\"\r\n");
    w.lstShow.RefusedItem = "refused";
    w.Load();
    EXPECT_EQ(w.lstShow.Items, (Fields{"a.bmp", "c.bmp"}));
    EXPECT_EQ(w.env.Messages,
              Fields{"Error occurred when loading data back from Wpaper.dat, Error #  7\rOut of memory"});

    ListWindow gone; // found by the search, gone when opened
    gone.env.EveryFileExists = true;
    gone.Load();
    EXPECT_EQ(gone.env.Messages,
              Fields{"Error occurred when loading data back from Wpaper.dat, Error #  53\rFile not found"});
}

// `make bench-list` times it, with the manager window shown.
TEST(LoadWallpaperList, LoadsAHundredThousandEntries) {
    ListWindow w;
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "\"picture" + std::to_string(i) + ".jpg_\"\r\n";
    w.Write(bytes);
    w.lstShow.LogItems = false;
    w.Load();
    ASSERT_EQ(w.lstShow.Items.size(), 100000u);
    EXPECT_EQ(w.lstShow.Items.back(), "picture99999.jpg_");
}

} // namespace
} // namespace brd
