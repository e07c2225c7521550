// Which proxy a request takes under the system's static settings, and the
// pieces the choice is made of: a URL's host and port, wildcard patterns.
#include "runtime/net/ProxyRoute.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_windows_WangLao;

constexpr const char* kEnvironment = "<environment>";

TEST(ProxyRouteTest, TheSystemsProxyGoesByTheRequestsSchemeAndBypassList) {
    const struct {
        std::u16string proxy, bypass;
        const char* url;
        const char* taken; // "" for a direct connection
    } cases[] = {
        // One proxy for every scheme, written without its scheme.
        {u"proxy.corp:8080", u"", "https://mod.example.com/api", "http://proxy.corp:8080"},
        {u"proxy.corp:8080", u"", "http://127.0.0.1:81/", ""}, // loopback never goes through it
        {u"proxy.corp:8080", u"", "http://localhost/", ""},
        // Per scheme, the scheme's own first, then SOCKS (version 4 in the system's terms).
        {u"http=h:1;https=s:2", u"", "https://m.example/", "http://s:2"},
        {u"http=h:1;https=s:2", u"", "http://m.example/", "http://h:1"},
        {u"http=h:1;socks=k:3", u"", "https://m.example/", "socks4://k:3"},
        {u"https=s:2", u"", "http://m.example/", ""},
        {u"http=socks5h://k:4", u"", "http://m.example/", "socks5h://k:4"},
        // Bypass entries: names with wildcards, <local> for dotless names, scheme and port.
        {u"p:1", u"*.corp.example; files", "http://mod.corp.example/", ""},
        {u"p:1", u"*.corp.example; files", "http://FILES/", ""},
        {u"p:1", u"*.corp.example; files", "http://corp.example.org/", "http://p:1"},
        {u"p:1", u"<local>", "http://intranet:8080/", ""},
        {u"p:1", u"<local>", "http://m.example/", "http://p:1"},
        {u"p:1", u"https://m.example:8443", "https://m.example:8443/", ""},
        {u"p:1", u"https://m.example:8443", "https://m.example/", "http://p:1"},
        {u"p:1", u"http://m.example", "https://m.example/", "http://p:1"},
        // Nothing usable: the environment decides.
        {u"", u"*", "http://m.example/", kEnvironment},
        {u" ; ", u"", "http://m.example/", kEnvironment},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.url));
        platform::SystemProxySettings settings;
        settings.proxy = c.proxy;
        settings.bypass = c.bypass;
        const std::optional<std::string> taken = ProxyRoute::fromSystem(settings).proxyFor(c.url);
        EXPECT_EQ(taken.value_or(kEnvironment), c.taken);
    }
    EXPECT_EQ(ProxyRoute::direct().proxyFor("http://m.example/"), std::string());
    EXPECT_EQ(ProxyRoute::given("http://u:p@q:3128").proxyFor("http://127.0.0.1/"), "http://u:p@q:3128");
    EXPECT_EQ(ProxyRoute().proxyFor("http://m.example/"), std::nullopt);
}

TEST(ProxyRouteTest, HostsAndPatterns) {
    const struct {
        const char* url;
        const char *scheme, *host, *port;
    } urls[] = {
        {"HTTPS://User:pw@Mod.Example:8443/path?q#f", "https", "mod.example", "8443"},
        {"http://[::1]:81/", "http", "::1", "81"},
        {"http://[fe80::1]/x", "http", "fe80::1", ""},
        {"mod.example", "", "mod.example", ""},
    };
    for (const auto& u : urls) {
        const UrlHost host = urlHostOf(u.url);
        EXPECT_EQ(host.scheme, u.scheme) << u.url;
        EXPECT_EQ(host.host, u.host) << u.url;
        EXPECT_EQ(host.port, u.port) << u.url;
    }
    const struct {
        const char *pattern, *text;
        bool matches;
    } patterns[] = {
        {"*", "", true},
        {"*.corp", "a.b.CORP", true},
        {"*.corp", "corp", false},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYcZ", false},
        {"10.*", "10.0.0.1", true},
        {"", "x", false},
    };
    for (const auto& p : patterns)
        EXPECT_EQ(wildcardMatch(p.pattern, p.text), p.matches) << p.pattern << " / " << p.text;
}

} // namespace
