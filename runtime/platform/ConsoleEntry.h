#pragma once
// The entry of a console program, for the programs that link mireth_console_entry:
// the platform's own main takes the command line — as UTF-16 on Windows (wmain),
// so no argument is cut down to the ANSI code page; as UTF-8 elsewhere — prepares
// the standard streams (StandardStreams.h) and calls consoleMain with the
// arguments after the program's name. Its result is the process's exit code.
#include <string>
#include <vector>

namespace platform {

// Defined by the program.
int consoleMain(const std::vector<std::u16string>& arguments);

} // namespace platform
