#pragma once
// How mireth-sync prints module lists: a tab-separated table (a line of the six
// column titles, then a line per row) or one JSON array with an object per kind.
// Both are written straight from the rows, a piece of some thousand rows at a
// time, so a list of any length costs little more memory than its rows.
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/ReasonCatalogue.h"

#include <json/json.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace rg_quelt_app::cli {

// Where the output goes, a piece at a time.
using TextSink = std::function<void(std::u16string_view)>;

// Why a row's file failed: the words and the stable code beside them.
struct RowReason {
    CWString text;
    std::string_view code;
};
// By row.
using RowReasons = std::map<std::size_t, RowReason>;

// The title line and the row lines, each ending with a line break. A control
// character inside a cell (a server may send any name: a tab, a line break, an
// escape sequence for the terminal) is shown as a blank, so every row stays one
// line of six fields and nothing from the server steers the terminal.
void writeTable(const ModuleRowTable& rows, const TextSink& out);

// `text` with every control character (C0, DEL, C1) made a blank.
CWString printableText(std::u16string_view text);

// `value` as mireth-sync's JSON output has it: compact, one line, texts in UTF-8.
std::string compactJson(const Json::Value& value);

// [{"kind":"w","rows":[{"ordinal":1,"mode":"下载","name":…,"path":…,"updateTime":…,
// "size":1024}, …]}, …] on one line, with a line break; texts as they are, in UTF-8.
// A failed file's row also carries "reason" and "reason_code", and so does the
// kind whose list could not be had (`listReason`, None when it could). Kinds are
// added as they are done.
class JsonTablesWriter {
public:
    explicit JsonTablesWriter(TextSink out) : out_(std::move(out)) {}
    void add(ModuleKind kind, const ModuleRowTable& rows, const RowReasons& reasons,
             const Reason& listReason = Reason());
    // Closes the array; also when no kind was added.
    void finish();

private:
    TextSink out_;
    bool first_ = true;
};

} // namespace rg_quelt_app::cli
