#include "tests/e2e/NginxServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace e2e_test {
namespace {

constexpr int kStartAttempts = 5;
constexpr auto kStartTimeout = std::chrono::seconds(15);
constexpr auto kStopTimeout = std::chrono::seconds(5);

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// A port that was free a moment ago: the system's pick for port 0. Another
// program may take it before nginx binds it; start() then tries new ones.
int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

bool accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = loopback(port);
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

void replaceAll(std::string& text, const std::string& word, const std::string& value) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + value.size()))
        text.replace(at, word.size(), value);
}

} // namespace

NginxServer::NginxServer(const fs::path& prefix, const Site& site) : prefix_(prefix) {
    if (std::string(MIRETH_NGINX_PROGRAM).empty() || access(MIRETH_NGINX_PROGRAM, X_OK) != 0) {
        problem_ = "nginx is not installed (Debian package nginx; scripts/setup installs it)";
        return;
    }
    if (access(MIRETH_NGINX_JS_MODULE, R_OK) != 0) {
        problem_ = std::string("nginx's njs module ") + MIRETH_NGINX_JS_MODULE +
                   " is missing (Debian package libnginx-mod-http-js; scripts/setup installs it)";
        return;
    }
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        httpPort_ = freePort();
        tlsPort_ = freePort();
        if (httpPort_ == 0 || tlsPort_ == 0 || httpPort_ == tlsPort_) {
            problem_ = "no free loopback port";
            continue;
        }
        if (!writeConfiguration(site))
            return;
        if (start() >= 0)
            return;
    }
}

NginxServer::~NginxServer() { stop(); }

bool NginxServer::writeConfiguration(const Site& site) {
    std::error_code error;
    fs::remove_all(prefix_, error);
    fs::create_directories(prefix_ / "temp", error);
    const fs::path source = MIRETH_E2E_SOURCE;
    // The prefix holds all it needs: `nginx -p <prefix>/ -c nginx.conf` runs it again by hand.
    for (const char* name : {"module_site.js", "module_site.conf"})
        fs::copy_file(source / name, prefix_ / name, fs::copy_options::overwrite_existing, error);
    std::string text = readText(source / "nginx.conf.in");
    if (error || text.empty()) {
        problem_ = "cannot prepare " + prefix_.string() + " from " + source.string() +
                   (error ? ": " + error.message() : "");
        return false;
    }
    replaceAll(text, "@PREFIX@", prefix_.string());
    replaceAll(text, "@NJS_MODULE@", MIRETH_NGINX_JS_MODULE);
    replaceAll(text, "@HTTP_PORT@", std::to_string(httpPort_));
    replaceAll(text, "@TLS_PORT@", std::to_string(tlsPort_));
    replaceAll(text, "@ROOT@", site.root.string());
    replaceAll(text, "@CERTIFICATE@", site.certificate.string());
    replaceAll(text, "@KEY@", site.key.string());
    std::ofstream out(prefix_ / "nginx.conf", std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
        problem_ = "cannot write " + (prefix_ / "nginx.conf").string();
        return false;
    }
    return true;
}

int NginxServer::start() {
    // Everything the child needs is made before the fork: after it, only calls
    // that are safe in a copy of a threaded process run.
    const std::string program = MIRETH_NGINX_PROGRAM;
    const std::string prefixArg = prefix_.string() + "/";
    const std::string config = (prefix_ / "nginx.conf").string();
    const std::string errorLog = (prefix_ / "error.log").string();
    const std::string output = (prefix_ / "nginx.out").string();
    std::vector<char*> argv{const_cast<char*>(program.c_str()),   const_cast<char*>("-p"),
                            const_cast<char*>(prefixArg.c_str()), const_cast<char*>("-c"),
                            const_cast<char*>(config.c_str()),    const_cast<char*>("-e"),
                            const_cast<char*>(errorLog.c_str()),  nullptr};
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        problem_ = "cannot start nginx: fork failed";
        return -1;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0)
            _exit(127);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    pid_ = pid;
    const auto limit = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < limit) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            const std::string log = readText(prefix_ / "error.log") + readText(output);
            const bool taken = log.find("Address already in use") != std::string::npos;
            problem_ = "nginx ended at start (status " + std::to_string(status) + "):\n" + log;
            return taken ? 0 : -1;
        }
        if (accepts(httpPort_) && accepts(tlsPort_)) {
            problem_.clear();
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    problem_ = "nginx did not listen within 15 s:\n" + readText(prefix_ / "error.log");
    return -1;
}

void NginxServer::stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGQUIT);
    int status = 0;
    const auto limit = std::chrono::steady_clock::now() + kStopTimeout;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= limit) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
}

std::vector<std::string> NginxServer::accessLog() const {
    std::vector<std::string> lines;
    std::istringstream in(readText(prefix_ / "access.log"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace e2e_test
