#pragma once
// How mireth-sync prints module lists: a tab-separated table (a line of the six
// column titles, then a line per row) or one JSON array with an object per kind.
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"

#include <array>
#include <vector>

namespace rg_quelt_app::cli {

// One kind's rows as they stood when the command was done.
struct KindTable {
    ModuleKind kind = ModuleKind::Windows;
    std::vector<std::array<CWString, kColumnCount>> rows;
    // Why a row's file failed, by row; empty (or shorter) where nothing failed.
    std::vector<CWString> reasons;
};

KindTable snapshotRows(ModuleKind kind, const ModuleRowTable& rows);

// The title line and the row lines, each ending with a line break. A control
// character inside a cell (a server may send any name: a tab, a line break, an
// escape sequence for the terminal) is shown as a blank, so every row stays one
// line of six fields and nothing from the server steers the terminal.
CWString tableText(const KindTable& table);

// `text` with every control character (C0, DEL, C1) made a blank.
CWString printableText(std::u16string_view text);

// [{"kind":"w","rows":[{"ordinal":1,"mode":"下载","name":…,"path":…,"updateTime":…,
// "size":1024}, …]}, …] on one line, with a line break; texts as they are, in UTF-8.
// A failed file's row also carries "reason".
CWString jsonText(const std::vector<KindTable>& tables);

} // namespace rg_quelt_app::cli
