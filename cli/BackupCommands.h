#pragma once
// mireth-sync's rollback and history: the previous versions of one kind's modules
// (updater/ModuleBackups.h) undone or listed, as text or with --json as one object
// with stable codes.
#include "cli/CommandLine.h"

namespace rg_quelt_app::cli {

// The exit status of each (SyncCommands' statuses; 4 when rollback found no job).
int runRollback(const CommandLine& line, const CWString& configFile);
int runHistory(const CommandLine& line, const CWString& configFile);

} // namespace rg_quelt_app::cli
