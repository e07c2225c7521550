#include "cli/SyncCommands.h"

#include "cli/ConfigKeys.h"
#include "cli/Console.h"
#include "cli/ModuleTableOutput.h"
#include "cli/ProgressLine.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/ConfigStore.h"
#include "updater/MemoryRowTable.h"
#include "updater/ModuleListRules.h"
#include "updater/UpdateFlow.h"

#include <algorithm>

#ifndef MIRETH_VERSION_TEXT
#define MIRETH_VERSION_TEXT "0"
#endif

namespace rg_quelt_app::cli {
namespace {

constexpr std::uint64_t kRedrawInterval = 200; // ms between two progress lines
constexpr std::uint32_t kServiceWait = 50;     // ms of waiting for the worker's notices

// The rows of one kind, released when the command is done with them.
class OwnedRows {
public:
    OwnedRows() : table_(MemoryRowTable::create()) {}
    ~OwnedRows() { table_->release(); }
    OwnedRows(const OwnedRows&) = delete;
    OwnedRows& operator=(const OwnedRows&) = delete;
    MemoryRowTable& operator*() const { return *table_; }

private:
    MemoryRowTable* table_;
};

CWString configFileOf(const CommandLine& line) {
    return line.configFile.isEmpty() ? configFilePath() : line.configFile;
}

CWString kindKeyPrefix(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return CWString(u"windows");
    case ModuleKind::Android:
        return CWString(u"android");
    case ModuleKind::Server:
        break;
    }
    return CWString(u"server");
}

// The kind's refusal with what is missing and where, or empty when it may run.
CWString refusalOf(ModuleKind kind, const rg_PeiZhiXinXiLei& config, const CWString& file) {
    const bool noDomain = config.domain.isEmpty();
    const bool noFolder = kindFolder(config, kind).isEmpty();
    if (!noDomain && !noFolder)
        return CWString();
    CWString missing;
    if (noDomain)
        missing += u"domain";
    if (noDomain && noFolder)
        missing += u" and ";
    if (noFolder)
        missing += (kindKeyPrefix(kind) + u".folder").view();
    return CWString(kindLetter(kind)) + u": " + kMessageConfigureFirst + u" (" + missing.view() +
           (noDomain && noFolder ? u" are" : u" is") + u" empty in " + file.view() + u")";
}

CWString listProblem(ModuleKind kind, ListStatus status, const CWString& url) {
    const CWString head = CWString(kindLetter(kind)) + u": ";
    if (status == ListStatus::TransferFailed)
        return head + u"could not fetch the module list from " + url.view();
    return head + u"the answer from " + url.view() +
           u" is not a module list (not JSON, or \"code\" is not 200)";
}

// Waits for the worker, servicing its notices, and shows the progress line.
void waitForWorker(rg_MoKuaiGengXinYinQing& engine, const ModuleRowTable& rows,
                   const std::vector<std::size_t>& jobRows, bool showProgress) {
    ProgressLine line(platform::tickCount());
    std::uint64_t nextDraw = 0;
    while (engine.isDownloading()) {
        platform::serviceNotices(kServiceWait);
        const std::uint64_t now = platform::tickCount();
        if (showProgress && now >= nextDraw) {
            line.draw(progressOf(rows, jobRows), now);
            nextDraw = now + kRedrawInterval;
        }
    }
    line.clear();
}

// Checks, and for an update downloads, one kind; the status of that kind.
int runKind(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, const CommandLine& line, ModuleRowTable& rows) {
    checkModules(engine, kind, rows, globalConfig);
    if (engine.lastListStatus() != ListStatus::Ok) {
        writeError(listProblem(kind, engine.lastListStatus(), globalConfig.domain + listSuffix(kind)).view());
        return kExitListFailed;
    }
    if (line.command != Command::Update || rows.rowCount() == 0)
        return kExitOk;

    updateModules(engine, kind, rows, line.force, globalConfig);
    // A fresh check leaves the mode empty on every row it did not mark, so the
    // rows with a mode are the job's.
    std::vector<std::size_t> jobRows;
    for (std::size_t row = 0; row < rows.rowCount(); ++row) {
        if (!rows.getCellText(row, kColumnMode).isEmpty())
            jobRows.push_back(row);
    }
    waitForWorker(engine, rows, jobRows, !line.quiet && isTerminal(Stream::Error));

    std::size_t failed = 0;
    for (std::size_t row : jobRows) {
        if (rows.getCellText(row, kColumnMode).view() != kModeSuccess)
            ++failed;
    }
    if (failed == 0)
        return kExitOk;
    writeError(CWString(kindLetter(kind)) + u": " +
               CWString::fromInteger(static_cast<std::int64_t>(failed)).view() + u" of " +
               CWString::fromInteger(static_cast<std::int64_t>(jobRows.size())).view() + u" files failed");
    return kExitFilesFailed;
}

} // namespace

int runModules(const CommandLine& line) {
    const CWString file = configFileOf(line);
    // As the window does at its start: the file into the one process-wide record.
    globalConfig = LoadConfig(file);

    // Every kind's configuration is checked before the server is asked anything.
    bool refused = false;
    for (ModuleKind kind : line.kinds) {
        const CWString refusal = refusalOf(kind, globalConfig, file);
        if (!refusal.isEmpty()) {
            writeError(refusal.view());
            refused = true;
        }
    }
    if (refused)
        return kExitUsage;

    rg_MoKuaiGengXinYinQing engine;
    std::vector<KindTable> tables;
    int status = kExitOk;
    for (std::size_t i = 0; i < line.kinds.size(); ++i) {
        const ModuleKind kind = line.kinds[i];
        OwnedRows rows;
        status = std::max(status, runKind(engine, kind, line, *rows));
        tables.push_back(snapshotRows(kind, *rows));
        if (line.json)
            continue;
        CWString text;
        if (i > 0)
            text += u"\n";
        if (line.kinds.size() > 1) {
            text += tabCaption(kind);
            text += u"\n";
        }
        text += tableText(tables.back()).view();
        write(Stream::Output, text.view());
    }
    if (line.json)
        write(Stream::Output, jsonText(tables).view());
    return status;
}

int runConfig(const CommandLine& line) {
    const CWString file = configFileOf(line);
    rg_PeiZhiXinXiLei config = LoadConfig(file);
    if (line.command == Command::ConfigShow) {
        std::size_t count = 0;
        const ConfigKey* keys = configKeys(count);
        CWString text;
        for (std::size_t i = 0; i < count; ++i) {
            text += keys[i].name;
            text += u"=";
            text += shownValue(keys[i], config).view();
            text += u"\n";
        }
        write(Stream::Output, text.view());
        return kExitOk;
    }
    const ConfigKey* key = findConfigKey(line.key.view());
    if (!key) {
        writeError(CWString(u"unknown key '") + line.key.view() + u"'");
        return kExitUsage;
    }
    if (line.command == Command::ConfigGet) {
        writeLine(Stream::Output, (config.*key->field).view());
        return kExitOk;
    }
    config.*key->field = line.value;
    if (!SaveConfig(config, file)) {
        writeError(CWString(u"could not write ") + file.view());
        return kExitUsage;
    }
    return kExitOk;
}

int runSync(const std::vector<CWString>& arguments) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.ok) {
        writeError(parsed.error + u"; see mireth-sync --help");
        return kExitUsage;
    }
    const CommandLine& line = parsed.line;
    switch (line.command) {
    case Command::Help:
        write(Stream::Output, helpText().view());
        return kExitOk;
    case Command::Version:
        writeLine(Stream::Output, CWString(u"mireth-sync ") + CWString::fromUtf8(MIRETH_VERSION_TEXT).view());
        return kExitOk;
    case Command::Check:
    case Command::Update:
        return runModules(line);
    case Command::ConfigShow:
    case Command::ConfigGet:
    case Command::ConfigSet:
        return runConfig(line);
    }
    return kExitUsage;
}

} // namespace rg_quelt_app::cli
