#include "runtime/net/RedirectRule.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>

namespace rg_quelt_windows_WangLao {
namespace {

struct Origin {
    std::string scheme;
    std::string host;
    std::string port; // the port in effect: the scheme's default when none is written
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

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

Origin originOf(std::string_view address) {
    Origin origin;
    CURLU* url = curl_url();
    if (!url)
        return origin;
    if (curl_url_set(url, CURLUPART_URL, std::string(address).c_str(), 0) == CURLUE_OK) {
        origin.scheme = lowered(part(url, CURLUPART_SCHEME, 0));
        origin.host = lowered(part(url, CURLUPART_HOST, 0));
        origin.port = part(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
        origin.valid = !origin.scheme.empty() && !origin.host.empty();
    }
    curl_url_cleanup(url);
    return origin;
}

std::u16string widened(std::string_view text) { return std::u16string(text.begin(), text.end()); }

RedirectDecision refused(RedirectRefusal why, std::u16string reason) {
    return {RedirectAction::Refuse, std::move(reason), why};
}

// The site itself moving to TLS: the same host name, both ports the schemes'
// defaults or both the same port.
bool isSameSiteUpgrade(const Origin& source, const Origin& target) {
    return source.scheme == "http" && target.scheme == "https" && source.host == target.host &&
           ((source.port == "80" && target.port == "443") || source.port == target.port);
}

// "协议 http → https、端口 80 → 8443": what differs between the two origins.
std::u16string differences(const Origin& source, const Origin& target) {
    std::u16string text;
    const auto add = [&](const char16_t* what, const std::string& from, const std::string& to) {
        if (from == to)
            return;
        if (!text.empty())
            text += u"、";
        text += what + widened(from) + u" → " + widened(to);
    };
    add(u"协议 ", source.scheme, target.scheme);
    add(u"主机 ", source.host, target.host);
    add(u"端口 ", source.port, target.port);
    return text;
}

} // namespace

bool isRedirectStatus(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

RedirectDecision decideRedirect(std::string_view from, long status, std::string_view to, bool asGet) {
    if (!isRedirectStatus(status))
        return refused(RedirectRefusal::NotRedirect, {});
    const Origin source = originOf(from);
    const Origin target = originOf(to);
    if (!source.valid || !target.valid)
        return refused(RedirectRefusal::NoAddress, {});
    if (target.scheme != "http" && target.scheme != "https")
        return refused(RedirectRefusal::UnsupportedScheme, widened(target.scheme));
    if (source.scheme == "https" && target.scheme == "http")
        return refused(RedirectRefusal::HttpsToHttp, {});
    const bool keepsRequest =
        status == 307 || status == 308 || (status != 303 && isSameSiteUpgrade(source, target));
    if (!keepsRequest)
        return {RedirectAction::FollowAsGet, {}};
    const bool sameOrigin =
        source.scheme == target.scheme && source.host == target.host && source.port == target.port;
    if (asGet || sameOrigin || isSameSiteUpgrade(source, target))
        return {RedirectAction::Follow, {}};
    const RedirectRefusal differs = source.scheme != target.scheme ? RedirectRefusal::OtherScheme
                                    : source.host != target.host   ? RedirectRefusal::OtherHost
                                                                   : RedirectRefusal::OtherPort;
    return refused(differs, differences(source, target));
}

} // namespace rg_quelt_windows_WangLao
