#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace brd {

// A failure that is noted and reported rather than thrown: a number and an English description.
struct Failure {
    std::int32_t Number = 0;
    std::string Description;

    friend bool operator==(const Failure&, const Failure&) = default;
};

// Remembers the most recent failure of a sequence of operations; earlier ones are overwritten.
class FailureNote {
  public:
    void Note(Failure failure) {
        last_ = std::move(failure);
        noted_ = true;
    }
    bool Noted() const { return noted_; }
    // The last noted failure; number 0 and no description when nothing has been noted.
    const Failure& Last() const { return last_; }
    void Clear() {
        last_ = Failure{};
        noted_ = false;
    }

  private:
    Failure last_;
    bool noted_ = false;
};

// A failure that cannot be noted and gone past, thrown to the caller of the operation: a control that
// does not answer to a name or refuses a value, a schedule result that does not fit 16 bits.
class FailureException : public std::runtime_error {
  public:
    explicit FailureException(Failure f) : std::runtime_error(f.Description), failure_(std::move(f)) {}
    const Failure& failure() const noexcept { return failure_; }

  private:
    Failure failure_;
};

// The failure numbers the system reports; KnownFailure gives each its fixed description.
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kInvalidPropertyValue = 380;
inline constexpr std::int32_t kNoAutomation = 430; // not our library, or not its version
inline constexpr std::int32_t kNoSuchPropertyOrMethod = 438;
inline constexpr std::int32_t kInvalidPicture = 481;
// Failure numbers of file operations.
inline constexpr std::int32_t kBadFileNameOrNumber = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kBadFileMode = 54;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kInputPastEndOfFile = 62;
inline constexpr std::int32_t kBadRecordNumber = 63;
inline constexpr std::int32_t kTooManyFiles = 67;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;

// A number as text: decimal, led by a blank when not negative and by '-' when negative.
std::string NumberText(long long n);

// The text shown when a failure is reported: the sentence (ending in ", "), "Error #", the
// number as NumberText writes it, a carriage return alone, and the description.
// For example "Loading, Error # 53\rFile not found".
std::string FailureReportText(std::string_view sentence, const Failure& failure);

// The failure with the given number and its fixed description, and `detail` after it (": detail")
// when given. A number outside the catalogue is described as a file error.
Failure KnownFailure(std::int32_t number, std::string_view detail = {});

// The file failure with the given number and its fixed description.
inline Failure FileFailure(int number) {
    return KnownFailure(number);
}

// The file failure matching a C runtime errno value.
Failure FailureFromErrno(int err);

// The failure to open `path` with errno `err` (0 when the runtime set none). A missing file is
// "File not found", unless the folder it should be in is missing too: then "Path not found".
Failure OpenFailure(const std::string& path, int err);

} // namespace brd
