#include "brdwall/manager/core/list_writer.h"
#include "shared/core/file_path.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace brd {

std::string ListFileText(const std::vector<std::string>& entries) {
    std::string text;
    for (const auto& entry : entries) {
        text += '"';
        text += entry;
        text += "\"\r\n";
    }
    return text;
}

bool WriteListFile(const std::string& path, const std::vector<std::string>& entries, FailureNote& note) {
    // A read-only list file is not replaced, whoever runs the program.
    std::error_code statusError;
    const auto status = std::filesystem::status(FilePath(path), statusError);
    if (!statusError && std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        note.Note(FailureFromErrno(EACCES));
        return false;
    }
    const std::string temporary = path + ".new";
    const std::string text = ListFileText(entries);
    errno = 0;
    std::FILE* file = OpenFile(temporary, "wb");
    if (!file) {
        note.Note(OpenFailure(temporary, errno));
        return false;
    }
    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int err = ok ? 0 : errno;
    if (std::fflush(file) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        err = errno;
    }
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(FilePath(temporary), FilePath(path), ec);
        if (ec) {
            ok = false;
            err = ec.value();
        }
    }
    if (!ok) {
        std::filesystem::remove(FilePath(temporary), ec);
        note.Note(FailureFromErrno(err ? err : EIO));
    }
    return ok;
}

} // namespace brd
