// mireth-sync run as a program against a real web server (nginx, the module
// service answered by njs from a static tree) and against the loopback module
// server, with one table of cases for both. Both serve the same tree and list
// answers; the TLS port of each uses the loopback server's own certificate.
#include "tests/cli/SyncProcess.h"
#include "tests/e2e/NginxServer.h"
#include "tests/support/ModuleServer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using e2e_test::NginxServer;
using mireth_test::ModuleServer;

enum class Scheme { Http, Https, HttpOnTlsPort };

struct Case {
    const char* name;   // nginx: the location; loopback: the tag's word
    char kind;          // the module kind updated
    Scheme scheme;      // HttpOnTlsPort: plain HTTP sent to the TLS port, which moves it to https
    const char* prefix; // the loopback server's prefixes for the same behaviour
    int failedStatus;   // every row not in the tree fails with this status (0: none fail)
    bool allFail;       // every row of the kind fails with it
    std::vector<const char*> nginxSeen;    // each matched by an access-log line of the case
    std::vector<const char*> nginxUnseen;  // matched by none
    std::vector<const char*> loopbackSeen; // each matched by a "METHOD path status scheme accept=…" line
};

// clang-format off
const Case kCases[] = {
    {"plain", 'w', Scheme::Http, "", 0, false,
     {"^POST /plain/download 200 HTTP/1.1 .* len=[0-9]+ te=-$"}, {}, {}},
    {"h2", 'w', Scheme::Https, "", 0, false,
     {"^POST /h2/download 200 HTTP/2.0 "}, {" HTTP/1"}, {"^POST \\S+/download 200 https "}},
    // The list is sent compressed (the loopback server compresses what the request accepts).
    {"gzip", 'w', Scheme::Http, "_gzip/", 0, false,
     {"^POST /gzip/api/w/list 200 .* ce=gzip ratio=([2-9]|[1-9][0-9])", "^POST /gzip/download 200 .* ce=gzip "}, {},
     {"^POST \\S+/api/w/list 200 http accept=.*gzip"}},
    {"chunked", 'w', Scheme::Http, "_chunked/", 0, false,
     {"^POST /chunked/api/w/list 200 .* len=- te=chunked$", "^POST /chunked/download 200 .* len=- te=chunked$"},
     {"^POST /chunked/download 200 .* len=[1-9]"}, {}},
    // More than ten files: the connections are closed after ten requests and made anew.
    {"keepalive", 'w', Scheme::Http, "", 0, false, {" req=10 "}, {" req=(1[1-9]|[2-9][0-9]) "}, {}},
    {"missing", 'a', Scheme::Http, "", 404, false, {"^POST /missing/download 404 HTTP/1.1 "}, {}, {}},
    // nginx's own page is longer than each listed file: the status is the reason.
    {"unavailable", 's', Scheme::Http, "_status/503/", 503, true,
     {"^POST /unavailable/download 503 .* len=[1-9][0-9]{2,} "}, {"^POST /unavailable/download 200 "},
     {"^POST \\S+/download 503 http "}},
    // Enough files that the limit refuses some; retried, every one arrives.
    {"ratelimit", 'w', Scheme::Http, "_ratelimit/20/5/", 0, false,
     {"^POST /ratelimit/download 503 "}, {}, {"^POST \\S+/download 503 http "}},
    // The same host and port pair, so the POST is repeated over TLS as it was.
    {"tohttps", 'w', Scheme::HttpOnTlsPort, "_tohttps/", 0, false,
     {"^POST /tohttps/api/w/list 301 HTTP/1.1 ", "^POST /tohttps/download 301 HTTP/1.1 ",
      "^POST /tohttps/download 200 HTTP/2.0 "}, {},
     {"^POST \\S+_tohttps/download 301 http ", "^POST \\S+/download 200 https "}},
};
// clang-format on

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

struct TreeFile {
    char kind;
    std::string path; // "/"-separated, under the kind's folder
    std::string content;
    bool present = true; // false: listed, but not in the tree
};

std::string contentOf(std::size_t seed, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((seed * 31 + i * 7) % 251);
    return bytes;
}

// Kind w: more files than a connection may carry and than the rate limit lets
// through at once, of mixed sizes and names. a: one file listed but missing. s:
// files smaller than nginx's error pages.
std::vector<TreeFile> treeFiles() {
    std::vector<TreeFile> files;
    for (std::size_t k = 0; k < 56; ++k)
        files.push_back({'w', "lib" + std::to_string(k % 6) + "/m" + std::to_string(k) + ".ext",
                         contentOf(k, 1 + k * k * 3 % 9000)});
    files.push_back({'w', "big.bin", contentOf(99, 300000)});
    files.push_back({'w', "empty.ext", ""});
    files.push_back({'w', "核心/界面库.ext", "界面库模块\n"});
    files.push_back({'w', "names/a&b=c+d%e f.ext", "awkward name\n"});
    files.push_back({'a', "a1.ext", "android one\n"});
    files.push_back({'a', "sub/a2.ext", contentOf(7, 5000)});
    files.push_back({'a', "gone.ext", "never there\n", false});
    files.push_back({'s', "s1.ext", "server one\n"});
    files.push_back({'s', "svc/s2.ext", contentOf(8, 100)});
    return files;
}

std::string fileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

bool writeBytes(const fs::path& path, const std::string& bytes) {
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// The tree and, beside it, each kind's list answer (<kind>.json), which both
// servers send as it stands.
bool writeTree(const fs::path& root, const std::vector<TreeFile>& files) {
    std::map<char, Json::Value> lists;
    for (const TreeFile& file : files) {
        Json::Value entry;
        entry["name"] = fileName(file.path);
        entry["path"] = file.path;
        entry["size"] = static_cast<Json::Int>(file.content.size());
        entry["updateTime"] = "2024-01-31 08:05:00";
        lists[file.kind]["data"].append(entry);
        if (file.present &&
            !writeBytes(root / std::string(1, file.kind) / fs::u8path(file.path), file.content))
            return false;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    writer["emitUTF8"] = true;
    for (auto& [kind, list] : lists) {
        list["code"] = 200;
        list["msg"] = "ok";
        if (!writeBytes(root / (std::string(1, kind) + ".json"), Json::writeString(writer, list)))
            return false;
    }
    return true;
}

// The two servers, for the whole test program: made once, stopped at its end.
struct Servers {
    fs::path run;
    std::string problem; // why the loopback server is not there
    std::unique_ptr<ModuleServer> loopback;
    std::unique_ptr<NginxServer> nginx;

    Servers() {
        const fs::path state = MIRETH_E2E_STATE;
        // An earlier run's logs go, and its loopback server too if that run was killed.
        std::error_code ignored;
        for (const auto& earlier : fs::directory_iterator(state, ignored))
            stopLoopback(earlier.path() / "loopback");
        fs::remove_all(state, ignored);
        run = state / ("run-" + std::to_string(getpid()));
        if (!writeTree(run / "root", treeFiles())) {
            problem = "cannot write the tree under " + run.string();
            return;
        }
        // A loopback server of its own, on this tree (the shared one serves the sample).
        const auto started = cli_test::runProgram(MIRETH_PYTHON3, {MIRETH_MODULE_SERVER_DIR "/server_ctl.py",
                                                                   "start", "--root", (run / "root").string(),
                                                                   "--state-dir", (run / "loopback").string(),
                                                                   "--https", "--lifetime", "1800"});
        if (started.status != 0) {
            problem = "the loopback server did not start: " + started.error;
            return;
        }
        setenv("MIRETH_TEST_SERVER", (run / "loopback" / "ports").c_str(), 1);
        loopback = std::make_unique<ModuleServer>();
        if (!loopback->isAvailable()) {
            problem = loopback->problem();
            return;
        }
        const fs::path certificate = loopback->certificateFile();
        nginx = std::make_unique<NginxServer>(
            run / "nginx",
            NginxServer::Site{run / "root", certificate, certificate.parent_path() / "key.pem"});
    }
    ~Servers() {
        nginx.reset();
        stopLoopback(run / "loopback");
    }
    static void stopLoopback(const fs::path& state) {
        cli_test::runProgram(MIRETH_PYTHON3, {MIRETH_MODULE_SERVER_DIR "/server_ctl.py", "stop",
                                              "--state-dir", state.string()});
    }
};

class WebServerSyncTest : public ::testing::TestWithParam<std::tuple<Case, bool>> {
protected:
    static void SetUpTestSuite() { servers = new Servers; }
    static void TearDownTestSuite() {
        delete servers;
        servers = nullptr;
    }
    static Servers* servers;
};

Servers* WebServerSyncTest::servers = nullptr;

// Where mireth-sync is sent for the case: a location of nginx, or the loopback
// server's prefixes marked with the case's tag.
std::string domainOf(const Case& c, const Servers& servers, bool onNginx) {
    if (onNginx) {
        const int port = c.scheme == Scheme::Http ? servers.nginx->httpPort() : servers.nginx->tlsPort();
        return std::string(c.scheme == Scheme::Https ? "https" : "http") +
               "://127.0.0.1:" + std::to_string(port) + "/" + c.name + "/";
    }
    std::string base =
        c.scheme == Scheme::Http ? servers.loopback->httpBase() : servers.loopback->httpsBase();
    if (c.scheme == Scheme::HttpOnTlsPort)
        base.replace(0, 5, "http"); // the TLS port answers plain HTTP too
    return base + "_tag/e2e-" + c.name + "/" + c.prefix;
}

// The server's own record of the case's requests, a line each.
std::vector<std::string> serverLines(const Case& c, const Servers& servers, bool onNginx) {
    std::vector<std::string> lines;
    if (onNginx) {
        for (const std::string& line : servers.nginx->accessLog())
            if (line.find(std::string(" /") + c.name + "/") != std::string::npos)
                lines.push_back(line);
        return lines;
    }
    for (const auto& request : servers.loopback->recordedRequests(std::string("e2e-") + c.name))
        lines.push_back(request.method + " " + request.path + " " + std::to_string(request.status) + " " +
                        request.scheme + " accept=" + request.header("Accept-Encoding"));
    return lines;
}

bool anyMatches(const std::vector<std::string>& lines, const char* pattern) {
    const std::regex expression(pattern);
    for (const std::string& line : lines)
        if (std::regex_search(line, expression))
            return true;
    return false;
}

TEST_P(WebServerSyncTest, EveryFileArrivesWholeOrFailsWithTheServersStatus) {
    const auto& [c, onNginx] = GetParam();
    ASSERT_NE(servers, nullptr);
    ASSERT_TRUE(servers->problem.empty()) << servers->problem;
    if (onNginx) {
        ASSERT_TRUE(servers->nginx->running()) << servers->nginx->problem();
    }

    mireth_test::TempFolder work("e2e");
    ASSERT_TRUE(work.ok());
    const fs::path config = work.path() / "setup.ini";
    std::ofstream ini(config, std::ios::binary);
    ini << "[全局]\n域名=" << domainOf(c, *servers, onNginx)
        << "\n证书文件=" << servers->loopback->certificateFile()
        << "\n[视窗模块]\n路径=" << (work.path() / "w").string()
        << "\n[安卓模块]\n路径=" << (work.path() / "a").string()
        << "\n[服务器模块]\n路径=" << (work.path() / "s").string() << "\n";
    ini.close();

    const cli_test::SyncResult result =
        cli_test::runProgram(cli_test::syncProgram(), {"--config", config.string(), "--json", "--quiet",
                                                       "update", std::string(1, c.kind)});
    Json::Value root;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    ASSERT_TRUE(
        reader->parse(result.output.data(), result.output.data() + result.output.size(), &root, &errors))
        << errors << result.output << result.error;
    std::map<std::string, Json::Value> rows;
    for (const Json::Value& row : root[0]["rows"])
        rows[row["name"].asString()] = row;

    bool anyFailed = false;
    for (const TreeFile& file : treeFiles()) {
        if (file.kind != c.kind)
            continue;
        SCOPED_TRACE(file.path);
        ASSERT_EQ(rows.count(fileName(file.path)), 1u) << result.output;
        const Json::Value& row = rows[fileName(file.path)];
        const fs::path local = work.path() / std::string(1, c.kind) / fs::u8path(file.path);
        if (c.allFail || !file.present) {
            anyFailed = true;
            EXPECT_EQ(row["mode"].asString(), "下载失败");
            EXPECT_EQ(row["reason_code"].asString(), "http_status") << row["reason"].asString();
            EXPECT_NE(row["reason"].asString().find("HTTP " + std::to_string(c.failedStatus)),
                      std::string::npos)
                << row["reason"].asString();
            EXPECT_FALSE(fs::exists(local));
        } else {
            EXPECT_EQ(row["mode"].asString(), "成功") << row["reason"].asString();
            EXPECT_TRUE(mireth_test::readFile(local) == file.content)
                << "not byte for byte the server's file";
        }
    }
    EXPECT_EQ(result.status, anyFailed ? 1 : 0) << result.error;

    const std::vector<std::string> lines = serverLines(c, *servers, onNginx);
    std::string shown;
    for (const std::string& line : lines)
        shown += line + "\n";
    for (const char* pattern : onNginx ? c.nginxSeen : c.loopbackSeen)
        EXPECT_TRUE(anyMatches(lines, pattern)) << "no request matched " << pattern << "\n" << shown;
    for (const char* pattern : onNginx ? c.nginxUnseen : std::vector<const char*>{})
        EXPECT_FALSE(anyMatches(lines, pattern)) << "a request matched " << pattern << "\n" << shown;
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Case, bool>>& info) {
    return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_nginx" : "_loopback");
}

INSTANTIATE_TEST_SUITE_P(Cases, WebServerSyncTest,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()), caseName);

} // namespace
