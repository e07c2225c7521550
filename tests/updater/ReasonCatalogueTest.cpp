#include "updater/ReasonCatalogue.h"

#include "tests/support/TempFolder.h"
#include "updater/BodyLine.h"
#include "updater/DownloadResult.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace rg_quelt_app {
namespace {

using rg_quelt_windows_WangLao::RedirectRefusal;

Reason with(ReasonKind kind, std::int64_t status, std::int64_t expected = 0, std::int64_t received = 0) {
    Reason reason = reasonOf(kind);
    reason.status = status;
    reason.expected = expected;
    reason.received = received;
    return reason;
}

TEST(ReasonCatalogueTest, EachKindHasItsWordsAndCode) {
    Reason waited = httpStatusReason(503);
    waited.waitSeconds = 30;
    Reason brokenOff = reasonOf(ReasonKind::ListBrokenOff);
    brokenOff.libcurlText = CWString(u"transfer closed");
    Reason code = with(ReasonKind::ListCode, 401);
    code.detail = CWString(u"密码错误");
    const struct {
        Reason reason;
        std::u16string_view text;
        std::string_view code;
    } cases[] = {
        {Reason(), u"", ""},
        {httpStatusReason(404), u"服务器返回 HTTP 404", "http_status"},
        {httpStatusReason(401, u"密码错误"), u"服务器返回 HTTP 401：密码错误", "http_status"},
        {waited, u"服务器返回 HTTP 503，服务器要求等待 30 秒", "http_status"},
        {with(ReasonKind::LengthMismatch, 0, 19, 600), u"文件长度与列表不符（列表 19 字节，收到 600 字节）",
         "length_mismatch"},
        {with(ReasonKind::AnswerTooLong, 0, 500), u"文件长度超过列表所给的 500 字节", "answer_too_long"},
        {with(ReasonKind::EmptyAnswer, 200), u"服务器返回了空的应答（HTTP 200）", "empty_answer"},
        {with(ReasonKind::EmptyAnswer, 0), u"服务器返回了空的应答", "empty_answer"},
        {fileReason(ReasonKind::CannotWrite, u"/m/a.ext", u"No space left on device"),
         u"无法写入 /m/a.ext：No space left on device", "cannot_write"},
        {fileReason(ReasonKind::CannotReplace, u"/m/a.ext", u""), u"无法替换 /m/a.ext", "cannot_replace"},
        {with(ReasonKind::ListTooLarge, 0, 64 << 20), u"应答超过 64 MiB 的上限", "list_too_large"},
        {with(ReasonKind::ListTooLarge, 0, 1000), u"应答超过 1000 字节 的上限", "list_too_large"},
        {with(ReasonKind::ListTimedOut, 0, 500), u"500 毫秒 内没有收到完整的应答", "list_timed_out"},
        {with(ReasonKind::ListTimedOut, 0, 120000), u"120 秒 内没有收到完整的应答", "list_timed_out"},
        {code, u"应答的 \"code\" 为 401：密码错误", "list_code"},
        {brokenOff, u"应答在列表结束前中断（transfer closed）", "list_broken_off"},
        {redirectReason(RedirectRefusal::OtherHost, 307, u"http://elsewhere/download"),
         u"不跟随 HTTP 307 转向 http://elsewhere/download：主机不同，请求会把 QQ 号和密码带到另一服务器",
         "redirect_refused"},
        {redirectReason(RedirectRefusal::HttpsToHttp, 301, u"http://h/"),
         u"不跟随 HTTP 301 转向 http://h/：不从 https 转到 http", "redirect_refused"},
        {redirectReason(RedirectRefusal::TooMany, 302, u"http://h/"), u"转向超过 10 次",
         "too_many_redirects"},
        {transferReason(CURLE_COULDNT_CONNECT, u"Connection refused"),
         u"无法连接服务器（Connection refused）", "connect_failed"},
        {transferReason(CURLE_RECV_ERROR, u""), u"连接中断", "connection_broken"},
        {transferReason(CURLE_WRITE_ERROR, u"x"), u"传输失败（x）", "transfer_failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code));
        EXPECT_EQ(reasonText(c.reason).view(), c.text);
        EXPECT_EQ(reasonCode(c.reason.kind), c.code);
    }
}

TEST(ReasonCatalogueTest, CodesAreDistinctSnakeCase) {
    std::set<std::string_view> seen;
    for (int k = 1; k <= static_cast<int>(kLastReasonKind); ++k) {
        const std::string_view code = reasonCode(static_cast<ReasonKind>(k));
        SCOPED_TRACE(k);
        EXPECT_FALSE(code.empty());
        EXPECT_TRUE(seen.insert(code).second) << code;
        for (char c : code)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '_') << code;
        // Every kind has words of its own, also without parameters.
        EXPECT_FALSE(reasonText(reasonOf(static_cast<ReasonKind>(k))).isEmpty()) << code;
    }
}

TEST(ReasonCatalogueTest, ACertificateFileThatCannotBeUsedIsToldApartFromARefusedServer) {
    mireth_test::TempFolder folder("reasons");
    const auto file = [&](const char16_t* name, const char* content) {
        mireth_test::writeFile(folder / name, content);
        return folder / name;
    };
    const CWString pem = file(u"ca.pem", "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n");
    const CWString garbage = file(u"garbage.pem", "not a certificate");
    const CWString missing = folder / u"none.pem";
    const struct {
        int curlResult;
        CWString caFile;
        ReasonKind kind;
    } cases[] = {
        {CURLE_PEER_FAILED_VERIFICATION, CWString(), ReasonKind::CertificateRefused},
        {CURLE_PEER_FAILED_VERIFICATION, pem, ReasonKind::CertificateRefused},
        {CURLE_PEER_FAILED_VERIFICATION, missing, ReasonKind::CertificateFileMissing},
        {CURLE_SSL_CACERT_BADFILE, missing, ReasonKind::CertificateFileMissing},
        {CURLE_SSL_CACERT_BADFILE, garbage, ReasonKind::CertificateFileUnreadable},
        {CURLE_PEER_FAILED_VERIFICATION, garbage, ReasonKind::CertificateFileUnreadable},
        {CURLE_SSL_CACERT_BADFILE, pem, ReasonKind::CertificateFileUnreadable},
        {CURLE_COULDNT_CONNECT, missing, ReasonKind::ConnectFailed}, // no TLS reached: not the file's fault
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caFile.toUtf8String());
        SCOPED_TRACE(c.curlResult);
        const Reason reason = transferReason(c.curlResult, u"libcurl's words", c.caFile);
        EXPECT_EQ(reason.kind, c.kind);
        const CWString text = reasonText(reason);
        // Only a refused server is told how to trust it.
        EXPECT_EQ(text.view().find(u"\"校验证书\"=0") != std::u16string_view::npos,
                  c.kind == ReasonKind::CertificateRefused)
            << text.toUtf8String();
        if (c.kind == ReasonKind::CertificateFileMissing || c.kind == ReasonKind::CertificateFileUnreadable) {
            EXPECT_NE(text.view().find(c.caFile.view()), std::u16string_view::npos) << text.toUtf8String();
        }
    }
}

TEST(ReasonCatalogueTest, AFileResultAddsTheErrorAnswersLineAndItsAttempts) {
    FileResult result;
    result.reason = httpStatusReason(403, u"密码错误");
    result.attempts = 3;
    EXPECT_EQ(reasonText(result).view(), u"服务器返回 HTTP 403：密码错误（共尝试 3 次）");
    EXPECT_EQ(reasonCode(result), "http_status");
    // One attempt says no count.
    result.reason.detail = CWString(u"禁止");
    result.attempts = 1;
    EXPECT_EQ(reasonText(result).view(), u"服务器返回 HTTP 403：禁止");
    EXPECT_TRUE(reasonText(FileResult()).isEmpty());
}

TEST(BodyLineTest, TheFirstLineOfATextBodyCleanAndShort) {
    const std::string hundred(100, 'x');
    const std::string chinese120 = [] {
        std::string s;
        for (int i = 0; i < 120; ++i)
            s += "错";
        return s;
    }();
    const struct {
        std::string body;
        std::string type;
        std::u16string expected;
    } cases[] = {
        {"密码错误", "text/plain; charset=utf-8", u"密码错误"},
        {"\r\n\n  Forbidden \t here \r\nsecond line", "text/plain", u"Forbidden here"},
        {"<html><body>503</body></html>\n", "text/html", u""}, // markup, not words
        {R"({"code":401,"msg":"密码错误"})", "application/json", uR"({"code":401,"msg":"密码错误"})"},
        {"{\"a\":1}", "application/problem+json", u"{\"a\":1}"},
        {"bell\x07 and \x1b[2J escape", "TEXT/PLAIN", u"bell and [2J escape"},
        {"\xEF\xBB\xBFwith a BOM", "text/plain", u"with a BOM"},
        {hundred + "yz", "text/plain", std::u16string(100, u'x')},
        {chinese120, "text/plain", std::u16string(100, u'错')},
        // A body cut in the middle of a character: the half is left out.
        {std::string("好坏").substr(0, 4), "text/plain", u"好"},
        {"bad \xFF byte", "text/plain", u"bad \uFFFD byte"},
        {"\xF0\x9F\x98\x80 smile", "text/plain", u"\U0001F600 smile"},
        // Not text, or said to be something else.
        {"PNG\x00\x01", "image/png", u""},
        {"plain words", "application/octet-stream", u""},
        {"", "text/plain", u""},
        {"\r\n \r\n", "text/plain", u""},
        // No type: text only when it reads as text.
        {"no type at all", "", u"no type at all"},
        {std::string("zero\0byte", 9), "", u""},
        {"bad \xFF byte", "", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type + ": " + c.body);
        EXPECT_EQ(firstBodyLine(c.body.data(), c.body.size(), c.type).view(), c.expected);
    }
    const std::string body = "密码错误";
    EXPECT_EQ(firstBodyLine(body.data(), body.size(), std::u16string_view(u"text/plain")).view(),
              u"密码错误");
    EXPECT_TRUE(firstBodyLine(nullptr, 10, "text/plain").isEmpty());
}

} // namespace
} // namespace rg_quelt_app
