#include "cli/CommandLine.h"

#include "cli/ConfigKeys.h"
#include "updater/BackupRecord.h"
#include "updater/TransferSettings.h"

#include <algorithm>

namespace rg_quelt_app::cli {
namespace {

ParsedCommandLine failure(std::u16string_view reason) {
    ParsedCommandLine parsed;
    parsed.error = CWString(reason);
    return parsed;
}

// KIND words into kinds, "all" as the three in order; each kind once.
bool readKinds(const std::vector<CWString>& words, std::size_t first, CommandLine& line, CWString& error) {
    std::vector<ModuleKind>& kinds = line.kinds;
    for (std::size_t i = first; i < words.size(); ++i) {
        std::vector<ModuleKind> named;
        if (words[i].view() == u"all") {
            named.assign(kAllModuleKinds.begin(), kAllModuleKinds.end());
            line.allKinds = true;
        } else if (const auto kind = moduleKindFromText(words[i].view())) {
            named.push_back(*kind);
        } else {
            error = CWString(u"unknown module kind '") + words[i].view() +
                    u"' (w, a, s, windows, android, server or all)";
            return false;
        }
        for (ModuleKind kind : named) {
            if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
                kinds.push_back(kind);
        }
    }
    if (kinds.empty()) {
        error = CWString(u"name at least one module kind: w, a, s or all");
        return false;
    }
    return true;
}

// "--name N" or "--name=N" at `i`, a whole number in [low, high]. Returns false
// (with the reason in `error`) for a missing or bad number; `matched` tells whether
// the argument was this option at all.
bool readNumberOption(const std::vector<CWString>& arguments, std::size_t& i, std::u16string_view name,
                      int low, int high, int& value, bool& matched, CWString& error) {
    const std::u16string_view argument = arguments[i].view();
    const CWString joined = CWString(name) + u"=";
    matched = argument == name || argument.starts_with(joined.view());
    if (!matched)
        return true;
    std::u16string_view text;
    if (argument == name) {
        if (i + 1 < arguments.size())
            text = arguments[++i].view();
    } else {
        text = argument.substr(joined.length());
    }
    const auto number = settingNumber(text, low, high);
    if (!number) {
        error = CWString(name) + u" needs a whole number from " + CWString::fromInteger(low).view() +
                u" to " + CWString::fromInteger(high).view();
        return false;
    }
    value = *number;
    return true;
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<CWString>& arguments) {
    CommandLine line;
    std::vector<CWString> words;
    bool sawConfig = false;
    bool sawJob = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string_view argument = arguments[i].view();
        if (argument == u"--help" || argument == u"-h") {
            line.command = Command::Help;
            return {true, line, CWString()};
        }
        if (argument == u"--version") {
            line.command = Command::Version;
            return {true, line, CWString()};
        }
        bool matched = false;
        CWString error;
        if (!readNumberOption(arguments, i, u"--jobs", TransferSettings::kMinParallel,
                              TransferSettings::kMaxParallel, line.jobs, matched, error))
            return failure(error.view());
        if (!matched && !readNumberOption(arguments, i, u"--retries", 0, TransferSettings::kMaxRetries,
                                          line.retries, matched, error))
            return failure(error.view());
        if (matched)
            continue;
        if (argument == u"--json") {
            line.json = true;
        } else if (argument == u"--quiet" || argument == u"-q") {
            line.quiet = true;
        } else if (argument == u"--force") {
            line.force = true;
        } else if (argument == u"--job" || argument.starts_with(u"--job=")) {
            if (argument == u"--job" && i + 1 < arguments.size())
                line.jobTime = arguments[++i];
            else if (argument != u"--job")
                line.jobTime = CWString(argument.substr(6));
            if (!isBackupTimeName(line.jobTime.view()))
                return failure(
                    u"--job needs a job's time, yyyyMMdd-HHmmss (mireth-sync history KIND lists them)");
            sawJob = true;
        } else if (argument == u"--config" || argument.starts_with(u"--config=")) {
            if (sawConfig)
                return failure(u"--config is given twice");
            sawConfig = true;
            if (argument == u"--config") {
                if (i + 1 >= arguments.size())
                    return failure(u"--config needs a file name");
                line.configFile = arguments[++i];
            } else {
                line.configFile = CWString(argument.substr(9));
            }
            if (line.configFile.isEmpty())
                return failure(u"--config needs a file name");
        } else if (argument.starts_with(u'-') && argument.size() > 1) {
            return failure(CWString(u"unknown option '") + argument + u"'");
        } else {
            words.push_back(arguments[i]);
        }
    }

    if (words.empty())
        return failure(u"no command given (check, update, rollback, history or config)");
    const std::u16string_view command = words[0].view();
    CWString error;
    if (sawJob && command != u"rollback")
        return failure(u"--job belongs to rollback");
    if (command == u"rollback" || command == u"history") {
        line.command = command == u"rollback" ? Command::Rollback : Command::History;
        if (line.force || line.jobs != 0 || line.retries >= 0)
            return failure(u"--force, --jobs and --retries belong to update");
        if (line.quiet && line.command == Command::History)
            return failure(u"--quiet belongs to check, update and rollback");
        if (words.size() != 2)
            return failure(CWString(command) + u" needs one module kind: w, a or s");
        if (!readKinds(words, 1, line, error))
            return failure(error);
        if (line.allKinds)
            return failure(CWString(command) + u" works on one module kind at a time: w, a or s");
        return {true, line, CWString()};
    }
    if (command == u"check" || command == u"update") {
        line.command = command == u"check" ? Command::Check : Command::Update;
        if (line.force && line.command == Command::Check)
            return failure(u"--force belongs to update, not to check");
        if ((line.jobs != 0 || line.retries >= 0) && line.command == Command::Check)
            return failure(u"--jobs and --retries belong to update, not to check");
        if (!readKinds(words, 1, line, error))
            return failure(error);
        return {true, line, CWString()};
    }
    if (command != u"config")
        return failure(CWString(u"unknown command '") + command +
                       u"' (check, update, rollback, history or config)");

    if (line.json || line.quiet || line.force || line.jobs != 0 || line.retries >= 0)
        return failure(
            u"--json, --quiet, --force, --jobs and --retries belong to check and update, not to config");
    if (words.size() < 2)
        return failure(u"config needs show, get KEY or set KEY VALUE");
    const std::u16string_view action = words[1].view();
    std::size_t expected = 0;
    if (action == u"show") {
        line.command = Command::ConfigShow;
        expected = 2;
    } else if (action == u"get") {
        line.command = Command::ConfigGet;
        expected = 3;
    } else if (action == u"set") {
        line.command = Command::ConfigSet;
        expected = 4;
    } else {
        return failure(CWString(u"unknown config action '") + action + u"' (show, get or set)");
    }
    if (words.size() < expected) {
        return failure(line.command == Command::ConfigGet ? u"config get needs a KEY"
                                                          : u"config set needs a KEY and a VALUE");
    }
    if (words.size() > expected)
        return failure(CWString(u"unexpected argument '") + words[expected].view() + u"'");
    if (expected >= 3) {
        line.key = words[2];
        if (!findConfigKey(line.key.view())) {
            return failure(
                CWString(u"unknown key '") + line.key.view() +
                u"' (domain, windows., android., server. with qq, password or folder, jobs, retries, "
                u"ca-file, verify-certificates, proxy, backup-folder or kept-backups)");
        }
    }
    if (expected == 4)
        line.value = words[3];
    return {true, line, CWString()};
}

CWString helpText() {
    return CWString(
        u"mireth-sync: checks and updates the local module folders against the module server,\n"
        u"as the window's \"检查更新\" and \"更新模块\" do, without a window.\n"
        u"\n"
        u"Usage:\n"
        u"  mireth-sync [--config FILE] [--json] [--quiet] check KIND...\n"
        u"  mireth-sync [--config FILE] [--json] [--quiet] update KIND... [--force] [--jobs N] [--retries "
        u"N]\n"
        u"  mireth-sync [--config FILE] [--json] [--quiet] rollback KIND [--job TIME]\n"
        u"  mireth-sync [--config FILE] [--json] history KIND\n"
        u"  mireth-sync [--config FILE] config show\n"
        u"  mireth-sync [--config FILE] config get KEY\n"
        u"  mireth-sync [--config FILE] config set KEY VALUE\n"
        u"  mireth-sync --help | --version\n"
        u"\n"
        u"Commands:\n"
        u"  check      fetch each kind's module list and print it; \"下载\" in the mode column\n"
        u"             marks the files that are missing or older than the server's\n"
        u"  update     check, then download the marked files and print the final table; a\n"
        u"             summary line on standard error tells the files per outcome, bytes and time\n"
        u"  rollback   undo the kind's last update (or the one of --job TIME): the files it\n"
        u"             replaced get their previous versions back, with their old times (so the\n"
        u"             next check marks them again), and the files it added are removed\n"
        u"  history    list the updates of the kind whose previous versions are kept, newest\n"
        u"             first (time, files replaced, files added), and where the history log is\n"
        u"  config     show every key (passwords masked), get one raw value, or set one\n"
        u"             (the file's other sections and keys are kept)\n"
        u"\n"
        u"KIND: w, a, s (also windows, android, server), or all for every configured kind\n"
        u"(in that order; the others are named on standard error).\n"
        u"KEY: domain, or windows.KEY, android.KEY, server.KEY with KEY qq, password or folder;\n"
        u"     jobs (\"同时下载数\"), retries (\"重试次数\"), ca-file (\"证书文件\", a PEM file of CA\n"
        u"     certificates for a server with a private CA), verify-certificates (\"校验证书\",\n"
        u"     0 turns the check of TLS certificates off) and proxy (\"代理\": http://host:port,\n"
        u"     socks5h://host:port, or 直连 for none; empty: the environment's or the system's),\n"
        u"     backup-folder (\"备份目录\": where previous versions are kept, relative to the\n"
        u"     configuration file's folder; default 备份 beside it, never inside a module folder)\n"
        u"     and kept-backups (\"保留备份数\": the updates kept per kind, 0 to 100, default 3;\n"
        u"     0 keeps no previous versions), in \"全局\"; empty means the default.\n"
        u"Every update and rollback is written down in 更新记录.log beside the configuration\n"
        u"file (tab-separated: time, kind, outcome, path, old size and time, new size and\n"
        u"time, reason; the older lines move to 更新记录.1.log past 1 MiB).\n"
        u"\n"
        u"Options:\n"
        u"  --config FILE  the configuration file (default: setup.ini beside the program)\n"
        u"  --json         print one JSON array with an object per kind instead of tables; a\n"
        u"                 failed file's row, and a kind whose list failed, carry its \"reason\"\n"
        u"                 and a stable \"reason_code\" (for example \"http_status\")\n"
        u"  --quiet, -q    no progress line while files download, and no summary line\n"
        u"  --force        download every listed file (\"强制更新\")\n"
        u"  --job TIME     the update that rollback undoes, as history lists it (yyyyMMdd-HHmmss)\n"
        u"  --jobs N       download N files at once, 1 to 16 (default: \"同时下载数\" in \"全局\", else 4)\n"
        u"  --retries N    try a file that failed for a passing reason N more times, 0 to 10\n"
        u"                 (default: \"重试次数\" in \"全局\", else 2)\n"
        u"  --help, -h     this text\n"
        u"  --version      the program's version\n"
        u"\n"
        u"A table is a line with the six column titles, then one line per file, tab-separated;\n"
        u"with several kinds each table follows a line with the kind's caption and tables are\n"
        u"separated by an empty line.\n"
        u"\n"
        u"Exit status: 0 all went well (or nothing to do); 1 an update left a file failed;\n"
        u"2 usage or configuration error (with all: no kind is configured); 3 a module list\n"
        u"could not be fetched or understood; 4 rollback found no update to undo (a rollback\n"
        u"that left a file as it was exits 1).\n"
        u"When several apply the highest is given.\n"
        u"\n"
        u"Example:\n"
        u"  mireth-sync config set domain http://modules.example/\n"
        u"  mireth-sync config set windows.folder 'D:\\queltdev\\plugins\\queltprj_win\\classlib\\user'\n"
        u"  mireth-sync update w\n");
}

} // namespace rg_quelt_app::cli
