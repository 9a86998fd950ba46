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

std::string RealFolderPath(const std::string& name) {
    if (name.empty() || name.find_first_of("*?") != std::string::npos) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), n);
    // Opened only to ask what it is: a folder needs backup semantics to be opened at all.
    const HANDLE opened = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return {};
    const unique_kernel_handle folder(opened);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(folder.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(folder.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    std::wstring real(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetFinalPathNameByHandleW(folder.get(), real.data(), static_cast<DWORD>(real.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (got == 0) return {};
        if (got < real.size()) {
            real.resize(got);
            break;
        }
        real.resize(got + 1);
    }
    // "\\?\C:\pics" and "\\?\UNC\server\share" are given back in their everyday forms.
    if (real.starts_with(L"\\\\?\\UNC\\")) {
        real.replace(0, 8, L"\\\\");
    } else if (real.starts_with(L"\\\\?\\")) {
        real.erase(0, 4);
    }
    if (real.empty() || real.back() != L'\\') real += L'\\';
    BOOL lossy = FALSE;
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, real.data(), static_cast<int>(real.size()), nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, real.data(), static_cast<int>(real.size()), out.data(), bytes, nullptr, &lossy);
    // A real name this code page cannot spell: the name as given still reaches the folder.
    if (lossy) {
        out = name;
        if (out.back() != '\\') out += '\\';
    }
    return out;
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
