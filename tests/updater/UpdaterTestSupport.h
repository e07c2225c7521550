#pragma once
// Shared pieces of the updater tests: a temporary module folder, file helpers and
// a row table handle.
#include "runtime/core/RefPtr.h"
#include "runtime/core/WString.h"
#include "tests/support/TempFolder.h"
#include "updater/MemoryRowTable.h"

#include <ctime>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <sys/utime.h>
#else
#include <utime.h>
#endif

namespace updater_test {

namespace fs = std::filesystem;

using mireth_test::readFile;
using mireth_test::TempFolder;
using mireth_test::writeFile;

// A folder's path as the runtime's text.
inline CWString textOf(const fs::path& path) { return CWString(path.u16string()); }

// Sets a file's modification time to a local date and time.
inline bool setLocalMtime(const fs::path& path, int year, int month, int day, int hour, int minute,
                          int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
#if defined(_WIN32)
    struct _utimbuf times {
        when, when
    };
    return _wutime(path.wstring().c_str(), &times) == 0;
#else
    struct utimbuf times {
        when, when
    };
    return utime(path.c_str(), &times) == 0;
#endif
}

// A MemoryRowTable owned by the test.
class Rows {
public:
    Rows() : table_(RefPtr<rg_quelt_app::MemoryRowTable>::adopt(rg_quelt_app::MemoryRowTable::create())) {}
    rg_quelt_app::MemoryRowTable& operator*() const { return *table_; }
    rg_quelt_app::MemoryRowTable* operator->() const { return table_.get(); }

    std::u16string cell(std::size_t row, int column) const {
        return std::u16string(table_->getCellText(row, column).view());
    }

private:
    const RefPtr<rg_quelt_app::MemoryRowTable> table_;
};

} // namespace updater_test
