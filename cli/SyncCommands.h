#pragma once
// What mireth-sync does for each command, and the exit status it ends with. Runs
// on the one thread of the process, which also services the download worker's
// notices while it waits.
#include "cli/CommandLine.h"

namespace rg_quelt_app::cli {

enum ExitStatus : int {
    kExitOk = 0,          // every step succeeded, or there was nothing to do
    kExitFilesFailed = 1, // an update left a file failed
    kExitUsage = 2,       // usage or configuration error
    kExitListFailed = 3,  // a module list could not be fetched or understood
    kExitNoBackup = 4,    // rollback found no job to undo
};

// Parses the arguments (without the program's name) and runs the command.
int runSync(const std::vector<CWString>& arguments);

} // namespace rg_quelt_app::cli
