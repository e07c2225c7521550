#pragma once
// A fresh, empty folder under the system's temporary folder for one test, removed
// with everything in it when the object goes, and whole-file helpers. A name
// carries the test's word, the thread, a counter and the time, and a folder that is
// already there is never taken, so tests running side by side (in this process or
// another) never share one. Paths come in the platform's own form.
#include "runtime/core/WString.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace mireth_test {

namespace fs = std::filesystem;

class TempFolder {
public:
    explicit TempFolder(const std::string& name = "test") {
        static std::atomic<unsigned> counter{0};
        const std::size_t thread = std::hash<std::thread::id>()(std::this_thread::get_id());
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ =
                fs::temp_directory_path() / ("mireth-" + name + "-" + std::to_string(thread % 100000) + "-" +
                                             std::to_string(++counter) + "-" + std::to_string(stamp));
            std::error_code error;
            if (fs::create_directory(path_, error))
                return;
        }
        path_.clear();
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // False when no fresh folder could be made; path() is empty then.
    bool ok() const { return !path_.empty(); }
    const fs::path& path() const { return path_; }
    // The folder without a trailing separator.
    CWString text() const { return CWString(path_.u16string()); }
    // A path inside the folder, joined with the platform's separator.
    CWString operator/(std::u16string_view name) const {
        return CWString((path_ / fs::path(std::u16string(name))).u16string());
    }

private:
    fs::path path_;
};

inline fs::path pathOf(const CWString& text) { return fs::path(std::u16string(text.view())); }

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline std::string readFile(const CWString& file) { return readFile(pathOf(file)); }

// Creates or truncates the file; its folders are made only when the file cannot be
// opened as it stands, so a path the folder calls cannot take is never handed to them.
inline bool writeFile(const fs::path& path, std::string_view contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::error_code ignored;
        fs::create_directories(path.parent_path(), ignored);
        out.open(path, std::ios::binary | std::ios::trunc);
    }
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return static_cast<bool>(out);
}
inline bool writeFile(const CWString& file, std::string_view contents) {
    return writeFile(pathOf(file), contents);
}

} // namespace mireth_test
