#pragma once
// Debian's nginx with its njs module, run by a test as its own child in the
// foreground: a configuration made from tests/e2e/nginx.conf.in in a prefix of
// its own (logs, pid, temporary folders all inside it), on two free loopback
// ports, the second TLS with HTTP/2. Stopped by its pid when the object goes,
// whatever the tests did; a test process that dies takes it along.
#include <filesystem>
#include <string>
#include <vector>

namespace e2e_test {

namespace fs = std::filesystem;

class NginxServer {
public:
    struct Site {
        fs::path root;        // the static tree nginx serves under /_tree/
        fs::path certificate; // the TLS port's certificate and key (PEM)
        fs::path key;
    };

    // Starts nginx in `prefix` (made anew); problem() says why when it did not.
    NginxServer(const fs::path& prefix, const Site& site);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    bool running() const { return pid_ > 0; }
    const std::string& problem() const { return problem_; }
    int httpPort() const { return httpPort_; }
    int tlsPort() const { return tlsPort_; }
    // The lines of the access log so far (format "e2e" of the template).
    std::vector<std::string> accessLog() const;

    // SIGQUIT, a few seconds for a graceful end, then SIGKILL; reaps it.
    void stop();

private:
    bool writeConfiguration(const Site& site);
    // 1: listening; 0: could not bind its ports (worth new ones); -1: failed.
    int start();

    fs::path prefix_;
    std::string problem_;
    int pid_ = -1;
    int httpPort_ = 0;
    int tlsPort_ = 0;
};

} // namespace e2e_test
