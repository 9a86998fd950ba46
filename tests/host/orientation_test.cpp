#include "brdwall/services/core/orientation.h"

#include <gtest/gtest.h>

#include <string>

namespace brd {
namespace {

// The upright picture, rows separated by "/", made from the stored picture "abc/def" (one byte a
// pixel, 3 wide, 2 high).
std::string Upright(int orientation) {
    const std::string stored[] = {"abc", "def"};
    UprightRows rows(orientation, 3, 2, 1, [&](int row) {
        return row >= 0 && row < 2 ? reinterpret_cast<const std::uint8_t*>(stored[row].data()) : nullptr;
    });
    std::string out;
    for (int y = 0; y < rows.Height(); ++y) {
        const std::uint8_t* row = rows.Row(y);
        if (!row) return "?";
        if (y) out += '/';
        out.append(reinterpret_cast<const char*>(row), static_cast<std::size_t>(rows.Width()));
    }
    return out;
}

TEST(Orientation, EachTagTurnsOrMirrorsTheStoredPicture) {
    const struct {
        int tag;
        const char* upright;
    } cases[] = {
        {1, "abc/def"},  {2, "cba/fed"},  {3, "fed/cba"},  {4, "def/abc"},     // sides kept
        {5, "ad/be/cf"}, {6, "da/eb/fc"}, {7, "fc/eb/da"}, {8, "cf/be/ad"},    // sides swapped
        {0, "abc/def"},  {9, "abc/def"},  {-3, "abc/def"}, {65535, "abc/def"}, // as stored
    };
    for (const auto& c : cases)
        EXPECT_EQ(Upright(c.tag), c.upright) << "orientation " << c.tag;
}

TEST(Orientation, AMissingStoredRowGivesNoRow) {
    for (int tag : {1, 2, 3, 6}) {
        UprightRows rows(tag, 3, 2, 4, [](int) -> const std::uint8_t* { return nullptr; });
        EXPECT_EQ(rows.Row(0), nullptr) << tag;
        EXPECT_EQ(rows.Row(5), nullptr) << tag;
    }
}

} // namespace
} // namespace brd
