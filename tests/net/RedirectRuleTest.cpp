// Which redirects a request with credentials follows, and what a refusal says.
#include "runtime/net/RedirectRule.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_windows_WangLao;

TEST(RedirectRule, KeepsThePostOnlyWhereTheCredentialsStayWithTheHost) {
    constexpr auto F = RedirectAction::Follow, G = RedirectAction::FollowAsGet, R = RedirectAction::Refuse;
    const struct {
        const char* from;
        long status;
        const char* to;
        bool asGet;
        RedirectAction action;
        std::u16string_view differs; // for a refusal to another scheme, host or port
        RedirectRefusal refusal = RedirectRefusal::None;
    } cases[] = {
        // The site moving to TLS: the same host, default ports or the same port.
        {"http://m.example/api/", 301, "https://m.example/api/", false, F, u""},
        {"http://m.example:80/api/", 302, "https://m.example:443/api/", false, F, u""},
        {"http://M.Example/api/", 307, "https://m.example/api/", false, F, u""},
        {"http://m.example:8443/api/", 308, "https://m.example:8443/api/", false, F, u""},
        {"http://m.example/api/", 303, "https://m.example/api/", false, G, u""},
        // Anything else that changes the origin.
        {"http://m.example:8080/api/", 301, "https://m.example:8443/api/", false, G, u""},
        {"http://m.example/api/", 301, "https://cdn.example/api/", false, G, u""},
        {"http://m.example:8080/api/", 308, "https://m.example:8443/api/", false, R,
         u"协议 http → https、端口 8080 → 8443", RedirectRefusal::OtherScheme},
        {"http://m.example/api/", 307, "https://cdn.example/api/", false, R,
         u"协议 http → https、主机 m.example → cdn.example、端口 80 → 443", RedirectRefusal::OtherScheme},
        {"https://m.example/api/", 307, "https://cdn.example/api/", false, R, u"主机 m.example → cdn.example",
         RedirectRefusal::OtherHost},
        {"https://m.example/a", 308, "https://m.example:444/a", false, R, u"端口 443 → 444",
         RedirectRefusal::OtherPort},
        {"http://m.example/a", 307, "https://m.example:8443/a", false, R,
         u"协议 http → https、端口 80 → 8443", RedirectRefusal::OtherScheme},
        {"http://m.example/a", 307, "https://cdn.example/a", true, F, u""}, // already a GET
        {"https://m.example/a", 307, "https://m.example/b", false, F, u""},
        {"https://m.example/a", 301, "http://m.example/a", false, R, u"", RedirectRefusal::HttpsToHttp},
        {"http://m.example/a", 302, "ftp://m.example/a", false, R, u"ftp",
         RedirectRefusal::UnsupportedScheme},
        {"http://m.example/a", 200, "http://m.example/b", false, R, u"", RedirectRefusal::NotRedirect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + std::to_string(c.status) + " " + c.to);
        const RedirectDecision decision = decideRedirect(c.from, c.status, c.to, c.asGet);
        EXPECT_EQ(decision.action, c.action);
        EXPECT_EQ(decision.refusal, c.refusal);
        EXPECT_EQ(decision.reason, c.differs);
    }
}

} // namespace
