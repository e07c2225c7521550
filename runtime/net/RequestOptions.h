#pragma once
// The options every request of the system sets on an easy handle, in their fixed
// order: the URL, the method "POST", the header list, the cookie, the body, the
// encoding, redirects, the proxy, the time limits and the TLS settings. The single
// request of rg_WangLaoFangWenLei and the transfers of TransferPool both set them
// here, so the two cannot drift apart.
#include "runtime/core/QueltMem.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/TransferHandle.h"

namespace rg_quelt_windows_WangLao {

// Protection against a dead or endless server, kept generous so that large files
// on slow lines still finish: no overall time limit.
inline constexpr long kConnectTimeoutSeconds = 30;
inline constexpr long kLowSpeedLimitBytes = 1;
inline constexpr long kLowSpeedTimeSeconds = 60;
inline constexpr long kMaxRedirects = 50;

// Texts that only some callers set; empty ones restore libcurl's default.
struct RequestTexts {
    const CWString& cookie;
    const CWString& acceptEncoding;
    const CWString& proxy;
    const CWString& proxyUser;
    const CWString& proxyPassword;
};

// `body` may be null or null-flagged (absent): a POST without request data. The
// header list is kept in the handle's first list slot, which replaces the list of
// the request before.
void applyRequestOptions(CURL* curl, TransferHandle& handle, const CWString& url, const CQueltMem* body,
                         const rg_quelt_base::rg_WenBenShuZuLei& headers, const RequestTexts& texts);

// libcurl's header list for `headers`; null for an empty list or when an append fails.
curl_slist* buildHeaderList(const rg_quelt_base::rg_WenBenShuZuLei& headers);

} // namespace rg_quelt_windows_WangLao
