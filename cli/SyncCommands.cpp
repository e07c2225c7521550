#include "cli/SyncCommands.h"

#include "cli/BackupCommands.h"
#include "cli/ConfigKeys.h"
#include "cli/Console.h"
#include "cli/ModuleTableOutput.h"
#include "cli/ProgressLine.h"
#include "runtime/core/RefPtr.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/ConfigStore.h"
#include "updater/JobTracker.h"
#include "updater/MemoryRowTable.h"
#include "updater/ModuleListRules.h"
#include "updater/UpdateFlow.h"

#include "MirethVersion.h"

#include <algorithm>
#include <cstdio>

namespace rg_quelt_app::cli {
namespace {

constexpr std::uint64_t kRedrawInterval = 200; // ms between two progress lines
constexpr std::uint32_t kServiceWait = 50;     // ms of waiting for the worker's notices
constexpr std::size_t kFailuresShown = 20;     // failed files named on standard error

CWString configFileOf(const CommandLine& line) {
    return line.configFile.isEmpty() ? configFilePath() : line.configFile;
}

// The kind's refusal with what is missing and where, or empty when it may run.
CWString kindRefusal(ModuleKind kind, const rg_PeiZhiXinXiLei& config, const CWString& file) {
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
        missing += (CWString(kindName(kind)) + u".folder").view();
    return CWString(kindLetter(kind)) + u": " + kMessageConfigureFirst + u" (" + missing.view() +
           (noDomain && noFolder ? u" are" : u" is") + u" empty in " + file.view() + u")";
}

// "w: 获取模块列表失败（URL）：reason", as the window's message says it.
CWString listProblem(ModuleKind kind, const CheckResult& checked, const CWString& url) {
    CWString text = CWString(kindLetter(kind)) + u": ";
    switch (checked.list.status) {
    case ListStatus::Incomplete:
        text += u"模块列表不完整，未下载任何文件";
        break;
    case ListStatus::TooManyEntries:
    case ListStatus::RowsTooLarge:
        text += u"模块列表过大，已拒绝";
        break;
    case ListStatus::NotUnderstood:
        text += u"应答不是模块列表";
        break;
    case ListStatus::TransferFailed:
    case ListStatus::Ok:
        text += u"获取模块列表失败";
        break;
    }
    text += u"（";
    text += url.view();
    text += u"）";
    const CWString reason = reasonText(checked.list.reason);
    if (!reason.isEmpty()) {
        text += u"：";
        text += reason.view();
    }
    return text;
}

// "w: 398 成功, 2 下载失败, 0 保存失败; 3.1 MiB in 4.52 s"
CWString summaryOf(ModuleKind kind, const JobTracker::Figures& figures) {
    const auto count = [](std::size_t n) { return CWString::fromInteger(static_cast<std::int64_t>(n)); };
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(figures.elapsedMs) / 1000.0);
    return CWString(kindLetter(kind)) + u": " + count(figures.succeeded).view() + u" " + kModeSuccess +
           u", " + count(figures.downloadFailed).view() + u" " + kModeDownloadFailed + u", " +
           count(figures.saveFailed).view() + u" " + kModeSaveFailed + u"; " +
           byteSizeText(figures.bytesDone).view() + u" in " + CWString::fromUtf8(seconds).view() + u" s";
}

// Waits for the worker, servicing its notices, and shows the progress line.
void waitForWorker(rg_MoKuaiGengXinYinQing& engine, const JobTracker& tracker, bool showProgress) {
    ProgressLine line(platform::tickCount());
    std::uint64_t nextDraw = 0;
    while (engine.isDownloading()) {
        platform::serviceNotices(kServiceWait);
        const std::uint64_t now = platform::tickCount();
        if (showProgress && now >= nextDraw) {
            line.draw(progressOf(tracker.figures()), now);
            nextDraw = now + kRedrawInterval;
        }
    }
    line.clear();
}

// Downloads the rows marked after a check; the status of that kind.
int runUpdate(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, const CommandLine& line, ModuleRowTable& rows,
              RowReasons& reasons) {
    const auto tracker = RefPtr<JobTracker>::adopt(JobTracker::create(rows));
    const UpdateResult started = updateModules(engine, kind, rows, line.force, globalConfig, *tracker);
    if (started.outcome != UpdateOutcome::Started)
        return kExitOk;
    waitForWorker(engine, *tracker, !line.quiet && isTerminal(Stream::Error));

    const JobTracker::Figures figures = tracker->figures();
    const std::vector<JobTracker::Failure> failures = tracker->failures();
    for (const JobTracker::Failure& failure : failures)
        reasons[failure.row] = {reasonText(failure.result), reasonCode(failure.result)};
    for (std::size_t i = 0; i < failures.size() && i < kFailuresShown; ++i) {
        writeError(CWString(kindLetter(kind)) + u": " + modeTextOf(failures[i].result.outcome) + u" " +
                   printableText(rows.getCellText(failures[i].row, kColumnPath).view()).view() + u": " +
                   reasonText(failures[i].result).view());
    }
    if (failures.size() > kFailuresShown)
        writeError(CWString(kindLetter(kind)) + u": and " +
                   CWString::fromInteger(static_cast<std::int64_t>(failures.size() - kFailuresShown)).view() +
                   u" more failed (--json gives every reason)");
    if (!line.quiet)
        writeError(summaryOf(kind, figures).view());
    if (!figures.finished) {
        writeError(CWString(kindLetter(kind)) + u": the download could not be started");
        return kExitFilesFailed;
    }
    return figures.failed() == 0 ? kExitOk : kExitFilesFailed;
}

// Checks, and for an update downloads, one kind; the status of that kind.
int runKind(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, const CommandLine& line, ModuleRowTable& rows,
            RowReasons& reasons, Reason& listReason) {
    const CheckResult checked = checkModules(engine, kind, rows, globalConfig);
    if (checked.outcome != CheckOutcome::Checked) {
        listReason = checked.list.reason;
        writeError(listProblem(kind, checked, globalConfig.domain + listSuffix(kind)).view());
        return kExitListFailed;
    }
    if (line.command != Command::Update || rows.rowCount() == 0)
        return kExitOk;
    return runUpdate(engine, kind, line, rows, reasons);
}

// The kinds to work on; empty, with the reasons written, when the command must stop.
std::vector<ModuleKind> kindsToRun(const CommandLine& line, const CWString& file) {
    // Every kind's configuration is checked before the server is asked anything.
    std::vector<ModuleKind> kinds;
    bool refused = false;
    for (ModuleKind kind : line.kinds) {
        const CWString refusal = kindRefusal(kind, globalConfig, file);
        if (refusal.isEmpty()) {
            kinds.push_back(kind);
        } else {
            writeError(line.allKinds ? refusal + u"; skipped" : refusal);
            refused = true;
        }
    }
    // "all" means every kind that is set up; a kind named on its own must be.
    if (refused && !line.allKinds)
        kinds.clear();
    return kinds;
}

TransferSettings transferSettingsOf(const CommandLine& line, const CWString& file) {
    TransferSettings settings = LoadTransferSettings(file);
    if (line.jobs > 0)
        settings.parallelDownloads = line.jobs;
    if (line.retries >= 0)
        settings.retries = line.retries;
    return settings;
}

int runModules(const CommandLine& line) {
    const CWString file = configFileOf(line);
    // As the window does at its start: the file into the one process-wide record.
    globalConfig = LoadConfig(file);
    const std::vector<ModuleKind> kinds = kindsToRun(line, file);
    if (kinds.empty())
        return kExitUsage;

    rg_MoKuaiGengXinYinQing engine;
    const TransferSettings settings = transferSettingsOf(line, file);
    engine.setTransferSettings(settings);
    if (!settings.verifyCertificates)
        writeError(kCertificatesNotChecked);
    if (const CWString note = settings.backupNote(); !note.isEmpty() && line.command == Command::Update)
        writeError(note.view());
    // Once per run, before the first request: what the proxy settings leave out.
    if (const CWString note = settings.proxyNote(); !note.isEmpty() && !line.quiet)
        writeError(note.view());
    const TextSink out = [](std::u16string_view text) { write(Stream::Output, text); };
    JsonTablesWriter json(out);
    int status = kExitOk;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const ModuleKind kind = kinds[i];
        // One kind's rows at a time: printed, then gone.
        const auto rows = RefPtr<MemoryRowTable>::adopt(MemoryRowTable::create());
        RowReasons reasons;
        Reason listReason;
        status = std::max(status, runKind(engine, kind, line, *rows, reasons, listReason));
        if (line.json) {
            json.add(kind, *rows, reasons, listReason);
            continue;
        }
        CWString head;
        if (i > 0)
            head += u"\n";
        if (kinds.size() > 1) {
            head += tabCaption(kind);
            head += u"\n";
        }
        if (!head.isEmpty())
            out(head.view());
        writeTable(*rows, out);
    }
    if (line.json)
        json.finish();
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
            text += shownValue(keys[i], storedValue(keys[i], config, file)).view();
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
        writeLine(Stream::Output, storedValue(*key, config, file).view());
        return kExitOk;
    }
    CWString refusal = refusalOf(*key, line.value);
    if (refusal.isEmpty())
        refusal = backupPlaceRefusal(*key, line.value, config, file);
    if (!refusal.isEmpty()) {
        writeError(refusal.view());
        return kExitUsage;
    }
    if (!saveValue(*key, line.value, config, file)) {
        writeError(CWString(u"could not write ") + file.view());
        return kExitUsage;
    }
    return kExitOk;
}

} // namespace

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
    case Command::Rollback:
        return runRollback(line, configFileOf(line));
    case Command::History:
        return runHistory(line, configFileOf(line));
    }
    return kExitUsage;
}

} // namespace rg_quelt_app::cli
