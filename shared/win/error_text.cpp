#include "shared/win/error_text.h"

#include <windows.h>

#include "shared/win/text.h"

namespace brd {

std::string SystemErrorText(std::uint32_t code, const char* fallback) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string description = text ? Utf8(text) : fallback;
    if (text) LocalFree(text);
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
        description.pop_back();
    return description.empty() ? fallback : description;
}

} // namespace brd
