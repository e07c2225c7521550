#include "cli/BackupCommands.h"

#include "cli/Console.h"
#include "cli/ModuleTableOutput.h"
#include "cli/SyncCommands.h"
#include "updater/ConfigStore.h"
#include "updater/ModuleBackups.h"
#include "updater/UpdateFlow.h"

#include <json/json.h>

namespace rg_quelt_app::cli {
namespace {

void writeJson(const Json::Value& value) {
    write(Stream::Output, CWString::fromUtf8(compactJson(value) + "\n").view());
}

CWString prefixOf(ModuleKind kind) { return CWString(kindLetter(kind)) + u": "; }

CWString count(std::size_t n) { return CWString::fromInteger(static_cast<std::int64_t>(n)); }

} // namespace

int runRollback(const CommandLine& line, const CWString& configFile) {
    const ModuleKind kind = line.kinds.front();
    const rg_PeiZhiXinXiLei config = LoadConfig(configFile);
    const CWString& folder = kindFolder(config, kind);
    if (folder.isEmpty()) {
        writeError(prefixOf(kind) + kMessageConfigureFirst + u" (" + kindName(kind) +
                   u".folder is empty in " + configFile.view() + u")");
        return kExitUsage;
    }
    const TransferSettings settings = LoadTransferSettings(configFile);
    // The job named, so that what is said names it too.
    CWString time = line.jobTime;
    if (time.isEmpty()) {
        const std::vector<BackupJobSummary> jobs = listBackupJobs(settings.backupFolder, kind);
        if (!jobs.empty())
            time = jobs.front().time;
    }
    const RollbackResult result =
        time.isEmpty() ? RollbackResult() : rollbackBackupJob(settings, kind, folder, time);
    const int status = !result.found ? kExitNoBackup : result.ok() ? kExitOk : kExitFilesFailed;
    if (line.json) {
        Json::Value out(Json::objectValue);
        out["kind"] = CWString(kindLetter(kind)).toUtf8String();
        out["status"] = !result.found ? "no_job" : result.ok() ? "ok" : "failed";
        out["job"] = time.toUtf8String();
        out["restored"] = static_cast<Json::UInt64>(result.restored);
        out["removed"] = static_cast<Json::UInt64>(result.removed);
        Json::Value failures(Json::arrayValue);
        for (const CWString& failure : result.failures)
            failures.append(failure.toUtf8String());
        out["failures"] = failures;
        out["history_log"] = settings.historyLog.toUtf8String();
        writeJson(out);
        return status;
    }
    if (!result.found) {
        writeError(prefixOf(kind) +
                   (line.jobTime.isEmpty() ? CWString(u"没有可撤销的更新")
                                           : CWString(u"没有时间为 ") + line.jobTime.view() + u" 的更新") +
                   u"（备份目录 " + settings.backupFolder.view() + u"）");
        return status;
    }
    for (const CWString& failure : result.failures)
        writeError(prefixOf(kind) + u"未能撤销 " + printableText(failure.view()).view());
    if (!line.quiet || !result.failures.empty())
        writeLine(Stream::Output,
                  prefixOf(kind) + u"已撤销 " + time.view() + u" 的更新：还原 " +
                      count(result.restored).view() + u" 个文件，删除 " + count(result.removed).view() +
                      u" 个新增的文件" +
                      (result.failures.empty()
                           ? CWString()
                           : CWString(u"，") + count(result.failures.size()).view() + u" 个文件未能撤销")
                          .view());
    return status;
}

int runHistory(const CommandLine& line, const CWString& configFile) {
    const ModuleKind kind = line.kinds.front();
    const TransferSettings settings = LoadTransferSettings(configFile);
    const std::vector<BackupJobSummary> jobs = listBackupJobs(settings.backupFolder, kind);
    if (line.json) {
        Json::Value out(Json::objectValue);
        out["kind"] = CWString(kindLetter(kind)).toUtf8String();
        out["backup_folder"] = settings.backupFolder.toUtf8String();
        out["kept_backups"] = settings.keptBackups;
        out["history_log"] = settings.historyLog.toUtf8String();
        Json::Value list(Json::arrayValue);
        for (const BackupJobSummary& job : jobs) {
            Json::Value entry(Json::objectValue);
            entry["time"] = job.time.toUtf8String();
            entry["replaced"] = static_cast<Json::UInt64>(job.replaced);
            entry["added"] = static_cast<Json::UInt64>(job.added);
            list.append(entry);
        }
        out["jobs"] = list;
        writeJson(out);
        return kExitOk;
    }
    CWString text(u"时间\t替换\t新增\n");
    for (const BackupJobSummary& job : jobs)
        text += job.time + u"\t" + count(job.replaced).view() + u"\t" + count(job.added).view() + u"\n";
    write(Stream::Output, text.view());
    if (jobs.empty())
        writeError(prefixOf(kind) + u"没有保留旧文件的更新" +
                   (settings.keptBackups == 0 ? CWString(u"（\"保留备份数\"为 0）") : CWString()).view());
    writeError(prefixOf(kind) + u"旧文件在 " + settings.backupFolder.view() + u"，更新记录在 " +
               settings.historyLog.view());
    return kExitOk;
}

} // namespace rg_quelt_app::cli
