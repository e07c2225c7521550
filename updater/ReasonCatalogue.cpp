#include "updater/ReasonCatalogue.h"

#include "runtime/net/RedirectRule.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/platform/FileSystem.h"

#include <curl/curl.h>

#include <string>

namespace rg_quelt_app {

using rg_quelt_windows_WangLao::RedirectRefusal;

const char16_t* const kCertificatesNotChecked =
    u"注意：\"校验证书\"=0，不校验服务器的证书，路上的任何人都能读到 QQ 号和密码并换掉模块";

namespace {

struct Entry {
    ReasonKind kind;
    std::string_view code;
};

// In the order of ReasonKind, so that a kind is its own index.
constexpr Entry kCodes[] = {
    {ReasonKind::None, ""},
    {ReasonKind::NetworkUnavailable, "network_unavailable"},
    {ReasonKind::TransferNotStarted, "transfer_not_started"},
    {ReasonKind::UnsafeName, "unsafe_name"},
    {ReasonKind::CannotCreate, "cannot_create"},
    {ReasonKind::CannotWrite, "cannot_write"},
    {ReasonKind::CannotReplace, "cannot_replace"},
    {ReasonKind::HttpStatus, "http_status"},
    {ReasonKind::EmptyAnswer, "empty_answer"},
    {ReasonKind::AnswerTooLong, "answer_too_long"},
    {ReasonKind::LengthMismatch, "length_mismatch"},
    {ReasonKind::HostNotFound, "host_not_found"},
    {ReasonKind::ConnectFailed, "connect_failed"},
    {ReasonKind::TimedOut, "timed_out"},
    {ReasonKind::ConnectionBroken, "connection_broken"},
    {ReasonKind::TransferFailed, "transfer_failed"},
    {ReasonKind::CertificateRefused, "certificate_refused"},
    {ReasonKind::CertificateFileMissing, "certificate_file_missing"},
    {ReasonKind::CertificateFileUnreadable, "certificate_file_unreadable"},
    {ReasonKind::RedirectRefused, "redirect_refused"},
    {ReasonKind::TooManyRedirects, "too_many_redirects"},
    {ReasonKind::RequestAbandoned, "request_abandoned"},
    {ReasonKind::ListTooLarge, "list_too_large"},
    {ReasonKind::ListTimedOut, "list_timed_out"},
    {ReasonKind::ListNotJson, "not_json"},
    {ReasonKind::ListNotObject, "not_json_object"},
    {ReasonKind::ListCode, "list_code"},
    {ReasonKind::ListBrokenOff, "list_broken_off"},
    {ReasonKind::NumberOutOfRange, "number_out_of_range"},
    {ReasonKind::CheckFailed, "check_failed"},
    {ReasonKind::NoThread, "no_thread"},
    {ReasonKind::AnswerTooLarge, "answer_too_large"},
    {ReasonKind::HostSilent, "host_silent"},
    {ReasonKind::ListTooManyEntries, "list_too_many_entries"},
    {ReasonKind::ListRowsTooLarge, "list_rows_too_large"},
    {ReasonKind::TargetInUse, "target_in_use"},
    {ReasonKind::ProxyAuthRequired, "proxy_auth_required"},
    {ReasonKind::BackupFailed, "backup_failed"},
    {ReasonKind::RestoreFailed, "restore_failed"},
    {ReasonKind::RemoveFailed, "remove_failed"},
};
static_assert(std::size(kCodes) == static_cast<std::size_t>(kLastReasonKind) + 1, "every kind has its code");

constexpr bool inOrder() {
    for (std::size_t i = 0; i < std::size(kCodes); ++i)
        if (static_cast<std::size_t>(kCodes[i].kind) != i)
            return false;
    return true;
}
static_assert(inOrder(), "the codes follow the order of ReasonKind");

CWString number(std::int64_t value) { return CWString::fromInteger(value); }

// "64 MiB" for whole mebibytes, else the bytes.
CWString byteLimitText(std::int64_t bytes) {
    constexpr std::int64_t kMiB = std::int64_t(1) << 20;
    if (bytes > 0 && bytes % kMiB == 0)
        return number(bytes / kMiB) + u" MiB";
    return number(bytes) + u" 字节";
}

// "120 秒" for whole seconds, else the milliseconds.
CWString timeLimitText(std::int64_t ms) {
    if (ms > 0 && ms % 1000 == 0)
        return number(ms / 1000) + u" 秒";
    return number(ms) + u" 毫秒";
}

// "：words" when there are any.
void appendWords(CWString& text, const CWString& words) {
    if (words.isEmpty())
        return;
    text += u"：";
    text += words.view();
}

// The words before the file's name in the reasons about one file.
const char16_t* fileActionWords(ReasonKind kind) {
    switch (kind) {
    case ReasonKind::CannotCreate:
        return u"无法创建 ";
    case ReasonKind::CannotWrite:
        return u"无法写入 ";
    case ReasonKind::BackupFailed:
        return u"无法在备份目录中保留旧文件 ";
    case ReasonKind::RestoreFailed:
        return u"无法还原 ";
    case ReasonKind::RemoveFailed:
        return u"无法删除 ";
    default:
        return u"无法替换 ";
    }
}

CWString redirectText(const Reason& r) {
    CWString text = CWString(u"不跟随 HTTP ") + number(r.status) + u" 转向";
    if (!r.subject.isEmpty()) {
        text += u" ";
        text += r.subject.view();
    }
    text += u"：";
    switch (r.redirect) {
    case RedirectRefusal::NoAddress:
        text += u"它没有给出可用的地址";
        break;
    case RedirectRefusal::UnsupportedScheme:
        text += u"只跟随到 http 和 https 的转向";
        break;
    case RedirectRefusal::HttpsToHttp:
        text += u"不从 https 转到 http";
        break;
    case RedirectRefusal::OtherScheme:
    case RedirectRefusal::OtherHost:
    case RedirectRefusal::OtherPort:
        // The rule names every part that differs ("主机 a → b、端口 80 → 8080").
        if (!r.detail.isEmpty())
            text += r.detail.view();
        else
            text += r.redirect == RedirectRefusal::OtherScheme ? u"协议不同"
                    : r.redirect == RedirectRefusal::OtherHost ? u"主机不同"
                                                               : u"端口不同";
        text += u"，请求会把 QQ 号和密码带到另一服务器";
        break;
    case RedirectRefusal::NotRedirect:
        text += u"这不是转向";
        break;
    case RedirectRefusal::TooMany:
    case RedirectRefusal::NotRestarted:
    case RedirectRefusal::None:
        text += u"无法在新地址重新发出请求";
        break;
    }
    return text;
}

// The kind's own words, without libcurl's.
CWString mainText(const Reason& r) {
    switch (r.kind) {
    case ReasonKind::None:
        return CWString();
    case ReasonKind::NetworkUnavailable:
        return CWString(u"无法启动网络库");
    case ReasonKind::TransferNotStarted:
        return CWString(u"无法开始传输");
    case ReasonKind::UnsafeName:
        return CWString(u"服务器给出的路径或文件名会超出模块文件夹");
    case ReasonKind::CannotCreate:
    case ReasonKind::CannotWrite:
    case ReasonKind::CannotReplace:
    case ReasonKind::BackupFailed:
    case ReasonKind::RestoreFailed:
    case ReasonKind::RemoveFailed: {
        CWString text(fileActionWords(r.kind));
        text += r.subject.view();
        appendWords(text, r.detail);
        return text;
    }
    case ReasonKind::HttpStatus: {
        CWString text = CWString(u"服务器返回 HTTP ") + number(r.status);
        appendWords(text, r.detail);
        return text;
    }
    case ReasonKind::EmptyAnswer:
        return r.status > 0 ? CWString(u"服务器返回了空的应答（HTTP ") + number(r.status) + u"）"
                            : CWString(u"服务器返回了空的应答");
    case ReasonKind::AnswerTooLong:
        return CWString(u"文件长度超过列表所给的 ") + number(r.expected) + u" 字节";
    case ReasonKind::LengthMismatch:
        return CWString(u"文件长度与列表不符（列表 ") + number(r.expected) + u" 字节，收到 " +
               number(r.received) + u" 字节）";
    case ReasonKind::HostNotFound:
        return CWString(u"找不到服务器");
    case ReasonKind::ConnectFailed:
        return CWString(u"无法连接服务器");
    case ReasonKind::TimedOut:
        return CWString(u"连接超时或传输停滞");
    case ReasonKind::ConnectionBroken:
        return CWString(u"连接中断");
    case ReasonKind::TransferFailed:
        return CWString(u"传输失败");
    case ReasonKind::CertificateRefused:
        return CWString(u"服务器的证书未被接受");
    case ReasonKind::CertificateFileMissing:
        return CWString(u"证书文件 ") + r.subject + u" 不存在";
    case ReasonKind::CertificateFileUnreadable:
        return r.subject.isEmpty() ? CWString(u"无法读取系统的证书")
                                   : CWString(u"无法读取证书文件 ") + r.subject + u"，或其中没有 PEM 证书";
    case ReasonKind::RedirectRefused:
        return redirectText(r);
    case ReasonKind::TooManyRedirects:
        return CWString(u"转向超过 ") + number(r.expected) + u" 次";
    case ReasonKind::RequestAbandoned:
        return CWString(u"请求已放弃");
    case ReasonKind::ListTooLarge:
        return CWString(u"应答超过 ") + byteLimitText(r.expected) + u" 的上限";
    case ReasonKind::ListTimedOut:
        return timeLimitText(r.expected) + u" 内没有收到完整的应答";
    case ReasonKind::ListNotJson:
        return CWString(u"应答不是 JSON");
    case ReasonKind::ListNotObject:
        return CWString(u"应答不是 JSON 对象");
    case ReasonKind::ListCode: {
        CWString text = CWString(u"应答的 \"code\" 为 ") + number(r.status);
        appendWords(text, r.detail);
        return text;
    }
    case ReasonKind::ListBrokenOff:
        return CWString(u"应答在列表结束前中断");
    case ReasonKind::NumberOutOfRange:
        return CWString(u"应答中的数字超出 32 位");
    case ReasonKind::CheckFailed:
        return CWString(u"检查时发生意外错误");
    case ReasonKind::NoThread:
        return CWString(u"无法为请求启动线程");
    case ReasonKind::AnswerTooLarge:
        return CWString(u"文件超过列表能给出的最大大小 2 GiB");
    case ReasonKind::ListTooManyEntries:
        return CWString(u"列表的条目超过 ") + number(r.expected) + u" 项，不予接受";
    case ReasonKind::ListRowsTooLarge:
        return CWString(u"列表的行超过 ") + byteLimitText(r.expected) + u"，不予接受";
    case ReasonKind::TargetInUse:
        return CWString(u"文件正被其他程序使用，请关闭使用它的程序后重试");
    case ReasonKind::ProxyAuthRequired:
        return CWString(u"代理服务器要求身份验证 (HTTP 407)");
    case ReasonKind::HostSilent: {
        CWString text(u"服务器无响应");
        appendWords(text, r.detail);
        return text;
    }
    }
    return CWString();
}

bool holdsCertificate(std::u16string_view file) {
    std::string bytes;
    return platform::readWholeFile(file, bytes) == platform::ReadFileResult::ok &&
           bytes.find("-----BEGIN CERTIFICATE-----") != std::string::npos;
}

} // namespace

bool Reason::operator==(const Reason& o) const {
    return kind == o.kind && status == o.status && expected == o.expected && received == o.received &&
           subject == o.subject && detail == o.detail && transferError == o.transferError &&
           libcurlText == o.libcurlText && redirect == o.redirect && waitSeconds == o.waitSeconds;
}

std::string_view reasonCode(ReasonKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    return index < std::size(kCodes) ? kCodes[index].code : std::string_view();
}

CWString reasonText(const Reason& reason) {
    CWString text = mainText(reason);
    if (text.isEmpty())
        return text;
    if (!reason.libcurlText.isEmpty()) {
        text += u"（";
        text += reason.libcurlText.view();
        text += u"）";
    }
    if (reason.kind == ReasonKind::CertificateRefused)
        text +=
            u"：请在 setup.ini 的\"全局\"中用\"证书文件\"给出签发它的 CA 证书，或设\"校验证书\"=0（不校验）";
    if (reason.waitSeconds >= 0)
        text += CWString(u"，服务器要求等待 ") + number(reason.waitSeconds) + u" 秒";
    return text;
}

Reason reasonOf(ReasonKind kind) {
    Reason reason;
    reason.kind = kind;
    return reason;
}

Reason fileReason(ReasonKind kind, std::u16string_view file, std::u16string_view systemText) {
    Reason reason = reasonOf(kind);
    reason.subject = CWString(file);
    reason.detail = CWString(systemText);
    return reason;
}

Reason httpStatusReason(std::int64_t status, std::u16string_view bodyLine) {
    if (status == rg_quelt_windows_WangLao::kProxyAuthenticationRequired) {
        Reason reason = reasonOf(ReasonKind::ProxyAuthRequired);
        reason.status = status;
        return reason;
    }
    Reason reason = reasonOf(ReasonKind::HttpStatus);
    reason.status = status;
    reason.detail = CWString(bodyLine);
    return reason;
}

Reason transferReason(int curlResult, std::u16string_view libcurlText, std::u16string_view caFile) {
    Reason reason;
    reason.transferError = curlResult;
    reason.libcurlText = CWString(libcurlText);
    switch (curlResult) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        reason.kind = ReasonKind::HostNotFound;
        break;
    case CURLE_COULDNT_CONNECT:
        reason.kind = ReasonKind::ConnectFailed;
        break;
    case CURLE_OPERATION_TIMEDOUT:
        reason.kind = ReasonKind::TimedOut;
        break;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        reason.kind = ReasonKind::ConnectionBroken;
        break;
    case CURLE_TOO_MANY_REDIRECTS:
        reason.kind = ReasonKind::TooManyRedirects;
        reason.expected = rg_quelt_windows_WangLao::kMaxRedirects;
        break;
    default:
        reason.kind = ReasonKind::TransferFailed;
        break;
    }
    if (rg_quelt_windows_WangLao::isCertificateFailure(curlResult)) {
        // libcurl names a file it cannot use much like a certificate it refuses;
        // the file itself tells which it was.
        reason.subject = CWString(caFile);
        if (!caFile.empty() && !platform::pathExists(caFile))
            reason.kind = ReasonKind::CertificateFileMissing;
        else if (curlResult == CURLE_SSL_CACERT_BADFILE || (!caFile.empty() && !holdsCertificate(caFile)))
            reason.kind = ReasonKind::CertificateFileUnreadable;
        else
            reason.kind = ReasonKind::CertificateRefused;
    }
    return reason;
}

Reason redirectReason(RedirectRefusal refusal, std::int64_t status, std::u16string_view target,
                      std::u16string_view differences) {
    Reason reason = reasonOf(refusal == RedirectRefusal::TooMany ? ReasonKind::TooManyRedirects
                                                                 : ReasonKind::RedirectRefused);
    reason.redirect = refusal;
    reason.status = status;
    reason.subject = CWString(target);
    if (refusal == RedirectRefusal::OtherScheme || refusal == RedirectRefusal::OtherHost ||
        refusal == RedirectRefusal::OtherPort)
        reason.detail = CWString(differences);
    reason.expected = rg_quelt_windows_WangLao::kMaxRedirects;
    return reason;
}

Reason answerReason(const rg_quelt_windows_WangLao::TransferOutcome& outcome, std::u16string_view caFile) {
    if (outcome.redirectRefusal != RedirectRefusal::None)
        return redirectReason(outcome.redirectRefusal, outcome.responseCode, outcome.redirectTarget,
                              outcome.errorText);
    if (outcome.curlResult != CURLE_OK)
        return transferReason(outcome.curlResult, outcome.errorText, caFile);
    return httpStatusReason(outcome.responseCode);
}

} // namespace rg_quelt_app
