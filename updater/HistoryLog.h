#pragma once
// HistoryLog: the lines a job or a rollback adds to "更新记录.log" beside setup.ini,
// gathered first and appended in one write, so that the lines of one job stay
// together. UTF-8 (a new file starts with a byte-order mark, so that an editor on
// Windows reads it as such), one line per file and one summary line, tab-separated:
// time, kind, outcome, path, old size, old time, new size, new time, reason; a size
// or time that does not apply stays empty. Before it grows past kRotateBytes the file
// becomes "更新记录.1.log" (replacing an older one) and a new file is begun.
//
// One owner, one thread; write() never throws.
#include "runtime/core/WString.h"
#include "updater/ModuleKind.h"

#include <cstdint>
#include <string>

namespace rg_quelt_app {

class HistoryLog {
public:
    static constexpr std::int64_t kRotateBytes = 1 << 20;

    // An empty `path` writes nothing.
    HistoryLog(const CWString& path, ModuleKind kind);

    // A size below 0 and a time of 0 are left empty.
    void add(std::u16string_view outcome, const CWString& path, std::int64_t oldSize, std::int64_t oldTime,
             std::int64_t newSize, std::int64_t newTime, const CWString& reason = CWString());
    bool isEmpty() const { return text_.empty(); }
    // Appends what was added; false when the file could not be written.
    bool write();

    // The name of the older file a rotation keeps.
    static CWString rotatedPath(const CWString& path);
    // "yyyy-MM-dd HH:mm:ss" in local time; empty for 0 or a time that cannot be converted.
    static std::string timeText(std::int64_t fileTime);

private:
    CWString path_;
    ModuleKind kind_;
    std::string text_;
};

} // namespace rg_quelt_app
