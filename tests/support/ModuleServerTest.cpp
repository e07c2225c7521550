#include "tests/support/ModuleServer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

using mireth_test::ModuleServer;
using mireth_test::RecordedRequest;

TEST(PortFile, ReadsBothSchemesAndSkipsWhatItDoesNotKnow) {
    const auto ports =
        ModuleServer::parsePortFile("http 41000\r\nhttps 41001\nftp 21\nproxy 41002\nproxy-auth 41003\n"
                                    "certificate /tmp/a b/cert.pem\r\n");
    EXPECT_EQ(ports.http, 41000);
    EXPECT_EQ(ports.https, 41001);
    EXPECT_EQ(ports.proxy, 41002);
    EXPECT_EQ(ports.proxyAuth, 41003);
    EXPECT_EQ(ports.certificate, "/tmp/a b/cert.pem");
    const auto onlyHttp = ModuleServer::parsePortFile("http 8080");
    EXPECT_EQ(onlyHttp.http, 8080);
    EXPECT_EQ(onlyHttp.https, 0);
}

TEST(PortFile, RefusesBrokenLines) {
    for (const char* text :
         {"", "http\n", "http x\n", "http 0\n", "http 65536\n", "http 80 81\n", "http -5\n"})
        EXPECT_EQ(ModuleServer::parsePortFile(text).http, 0) << text;
}

TEST(PortFile, HostPathsBecomeDriveZUnderWindows) {
#ifdef _WIN32
    EXPECT_EQ(ModuleServer::nativePath("/work/build/module-server/ports"),
              "Z:\\work\\build\\module-server\\ports");
    EXPECT_EQ(ModuleServer::nativePath("C:\\ports"), "C:\\ports");
#else
    EXPECT_EQ(ModuleServer::nativePath("/work/build/module-server/ports"), "/work/build/module-server/ports");
#endif
}

TEST(Records, DecodesHeadersInOrderAndBinaryBodies) {
    std::string error;
    const auto records = ModuleServer::parseRecords(
        R"([{"method":"POST","path":"/a?b=1","headers":[["Host","h"],["X-Two","1"],["x-two","2"]],)"
        R"("body":"AP8Acz0=","scheme":"https","time":1.5},)"
        R"({"method":"GET","path":"/","headers":[],"body":""}])",
        &error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].method, "POST");
    EXPECT_EQ(records[0].path, "/a?b=1");
    EXPECT_EQ(records[0].body, std::string("\0\xFF\0s=", 5));
    EXPECT_EQ(records[0].scheme, "https");
    ASSERT_EQ(records[0].headers.size(), 3u);
    EXPECT_EQ(records[0].headers[1].first, "X-Two");
    EXPECT_EQ(records[0].header("X-TWO"), "1");
    EXPECT_EQ(records[0].headerCount("x-two"), 2u);
    EXPECT_EQ(records[0].header("Missing"), "");
    EXPECT_TRUE(records[1].body.empty());
}

TEST(Records, FormFieldsAndTheMostAnsweredAtOnce) {
    RecordedRequest request;
    request.body = "qq=1&file=a%26b+c%2&path=&file=%E7%95%8C.ext";
    EXPECT_EQ(request.formField("file"), "\xE7\x95\x8C.ext"); // the last one
    EXPECT_EQ(request.formField("qq"), "1");
    EXPECT_EQ(request.formField("path"), "");
    EXPECT_EQ(request.formField("pwd"), "");
    request.body = "file=a%26b+c%2";
    EXPECT_EQ(request.formField("file"), "a&b c%2");

    const auto span = [](double from, double to) {
        RecordedRequest r;
        r.arrived = from;
        r.answered = to;
        return r;
    };
    EXPECT_EQ(mireth_test::mostAtOnce({}), 0u);
    EXPECT_EQ(mireth_test::mostAtOnce({span(0, 1), span(1, 2), span(2, 3)}), 1u);
    EXPECT_EQ(mireth_test::mostAtOnce({span(0, 4), span(1, 2), span(1.5, 3), span(3.5, 5)}), 3u);
    // One still being answered counts until the end.
    EXPECT_EQ(mireth_test::mostAtOnce({span(0, 0), span(5, 6)}), 2u);
}

TEST(Records, MalformedAnswersGiveNothingAndSayWhy) {
    for (const char* text :
         {"", "{", R"({"method":"GET"})", R"([1])", R"([{"method":"GET","path":"/","body":""}])",
          R"([{"method":"GET","path":"/","headers":[["only-name"]],"body":""}])",
          R"([{"method":"GET","path":"/","headers":[],"body":"no*base64"}])",
          R"([{"method":"GET","path":"/","headers":[],"body":"QQ"}])"}) {
        std::string error;
        EXPECT_TRUE(ModuleServer::parseRecords(text, &error).empty()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(Records, TagsArePercentEncoded) {
    EXPECT_EQ(ModuleServer::percentEncoded("plain-Tag_1.x~"), "plain-Tag_1.x~");
    EXPECT_EQ(ModuleServer::percentEncoded("a b/&=\xE6\xA0\xB8"), "a%20b%2F%26%3D%E6%A0%B8");
}

size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

// Sends a POST with the given body and one extra header; the HTTP status.
long post(const std::string& url, const std::string& body, const char* header) {
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        return 0;
    curl_slist* headers = curl_slist_append(nullptr, header);
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, "");
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, discard);
    long status = 0;
    if (curl_easy_perform(curl.get()) == CURLE_OK)
        curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    return status;
}

std::string uniqueTag(const char* name) {
    return std::string(name) + "-" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

TEST(FixtureServer, RecordsWhatArrivedAndForgetsItOnRequest) {
    const ModuleServer server;
    ASSERT_TRUE(server.isAvailable()) << server.problem();
    const std::string tag = uniqueTag("support");
    const std::string body("qq=1&pwd=\0\xFF", 11);
    ASSERT_EQ(post(server.httpBase() + "_tag/" + tag + "/api/w/list", body, "X-Probe: 42"), 200);
    ASSERT_EQ(post(server.httpsBase() + "_tag/" + tag + "/_status/404/api/a/list", "", "X-Probe: 43"), 404);

    const auto records = server.recordedRequests(tag);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].method, "POST");
    EXPECT_EQ(records[0].path, "/_tag/" + tag + "/api/w/list");
    EXPECT_EQ(records[0].scheme, "http");
    EXPECT_EQ(records[0].header("x-probe"), "42");
    EXPECT_EQ(records[0].body, body);
    EXPECT_EQ(records[1].scheme, "https");
    EXPECT_EQ(records[1].header("X-Probe"), "43");

    EXPECT_TRUE(server.clearRequests(tag));
    EXPECT_TRUE(server.recordedRequests(tag).empty());
}

} // namespace
