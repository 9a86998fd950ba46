#include "shared/core/failure.h"
#include "shared/core/file_path.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace brd {

std::string NumberText(long long n) {
    return (n < 0 ? "" : " ") + std::to_string(n);
}

std::string FailureReportText(std::string_view sentence, const Failure& failure) {
    std::string text(sentence);
    // "Error # " then the number text with its own blank or minus: "Error #  53", "Error # -1".
    text += "Error # ";
    text += NumberText(failure.Number);
    text += '\r';
    text += failure.Description;
    return text;
}

Failure KnownFailure(std::int32_t number, std::string_view detail) {
    const char* description = "File error";
    switch (number) {
    case kInvalidProcedureCall:
        description = "Invalid procedure call or argument";
        break;
    case kOverflow:
        description = "Overflow";
        break;
    case kOutOfMemory:
        description = "Out of memory";
        break;
    case kTypeMismatch:
        description = "Type mismatch";
        break;
    case kObjectNotSet:
        description = "Object variable or With block variable not set";
        break;
    case kInvalidPropertyValue:
        description = "Invalid property value";
        break;
    case kNoAutomation:
        description = "Class does not support Automation or does not support expected interface";
        break;
    case kNoSuchPropertyOrMethod:
        description = "Object doesn't support this property or method";
        break;
    case kInvalidPicture:
        description = "Invalid picture";
        break;
    case kBadFileNameOrNumber:
        description = "Bad file name or number";
        break;
    case kFileNotFound:
        description = "File not found";
        break;
    case kBadFileMode:
        description = "Bad file mode";
        break;
    case kDeviceIoError:
        description = "Device I/O error";
        break;
    case kDiskFull:
        description = "Disk full";
        break;
    case kInputPastEndOfFile:
        description = "Input past end of file";
        break;
    case kBadRecordNumber:
        description = "Bad record number";
        break;
    case kTooManyFiles:
        description = "Too many files";
        break;
    case kPermissionDenied:
        description = "Permission denied";
        break;
    case kPathFileAccessError:
        description = "Path/File access error";
        break;
    case kPathNotFound:
        description = "Path not found";
        break;
    default:
        break;
    }
    Failure failure{number, description};
    if (!detail.empty()) failure.Description += ": " + std::string(detail);
    return failure;
}

Failure FailureFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return FileFailure(kFileNotFound);
    case ENOTDIR:
        return FileFailure(kPathNotFound);
    // A read-only file or medium opened for writing, or a folder opened as a file.
    case EACCES:
    case EROFS:
    case EISDIR:
        return FileFailure(kPathFileAccessError);
    // Held by someone else.
    case EPERM:
    case EBUSY:
    case ETXTBSY:
        return FileFailure(kPermissionDenied);
    case ENOSPC:
    case EFBIG:
        return FileFailure(kDiskFull);
    case EMFILE:
    case ENFILE:
        return FileFailure(kTooManyFiles);
    case EIO:
        return FileFailure(kDeviceIoError);
    case ENAMETOOLONG:
    case EINVAL:
    case EBADF:
        return FileFailure(kBadFileNameOrNumber);
    default:
        return FileFailure(kPathFileAccessError);
    }
}

Failure OpenFailure(const std::string& path, int err) {
    if (err == 0) return FileFailure(kPathFileAccessError);
    if (err == ENOENT) {
        std::error_code ec;
        const auto folder = FilePath(path).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) return FileFailure(kPathNotFound);
    }
    return FailureFromErrno(err);
}

} // namespace brd
