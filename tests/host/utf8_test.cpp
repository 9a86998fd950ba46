#include "shared/core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace brd {
namespace {

TEST(Utf8, TellsUtf8FromLegacyBytesAndCutsBetweenCharacters) {
    struct Case {
        std::string text;
        bool utf8;
        std::size_t max, prefix; // Utf8Prefix(text, max)
    };
    const Case cases[] = {
        {"plain.bmp", true, 5, 5},
        {"", true, 0, 0},
        {"\xC3\x89t\xC3\xA9.jpg", true, 1, 0}, // "Été.jpg": not inside "É"
        {"\xC3\x89t\xC3\xA9.jpg", true, 2, 2},
        {"\xE5\x86\x99\xE7\x9C\x9F", true, 4, 3}, // 写真
        {"a\xF0\x9F\x8C\x8A", true, 4, 1},        // an emoji of 4 bytes
        {"a\xF0\x9F\x8C\x8A", true, 5, 5},
        {"\xC9t\xE9.jpg", false, 2, 2},    // "Été.jpg" in Windows-1252: cut where asked
        {"\xC0\x80", false, 1, 1},         // overlong NUL
        {"\xE0\x80\xAF", false, 3, 3},     // overlong "/"
        {"\xED\xA0\x80", false, 3, 3},     // a surrogate
        {"\xF4\x90\x80\x80", false, 4, 4}, // past U+10FFFF
        {"\xE5\x86", false, 2, 2},         // cut short
        {"\x80z", false, 2, 2},            // a stray continuation byte
        {"\xE2\x82\xAC", true, 3, 3},      // "€"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.text;
        EXPECT_EQ(Utf8Prefix(c.text, c.max), c.prefix) << c.text << " at most " << c.max;
    }
}

} // namespace
} // namespace brd
