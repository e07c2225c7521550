#pragma once
// What the mireth-sync tests share: a temporary folder and small file helpers.
#include "runtime/platform/SystemInfo.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace cli_test {

namespace fs = std::filesystem;

inline std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::string& name) {
        static int counter = 0;
        path_ =
            fs::temp_directory_path() /
            ("mireth-cli-" + name + "-" + std::to_string(platform::currentThreadId()) + "-" +
             std::to_string(++counter) + "-" + std::to_string(static_cast<long long>(std::time(nullptr))));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::string utf8() const { return utf8Of(path_); }
    std::string utf8(const fs::path& child) const { return utf8Of(path_ / child); }

private:
    fs::path path_;
};

inline void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace cli_test
