#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mireth_test {

// One request as the loopback module server received it.
struct RecordedRequest {
    std::string method;
    std::string path;                                         // the request target as sent, query included
    std::vector<std::pair<std::string, std::string>> headers; // in arrival order, names as sent
    std::string body;                                         // raw bytes
    std::string scheme;                                       // "http" or "https"
    double arrived = 0.0;                                     // seconds of the server's clock
    double answered = 0.0;                                    // when its answer ended; 0 while it has not
    int clientPort = 0;                                       // the client's port: one per connection
    int status = 0;                                           // of its answer; 0 before one went out
    int inFlight = 0; // requests of its tag being answered when it arrived, itself included

    // The first value of the named header (ASCII case-insensitive); empty when absent.
    std::string header(std::string_view name) const;
    std::size_t headerCount(std::string_view name) const;
    // The form field of the body (the last of that name, %-decoded, '+' a blank);
    // empty when absent.
    std::string formField(std::string_view name) const;
};

// The most requests that were being answered at the same moment.
std::size_t mostAtOnce(const std::vector<RecordedRequest>& requests);

// The loopback module server of the CTest fixture "module_server"
// (tests/server/module_server.py), found through the port file that the
// environment variable MIRETH_TEST_SERVER names. Register a test with
// mireth_use_module_server(<test>) in CMake to get both.
//
// The server misbehaves on request through path prefixes placed right after
// the base, for example httpBase() + "_cut/10/download"; see module_server.py.
// Every test shares the one server: mark requests with "_tag/<label>/" and
// ask for recordedRequests(label), so that tests running in parallel never
// see each other's requests.
//
// A missing variable or port file is reported as a test failure (not a skip)
// where a base is asked for: the test was started outside CTest. Talks to the
// server with plain libcurl, never with the classes under test. Safe to use
// from several threads; each call makes its own transfer.
class ModuleServer {
public:
    // The password the second test proxy asks for (any user name).
    static constexpr const char* kProxyPassword = "proxy-secret";

    struct Ports {
        int http = 0;            // 0: not served
        int https = 0;           // 0: not served
        int proxy = 0;           // the open test proxy (plain and CONNECT)
        int proxyAuth = 0;       // the one that wants kProxyPassword
        std::string certificate; // the TLS server's own certificate (PEM); empty without TLS
    };

    // Reads the port file once.
    ModuleServer();

    bool isAvailable() const { return ports_.http != 0; }
    // Why the server is unavailable; empty when it is available.
    const std::string& problem() const { return problem_; }

    // "http://127.0.0.1:<port>/"; empty, with a test failure, when there is no server.
    std::string httpBase() const;
    // "https://127.0.0.1:<port>/" (self-signed certificate); empty, with a test
    // failure, when the server does not serve TLS.
    std::string httpsBase() const;

    // "http://127.0.0.1:<port>" of the open test proxy, or of the one that wants
    // credentials; empty, with a test failure, when the server names none.
    std::string proxyAddress(bool withPassword = false) const;

    // The TLS server's certificate file, in this platform's form of the path; empty,
    // with a test failure, when the server does not serve TLS.
    std::string certificateFile() const;

    // The requests recorded so far (only those marked with the tag, when one is
    // given), oldest first; empty, with a test failure, when they cannot be fetched.
    std::vector<RecordedRequest> recordedRequests(std::string_view tag = {}) const;
    // Forgets the recorded requests (only those with the tag, when one is given).
    bool clearRequests(std::string_view tag = {}) const;

    // The pieces, for their own tests.
    static std::string nativePath(std::string_view portFile);
    static Ports parsePortFile(std::string_view text);
    // Empty with *error set when the text is not the server's record array.
    static std::vector<RecordedRequest> parseRecords(std::string_view json, std::string* error);
    static std::string percentEncoded(std::string_view text);

private:
    Ports ports_;
    std::string problem_;
};

} // namespace mireth_test
