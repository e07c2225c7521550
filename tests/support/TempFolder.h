#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// afterwards, and small whole-file helpers. Names carry the thread, a counter and
// the time, so tests running side by side never share a folder.
#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace mireth_test {

namespace fs = std::filesystem;

class TempFolder {
public:
    explicit TempFolder(const std::string& name) {
        static std::atomic<int> counter{0};
        const std::size_t thread = std::hash<std::thread::id>()(std::this_thread::get_id());
        path_ = fs::temp_directory_path() /
                ("mireth-" + name + "-" + std::to_string(thread % 100000) + "-" + std::to_string(++counter) +
                 "-" + std::to_string(static_cast<long long>(std::time(nullptr))));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }

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

} // namespace mireth_test
