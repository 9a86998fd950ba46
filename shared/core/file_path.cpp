#include "shared/core/file_path.h"

#include <cerrno>
#include <string>

#include "shared/core/utf8.h"

namespace brd {

std::filesystem::path FilePath(std::string_view utf8Path) {
    if (!IsUtf8(utf8Path)) return {};
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::FILE* OpenFile(std::string_view utf8Path, const char* mode) {
    const std::filesystem::path path = FilePath(utf8Path);
    if (path.empty()) {
        errno = ENOENT;
        return nullptr;
    }
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

} // namespace brd
