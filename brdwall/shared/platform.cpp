#include "brdwall/shared/platform.h"

namespace brd {

std::string AppPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    // "C:\prog.exe" lies in "C:\", the one folder that keeps its backslash.
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

bool DirSearch::Accept(unsigned long attributes) const noexcept {
    if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return false;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(mask_ & SearchDirectory)) return false;
    return true;
}

std::string DirSearch::Current() { return data_.cFileName; }

std::string DirSearch::First(const std::string& pattern, unsigned mask) {
    mask_ = mask;
    // A folder given with its trailing separator is searched for its entries.
    const bool folder = !pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/');
    find_.reset(FindFirstFileA(folder ? (pattern + "*").c_str() : pattern.c_str(), &data_));
    if (!find_) return {};
    if (Accept(data_.dwFileAttributes)) return Current();
    return Next();
}

std::string DirSearch::Next() {
    while (find_) {
        if (!FindNextFileA(find_.get(), &data_)) {
            find_.reset();
            break;
        }
        if (Accept(data_.dwFileAttributes)) return Current();
    }
    return {};
}

bool FileExists(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    DirSearch search;
    return !search.First(path, SearchNormal).empty();
}

int MsgBox(const std::string& text, unsigned flags, const std::string& title) {
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), flags);
}

void Beep() { MessageBeep(MB_OK); }

LocalTime SystemClock::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return LocalTime{st.wHour, st.wMinute, st.wSecond};
}

} // namespace brd
