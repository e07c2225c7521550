// Tables and JSON written straight from the rows, piece by piece: what arrives
// in pieces is the same as one whole text would be.
#include "cli/ModuleTableOutput.h"
#include "runtime/core/RefPtr.h"
#include "updater/MemoryRowTable.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <sstream>

namespace {

using namespace rg_quelt_app;
using namespace rg_quelt_app::cli;

RefPtr<MemoryRowTable> rowsOf(std::size_t count) {
    auto rows = RefPtr<MemoryRowTable>::adopt(MemoryRowTable::create());
    for (std::size_t i = 0; i < count; ++i) {
        const CWString n = CWString::fromInteger(static_cast<std::int64_t>(i + 1));
        CWString cells[kColumnCount] = {
            n,          CWString(u"下载"),       CWString(u"m") + n.view() + u".ext",
            CWString(), CWString(u"2024-01-31"), n};
        rows->appendFilledRow(cells);
    }
    return rows;
}

TEST(ModuleTableOutputTest, ALongTableComesInPiecesOfWholeLines) {
    for (const std::size_t count : {0u, 1u, 4096u, 10000u}) {
        SCOPED_TRACE(count);
        const auto rows = rowsOf(count);
        std::u16string text;
        std::size_t pieces = 0;
        writeTable(*rows, [&](std::u16string_view piece) {
            ++pieces;
            EXPECT_TRUE(piece.empty() || piece.back() == u'\n');
            text += piece;
        });
        EXPECT_EQ(pieces, count / 4096 + 1);
        EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')), count + 1);
        if (count > 0) {
            const std::u16string last =
                u"\t下载\tm" + std::u16string(CWString::fromInteger(count).view()) + u".ext\t";
            EXPECT_NE(text.find(last), std::u16string::npos);
        }
    }
}

TEST(ModuleTableOutputTest, JsonOfSeveralKindsParsesBackWithItsReasons) {
    const auto windows = rowsOf(5000);
    const auto server = rowsOf(0);
    std::u16string text;
    JsonTablesWriter json([&](std::u16string_view piece) { text += piece; });
    json.add(ModuleKind::Windows, *windows, {{4321, {CWString(u"服务器返回 HTTP 404"), "http_status"}}});
    json.add(ModuleKind::Server, *server, {}, httpStatusReason(401, u"密码错误"));
    json.finish();
    Json::Value root;
    std::istringstream in(CWString(text).toUtf8String());
    in >> root;
    ASSERT_TRUE(root.isArray());
    ASSERT_EQ(root.size(), 2u);
    EXPECT_EQ(root[0]["kind"].asString(), "w");
    ASSERT_EQ(root[0]["rows"].size(), 5000u);
    EXPECT_EQ(root[0]["rows"][4321]["reason"].asString(), "服务器返回 HTTP 404");
    EXPECT_EQ(root[0]["rows"][4321]["reason_code"].asString(), "http_status");
    EXPECT_FALSE(root[0].isMember("reason")) << "the list was had";
    EXPECT_EQ(root[0]["rows"][4321]["name"].asString(), "m4322.ext");
    EXPECT_FALSE(root[0]["rows"][4320].isMember("reason"));
    EXPECT_EQ(root[1]["rows"].size(), 0u);
    EXPECT_EQ(root[1]["reason"].asString(), "服务器返回 HTTP 401：密码错误");
    EXPECT_EQ(root[1]["reason_code"].asString(), "http_status");

    std::u16string none;
    JsonTablesWriter empty([&](std::u16string_view piece) { none += piece; });
    empty.finish();
    EXPECT_EQ(none, u"[]\n");
}

} // namespace
