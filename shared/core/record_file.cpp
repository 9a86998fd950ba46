#include "shared/core/record_file.h"
#include "shared/core/file_path.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <optional>

namespace brd {

namespace {

// Closes the file when the scope ends, unless it was closed explicitly.
class FileCloser {
  public:
    explicit FileCloser(std::FILE* file) : file_(file) {}
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    ~FileCloser() {
        if (file_ != nullptr) std::fclose(file_);
    }

    // Closes now; false when the close (and the flush it implies) failed.
    bool Close() {
        std::FILE* file = file_;
        file_ = nullptr;
        return std::fclose(file) == 0;
    }

  private:
    std::FILE* file_;
};

// The failure matching the current errno, or `fallback` when the runtime left errno unset.
Failure FailureFromErrnoOr(int fallback) {
    return errno != 0 ? FailureFromErrno(errno) : FileFailure(fallback);
}

// Byte offset of a record, when it is valid and reachable with fseek.
std::optional<long> RecordOffset(int recordNumber) {
    if (recordNumber < 1) return std::nullopt;
    constexpr auto kLength = static_cast<long long>(kSettingsRecordLength);
    const long long offset = static_cast<long long>(recordNumber - 1) * kLength;
    if (offset > LONG_MAX - kLength) return std::nullopt;
    return static_cast<long>(offset);
}

// Opens an existing file for update, creating it first when missing. Never truncates.
std::FILE* OpenForUpdate(const std::string& path) {
    // A read-only file is not written, whoever runs the program.
    std::error_code ec;
    const auto status = std::filesystem::status(FilePath(path), ec);
    if (!ec && std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        errno = EACCES;
        return nullptr;
    }
    errno = 0;
    if (std::FILE* file = OpenFile(path, "r+b")) return file;
    if (errno != ENOENT) return nullptr;
    // Append mode creates a missing file without truncating one that appeared meanwhile.
    std::FILE* created = OpenFile(path, "ab");
    if (created == nullptr) return nullptr;
    if (std::fclose(created) != 0) return nullptr;
    errno = 0;
    return OpenFile(path, "r+b");
}

// Writes `count` zero bytes at the current position.
bool WriteZeros(std::FILE* file, long count) {
    static constexpr char kZeros[4096] = {};
    while (count > 0) {
        const auto chunk = static_cast<std::size_t>(std::min(count, static_cast<long>(sizeof kZeros)));
        if (std::fwrite(kZeros, 1, chunk, file) != chunk) return false;
        count -= static_cast<long>(chunk);
    }
    return true;
}

} // namespace

SettingsRecord ReadSettingsRecord(const std::string& path, int recordNumber, FailureNote& note) {
    const auto offset = RecordOffset(recordNumber);
    if (!offset) {
        note.Note(FileFailure(kBadRecordNumber));
        return {};
    }
    errno = 0;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        note.Note(OpenFailure(path, errno));
        return {};
    }
    FileCloser closer(file);

    errno = 0;
    // Seeking past the end is allowed when reading; the read then finds nothing.
    if (std::fseek(file, *offset, SEEK_SET) != 0) {
        note.Note(FailureFromErrnoOr(kDeviceIoError));
        return {};
    }
    std::uint8_t bytes[kSettingsRecordLength] = {};
    errno = 0;
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
    if (got < sizeof bytes && std::ferror(file)) {
        note.Note(FailureFromErrnoOr(kDeviceIoError));
        return {};
    }
    return SettingsRecord::Decode(bytes, got);
}

void WriteSettingsRecord(const std::string& path, int recordNumber, const SettingsRecord& record,
                         FailureNote& note) {
    const auto offset = RecordOffset(recordNumber);
    if (!offset) {
        note.Note(FileFailure(kBadRecordNumber));
        return;
    }
    std::FILE* file = OpenForUpdate(path);
    if (file == nullptr) {
        note.Note(OpenFailure(path, errno));
        return;
    }
    FileCloser closer(file);

    errno = 0;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        note.Note(FailureFromErrnoOr(kDeviceIoError));
        return;
    }
    errno = 0;
    const long end = std::ftell(file);
    if (end < 0) {
        note.Note(FailureFromErrnoOr(kDeviceIoError));
        return;
    }
    // The gap before a record past the end is written out as zeros, positioned at the end already.
    errno = 0;
    if (end < *offset && !WriteZeros(file, *offset - end)) {
        note.Note(FailureFromErrnoOr(kDiskFull));
        return;
    }
    errno = 0;
    if (std::fseek(file, *offset, SEEK_SET) != 0) {
        note.Note(FailureFromErrnoOr(kDeviceIoError));
        return;
    }
    const auto bytes = record.Encode();
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fflush(file) != 0) {
        note.Note(FailureFromErrnoOr(kDiskFull));
        return;
    }
    errno = 0;
    if (!closer.Close()) note.Note(FailureFromErrnoOr(kDiskFull));
}

} // namespace brd
