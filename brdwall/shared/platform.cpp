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
    // What a directory search for the exact path with mask 0 finds, from the file's attributes
    // alone: a search reads the folder, which costs far more in a large one.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (data.dwFileAttributes & excluded) == 0;
}

namespace {

std::wstring UpperWide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
    if (!w.empty()) CharUpperBuffW(w.data(), static_cast<DWORD>(w.size()));
    return w;
}

std::wstring UpperWide(const wchar_t* text) {
    std::wstring w(text);
    if (!w.empty()) CharUpperBuffW(w.data(), static_cast<DWORD>(w.size()));
    return w;
}

} // namespace

const FileProbe::Listing& FileProbe::ListingOf(const std::string& folder) {
    auto [it, added] = folders_.try_emplace(folder);
    Listing& listing = it->second;
    if (!added) return listing;
    const int n = MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), nullptr, 0);
    std::wstring pattern(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), pattern.data(), n);
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    unique_find find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) {
        // A folder that is not there holds no files; one that cannot be read is asked file by file.
        const DWORD error = GetLastError();
        listing.Read = error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND;
        return listing;
    }
    constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (data.dwFileAttributes & excluded) continue;
        listing.Names.insert(UpperWide(data.cFileName));
        if (data.cAlternateFileName[0]) listing.Names.insert(UpperWide(data.cAlternateFileName));
    } while (FindNextFileW(find.get(), &data));
    listing.Read = true;
    return listing;
}

bool FileProbe::Exists(const std::string& path) {
    constexpr int kMissesBeforeListing = 32;
    const auto slash = path.find_last_of("\\/");
    if (misses_ < kMissesBeforeListing || slash == std::string::npos || path.find_first_of("*?") != std::string::npos) {
        const bool found = FileExists(path);
        if (!found) ++misses_;
        return found;
    }
    const Listing& listing = ListingOf(path.substr(0, slash + 1));
    if (!listing.Read) return FileExists(path);
    // The system drops trailing blanks and dots from the last part of a path.
    std::string name = path.substr(slash + 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    return !name.empty() && listing.Names.contains(UpperWide(name));
}

int MsgBox(const std::string& text, unsigned flags, const std::string& title) {
    // Modal to every window of the program, and nothing else of it runs while it is up.
    ModalScope modal;
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), flags | MB_TASKMODAL);
}

void Beep() { MessageBeep(MB_OK); }

LocalTime SystemClock::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return LocalTime{st.wHour, st.wMinute, st.wSecond};
}

} // namespace brd
