#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "shared/core/failure.h"

namespace brd {

// Sequential text files of one-byte characters with lines ended by CR LF. Both classes note their
// failures in the FailureNote given at construction, which must outlive the object. A file that
// failed to open reads as empty and ignores writes; its failure to open has been noted already.

// Writes a new text file, replacing any file of that name. Closed at the latest on destruction.
class TextOutput {
  public:
    TextOutput(const std::string& path, FailureNote& note);
    TextOutput(TextOutput&& other) noexcept;
    TextOutput& operator=(TextOutput&& other) noexcept;
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    ~TextOutput();

    bool IsOpen() const { return file_ != nullptr; }

    // Writes the text followed by CR LF. False when the file is not open or the write failed.
    bool WriteLine(std::string_view text);

    // Flushes and closes the file. False when it was not open or the close failed.
    bool Close();

  private:
    std::FILE* file_ = nullptr;
    FailureNote* note_;
};

// Reads an existing text file line by line. Closed at the latest on destruction.
class TextInput {
  public:
    TextInput(const std::string& path, FailureNote& note);
    TextInput(TextInput&& other) noexcept;
    TextInput& operator=(TextInput&& other) noexcept;
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;
    ~TextInput();

    bool IsOpen() const { return file_ != nullptr; }

    // True when no characters are left to read (also when the file is not open).
    bool AtEnd() const { return next_ == EOF; }

    // Reads the characters up to the next LF, or to the end of the file, into `line`; the LF and a
    // CR just before it are dropped. False, with `line` empty, when nothing is left to read.
    bool ReadLine(std::string& line);

    void Close();

  private:
    void Advance();

    std::FILE* file_ = nullptr;
    FailureNote* note_;
    int next_ = EOF; // the character read ahead, EOF at the end
};

} // namespace brd
