#include "tests/cli/SyncProcess.h"

#include "runtime/platform/SystemInfo.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace cli_test {
namespace fs = std::filesystem;
namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            plain += text[i];
    }
    return plain;
}

fs::path scratchFile(const char* role) {
    static int counter = 0;
    return fs::temp_directory_path() / ("mireth-sync-test-" + std::to_string(platform::currentThreadId()) +
                                        "-" + std::to_string(++counter) + "-" + role + ".txt");
}

#if defined(_WIN32)
std::wstring wide(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// One argument as the child's runtime splits its command line: quotes around, and
// backslashes doubled only before a quotation mark.
std::wstring quoted(const std::wstring& argument) {
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t unit : argument) {
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(unit == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += unit;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

int spawnRedirected(const std::string& program, const std::vector<std::string>& arguments,
                    const fs::path& out, const fs::path& err) {
    std::vector<std::wstring> words{quoted(wide(program))};
    for (const std::string& argument : arguments)
        words.push_back(quoted(wide(argument)));
    std::vector<const wchar_t*> argv;
    for (const std::wstring& word : words)
        argv.push_back(word.c_str());
    argv.push_back(nullptr);

    const int outFd =
        _wopen(out.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    const int errFd =
        _wopen(err.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    const int nulFd = _wopen(L"NUL", _O_RDONLY | _O_BINARY);
    if (outFd < 0 || errFd < 0 || nulFd < 0)
        return -1;
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedIn = _dup(0), savedOut = _dup(1), savedErr = _dup(2);
    _dup2(nulFd, 0);
    _dup2(outFd, 1);
    _dup2(errFd, 2);
    // Under Wine a start now and then fails outright while other Wine programs
    // start and end around it; nothing has run then, so it is tried again.
    intptr_t status = -1;
    for (int attempt = 0; attempt < 3 && status == -1; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        status = _wspawnv(_P_WAIT, wide(program).c_str(), argv.data());
    }
    _dup2(savedIn, 0);
    _dup2(savedOut, 1);
    _dup2(savedErr, 2);
    for (int fd : {savedIn, savedOut, savedErr, outFd, errFd, nulFd})
        _close(fd);
    return static_cast<int>(status);
}
#else
// The program's name, its arguments and the null that ends them, as posix_spawn takes them.
std::vector<char*> argvOf(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

int spawnRedirected(const std::string& program, const std::vector<std::string>& arguments,
                    const fs::path& out, const fs::path& err, int terminal = -1,
                    std::string* terminalText = nullptr) {
    std::vector<char*> argv = argvOf(program, arguments);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (terminal < 0)
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    else
        posix_spawn_file_actions_addopen(&actions, 2, ptsname(terminal), O_RDWR | O_NOCTTY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return -1;
    int status = 0;
    // The terminal is read while the program runs, so that it never blocks on a
    // full terminal buffer.
    bool ended = false;
    while (terminal >= 0 && !ended) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t got = read(terminal, buffer, sizeof buffer);
            if (got > 0)
                terminalText->append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            ended = true;
        else if (done < 0)
            return -1;
    }
    if (!ended && waitpid(pid, &status, 0) != pid)
        return -1;
    for (char buffer[4096]; terminal >= 0;) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 0) <= 0 || !(ready.revents & POLLIN))
            break;
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got <= 0)
            break;
        terminalText->append(buffer, static_cast<std::size_t>(got));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
#endif

} // namespace

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

std::vector<std::string> SyncResult::outputLines() const { return linesOf(output); }

std::vector<std::string> SyncResult::errorLines() const { return linesOf(error); }

SyncResult runProgram(const std::string& program, const std::vector<std::string>& arguments) {
    const fs::path out = scratchFile("out");
    const fs::path err = scratchFile("err");
    SyncResult result;
    result.status = spawnRedirected(program, arguments, out, err);
    result.output = readAll(out);
    result.error = readAll(err);
    std::error_code ignored;
    fs::remove(out, ignored);
    fs::remove(err, ignored);
    return result;
}

#if !defined(_WIN32)
int startProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv = argvOf(program, arguments);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    for (int fd = 0; fd < 3; ++fd)
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? static_cast<int>(pid) : -1;
}

void killProgram(int pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

SyncResult runOnTerminal(const std::string& program, const std::vector<std::string>& arguments) {
    SyncResult result;
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
        if (terminal >= 0)
            close(terminal);
        return result;
    }
    const fs::path out = scratchFile("out");
    result.status = spawnRedirected(program, arguments, out, fs::path(), terminal, &result.error);
    close(terminal);
    result.output = readAll(out);
    std::error_code ignored;
    fs::remove(out, ignored);
    return result;
}
#endif

std::string syncProgram() {
    std::string path = MIRETH_SYNC_PROGRAM;
#if defined(_WIN32)
    // CMake names the file by its Unix path; under Wine the Unix root is drive Z:.
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
    }
#endif
    return path;
}

} // namespace cli_test
