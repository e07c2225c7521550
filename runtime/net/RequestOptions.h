#pragma once
// The options every request of the system sets on an easy handle, in their fixed
// order: the URL, the method "POST", the header list, the cookie, the body, the
// encoding, redirects, the proxy, the time limits and the TLS settings. The single
// request of rg_WangLaoFangWenLei and the transfers of TransferPool both set them
// here, so the two cannot drift apart. libcurl follows no redirect by itself: the
// callers do, by RedirectRule.
#include "runtime/core/QueltMem.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/ProxyRoute.h"
#include "runtime/net/TransferHandle.h"

namespace rg_quelt_windows_WangLao {

// How a request treats the network: the TLS peer is verified (certificate and host
// name, against the system's certificates: the Windows store, the CA bundle
// elsewhere; against `caFile`, a PEM file, when one is given), and a dead or
// stalled server ends it. The limits are generous so that large files on slow
// lines still finish: no overall time limit, a stall is less than 1 KiB/s for a
// minute. A server that takes the request and sends not one byte of an answer is
// given up on sooner (TransferPool only): a slow line still brings the status line
// within seconds, so waiting for it costs little, whereas a silent host would
// otherwise hold every transfer for the whole stall limit. Requests go by `proxy`;
// an answer may come compressed in any encoding libcurl can decode (it then hands
// on the decoded bytes).
struct TransferPolicy {
    bool verifyPeer = true;
    CWString caFile;
    ProxyRoute proxy;
    long connectTimeoutSeconds = 30;
    long lowSpeedBytesPerSecond = 1024;
    long lowSpeedSeconds = 60;
    long firstByteTimeoutSeconds = 15; // 0: none
};

// libcurl's receive buffer: large pieces mean fewer reads and write callbacks for
// a large answer (its default is 16 KiB).
inline constexpr long kReceiveBufferBytes = 256 * 1024;

// Texts that only some callers set; empty ones restore libcurl's default, except
// that an empty proxy text leaves the proxy to the policy's route and an empty
// encoding text asks for every encoding libcurl decodes.
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
                         const rg_quelt_base::rg_WenBenShuZuLei& headers, const RequestTexts& texts,
                         const TransferPolicy& policy);

// True for libcurl's results that mean the peer's certificate was not accepted (or
// the certificates to check it with could not be read).
bool isCertificateFailure(int curlResult);

// The status of the answer that ended the transfer: the server's, or, when a
// proxy refused to open the tunnel to it, the proxy's (407 when it wants
// credentials); 0 when no answer came.
long answerStatus(CURL* curl);

// The status by which a proxy asks for credentials.
inline constexpr long kProxyAuthenticationRequired = 407;

} // namespace rg_quelt_windows_WangLao
