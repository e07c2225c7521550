#pragma once
// Which redirects a request follows. libcurl follows none by itself: a POST carries
// the QQ number and the password, so where it may go again is decided here.
//   http to https on the same host name (both on their default ports, or both on
//                  the same explicit port): the site moving to TLS; 301, 302, 307
//                  and 308 repeat the request as it was, to the same host over a
//                  safer channel;
//   301, 302, 303  otherwise followed as a GET without body (the standard rule);
//   307, 308       otherwise repeat the request as it was only to the same scheme,
//                  host and port (a GET, after an earlier 30x, anywhere);
//   never from https to http, never to a scheme other than http and https.
// A refusal's reason names the status and what differs (scheme, host or port).
#include "runtime/net/RedirectRefusal.h"

#include <string>
#include <string_view>

namespace rg_quelt_windows_WangLao {

// At most this many redirects are followed for one request.
inline constexpr int kMaxRedirects = 10;

enum class RedirectAction { Follow, FollowAsGet, Refuse };

struct RedirectDecision {
    RedirectAction action = RedirectAction::Refuse;
    std::u16string reason; // for Refuse: what differs ("协议 http → https、端口 80 → 8443"), the scheme
    RedirectRefusal refusal = RedirectRefusal::None;
};

// 301, 302, 303, 307 and 308: the statuses that name a place to go to.
bool isRedirectStatus(long status);

// What to do with the answer `status` to a request of `from` (a POST unless
// `asGet`) that names `to` (absolute, as libcurl resolves the Location).
RedirectDecision decideRedirect(std::string_view from, long status, std::string_view to, bool asGet);

} // namespace rg_quelt_windows_WangLao
