#include "runtime/net/RedirectRule.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>

namespace rg_quelt_windows_WangLao {
namespace {

struct Origin {
    std::string scheme;
    std::string host;
    std::string port;
    bool valid = false;
};

std::string part(CURLU* url, CURLUPart which, unsigned flags) {
    char* text = nullptr;
    if (curl_url_get(url, which, &text, flags) != CURLUE_OK || !text)
        return std::string();
    std::string value(text);
    curl_free(text);
    return value;
}

Origin originOf(std::string_view address) {
    Origin origin;
    CURLU* url = curl_url();
    if (!url)
        return origin;
    if (curl_url_set(url, CURLUPART_URL, std::string(address).c_str(), 0) == CURLUE_OK) {
        origin.scheme = part(url, CURLUPART_SCHEME, 0);
        origin.host = part(url, CURLUPART_HOST, 0);
        origin.port = part(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
        std::transform(origin.scheme.begin(), origin.scheme.end(), origin.scheme.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::transform(origin.host.begin(), origin.host.end(), origin.host.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        origin.valid = !origin.scheme.empty() && !origin.host.empty();
    }
    curl_url_cleanup(url);
    return origin;
}

std::u16string widened(std::string_view text) { return std::u16string(text.begin(), text.end()); }

RedirectDecision refused(RedirectRefusal why, std::u16string reason) {
    return {RedirectAction::Refuse, std::move(reason), why};
}

} // namespace

bool isRedirectStatus(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

RedirectDecision decideRedirect(std::string_view from, long status, std::string_view to, bool asGet) {
    const std::u16string code = widened(std::to_string(status));
    if (!isRedirectStatus(status))
        return refused(RedirectRefusal::NotRedirect, u"HTTP " + code + u" is no redirect");
    const Origin source = originOf(from);
    const Origin target = originOf(to);
    if (!source.valid || !target.valid)
        return refused(RedirectRefusal::NoAddress,
                       u"the redirect (HTTP " + code + u") names no usable address");
    if (target.scheme != "http" && target.scheme != "https")
        return refused(RedirectRefusal::UnsupportedScheme,
                       u"a redirect to " + widened(target.scheme) + u": is not followed");
    if (source.scheme == "https" && target.scheme == "http")
        return refused(RedirectRefusal::HttpsToHttp, u"a redirect from https to http is not followed");
    if (status == 307 || status == 308) {
        const bool sameOrigin =
            source.scheme == target.scheme && source.host == target.host && source.port == target.port;
        const RedirectRefusal differs = source.scheme != target.scheme ? RedirectRefusal::OtherScheme
                                        : source.host != target.host   ? RedirectRefusal::OtherHost
                                                                       : RedirectRefusal::OtherPort;
        if (!asGet && !sameOrigin)
            return refused(differs,
                           u"a " + code + u" redirect to another server (" + widened(target.host) +
                               u") is not followed: it would send the request with its credentials there");
        return {RedirectAction::Follow, {}};
    }
    return {RedirectAction::FollowAsGet, {}};
}

} // namespace rg_quelt_windows_WangLao
