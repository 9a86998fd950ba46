#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "shared/core/file_path.h"

namespace brd::test {

// A new, uniquely named folder under the system's temporary folder, removed with its contents.
class TempFolder {
  public:
    TempFolder() {
        std::random_device device;
        do {
            path_ = std::filesystem::temp_directory_path() /
                    ("brd_test_" + std::to_string(device()) + "_" + std::to_string(device()));
        } while (!std::filesystem::create_directory(path_));
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }

    const std::filesystem::path& Path() const { return path_; }
    // The path of `name` (UTF-8) in the folder, as the UTF-8 text the file code takes.
    std::string File(const std::string& name) const {
        const std::u8string path = (path_ / FilePath(name)).u8string();
        return std::string(path.begin(), path.end());
    }

  private:
    std::filesystem::path path_;
};

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(FilePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(FilePath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace brd::test
