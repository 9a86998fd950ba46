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

// The minutes of the box's list index, or nothing for an index outside the table (-1: none chosen).
[[nodiscard]] constexpr std::optional<std::int16_t> IntervalMinutesAt(int listIndex) noexcept {
    if (listIndex < 0 || listIndex >= static_cast<int>(kIntervals.size())) return std::nullopt;
    return kIntervals[static_cast<std::size_t>(listIndex)].Minutes;
}

} // namespace brd
