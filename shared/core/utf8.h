// UTF-8: the form every text takes inside both deliverables and in their files.
#pragma once

#include <cstddef>
#include <string_view>

namespace brd {

// True when `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms,
// no surrogates, nothing past U+10FFFF. Plain ASCII is UTF-8.
[[nodiscard]] bool IsUtf8(std::string_view text) noexcept;

// The length of the longest start of `text` that has at most `maxBytes` bytes and does not end
// inside a character. Text that is not UTF-8 (a legacy code page's bytes) is cut at `maxBytes`.
[[nodiscard]] std::size_t Utf8Prefix(std::string_view text, std::size_t maxBytes) noexcept;

} // namespace brd
