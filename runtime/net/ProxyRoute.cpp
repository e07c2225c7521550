#include "runtime/net/ProxyRoute.h"

#include "runtime/platform/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace rg_quelt_windows_WangLao {
namespace {

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

bool isSeparator(char c) { return c == ';' || c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The system's lists: entries separated by ";" (or blanks, or commas in some
// hand-edited settings).
std::vector<std::string> entriesOf(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        std::size_t end = i;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        if (end > i)
            entries.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return entries;
}

// "host:port" as the system writes it, in libcurl's form: its scheme written out
// ("socks" in the system's settings is SOCKS version 4).
std::string withScheme(std::string_view scheme, std::string_view address) {
    if (address.find("://") != std::string_view::npos)
        return std::string(address);
    return std::string(scheme == "socks" ? "socks4://" : "http://") + std::string(address);
}

bool isLoopback(std::string_view host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

} // namespace

UrlHost urlHostOf(std::string_view url) {
    UrlHost result;
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd != std::string_view::npos) {
        result.scheme = lower(url.substr(0, schemeEnd));
        url.remove_prefix(schemeEnd + 3);
    }
    url = url.substr(0, std::min(url.find_first_of("/?#"), url.size()));
    const std::size_t at = url.rfind('@');
    if (at != std::string_view::npos)
        url.remove_prefix(at + 1);
    if (!url.empty() && url.front() == '[') {
        const std::size_t close = url.find(']');
        result.host = lower(url.substr(1, close == std::string_view::npos ? close : close - 1));
        if (close != std::string_view::npos && close + 1 < url.size() && url[close + 1] == ':')
            result.port = std::string(url.substr(close + 2));
        return result;
    }
    const std::size_t colon = url.rfind(':');
    result.host = lower(url.substr(0, colon));
    if (colon != std::string_view::npos)
        result.port = std::string(url.substr(colon + 1));
    return result;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    // Greedy matching with one back-tracking point: the last "*" seen.
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && same(pattern[p], text[t])) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

ProxyRoute ProxyRoute::direct() {
    ProxyRoute route;
    route.kind_ = Kind::Direct;
    return route;
}

ProxyRoute ProxyRoute::given(std::string url) {
    ProxyRoute route;
    route.kind_ = Kind::Given;
    route.given_ = std::move(url);
    return route;
}

bool ProxyRoute::environmentNamesProxy() {
    // The names libcurl reads (it takes only the lower-case http_proxy).
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

ProxyRoute ProxyRoute::fromSystem(const platform::SystemProxySettings& settings) {
    ProxyRoute route;
    if (settings.proxy.empty() || environmentNamesProxy())
        return route;
    for (const std::string& entry : entriesOf(platform::utf16ToUtf8String(settings.proxy))) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            route.schemes_.push_back({std::string(), withScheme("http", entry)});
        } else if (equals + 1 < entry.size()) {
            const std::string scheme = lower(std::string_view(entry).substr(0, equals));
            route.schemes_.push_back(
                {scheme, withScheme(scheme, std::string_view(entry).substr(equals + 1))});
        }
    }
    if (route.schemes_.empty())
        return route;
    route.kind_ = Kind::System;
    for (const std::string& entry : entriesOf(platform::utf16ToUtf8String(settings.bypass)))
        route.bypass_.push_back(lower(entry));
    return route;
}

bool ProxyRoute::bypasses(std::string_view url) const {
    const UrlHost target = urlHostOf(url);
    if (isLoopback(target.host))
        return true;
    for (std::string_view pattern : bypass_) {
        if (pattern == "<local>") {
            if (target.host.find('.') == std::string::npos && target.host.find(':') == std::string::npos)
                return true;
            continue;
        }
        // A pattern may carry a scheme and a port; each then has to match too.
        const std::size_t schemeEnd = pattern.find("://");
        if (schemeEnd != std::string_view::npos) {
            if (!wildcardMatch(pattern.substr(0, schemeEnd), target.scheme))
                continue;
            pattern.remove_prefix(schemeEnd + 3);
        }
        const UrlHost wanted = urlHostOf(pattern);
        if (wildcardMatch(wanted.host, target.host) &&
            (wanted.port.empty() || wildcardMatch(wanted.port, target.port)))
            return true;
    }
    return false;
}

std::optional<std::string> ProxyRoute::proxyFor(std::string_view url) const {
    switch (kind_) {
    case Kind::Environment:
        return std::nullopt;
    case Kind::Direct:
        return std::string();
    case Kind::Given:
        return given_;
    case Kind::System:
        break;
    }
    if (bypasses(url))
        return std::string();
    const std::string scheme = urlHostOf(url).scheme;
    // The scheme's own proxy, else the one for every scheme, else a SOCKS proxy.
    for (const char* wanted : {scheme.c_str(), "", "socks"}) {
        for (const SchemeProxy& entry : schemes_) {
            if (entry.scheme == wanted)
                return entry.proxy;
        }
    }
    return std::string();
}

void ProxyRoute::apply(CURL* curl, std::string_view url) const {
    const std::optional<std::string> proxy = proxyFor(url);
    // The empty text switches libcurl's proxy off; null lets it read the
    // environment. The bypass decision is made here for a route of our own, so
    // libcurl is given no exceptions of its own (the environment's NO_PROXY
    // would otherwise still apply).
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy ? proxy->c_str() : static_cast<const char*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_NOPROXY, proxy ? "" : static_cast<const char*>(nullptr));
}

bool ProxyRoute::operator==(const ProxyRoute& other) const {
    const auto same = [](const SchemeProxy& a, const SchemeProxy& b) {
        return a.scheme == b.scheme && a.proxy == b.proxy;
    };
    return kind_ == other.kind_ && given_ == other.given_ && bypass_ == other.bypass_ &&
           std::equal(schemes_.begin(), schemes_.end(), other.schemes_.begin(), other.schemes_.end(), same);
}

} // namespace rg_quelt_windows_WangLao
