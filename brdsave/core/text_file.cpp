#include "brdsave/core/text_file.h"
#include "shared/core/file_path.h"

#include <cerrno>
#include <utility>

namespace brd {

namespace {

Failure FailureFromErrnoOr(int fallback) {
    return errno != 0 ? FailureFromErrno(errno) : FileFailure(fallback);
}

} // namespace

TextOutput::TextOutput(const std::string& path, FailureNote& note) : note_(&note) {
    errno = 0;
    // Binary mode, so that line ends are written exactly as given.
    file_ = OpenFile(path, "wb");
    if (file_ == nullptr) note_->Note(OpenFailure(path, errno));
}

TextOutput::TextOutput(TextOutput&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), note_(other.note_) {}

TextOutput& TextOutput::operator=(TextOutput&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        note_ = other.note_;
    }
    return *this;
}

TextOutput::~TextOutput() {
    Close();
}

bool TextOutput::WriteLine(std::string_view text) {
    if (file_ == nullptr) return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        std::fwrite("\r\n", 1, 2, file_) != 2) {
        note_->Note(FailureFromErrnoOr(kDiskFull));
        return false;
    }
    return true;
}

bool TextOutput::Close() {
    if (file_ == nullptr) return false;
    errno = 0;
    const bool closed = std::fclose(std::exchange(file_, nullptr)) == 0;
    if (!closed) note_->Note(FailureFromErrnoOr(kDiskFull));
    return closed;
}

TextInput::TextInput(const std::string& path, FailureNote& note) : note_(&note) {
    errno = 0;
    // Binary mode, so that CR LF and LF alone are both seen as they are.
    file_ = OpenFile(path, "rb");
    if (file_ == nullptr) {
        note_->Note(OpenFailure(path, errno));
        return;
    }
    Advance();
}

TextInput::TextInput(TextInput&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), note_(other.note_), next_(std::exchange(other.next_, EOF)) {
}

TextInput& TextInput::operator=(TextInput&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        note_ = other.note_;
        next_ = std::exchange(other.next_, EOF);
    }
    return *this;
}

TextInput::~TextInput() {
    Close();
}

void TextInput::Close() {
    if (file_ != nullptr) std::fclose(std::exchange(file_, nullptr));
    next_ = EOF;
}

void TextInput::Advance() {
    errno = 0;
    next_ = std::getc(file_);
    if (next_ == EOF && std::ferror(file_)) note_->Note(FailureFromErrnoOr(kDeviceIoError));
}

bool TextInput::ReadLine(std::string& line) {
    line.clear();
    if (AtEnd()) return false;
    while (next_ != EOF && next_ != '\n') {
        line.push_back(static_cast<char>(next_));
        Advance();
    }
    if (next_ == '\n') {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Advance();
    }
    return true;
}

} // namespace brd
