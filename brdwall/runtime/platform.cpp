#include "brdwall/runtime/platform.h"

#include "brdsave/win/text.h"

namespace brd {

std::string AppPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // "C:\prog.exe" lies in "C:\", the one folder that keeps its backslash.
    if (slash == 2 && path[1] == L':') return Utf8(path.substr(0, 3));
    return Utf8(path.substr(0, slash));
}

bool DirSearch::Accept(unsigned long attributes) const noexcept {
    if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return false;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(mask_ & SearchDirectory)) return false;
    return true;
}

std::string DirSearch::Current() {
    return Utf8(data_.cFileName);
}

std::string DirSearch::First(const std::string& pattern, unsigned mask) {
    mask_ = mask;
    // A folder given with its trailing separator is searched for its entries.
    const bool folder = !pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/');
    find_.reset(FindFirstFileW(Wide(folder ? pattern + "*" : pattern).c_str(), &data_));
    if (!find_) return {};
    if (Accept(data_.dwFileAttributes)) return Current();
    return Next();
}

std::string DirSearch::Next() {
    while (find_) {
        if (!FindNextFileW(find_.get(), &data_)) {
            find_.reset();
            break;
        }
        if (Accept(data_.dwFileAttributes)) return Current();
    }
    return {};
}

namespace {

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The path the file system gives an open file or folder, in its everyday form.
std::wstring FinalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (got == 0) return {};
        if (got < path.size()) {
            path.resize(got);
            break;
        }
        path.resize(got + 1);
    }
    // "\\?\C:\pics" and "\\?\UNC\server\share" are given back as "C:\pics" and "\\server\share".
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path.replace(0, 8, L"\\\\");
    } else if (path.starts_with(L"\\\\?\\")) {
        path.erase(0, 4);
    }
    return path;
}

} // namespace

std::string RealFolderPath(const std::string& name) {
    if (name.empty() || name.find_first_of("*?") != std::string::npos) return {};
    // Opened only to ask what it is: a folder needs backup semantics to be opened at all.
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE opened = CreateFileW(Wide(name).c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return {};
    const unique_kernel_handle folder(opened);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(folder.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(folder.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    std::wstring real = FinalPath(folder.get());
    if (real.empty()) return {};
    if (real.back() != L'\\') real += L'\\';
    return Utf8(real);
}

const FileProbe::Listing& FileProbe::ListingOf(const std::string& folder) {
    auto [it, added] = folders_.try_emplace(folder);
    Listing& listing = it->second;
    if (!added) return listing;
    const std::wstring pattern = Wide(folder) + L'*';
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
        listing.Names.insert(Upper(data.cFileName));
        if (data.cAlternateFileName[0]) listing.Names.insert(Upper(data.cAlternateFileName));
    } while (FindNextFileW(find.get(), &data));
    listing.Read = true;
    return listing;
}

bool FileProbe::Exists(const std::string& path) {
    constexpr int kMissesBeforeListing = 32;
    const auto slash = path.find_last_of("\\/");
    const bool pattern = path.find_first_of("*?") != std::string::npos;
    if (misses_ < kMissesBeforeListing || slash == std::string::npos || pattern) {
        const bool found = FileExists(path);
        if (!found) ++misses_;
        return found;
    }
    const Listing& listing = ListingOf(path.substr(0, slash + 1));
    if (!listing.Read) return FileExists(path);
    // The system drops trailing blanks and dots from the last part of a path.
    std::string name = path.substr(slash + 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
    return !name.empty() && listing.Names.contains(Upper(Wide(name)));
}

int MsgBox(const std::string& text, unsigned flags, const std::string& title) {
    // Modal to every window of the program, and nothing else of it runs while it is up.
    ModalScope modal;
    return MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), flags | MB_TASKMODAL);
}

void Beep() {
    MessageBeep(MB_OK);
}

LocalTime SystemClock::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return LocalTime{st.wHour, st.wMinute, st.wSecond};
}

} // namespace brd
