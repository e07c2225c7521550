#pragma once
// The command line of mireth-sync, read into what to do. Options may stand before
// or after the command words; "--config FILE" also as "--config=FILE".
#include "runtime/core/WString.h"
#include "updater/ModuleKind.h"

#include <vector>

namespace rg_quelt_app::cli {

enum class Command { Help, Version, Check, Update, ConfigShow, ConfigGet, ConfigSet, Rollback, History };

struct CommandLine {
    Command command = Command::Help;
    CWString configFile; // empty: setup.ini in the program's folder
    bool json = false;
    bool quiet = false;
    bool force = false; // update only: "强制更新"
    int jobs = 0;       // update only: files at once; 0 takes setup.ini's
    int retries = -1;   // update only: further attempts; −1 takes setup.ini's
    std::vector<ModuleKind>
        kinds;             // check and update: each kind once, in the order given; rollback and history: one
    CWString jobTime;      // rollback only: the job to undo ("yyyyMMdd-HHmmss"); empty: the last
    bool allKinds = false; // "all" was among them: unconfigured kinds are skipped
    CWString key;          // config get and set
    CWString value;        // config set
};

struct ParsedCommandLine {
    bool ok = false;
    CommandLine line;
    CWString error; // a one-line reason when !ok
};

// `arguments` without the program's name.
ParsedCommandLine parseCommandLine(const std::vector<CWString>& arguments);

// The text of --help, ending with a line break.
CWString helpText();

} // namespace rg_quelt_app::cli
