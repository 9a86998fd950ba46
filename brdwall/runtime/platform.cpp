#include "brdwall/runtime/platform.h"

#include <shlobj.h>

#include "shared/win/system.h"
#include "shared/win/text.h"

namespace brd {

std::string AppPath() {
    const std::wstring path = ModuleFilePath(nullptr);
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // "C:\prog.exe" lies in "C:\", the one folder that keeps its backslash.
    if (slash == 2 && path[1] == L':') return Utf8(path.substr(0, 3));
    return Utf8(path.substr(0, slash));
}

std::string WindowsDirectory() {
    std::wstring path =
        GrownText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return Utf8(path);
}

std::string UserPictureFolder() {
    wchar_t base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                base)))
        return {};
    const std::wstring folder = std::wstring(base) + L"\\brdwall";
    CreateDirectoryW(folder.c_str(), nullptr);
    return Utf8(folder);
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

// Whether an open file or folder's first byte can be read: a file held open without sharing, or
// an offline file whose store cannot be reached, cannot.
bool CanRead(const std::string& path) {
    const unique_file file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    char first = 0;
    DWORD got = 0;
    return ReadFile(file.get(), &first, 1, &got, nullptr) != FALSE;
}

} // namespace

std::string UsableFolder(const std::string& name) {
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos || name.find_first_of("*?") != std::string::npos) return {};
    std::string folder = name.substr(first, name.find_last_not_of(' ') - first + 1);
    const bool whole = (folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) ||
                       folder.starts_with("\\\\") || folder.starts_with("//");
    if (!whole) {
        // A relative name would name another folder from each current folder.
        const std::wstring relative = Wide(folder);
        const std::wstring full = GrownText([&relative](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(relative.c_str(), size, buffer, nullptr);
        });
        if (full.empty()) return {};
        folder = Utf8(full);
    }
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    // Opened only to ask what it is, by the very name that will be used: a folder needs backup
    // semantics to be opened at all.
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const unique_file opened(CreateFileW(Wide(folder).c_str(), FILE_READ_ATTRIBUTES, share, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!opened || GetFileType(opened.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(opened.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return folder;
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

bool FileProbe::FolderThere(const std::string& folder) {
    auto [it, added] = there_.try_emplace(folder, false);
    if (added) {
        const DWORD attributes = GetFileAttributesW(Wide(folder).c_str());
        it->second = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    return it->second;
}

FileState FileProbe::State(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return FileState::Gone;
    const std::string folder = path.substr(0, slash + 1);
    // A folder out of reach is not asked again: on a share that is gone each question may wait.
    if (const auto known = there_.find(folder); known != there_.end() && !known->second)
        return FileState::Unreachable;
    if (Exists(path)) return CanRead(path) ? FileState::Present : FileState::Unreachable;
    return FolderThere(folder) ? FileState::Gone : FileState::Unreachable;
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
