#include "brdwall/services/core/bmp_writer.h"
#include "shared/core/file_path.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

namespace brd {

namespace {

// Rows go to the file about a megabyte at a time.
constexpr std::size_t kBandBytes = std::size_t{1} << 20;
constexpr std::int32_t kPixelsPerMetre = 2835;

Failure InvalidArgument() {
    return KnownFailure(kInvalidProcedureCall);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The size of the pixel data, or 0 when the dimensions are refused.
std::uint64_t ImageSize(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    const std::uint64_t size = BmpRowStride(width) * static_cast<std::uint64_t>(height);
    return size + kBmpHeaderSize > kBmpMaxFileSize ? 0 : size;
}

Failure WriteFailure() {
    return errno != 0 ? FailureFromErrno(errno) : FileFailure(kDiskFull);
}

Failure RenameFailure(const std::error_code& ec) {
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category()) return FailureFromErrno(condition.value());
    return FileFailure(kPathFileAccessError);
}

// An open output file; closed (and the file removed unless kept) on leaving.
class TempOutput {
  public:
    explicit TempOutput(std::string path) : path_(std::move(path)) {}
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput() {
        if (file_ != nullptr) std::fclose(file_);
        if (opened_ && !kept_) {
            std::error_code ec;
            std::filesystem::remove(FilePath(path_), ec);
        }
    }

    bool Open() {
        errno = 0;
        file_ = OpenFile(path_, "wb");
        if (file_ == nullptr) return false;
        opened_ = true;
        return true;
    }

    bool Write(const void* data, std::size_t size) {
        errno = 0;
        return std::fwrite(data, 1, size, file_) == size;
    }

    // Every offset of a bitmap file of at most kBmpMaxFileSize bytes fits a long.
    bool Seek(std::uint64_t offset) {
        errno = 0;
        return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
    }

    bool Close() {
        errno = 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

    void Keep() { kept_ = true; }

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool opened_ = false;
    bool kept_ = false;
};

} // namespace

std::uint64_t BmpRowStride(int width) {
    if (width <= 0) return 0;
    return (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
}

std::vector<std::uint8_t> BmpHeader(int width, int height) {
    const std::uint64_t imageSize = ImageSize(width, height);
    if (imageSize == 0) return {};
    std::vector<std::uint8_t> header;
    header.reserve(kBmpHeaderSize);
    // File header.
    header.push_back('B');
    header.push_back('M');
    Put32(header, static_cast<std::uint32_t>(imageSize + kBmpHeaderSize));
    Put32(header, 0); // two reserved 16-bit words
    Put32(header, kBmpHeaderSize);
    // Information header; a positive height means the rows are stored bottom-up.
    Put32(header, 40);
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(height));
    Put16(header, 1);  // planes
    Put16(header, 24); // bits per pixel
    Put32(header, 0);  // uncompressed
    Put32(header, static_cast<std::uint32_t>(imageSize));
    Put32(header, kPixelsPerMetre);
    Put32(header, kPixelsPerMetre);
    Put32(header, 0); // colours used
    Put32(header, 0); // important colours
    return header;
}

bool WriteBmp24(const std::string& path, int width, int height,
                const std::function<const std::uint8_t*(int row)>& rowBgrx, FailureNote& note) {
    return WriteBmp24Rows(path, width, height, RowPixels::Bgrx32, rowBgrx, note);
}

bool WriteBmp24Rows(const std::string& path, int width, int height, RowPixels layout,
                    const std::function<const std::uint8_t*(int row)>& rowSource, FailureNote& note,
                    RowOrder order) {
    const std::vector<std::uint8_t> header = BmpHeader(width, height);
    if (header.empty() || path.empty() || !rowSource) {
        note.Note(InvalidArgument());
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(BmpRowStride(width));
    const std::size_t pixels = static_cast<std::size_t>(width);
    const bool topDown = order == RowOrder::TopDown;
    try {
        // About a megabyte of stored rows, in the file's order, written at once (so the file needs no
        // buffer of its own); the padding bytes stay 0.
        const int bandRows = static_cast<int>(std::clamp<std::size_t>(kBandBytes / stride, 1, height));
        std::vector<std::uint8_t> band(stride * static_cast<std::size_t>(bandRows), 0);
        TempOutput out(path + ".part");
        if (!out.Open()) {
            note.Note(OpenFailure(path, errno));
            return false;
        }
        if (!out.Write(header.data(), header.size())) {
            note.Note(WriteFailure());
            return false;
        }
        for (int asked = 0; asked < height; asked += bandRows) {
            const int n = std::min(bandRows, height - asked);
            // The band's lowest row in the file (row 0 is the picture's bottom row).
            const int firstStored = topDown ? height - asked - n : asked;
            for (int k = 0; k < n; ++k) {
                const int y = topDown ? asked + k : height - 1 - asked - k;
                const std::uint8_t* source = rowSource(y);
                if (source == nullptr) {
                    note.Note(InvalidArgument());
                    return false;
                }
                std::uint8_t* target =
                    band.data() + static_cast<std::size_t>(height - 1 - y - firstStored) * stride;
                if (layout == RowPixels::Bgr24) {
                    std::copy(source, source + pixels * 3, target);
                } else {
                    for (std::size_t x = 0; x < pixels; ++x, source += 4, target += 3) {
                        target[0] = source[0];
                        target[1] = source[1];
                        target[2] = source[2];
                    }
                }
            }
            if ((topDown && !out.Seek(kBmpHeaderSize + static_cast<std::uint64_t>(firstStored) * stride)) ||
                !out.Write(band.data(), stride * static_cast<std::size_t>(n))) {
                note.Note(WriteFailure());
                return false;
            }
        }
        if (!out.Close()) {
            note.Note(WriteFailure());
            return false;
        }
        std::error_code ec;
        std::filesystem::rename(FilePath(path + ".part"), FilePath(path), ec);
        if (ec) {
            note.Note(RenameFailure(ec));
            return false;
        }
        out.Keep();
        return true;
    } catch (const std::bad_alloc&) {
        note.Note(KnownFailure(kOutOfMemory));
        return false;
    }
}

} // namespace brd
