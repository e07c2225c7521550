#pragma once
// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes. Paths come in the platform's own form.
#include "runtime/core/WString.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

class TempFolder {
public:
    TempFolder() {
        static std::atomic<unsigned> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = std::filesystem::temp_directory_path() /
                    ("mireth-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
            std::error_code error;
            if (std::filesystem::create_directory(path_, error))
                return;
        }
        path_.clear();
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    // The folder without a trailing separator.
    CWString text() const { return CWString(path_.u16string()); }
    // A path inside the folder, joined with the platform's separator.
    CWString operator/(std::u16string_view name) const {
        return CWString((path_ / std::filesystem::path(std::u16string(name))).u16string());
    }

    static std::string readBytes(const CWString& file) {
        std::ifstream in(std::filesystem::path(std::u16string(file.view())), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static bool writeBytes(const CWString& file, std::string_view bytes) {
        std::ofstream out(std::filesystem::path(std::u16string(file.view())), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }

private:
    std::filesystem::path path_;
};
