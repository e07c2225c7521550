#pragma once
// What the mireth-sync tests share: a temporary folder and small file helpers.
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <string>

namespace cli_test {

namespace fs = std::filesystem;

inline std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

using mireth_test::readFile;
using mireth_test::TempFolder;
using mireth_test::writeFile;

} // namespace cli_test
