// The orientation a photo's Exif tag gives: how its stored pixels are turned or mirrored to be seen
// upright. Cameras and phones store a picture sideways and say so in the tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace brd {

// The tag's values. Anything else (a missing or damaged tag) means as stored.
enum Orientation : int {
    kAsStored = 1,
    kMirrored = 2,         // left to right
    kHalfTurn = 3,         // turned 180 degrees
    kFlipped = 4,          // top to bottom
    kTransposed = 5,       // mirrored along the diagonal from the top left
    kQuarterClockwise = 6, // to be turned 90 degrees clockwise
    kTransversed = 7,      // mirrored along the diagonal from the top right
    kQuarterAnticlockwise = 8,
};

// The tag's value as an orientation: 1 to 8, anything else as stored.
[[nodiscard]] int OrientationOf(std::uint32_t tagValue) noexcept;

// Whether the upright picture's width is the stored height (a quarter turn or a diagonal mirror).
[[nodiscard]] bool SwapsSides(int orientation) noexcept;

// Whether the upright rows, asked for top down, come from the stored rows bottom up (turned half
// round, or flipped top to bottom).
[[nodiscard]] bool TurnsUpsideDown(int orientation) noexcept;

// The rows of the upright picture, made from the stored rows of a `width` x `height` picture of
// `bytesPerPixel`-byte pixels. The stored rows come from `stored(row)` (null when they cannot be
// had); a stored row's pointer is read only until the next call. Turns and mirrors that keep rows
// together work a row at a time; the others (sides swapped) read every stored row once into one
// picture of the upright size.
class UprightRows {
  public:
    using StoredRow = std::function<const std::uint8_t*(int row)>;

    UprightRows(int orientation, int width, int height, int bytesPerPixel, StoredRow stored);

    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    // Row y of the upright picture, counted from the top; valid until the next call. Null when a
    // stored row could not be had or memory ran out.
    const std::uint8_t* Row(int y);

  private:
    bool ReadWhole();

    int orientation_;
    int storedWidth_, storedHeight_;
    int width_, height_;
    std::size_t pixel_;
    StoredRow stored_;
    std::vector<std::uint8_t> row_;
    std::vector<std::uint8_t> whole_; // the upright picture, when sides swap
    bool failed_ = false;
};

} // namespace brd
