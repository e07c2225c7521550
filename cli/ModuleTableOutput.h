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
};

KindTable snapshotRows(ModuleKind kind, const ModuleRowTable& rows);

// The title line and the row lines, each ending with a line break. A tab or a line
// break inside a cell (a server may send any name) is shown as a blank, so every
// row stays one line of six fields.
CWString tableText(const KindTable& table);

// [{"kind":"w","rows":[{"ordinal":1,"mode":"下载","name":…,"path":…,"updateTime":…,
// "size":1024}, …]}, …] on one line, with a line break; texts as they are, in UTF-8.
CWString jsonText(const std::vector<KindTable>& tables);

} // namespace rg_quelt_app::cli
