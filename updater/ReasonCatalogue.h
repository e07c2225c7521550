#pragma once
// Why something failed, as a kind with its figures, and the one catalogue that
// puts it in the user's words. Every reason a user reads (a row's second line, the
// "获取模块列表失败" message, mireth-sync's lines) is rendered here, in Chinese like
// the rest of the program; machine output carries the kind's stable code beside
// the text. The layers below report causes (libcurl results, a redirect refusal,
// a system error text); only this file words them.
#include "runtime/core/WString.h"
#include "runtime/net/RedirectRefusal.h"
#include "runtime/net/TransferPool.h"

#include <cstdint>
#include <string_view>

namespace rg_quelt_app {

enum class ReasonKind : std::uint8_t {
    None, // nothing failed
    // Before or around a transfer.
    NetworkUnavailable, // libcurl could not be started
    TransferNotStarted, // the request could not be handed to libcurl
    UnsafeName,         // the server's path or name would leave the module folder
    // The module's file (`subject`; `detail` is the system's words).
    CannotCreate,
    CannotWrite,
    CannotReplace,
    // The answer to a download.
    HttpStatus,     // `status`, and the first line of the server's text in `detail`
    EmptyAnswer,    // a 2xx answer without a byte (`status`)
    AnswerTooLong,  // more than the `expected` bytes the list gives
    LengthMismatch, // `received` bytes where the list gives `expected`
    // The transfer itself (`transferError`; libcurl's words follow in brackets).
    HostNotFound,
    ConnectFailed,
    TimedOut,
    ConnectionBroken,
    TransferFailed,
    CertificateRefused,        // the server's certificate was not accepted
    CertificateFileMissing,    // "证书文件" (`subject`) is not there
    CertificateFileUnreadable, // "证书文件" (`subject`) cannot be read or holds no certificate
    RedirectRefused,           // `redirect` says why, `subject` where it led, `status` its code
    TooManyRedirects,          // more than `expected`
    // The list request.
    RequestAbandoned,
    ListTooLarge,     // past `expected` bytes
    ListTimedOut,     // no whole answer within `expected` ms
    ListNotJson,      // no JSON at all
    ListNotObject,    // JSON, but no object
    ListCode,         // "code" `status`, with the answer's "msg" in `detail`
    ListBrokenOff,    // the answer ends before the list does
    NumberOutOfRange, // a number beyond 32 bits
    CheckFailed,      // the check ended on an unexpected error
    NoThread,         // no thread could be started for the request
    // The answer to a download, again.
    AnswerTooLarge, // a file of unknown size past the largest size a list can name
    HostSilent,     // attempts in a row heard nothing at all; `detail` is the last transfer error
    // The list request, again.
    ListTooManyEntries, // more than `expected` entries
    ListRowsTooLarge,   // rows past `expected` bytes
    // The module's file, again.
    TargetInUse, // another program held it open for the whole wait
    // The answer, again.
    ProxyAuthRequired, // the proxy wants credentials (HTTP 407), whatever page it sent
    // Previous versions (`subject` the module's file, `detail` the system's words).
    BackupFailed,  // the old file could not be kept in the backup folder, so it stays
    RestoreFailed, // a kept file could not be put back
    RemoveFailed,  // a file the job added could not be removed
};
inline constexpr ReasonKind kLastReasonKind = ReasonKind::RemoveFailed;

struct Reason {
    ReasonKind kind = ReasonKind::None;
    std::int64_t status = 0;   // an HTTP status, the list's "code"
    std::int64_t expected = 0; // bytes the list gives, a limit (bytes, ms, redirects)
    std::int64_t received = 0; // bytes that came
    CWString subject;          // the file, the address it is about
    CWString detail;           // words from outside: the server's line, the system's error text
    std::int32_t transferError = 0;
    CWString libcurlText; // libcurl's own words, shown in brackets
    rg_quelt_windows_WangLao::RedirectRefusal redirect = rg_quelt_windows_WangLao::RedirectRefusal::None;
    std::int64_t waitSeconds = -1; // a Retry-After the worker would not wait for; −1 for none

    bool failed() const { return kind != ReasonKind::None; }
    bool operator==(const Reason& other) const;
};

// The stable snake_case code of a kind ("http_status"); empty for None.
std::string_view reasonCode(ReasonKind kind);

// The user's words for `reason`; empty for None.
CWString reasonText(const Reason& reason);

// Short-hands for the common kinds.
Reason reasonOf(ReasonKind kind);
Reason fileReason(ReasonKind kind, std::u16string_view file, std::u16string_view systemText);
// An error answer; a proxy's 407 is named as such, without its page.
Reason httpStatusReason(std::int64_t status, std::u16string_view bodyLine = {});

// The reason of a transfer that ended with libcurl's `curlResult` (not CURLE_OK):
// a certificate file that cannot be read is told apart from a refused server
// certificate by looking at `caFile` (the one the request used; empty for none).
Reason transferReason(int curlResult, std::u16string_view libcurlText, std::u16string_view caFile = {});

// A redirect that was not followed: its status, where it led and, for another
// scheme, host or port, the rule's account of what differs.
Reason redirectReason(rg_quelt_windows_WangLao::RedirectRefusal refusal, std::int64_t status,
                      std::u16string_view target, std::u16string_view differences = {});

// The reason of a download that broke off or was sent elsewhere: the redirect
// that was not followed, libcurl's result, or else the bare status.
Reason answerReason(const rg_quelt_windows_WangLao::TransferOutcome& outcome, std::u16string_view caFile);

// The one warning of a run whose requests do not check certificates ("校验证书"=0).
extern const char16_t* const kCertificatesNotChecked;

} // namespace rg_quelt_app
