#include "cli/ModuleTableOutput.h"

#include <json/json.h>

#include <memory>
#include <sstream>

namespace rg_quelt_app::cli {

CWString printableText(std::u16string_view text) {
    CWString shown;
    for (char16_t unit : text) {
        const bool control = unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
        shown += control ? u' ' : unit;
    }
    return shown;
}

KindTable snapshotRows(ModuleKind kind, const ModuleRowTable& rows) {
    KindTable table;
    table.kind = kind;
    const std::size_t count = rows.rowCount();
    table.rows.resize(count);
    for (std::size_t row = 0; row < count; ++row) {
        for (int column = 0; column < kColumnCount; ++column)
            table.rows[row][static_cast<std::size_t>(column)] = rows.getCellText(row, column);
    }
    return table;
}

CWString tableText(const KindTable& table) {
    CWString text;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0)
            text += u'\t';
        text += columnTitle(column);
    }
    text += u'\n';
    for (const auto& row : table.rows) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (column > 0)
                text += u'\t';
            text += printableText(row[static_cast<std::size_t>(column)].view()).view();
        }
        text += u'\n';
    }
    return text;
}

CWString jsonText(const std::vector<KindTable>& tables) {
    Json::Value root(Json::arrayValue);
    for (const KindTable& table : tables) {
        Json::Value kind(Json::objectValue);
        kind["kind"] = CWString(kindLetter(table.kind)).toUtf8String();
        Json::Value rows(Json::arrayValue);
        for (std::size_t index = 0; index < table.rows.size(); ++index) {
            const auto& row = table.rows[index];
            Json::Value entry(Json::objectValue);
            entry["ordinal"] = static_cast<Json::Int64>(row[kColumnOrdinal].toInteger());
            entry["mode"] = row[kColumnMode].toUtf8String();
            entry["name"] = row[kColumnName].toUtf8String();
            entry["path"] = row[kColumnPath].toUtf8String();
            entry["updateTime"] = row[kColumnTime].toUtf8String();
            entry["size"] = static_cast<Json::Int64>(row[kColumnSize].toInteger());
            if (index < table.reasons.size() && !table.reasons[index].isEmpty())
                entry["reason"] = table.reasons[index].toUtf8String();
            rows.append(entry);
        }
        kind["rows"] = rows;
        root.append(kind);
    }
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    const std::string bytes = Json::writeString(builder, root);
    return CWString::fromUtf8(bytes) + u"\n";
}

} // namespace rg_quelt_app::cli
