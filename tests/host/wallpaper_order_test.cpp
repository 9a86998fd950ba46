#include "brdwall/manager/core/wallpaper_order.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace brd {
namespace {

const std::string kWindows = "C:\\WINDOWS";
const std::string kUser = "D:\\Pics\\";

TEST(WallpaperOrder, ResolveEntry) {
    struct Case {
        const char* entry;
        const char* bare;
        std::string full;
        PictureKind kind;
    };
    using enum PictureKind;
    const Case cases[] = {
        {"Sunset.JPG_", "Sunset.JPG", kUser + "Sunset.JPG", Convert},
        {"photo.jpeg", "photo.jpeg", kWindows + "\\photo.jpeg", Never},
        {"Clouds.BMP", "Clouds.BMP", kWindows + "\\Clouds.BMP", Bitmap},
        {"anim.Gif", "anim.Gif", kWindows + "\\anim.Gif", Convert},
        {"x_.bmp", "x_.bmp", kWindows + "\\x_.bmp", Bitmap}, // "_" inside the name is no mark
        {"notes.txt_", "notes.txt", kUser + "notes.txt", Never},
        {"jpg", "jpg", kWindows + "\\jpg", Convert}, // the last three characters, whatever comes before
        {"mp", "mp", kWindows + "\\mp", Never},
        {"_", "", kUser, Never},
        {"", "", kWindows + "\\", Never},
        // Not bare names: no path, so they count as missing files.
        {"..\\x.bmp", "..\\x.bmp", "", Never},
        {"sub/x.jpg_", "sub/x.jpg", "", Never},
        {"C:x.bmp", "C:x.bmp", "", Never},
    };
    for (const Case& c : cases) {
        const ResolvedEntry resolved = ResolveEntry(c.entry, kWindows, kUser);
        EXPECT_EQ(resolved.BareName, c.bare) << c.entry;
        EXPECT_EQ(resolved.FullPath, c.full) << c.entry;
        EXPECT_EQ(resolved.Kind, c.kind) << c.entry;
    }
}

// Gives the draws it is told to and logs each re-seed and draw.
class ScriptedRandom final : public IRandom {
  public:
    explicit ScriptedRandom(double draw) : draw_(draw) {}
    void Reseed(double value) override { Log.push_back("seed " + std::to_string(static_cast<int>(value))); }
    double Next() override {
        Log.push_back("draw");
        return draw_;
    }
    std::vector<std::string> Log;

  private:
    double draw_;
};

TEST(WallpaperOrder, PickRandomIndexFollowsTheDraw) {
    struct Case {
        int current, count;
        double draw;
        int expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {0, 2, 0.2, 1}, // the current one drawn: the one before it, or 1 for the first
        {0, 2, 0.7, 1},
        {1, 2, 0.2, 0},
        {1, 2, 0.7, 0}, // two entries: always the other one
        {0, 3, 0.5, 1},
        {0, 3, 0.9, 2},
        {0, 3, 0.1, 1},
        {2, 3, 0.9, 1},
        {1, 3, 0.5, 0},
        {2, 3, 0.0, 0},
        {1, 3, 1.0, 0}, // a draw past the last position is taken as 0
        {1, 3, nan, 0},
        {1, 3, -0.5, 0},
        {7, 3, 0.5, 1}, // a current position outside the list is never drawn
        {5, 100000, 0.99999, 99999},
        {99999, 100000, 0.99999, 99998}, // every position of a long list can come
    };
    for (const Case& c : cases) {
        ScriptedRandom rng(c.draw);
        const int picked = PickRandomIndex(c.current, c.count, rng);
        EXPECT_EQ(picked, c.expected) << c.current << " of " << c.count << " drawing " << c.draw;
        const std::vector<std::string> log = {"seed " + std::to_string(c.count - 1), "draw"};
        EXPECT_EQ(rng.Log, log);
    }
    for (const int count : {1, 0, -4}) {
        ScriptedRandom rng(0.5);
        EXPECT_EQ(PickRandomIndex(0, count, rng), 0);
        EXPECT_TRUE(rng.Log.empty());
    }
}

TEST(WallpaperOrder, PickRandomIndexDistribution) {
    StirringRandom rng(12345);
    int index = 0;
    for (int i = 0; i < 1000; ++i) {
        const int next = PickRandomIndex(index, 2, rng);
        ASSERT_EQ(next, 1 - index) << "pick " << i;
        index = next;
    }

    constexpr int kDraws = 30000;
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < kDraws; ++i)
        ++counts[PickRandomIndex(0, 3, rng)];
    EXPECT_EQ(counts[0], 0);
    EXPECT_NEAR(counts[1], kDraws * 2 / 3, kDraws / 30);
    EXPECT_NEAR(counts[2], kDraws / 3, kDraws / 30);
}

TEST(WallpaperOrder, NextPriorityIndexWraps) {
    struct Case {
        int current, count, expected;
    };
    const Case cases[] = {{0, 1, 0},         {0, 3, 1},  {1, 3, 2},  {2, 3, 0},
                          {5, 3, 0},         {-1, 3, 0}, {-9, 3, 0}, {32767, 40000, 32768},
                          {39999, 40000, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(NextPriorityIndex(c.current, c.count), c.expected) << c.current << " of " << c.count;
    }
}

class FakeList final : public IWallpaperList {
  public:
    explicit FakeList(std::vector<std::string> entries) : Entries(std::move(entries)) {}
    int Count() override { return static_cast<int>(Entries.size()); }
    std::string Entry(int i) override { return Entries.at(static_cast<std::size_t>(i)); }
    void Remove(const std::vector<int>& indexes) override {
        ++Removals;
        for (auto i = indexes.rbegin(); i != indexes.rend(); ++i)
            Entries.erase(Entries.begin() + *i);
    }
    std::vector<std::string> Entries;
    int Removals = 0;
};

struct DropRun {
    std::vector<std::string> warnings;
    int oneLeft = 0;
};

// Files in `existing` are present; with `userFolderAway` the user folder cannot be reached.
DropRun Drop(int& index, FakeList& list, const std::set<std::string>& existing, bool userFolderAway = false) {
    DropRun run;
    MissingFileActions actions;
    actions.State = [&](const ResolvedEntry& e) {
        if (existing.count(e.FullPath)) return FileState::Present;
        return userFolderAway && e.InUserFolder ? FileState::Unreachable : FileState::Gone;
    };
    actions.Warn = [&](const std::string& text) { run.warnings.push_back(text); };
    actions.OneLeft = [&] { ++run.oneLeft; };
    DropMissingFiles(index, list, actions, kWindows, kUser);
    return run;
}

TEST(WallpaperOrder, DropMissingFiles) {
    struct Case {
        const char* name;
        std::vector<std::string> entries;
        int index;
        std::set<std::string> existing;
        std::vector<std::string> left;
        int indexAfter;
        std::vector<std::string> warnings;
        int oneLeft;
        bool userFolderAway = false;
    };
    const std::string a = kWindows + "\\a.bmp";
    const Case cases[] = {
        {"the next one exists", {"a.bmp", "b.jpg_"}, 0, {a}, {"a.bmp", "b.jpg_"}, 0, {}, 0},
        {"two entries, the next one deleted: wraps to the top",
         {"a.bmp", "b.jpg_"},
         1,
         {a},
         {"a.bmp"},
         0,
         {"b.jpg, file not found"},
         1},
        {"two entries, the first deleted: the index stays",
         {"b.jpg_", "a.bmp"},
         0,
         {a},
         {"a.bmp"},
         0,
         {"b.jpg, file not found"},
         1},
        {"every file missing: one warning each, ends empty",
         {"a.bmp", "b.jpg_", "c.gif"},
         1,
         {},
         {},
         0,
         {"b.jpg, file not found", "c.gif, file not found", "a.bmp, file not found"},
         1},
        {"walks forward and wraps; entries before the first existing one stay",
         {"a.bmp", "x.bmp", "y.bmp", "z.bmp"},
         2,
         {a},
         {"a.bmp", "x.bmp"},
         0,
         {"y.bmp, file not found", "z.bmp, file not found"},
         0},
        {"an index outside the list is taken as 0",
         {"x.bmp", "a.bmp"},
         7,
         {a},
         {"a.bmp"},
         0,
         {"x.bmp, file not found"},
         1},
        {"empty list", {}, 3, {}, {}, 3, {}, 0},
        {"user folder away: its entries are passed over and kept",
         {"ua.bmp_", "a.bmp", "ub.jpg_"},
         2,
         {a},
         {"ua.bmp_", "a.bmp", "ub.jpg_"},
         1,
         {},
         0,
         true},
        {"nothing present: the gone dropped, the unreachable kept in place",
         {"ua.bmp_", "x.bmp", "ub.jpg_"},
         2,
         {},
         {"ua.bmp_", "ub.jpg_"},
         1,
         {"x.bmp, file not found"},
         0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeList list(c.entries);
        int index = c.index;
        const DropRun run = Drop(index, list, c.existing, c.userFolderAway);
        EXPECT_EQ(list.Entries, c.left);
        EXPECT_EQ(index, c.indexAfter);
        EXPECT_EQ(run.warnings, c.warnings);
        EXPECT_EQ(run.oneLeft, c.oneLeft);
    }
}

TEST(WallpaperOrder, DropMissingFilesRemovesALongRunInOneStep) {
    // A run of missing files past the 16-bit positions, the existing entry behind it.
    std::vector<std::string> entries(50000, "gone.bmp");
    entries[0] = entries[49999] = "a.bmp";
    FakeList list(entries);
    int index = 40000;
    const DropRun run = Drop(index, list, {kWindows + "\\a.bmp"});
    EXPECT_EQ(list.Removals, 1);
    EXPECT_EQ(run.warnings.size(), 9999u);
    EXPECT_EQ(list.Entries.size(), 40001u);
    EXPECT_EQ(index, 40000) << "on the existing entry behind the run";
}

TEST(WallpaperOrder, OrderStepsAfterAChange) {
    struct Case {
        const char* name;
        OrderMode mode;
        int index, count;
        int indexAfter;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"priority, one entry: wraps to 0", OrderMode::Priority, 0, 1, 0, {"drop", "convert"}},
        {"priority, last entry: wraps to 0", OrderMode::Priority, 2, 3, 0, {"drop", "convert"}},
        {"priority moves down", OrderMode::Priority, 0, 3, 1, {"drop", "convert"}},
        {"random goes through the option's click", OrderMode::Random, 1, 3, 1, {"click 2"}},
        {"no option selected", OrderMode::None, 1, 3, 1, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> steps;
        int index = c.index;
        ChooseNextEntry(
            c.mode, index, c.count, [&](int option) { steps.push_back("click " + std::to_string(option)); },
            [&] { steps.push_back("drop"); }, [&] { steps.push_back("convert"); });
        EXPECT_EQ(index, c.indexAfter) << c.name;
        EXPECT_EQ(steps, c.steps) << c.name;
    }
}

} // namespace
} // namespace brd
