// What SendRequest puts on the wire and reads back, against the loopback module
// server.
#include "runtime/net/MemoryBodySink.h"
#include "runtime/net/RedirectRule.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "tests/support/ModuleServer.h"
#include "tests/support/RunsUnderWine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

using namespace rg_quelt_windows_WangLao;
using rg_quelt_base::rg_WenBenShuZuLei;
namespace fs = std::filesystem;

// The build host's bundle of public CA certificates (Debian's ca-certificates).
constexpr const char* kSystemBundle = "/etc/ssl/certs/ca-certificates.crt";

class WireTest : public ::testing::Test {
protected:
    // A base URL whose requests are recorded under this test's own tag.
    CWString url(const std::string& rest, bool https = false) const {
        const std::string base = https ? server.httpsBase() : server.httpBase();
        return CWString::fromUtf8(base + "_tag/" + tag() + "/" + rest);
    }
    static std::string tag() { return tagName(); }

public:
    static std::string tagName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

protected:
    std::vector<mireth_test::RecordedRequest> requests() const { return server.recordedRequests(tag()); }

    rg_WangYeFangWenXiangYingLei send(const CWString& target, const CQueltMem* body,
                                      const rg_WenBenShuZuLei& headers = defaultHeaderList(),
                                      const CWString& cookie = CWString(),
                                      const CWString& encoding = CWString(),
                                      const rg_WenBenShuZuLei* files = nullptr,
                                      const rg_WenBenShuZuLei* names = nullptr) {
        const CWString none;
        return access.SendRequest(target, 1, body, headers, cookie, encoding, none, none, none, -1, -1, 1,
                                  files, names, nullptr);
    }

    mireth_test::ModuleServer server;
    rg_WangLaoFangWenLei access;
};

TEST_F(WireTest, PostCarriesTheBodyBytesExactly) {
    CQueltMem body;
    body.append("qq=123&pwd=a\x00"
                "b\xFF",
                15);
    const auto response = send(url("api/w/list"), &body);
    EXPECT_EQ(response.responseCode(), 200);
    EXPECT_EQ(response.curlResult(), 0);
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].body, std::string("qq=123&pwd=a\x00"
                                        "b\xFF",
                                        15));
    EXPECT_EQ(seen[0].header("Content-Length"), "15");
}

TEST_F(WireTest, WithoutABodyTheMethodIsStillPostAndNoDataGoes) {
    CQueltMem first;
    first.append("stale=1", 7);
    send(url("api/w/list"), &first);
    // The next request on the same handle has no body: nothing of the last one may go.
    const auto response = send(url("api/a/list"), nullptr);
    EXPECT_EQ(response.responseCode(), 200);
    CQueltMem empty;
    send(url("api/s/list"), &empty);
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 3u);
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(seen[i].method, "POST") << i;
        EXPECT_TRUE(seen[i].body.empty()) << i;
    }
}

TEST_F(WireTest, TheDefaultBlockMakesExactlyThreeHeaderLines) {
    send(url("api/w/list"), nullptr);
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 1u);
    const auto& request = seen[0];
    EXPECT_EQ(request.header("User-Agent"),
              "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/87.0.4280.141 Safari/537.36");
    EXPECT_EQ(request.header("Accept"),
              "text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,"
              "image/webp,image/apng,*/*;q=0.8,application/signed-exchange;v=b3;q=0.9");
    EXPECT_EQ(request.header("Accept-Language"), "zh-CN,zh;q=0.9");
    EXPECT_EQ(request.headerCount("User-Agent"), 1u);
    EXPECT_EQ(request.headerCount("Accept"), 1u);
    // An empty cookie text sends none; an empty encoding text asks for every
    // encoding libcurl decodes.
    EXPECT_EQ(request.headerCount("Cookie"), 0u);
    EXPECT_EQ(request.headerCount("Accept-Encoding"), 1u);
    EXPECT_NE(request.header("Accept-Encoding").find("gzip"), std::string::npos);
}

TEST_F(WireTest, CookieAndEncodingTextsAreSentAndClearedAgain) {
    send(url("api/w/list"), nullptr, defaultHeaderList(), CWString(u"sid=42"), CWString(u"gzip"));
    send(url("api/w/list"), nullptr);
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].header("Cookie"), "sid=42");
    EXPECT_EQ(seen[0].header("Accept-Encoding"), "gzip");
    EXPECT_EQ(seen[1].headerCount("Cookie"), 0u);
    EXPECT_NE(seen[1].header("Accept-Encoding"), "gzip"); // back to what libcurl decodes
}

TEST_F(WireTest, ResponseFieldsComeFromTheAnswer) {
    const auto response = send(url("_cookie/a=1/_cookie/b=2/api/w/list"), nullptr);
    EXPECT_EQ(response.responseCode(), 200);
    ASSERT_EQ(response.cookies().Count(), 2u);
    EXPECT_EQ(response.cookies().At(0).view().substr(0, 3), u"a=1");
    EXPECT_EQ(response.cookies().At(1).view().substr(0, 3), u"b=2");
    EXPECT_NE(response.contentType().view().find(u"json"), std::u16string_view::npos);
    EXPECT_EQ(response.contentLength(), static_cast<std::int64_t>(response.body().size()));
    EXPECT_GT(response.totalTime(), 0);
    // Header lines arrive whole, CR LF and the closing blank line included.
    ASSERT_GE(response.headerLines().Count(), 3u);
    EXPECT_EQ(response.headerLines().At(0).view().substr(0, 5), u"HTTP/");
    EXPECT_EQ(response.headerLines().At(response.headerLines().Count() - 1), u"\r\n");
}

TEST_F(WireTest, LowerCaseHeaderNamesFillOnlyTheLines) {
    const auto response = send(url("_lower/_cookie/c=3/api/w/list"), nullptr);
    EXPECT_EQ(response.responseCode(), 200);
    EXPECT_TRUE(response.contentType().isEmpty());
    EXPECT_EQ(response.cookies().Count(), 0u);
    EXPECT_GT(response.headerLines().Count(), 2u);
}

TEST_F(WireTest, ARedirectOfAPostIsFollowedAsAGetAndCounted) {
    CQueltMem body;
    body.append("qq=1&pwd=secret", 15);
    const auto response = send(url("_redirect/3/api/w/list"), &body);
    EXPECT_EQ(response.responseCode(), 200);
    EXPECT_EQ(response.redirectCount(), 3);
    // The last Location header seen, and only the last answer's body.
    EXPECT_NE(response.location().view().find(u"_redirect/0/"), std::u16string_view::npos);
    ASSERT_FALSE(response.body().empty());
    EXPECT_EQ(*static_cast<const char*>(response.body().data()), '{');
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].body, "qq=1&pwd=secret");
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].method, "GET") << i;
        EXPECT_TRUE(seen[i].body.empty()) << i;
    }
    // The next request on the handle is a POST again.
    send(url("api/a/list"), &body);
    EXPECT_EQ(requests().back().method, "POST");
}

TEST_F(WireTest, RedirectsGoOnlyWhereTheCredentialsMay) {
    // The same server under another name is another server to the rule.
    const std::string base = server.httpBase();
    const std::string localhost = "http://localhost:" + base.substr(base.rfind(':') + 1);
    const struct {
        std::string prefix;
        std::vector<std::string> methods;                // of the requests that arrive
        RedirectRefusal refusal = RedirectRefusal::None; // None: followed to the list
        std::u16string_view differs = u"";
    } cases[] = {
        {"_status/301/_redirect/1/", {"POST", "GET"}},
        {"_status/303/_redirect/1/", {"POST", "GET"}},
        {"_status/307/_redirect/1/", {"POST", "POST"}},
        {"_status/308/_redirect/1/", {"POST", "POST"}},
        {"_status/307/_location/" + mireth_test::ModuleServer::percentEncoded(localhost + "/api/w/list") +
             "/",
         {"POST"},
         RedirectRefusal::OtherHost,
         u"主机 127.0.0.1 → localhost"},
        {"_status/302/_location/" + mireth_test::ModuleServer::percentEncoded("ftp://127.0.0.1/x") + "/",
         {"POST"},
         RedirectRefusal::UnsupportedScheme,
         u"ftp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        server.clearRequests(tag());
        CQueltMem body;
        body.append("qq=1&pwd=2", 10);
        const auto response = send(url(c.prefix + "api/w/list"), &body);
        const auto seen = requests();
        std::vector<std::string> methods;
        for (const auto& request : seen)
            methods.push_back(request.method);
        EXPECT_EQ(methods, c.methods);
        EXPECT_EQ(response.redirectRefusal(), c.refusal);
        if (c.refusal == RedirectRefusal::None) {
            // The server gives its last answer the same status, with no place to go.
            EXPECT_EQ(response.redirectCount(), 1);
            EXPECT_TRUE(response.failureText().isEmpty());
            EXPECT_EQ(seen.back().body, methods.back() == "POST" ? "qq=1&pwd=2" : "");
        } else {
            EXPECT_EQ(response.curlResult(), 0);
            EXPECT_EQ(response.redirectCount(), 0);
            EXPECT_EQ(response.failureText().view(), c.differs) << response.failureText().toUtf8String();
            EXPECT_TRUE(response.body().empty()) << "a redirect's page is no answer";
        }
    }
}

TEST_F(WireTest, ARedirectLoopEndsAfterTenHops) {
    const auto response = send(url("_loop/x"), nullptr);
    EXPECT_EQ(response.curlResult(), CURLE_TOO_MANY_REDIRECTS);
    EXPECT_EQ(response.redirectCount(), kMaxRedirects);
    EXPECT_EQ(response.failureText().view(), u"more than 10 redirects");
    EXPECT_EQ(requests().size(), static_cast<std::size_t>(kMaxRedirects) + 1);
}

TEST_F(WireTest, ACertificateNobodyIssuedIsRefusedUnlessTrusted) {
    const std::string https = server.httpsBase();
    if (https.empty())
        GTEST_FAIL() << "the module server serves no TLS";
    // By name: Schannel matches a certificate's DNS names only, not its addresses.
    const CWString target = CWString::fromUtf8("https://localhost:" + https.substr(https.rfind(':') + 1) +
                                               "_tag/" + tag() + "/api/w/list");
    const struct {
        const char* what;
        bool verify;
        std::string caFile;
        int curlResult;
    } cases[] = {
        {"the system's certificates", true, "", CURLE_PEER_FAILED_VERIFICATION},
        {"public CAs that did not issue it", true, mireth_test::ModuleServer::nativePath(kSystemBundle),
         CURLE_PEER_FAILED_VERIFICATION},
        {"the server's own certificate as CA", true, server.certificateFile(), CURLE_OK},
        {"no check", false, "", CURLE_OK},
        {"a CA file that is not there", true, server.certificateFile() + ".missing",
         CURLE_SSL_CACERT_BADFILE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.caFile.empty() && c.verify && mireth_test::runsUnderWine())
            continue; // Wine's Schannel checks no certificate against the system's store
        TransferPolicy policy;
        policy.verifyPeer = c.verify;
        policy.caFile = CWString::fromUtf8(c.caFile);
        access.setPolicy(policy);
        const auto response = send(target, nullptr);
        EXPECT_EQ(response.curlResult(), c.curlResult) << response.failureText().toUtf8String();
        EXPECT_EQ(isCertificateFailure(response.curlResult()), c.curlResult != CURLE_OK);
        EXPECT_EQ(response.responseCode(), c.curlResult == CURLE_OK ? 200 : 0);
        EXPECT_EQ(response.failureText().isEmpty(), c.curlResult == CURLE_OK);
    }
    // From https, nothing is followed to http.
    TransferPolicy trusting;
    trusting.verifyPeer = false;
    access.setPolicy(trusting);
    const auto downgrade = send(
        url("_status/302/_location/" +
                mireth_test::ModuleServer::percentEncoded(server.httpBase() + "api/w/list") + "/api/w/list",
            true),
        nullptr);
    EXPECT_EQ(downgrade.responseCode(), 302);
    EXPECT_EQ(downgrade.redirectRefusal(), RedirectRefusal::HttpsToHttp);
}

TEST_F(WireTest, ErrorStatusAndCutOffBodiesAreVisible) {
    const auto notFound = send(url("_status/404/api/w/list"), nullptr);
    EXPECT_EQ(notFound.responseCode(), 404);
    EXPECT_EQ(notFound.curlResult(), 0);
    const auto cut = send(url("_cut/10/_bytes/1000/x"), nullptr);
    EXPECT_EQ(cut.responseCode(), 200);
    EXPECT_EQ(cut.curlResult(), CURLE_PARTIAL_FILE);
    EXPECT_EQ(cut.body().size(), 10u);
}

TEST_F(WireTest, RequestLimitsHoldForTheirRequestAlone) {
    constexpr std::size_t kLimit = 1u << 20;
    const CQueltMem none;
    struct Case {
        const char* what;
        std::string path;
        RequestLimits limits;
        int curlResult;
        bool passedLimit;
        std::size_t kept; // at most, and less by no more than one piece of libcurl's
    };
    const Case cases[] = {
        // Announced too large: refused before any body byte.
        {"announced", "_bytes/2097152/x", {0, kLimit}, CURLE_FILESIZE_EXCEEDED, false, 0},
        // Not announced, and endless: refused by the sink at the limit.
        {"endless", "_nolength/_bytes/1099511627776/x", {0, kLimit}, CURLE_WRITE_ERROR, true, kLimit},
        {"exactly the limit", "_bytes/1048576/x", {0, kLimit}, CURLE_OK, false, kLimit},
        {"too slow to answer", "_stallbefore/10/x", {300, 0}, CURLE_OPERATION_TIMEDOUT, false, 0},
        // The same handle without limits: nothing of the last request's stays.
        {"unbounded again", "_stallbefore/0.5/_bytes/2097152/x", {}, CURLE_OK, false, 2u << 20},
    };
    for (const Case& c : cases) {
        CQueltMem body;
        MemoryBodySink sink(body, c.limits.answerBytes);
        const auto start = std::chrono::steady_clock::now();
        const auto response = access.SendRequestTo(sink, url(c.path), &none, defaultHeaderList(), c.limits);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        sink.finish();
        EXPECT_EQ(response.curlResult(), c.curlResult) << c.what;
        EXPECT_EQ(sink.passedLimit(), c.passedLimit) << c.what;
        EXPECT_LE(body.size(), c.kept) << c.what;
        EXPECT_GT(body.size() + kReceiveBufferBytes, c.kept) << c.what;
        if (c.limits.timeoutMs != 0) {
            EXPECT_LT(elapsed, std::chrono::seconds(5)) << c.what;
        }
    }
}

TEST_F(WireTest, NoServerMeansCodeZero) {
    // A port nothing listens on: the loopback server's own port plus one is not
    // guaranteed free, so use the reserved discard port.
    const auto response = send(CWString(u"http://127.0.0.1:9/api/w/list"), nullptr);
    EXPECT_EQ(response.responseCode(), 0);
    EXPECT_NE(response.curlResult(), 0);
}

// Files for a form, in a temporary folder.
class FormFiles {
public:
    FormFiles() {
        folder_ = fs::temp_directory_path() / ("mireth-form-" + WireTest::tagName());
        fs::create_directories(folder_);
    }
    ~FormFiles() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    CWString add(const std::u16string& name, const std::string& contents) {
        const fs::path path = folder_ / fs::path(name);
        std::ofstream(path, std::ios::binary) << contents;
        return CWString(path.u16string());
    }

private:
    fs::path folder_;
};

TEST_F(WireTest, FormPartsWithoutANameListAreNumbered) {
    FormFiles files;
    rg_WenBenShuZuLei list;
    list.Append(files.add(u"one.txt", "first").view());
    // Libcurl opens the file by its ANSI name, so the name must be one the system's
    // code page can hold on every test machine; its escaped form is UTF-8.
    list.Append(files.add(u"mod\u00FCl two.txt", "second").view());
    const auto response = send(url("upload"), nullptr, defaultHeaderList(), CWString(), CWString(), &list);
    EXPECT_EQ(response.curlResult(), 0);
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 1u);
    const std::string& body = seen[0].body;
    EXPECT_NE(seen[0].header("Content-Type").find("multipart/form-data"), std::string::npos);
    EXPECT_NE(body.find("name=\"file\"; filename=\"one.txt\""), std::string::npos) << body;
    EXPECT_NE(body.find("name=\"file-1\"; filename=\"mod%C3%BCl%20two.txt\""), std::string::npos) << body;
    EXPECT_NE(body.find("Content-Type: application/x-www-form-urlencoded"), std::string::npos);
    EXPECT_NE(body.find("first"), std::string::npos);
    EXPECT_NE(body.find("second"), std::string::npos);

    // The form went with its request: the next one on the same handle has none.
    send(url("after"), nullptr);
    const auto after = requests();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after[1].body.empty());
    EXPECT_EQ(after[1].header("Content-Type").find("multipart"), std::string::npos);
}

TEST_F(WireTest, AShortNameListGivesPartsWithoutNames) {
    FormFiles files;
    rg_WenBenShuZuLei list;
    list.Append(files.add(u"a.txt", "A").view());
    list.Append(files.add(u"b.txt", "B").view());
    rg_WenBenShuZuLei names{u"only"};
    send(url("upload"), nullptr, defaultHeaderList(), CWString(), CWString(), &list, &names);
    const auto seen = requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].body.find("name=\"only\""), std::string::npos);
    EXPECT_EQ(seen[0].body.find("name=\"file"), std::string::npos);
    EXPECT_NE(seen[0].body.find("filename=\"a.txt\""), std::string::npos);
}

} // namespace
