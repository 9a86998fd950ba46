#include "shared/win/system.h"

#include <algorithm>

#include "shared/win/handles.h"

namespace brd {

std::wstring GrownText(const std::function<DWORD(wchar_t* buffer, DWORD size)>& get) {
    constexpr std::size_t kLongest = 1 << 16; // past any path the system allows
    std::wstring text(MAX_PATH, L'\0');
    while (text.size() <= kLongest) {
        const DWORD n = get(text.data(), static_cast<DWORD>(text.size()));
        if (n == 0) break;
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.resize(std::max<std::size_t>(n + 1, text.size() * 2));
    }
    return {};
}

std::wstring ModuleFilePath(HMODULE module) {
    return GrownText(
        [module](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(module, buffer, size); });
}

bool WriteRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                         const std::wstring& value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &raw, nullptr) != ERROR_SUCCESS)
        return false;
    const unique_hkey key(raw);
    return RegSetValueExW(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace brd
