// The intervals of automatic change, as the manager window's interval box lists them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace brd {

struct Interval {
    std::int16_t Minutes;
    const char* Item; // the box's item
};

// In the box's order: its list index 0 to 7.
inline constexpr std::array<Interval, 8> kIntervals = {{{5, "5 mins"},
                                                        {10, "10 mins"},
                                                        {15, "15 mins"},
                                                        {30, "30 mins"},
                                                        {60, "1 hr"},
                                                        {120, "2 hrs"},
                                                        {180, "3 hrs"},
                                                        {240, "4 hrs"}}};

// The window-settings record keeps the chosen index in two characters (" 0" to " 9", "-1"), and every
// schedule value is 16-bit: a new row must still fit both.
static_assert(kIntervals.size() <= 10,
              "the window-settings record keeps the interval's index in 2 characters");
static_assert(
    [] {
        for (const Interval& i : kIntervals)
            if (i.Minutes <= 0 ||
                (i.Minutes < 60 ? 60 % i.Minutes != 0 : i.Minutes % 60 != 0 || 24 * 60 % i.Minutes != 0))
                return false;
        return true;
    }(),
    "a minute interval divides the hour, an hour interval the day: the due points repeat every hour or day");

// The minutes of the box's list index, or nothing for an index outside the table (-1: none chosen).
[[nodiscard]] constexpr std::optional<std::int16_t> IntervalMinutesAt(int listIndex) noexcept {
    if (listIndex < 0 || listIndex >= static_cast<int>(kIntervals.size())) return std::nullopt;
    return kIntervals[static_cast<std::size_t>(listIndex)].Minutes;
}

// Whether `minutes` is one of the table's intervals.
[[nodiscard]] constexpr bool IsInterval(int minutes) noexcept {
    for (const Interval& i : kIntervals)
        if (i.Minutes == minutes) return true;
    return false;
}

} // namespace brd
