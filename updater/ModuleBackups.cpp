#include "updater/ModuleBackups.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/FileSystem.h"
#include "updater/BackupRecord.h"
#include "updater/FileFinisher.h"
#include "updater/HistoryLog.h"
#include "updater/ReasonCatalogue.h"
#include "updater/TemporaryFiles.h"

namespace rg_quelt_app {
namespace {

constexpr char16_t kSeparator = PathRules::native().separator;
constexpr int kTemporaryNameTries = 8;

CWString under(const CWString& folder, const CWString& path) {
    CWString full = folder;
    if (!full.isEmpty() && full.view().back() != kSeparator)
        full += kSeparator;
    full += path.view();
    return full;
}

CWString failureText(const CWString& path, ReasonKind kind, const CWString& file, std::u16string_view why) {
    return path + u"：" + reasonText(fileReason(kind, file.view(), why)).view();
}

// Puts the kept file back over `target`: a rename where both are on one volume (the
// usual case, a hard link), else a copy beside the target that then takes its place.
bool putBack(const CWString& kept, const CWString& target, std::u16string& why) {
    const CWString folder = folderOfFile(target);
    if (!folder.isEmpty() && !createFolderTree(folder)) {
        why = platform::lastErrorText();
        return false;
    }
    const platform::ReplaceResult moved =
        platform::replaceWhenFree(kept.view(), target.view(), FileFinisher::kInUsePatienceMs);
    if (moved == platform::ReplaceResult::replaced)
        return true;
    if (moved == platform::ReplaceResult::inUse) {
        why = reasonText(reasonOf(ReasonKind::TargetInUse)).view();
        return false;
    }
    CWString temporary;
    bool copied = false;
    for (int tries = 0; tries < kTemporaryNameTries && !copied; ++tries) {
        temporary = temporaryNameFor(target);
        copied = platform::copyFileDurably(kept.view(), temporary.view());
        if (!copied && !platform::pathExists(temporary.view()))
            break;
    }
    if (!copied) {
        why = platform::lastErrorText();
        return false;
    }
    const platform::ReplaceResult placed =
        platform::replaceWhenFree(temporary.view(), target.view(), FileFinisher::kInUsePatienceMs);
    if (placed == platform::ReplaceResult::replaced) {
        platform::removeFile(kept.view());
        return true;
    }
    why = placed == platform::ReplaceResult::inUse
              ? std::u16string(reasonText(reasonOf(ReasonKind::TargetInUse)).view())
              : platform::lastErrorText();
    platform::removeFile(temporary.view());
    return false;
}

RollbackResult rollback(const TransferSettings& settings, ModuleKind kind, const CWString& moduleFolder,
                        const CWString& jobTime) {
    RollbackResult result;
    const CWString kindFolder = kindBackupFolder(settings.backupFolder, kind);
    CWString time = jobTime;
    if (time.isEmpty()) {
        const std::vector<BackupJobSummary> jobs = listBackupJobs(settings.backupFolder, kind);
        if (jobs.empty())
            return result;
        time = jobs.front().time;
    }
    std::vector<BackupEntry> entries;
    if (settings.backupFolder.isEmpty() || !isBackupTimeName(time.view()) ||
        !readBackupRecord(backupRecordPath(kindFolder, time.view()), entries))
        return result;
    result.found = true;
    if (moduleFolder.isEmpty()) {
        result.failures.push_back(CWString(u"未设置模块文件夹，没有还原任何文件"));
        return result;
    }
    const CWString jobFolder = backupJobFolder(kindFolder, time.view());
    HistoryLog history(settings.historyLog, kind);
    std::vector<BackupEntry> left;
    for (const BackupEntry& entry : entries) {
        const CWString target = under(moduleFolder, entry.path);
        std::u16string why;
        if (entry.replaced) {
            if (!putBack(under(jobFolder, entry.path), target, why)) {
                result.failures.push_back(failureText(entry.path, ReasonKind::RestoreFailed, target, why));
                history.add(u"还原失败", entry.path, -1, 0, -1, 0, result.failures.back());
                left.push_back(entry);
                continue;
            }
            // A link keeps the old time to the system's own precision, a copy takes
            // it too; only a file that came back with another time gets the recorded
            // one, which the next check must find older than the list's, as it was.
            std::int64_t backSize = 0;
            std::int64_t backTime = 0;
            if (entry.oldTime != 0 &&
                (!platform::fileSizeAndTime(target.view(), backSize, backTime) || backTime != entry.oldTime))
                platform::setFileLastWriteTime(target.view(), entry.oldTime);
            ++result.restored;
            history.add(u"还原", entry.path, entry.newSize, entry.newTime, entry.oldSize, entry.oldTime);
            continue;
        }
        if (!platform::removeFile(target.view()) && platform::pathExists(target.view())) {
            why = platform::lastErrorText();
            result.failures.push_back(failureText(entry.path, ReasonKind::RemoveFailed, target, why));
            history.add(u"删除失败", entry.path, -1, 0, -1, 0, result.failures.back());
            left.push_back(entry);
            continue;
        }
        ++result.removed;
        history.add(u"删除", entry.path, entry.newSize, entry.newTime, -1, 0);
    }
    const auto count = [](std::size_t n) { return CWString::fromInteger(static_cast<std::int64_t>(n)); };
    history.add(u"回滚", time, -1, 0, -1, 0,
                CWString(u"还原 ") + count(result.restored).view() + u" 个，删除 " +
                    count(result.removed).view() + u" 个，失败 " + count(result.failures.size()).view() +
                    u" 个");
    history.write();
    if (left.empty())
        removeBackupJob(kindFolder, time.view());
    else
        writeBackupRecord(backupRecordPath(kindFolder, time.view()), left);
    return result;
}

} // namespace

std::vector<BackupJobSummary> listBackupJobs(const CWString& backupFolder, ModuleKind kind) {
    std::vector<BackupJobSummary> jobs;
    if (backupFolder.isEmpty())
        return jobs;
    try {
        const CWString kindFolder = kindBackupFolder(backupFolder, kind);
        std::vector<BackupEntry> entries;
        for (const CWString& time : backupJobTimes(kindFolder)) {
            // A folder without its record cannot be rolled back; a record is begun as
            // its job starts and names what the job has done so far, so a job cut
            // short by a crash is undone as far as it went, and one that has done
            // nothing yet is no job to undo.
            if (!readBackupRecord(backupRecordPath(kindFolder, time.view()), entries) || entries.empty())
                continue;
            BackupJobSummary job;
            job.time = time;
            for (const BackupEntry& entry : entries)
                ++(entry.replaced ? job.replaced : job.added);
            jobs.push_back(std::move(job));
        }
    } catch (...) {
        jobs.clear();
    }
    return jobs;
}

RollbackResult rollbackBackupJob(const TransferSettings& settings, ModuleKind kind,
                                 const CWString& moduleFolder, const CWString& jobTime) {
    try {
        return rollback(settings, kind, moduleFolder, jobTime);
    } catch (...) {
        RollbackResult result;
        result.found = true;
        result.failures.push_back(CWString(u"回滚时发生意外错误"));
        return result;
    }
}

} // namespace rg_quelt_app
