// Fuzz target: the input is a list file. Checks what the field reader promises about its entries and
// that the list writer's text reads back as the entries it was written from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "brdsave/core/class1_ops.h"
#include "brdwall/manager/core/list_writer.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Commas and line ends; CR LF is one line end.
std::size_t CountDelimiters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ',' || c == '\n') {
            ++count;
        } else if (c == '\r') {
            ++count;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return count;
}

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = brd::ReadListFields(bytes);

    // The text as the reader sees it: zero bytes dropped.
    std::string text;
    std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(text), [](char c) { return c != '\0'; });

    std::size_t total = 0;
    for (const std::string& entry : entries) {
        FUZZ_CHECK(!Contains(entry, '\0'));
        // A field that begins with a quote is quoted, and its entry stops before the closing one.
        FUZZ_CHECK(entry.empty() || entry.front() != '"');
        total += entry.size();
    }
    FUZZ_CHECK(total <= text.size());
    // Every entry but the last ends at a delimiter of its own.
    FUZZ_CHECK(entries.size() <= CountDelimiters(text) + 1);

    // Blanks at the very end make no entry: adding some leaves the number of entries alone, and
    // blanks alone give none.
    FUZZ_CHECK(brd::ReadListFields(std::string(bytes) + "   ").size() == entries.size());
    if (text.find_first_not_of(' ') == std::string::npos) FUZZ_CHECK(entries.empty());

    // Without quotes every field is unquoted: trimmed, and cut at every comma and line end.
    if (!Contains(text, '"')) {
        for (const std::string& entry : entries) {
            FUZZ_CHECK(entry.find_first_of(",\r\n") == std::string::npos);
            FUZZ_CHECK(entry.empty() || (entry.front() != ' ' && entry.back() != ' '));
        }
    }

    // The writer quotes every entry, so any entry without a quote (commas, blanks and line ends
    // included) reads back as written.
    std::vector<std::string> writable;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(writable),
                 [](const std::string& entry) { return !Contains(entry, '"'); });
    FUZZ_CHECK(brd::ReadListFields(brd::ListFileText(writable)) == writable);
    return 0;
}
