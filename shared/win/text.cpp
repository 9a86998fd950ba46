#include "shared/win/text.h"

#include <windows.h>

#include "shared/core/utf8.h"

namespace brd {

namespace {

// The ANSI code page of the system's language setting, which earlier versions wrote their files
// in: not the calling process's own, which an application manifest may have made UTF-8.
UINT LegacyCodePage() {
    static const UINT page = [] {
        DWORD value = 0;
        const int got =
            GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&value), sizeof(value) / sizeof(wchar_t));
        // A system whose legacy page is UTF-8 (or none) leaves Windows-1252 as the likeliest one.
        return got && value != 0 && value != CP_UTF8 ? static_cast<UINT>(value) : 1252u;
    }();
    return page;
}

std::wstring Decode(UINT page, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(page, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(page, 0, text.data(), size, wide.data(), n);
    return wide;
}

} // namespace

std::wstring Wide(std::string_view text) {
    return Decode(IsUtf8(text) ? CP_UTF8 : LegacyCodePage(), text);
}

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::string Utf8FromFile(std::string_view text) {
    if (IsUtf8(text)) return std::string(text);
    return Utf8(Wide(text));
}

} // namespace brd
