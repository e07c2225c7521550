#pragma once
// ProxyRoute: which proxy, if any, a request takes. Four ways:
// - the environment (the default): libcurl reads its variables (http_proxy,
//   HTTPS_PROXY, ALL_PROXY, NO_PROXY) itself;
// - direct: no proxy at all, whatever the environment says;
// - given: one proxy URL in libcurl's form ("http://[user:password@]host:port",
//   "socks5h://host:port") for every request, without exceptions;
// - the system's static settings (see runtime/platform/SystemProxy.h): the proxy
//   for the request's scheme, none for a host of the bypass list or a loopback
//   host (the system bypasses those by itself).
// A copyable value; apply() is called for each request from any one thread.
#include "runtime/platform/SystemProxy.h"

#include <curl/curl.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rg_quelt_windows_WangLao {

class ProxyRoute {
public:
    ProxyRoute() = default; // the environment's
    static ProxyRoute direct();
    static ProxyRoute given(std::string url);
    // The system's static proxy; the environment's route when an environment
    // variable names a proxy (it is the more specific choice) or the system names none.
    static ProxyRoute fromSystem(const platform::SystemProxySettings& settings);

    // True when the environment names a proxy for libcurl.
    static bool environmentNamesProxy();

    // The proxy for a request to `url`: nothing when libcurl is to decide from the
    // environment, the empty text for a direct connection, else the proxy's URL.
    std::optional<std::string> proxyFor(std::string_view url) const;

    // Sets CURLOPT_PROXY and CURLOPT_NOPROXY for a request to `url`, also undoing
    // what a request before set on the same handle.
    void apply(CURL* curl, std::string_view url) const;

    bool usesSystem() const { return kind_ == Kind::System; }
    bool operator==(const ProxyRoute& other) const;

private:
    enum class Kind { Environment, Direct, Given, System };

    struct SchemeProxy {
        std::string scheme; // "http", "https", "socks"; empty for every scheme
        std::string proxy;  // in libcurl's form, with its scheme
    };

    bool bypasses(std::string_view url) const;

    Kind kind_ = Kind::Environment;
    std::string given_;
    std::vector<SchemeProxy> schemes_;
    std::vector<std::string> bypass_; // lower case; "<local>" for dotless names
};

// The host of a URL ("host", "[::1]" without its brackets), lower case, and its
// port ("" when none is written); what proxy choices and bypass lists go by.
struct UrlHost {
    std::string scheme;
    std::string host;
    std::string port;
};
UrlHost urlHostOf(std::string_view url);

// True when `text` matches `pattern`, in which "*" stands for any run of
// characters; ASCII case-insensitive.
bool wildcardMatch(std::string_view pattern, std::string_view text);

} // namespace rg_quelt_windows_WangLao
