#pragma once
// Runs the built mireth-sync as a separate program and collects what it wrote to
// standard output and standard error, and its exit status. Standard input is
// empty. Not safe to use from several threads at once (on Windows it lends the
// test's own standard output and error to the child for the time of the run).
#include <string>
#include <vector>

namespace cli_test {

struct SyncResult {
    int status = -1;    // the exit status; -1 when the program could not be run
    std::string output; // standard output, UTF-8, "\r\n" made "\n"
    std::string error;  // standard error, likewise

    std::vector<std::string> outputLines() const;
    std::vector<std::string> errorLines() const;
};

// `program` and the arguments in UTF-8.
SyncResult runProgram(const std::string& program, const std::vector<std::string>& arguments);

#if !defined(_WIN32)
// As runProgram, but standard error is a terminal (a pseudo-terminal whose output
// is collected into `error`, with "\r" kept).
SyncResult runOnTerminal(const std::string& program, const std::vector<std::string>& arguments);
#endif

#if !defined(_WIN32)
// Starts the program without waiting for it, its output going nowhere; the process
// id, or −1. killProgram ends it at once (SIGKILL, no chance to clean up) and reaps it.
int startProgram(const std::string& program, const std::vector<std::string>& arguments);
void killProgram(int pid);
#endif

// The built mireth-sync, as this platform names it.
std::string syncProgram();

} // namespace cli_test
