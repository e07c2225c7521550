#include "cli/ModuleTableOutput.h"

#include <json/json.h>

#include <memory>
#include <sstream>
#include <string>

namespace rg_quelt_app::cli {
namespace {

constexpr std::size_t kRowsPerPiece = 4096;

// One row's object in compact JSON, in UTF-8.
class RowJson {
public:
    RowJson() {
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "";
        builder["emitUTF8"] = true;
        writer_.reset(builder.newStreamWriter());
    }

    std::string text(const ModuleRowTable& rows, std::size_t row, const RowReasons& reasons) {
        Json::Value entry(Json::objectValue);
        entry["ordinal"] = static_cast<Json::Int64>(rows.getCellText(row, kColumnOrdinal).toInteger());
        entry["mode"] = rows.getCellText(row, kColumnMode).toUtf8String();
        entry["name"] = rows.getCellText(row, kColumnName).toUtf8String();
        entry["path"] = rows.getCellText(row, kColumnPath).toUtf8String();
        entry["updateTime"] = rows.getCellText(row, kColumnTime).toUtf8String();
        entry["size"] = static_cast<Json::Int64>(rows.getCellText(row, kColumnSize).toInteger());
        const auto reason = reasons.find(row);
        if (reason != reasons.end() && !reason->second.text.isEmpty()) {
            entry["reason"] = reason->second.text.toUtf8String();
            entry["reason_code"] = std::string(reason->second.code);
        }
        stream_.str(std::string());
        writer_->write(entry, &stream_);
        return stream_.str();
    }

private:
    std::unique_ptr<Json::StreamWriter> writer_;
    std::ostringstream stream_;
};

} // namespace

std::string compactJson(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
}

CWString printableText(std::u16string_view text) {
    CWString shown;
    for (char16_t unit : text) {
        const bool control = unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
        shown += control ? u' ' : unit;
    }
    return shown;
}

void writeTable(const ModuleRowTable& rows, const TextSink& out) {
    CWString piece;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0)
            piece += u'\t';
        piece += columnTitle(column);
    }
    piece += u'\n';
    const std::size_t count = rows.rowCount();
    for (std::size_t row = 0; row < count; ++row) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (column > 0)
                piece += u'\t';
            piece += printableText(rows.getCellText(row, column).view()).view();
        }
        piece += u'\n';
        if ((row + 1) % kRowsPerPiece == 0) {
            out(piece.view());
            piece = CWString();
        }
    }
    out(piece.view());
}

void JsonTablesWriter::add(ModuleKind kind, const ModuleRowTable& rows, const RowReasons& reasons,
                           const Reason& listReason) {
    std::string piece = first_ ? "[" : ",";
    first_ = false;
    piece += "{\"kind\":\"" + CWString(kindLetter(kind)).toUtf8String() + "\",";
    if (listReason.failed()) {
        Json::Value reason(Json::objectValue);
        reason["reason"] = reasonText(listReason).toUtf8String();
        reason["reason_code"] = std::string(reasonCode(listReason.kind));
        // The members without the braces, ahead of "rows".
        const std::string members = compactJson(reason);
        piece += members.substr(1, members.size() - 2) + ",";
    }
    piece += "\"rows\":[";
    RowJson json;
    const std::size_t count = rows.rowCount();
    for (std::size_t row = 0; row < count; ++row) {
        if (row > 0)
            piece += ',';
        piece += json.text(rows, row, reasons);
        if ((row + 1) % kRowsPerPiece == 0) {
            out_(CWString::fromUtf8(piece).view());
            piece.clear();
        }
    }
    piece += "]}";
    out_(CWString::fromUtf8(piece).view());
}

void JsonTablesWriter::finish() { out_(first_ ? u"[]\n" : u"]\n"); }

} // namespace rg_quelt_app::cli
