#include "brdwall/runtime/core/clock.h"
#include "brdwall/runtime/core/random.h"
#include "brdwall/runtime/core/twips.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace brd {
namespace {

std::vector<double> Draws(IRandom& random, int count) {
    std::vector<double> draws;
    for (int i = 0; i < count; ++i)
        draws.push_back(random.Next());
    return draws;
}

TEST(StirringRandom, ReseedingStirsTheStateRatherThanRestarting) {
    StirringRandom a(7), b(7), c(8), d;
    EXPECT_EQ(Draws(a, 5), Draws(b, 5));
    EXPECT_NE(Draws(c, 5), Draws(d, 5));

    a.Reseed(12345.5);
    const auto afterFirst = Draws(a, 5);
    a.Reseed(12345.5);
    EXPECT_NE(Draws(a, 5), afterFirst); // the same value again does not restart the sequence
    b.Reseed(12345.5);
    EXPECT_EQ(Draws(b, 5), afterFirst); // same state and value: same draws
    c.Reseed(12345.5);
    EXPECT_NE(Draws(c, 5), afterFirst); // the old state matters
}

TEST(StirringRandom, DrawsLieInUnitIntervalAndSpreadEvenly) {
    StirringRandom random(2024);
    random.Reseed(0.0);
    std::array<int, 10> counts{};
    for (double draw : Draws(random, 10000)) {
        ASSERT_GE(draw, 0.0);
        ASSERT_LT(draw, 1.0);
        ++counts[static_cast<std::size_t>(draw * 10)];
    }
    // 1000 expected in each, standard deviation 30: the bounds are ten deviations wide.
    for (int count : counts) {
        EXPECT_GT(count, 700);
        EXPECT_LT(count, 1300);
    }
}

TEST(Clock, TimeTextAndManualClockWrappingWithinTheDay) {
    EXPECT_EQ(TimeText({9, 5, 7}), "09:05:07");
    EXPECT_EQ(TimeText({23, 59, 59}), "23:59:59");
    ManualClock clock;
    EXPECT_EQ(TimeText(clock.Now()), "00:00:00");
    const std::pair<long long, LocalTime> steps[] = {
        {45, {0, 0, 45}},
        {-46, {23, 59, 59}},
        {3 * 86400LL + 3601, {1, 0, 0}},
        {-5 * 86400LL - 1, {0, 59, 59}},
    };
    for (const auto& [seconds, after] : steps) {
        clock.Advance(seconds);
        EXPECT_EQ(clock.Now(), after) << "after " << seconds;
    }
    clock.Set(25, 61, -1);
    EXPECT_EQ(clock.Now(), (LocalTime{2, 0, 59}));
}

TEST(Twips, ConvertsRoundingToNearestHalvesAwayFromZero) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {1440, 96, 96},
        {3432, 96, 229},
        {3432, 144, 343},
        {3432, 120, 286},
        {7, 96, 0},
        {8, 96, 1},
        {-7, 96, 0},
        {-8, 96, -1},
        {6, 120, 1},
        {-6, 120, -1},
        {5, 120, 0},
        {1000000, 960, 666667},
        {-1000000, 960, -666667},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    const Case back[] = {
        {1440, 96, 96}, {3435, 96, 229},         {10, 144, 1}, {2, 960, 1}, {-2, 960, -1},
        {2, 864, 1},    {15000000, 96, 1000000},
    };
    for (const auto& c : back)
        EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.twips) << c.pixels << " at " << c.dpi;
    static_assert(TwipsToPixels(1440, 96) == 96 && PixelsToTwips(96, 96) == 1440);
}

} // namespace
} // namespace brd
