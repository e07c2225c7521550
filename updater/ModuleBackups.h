#pragma once
// The previous versions of a kind's modules, as the front ends see them: the jobs
// whose backups are kept, and the rollback of one of them. The layout on the disk is
// BackupRecord's; a download job makes them through BackupJob.
//
// Both run synchronously on the calling thread and never throw. A rollback must not
// run while a download job of the same kind is running: both change the same files.
#include "runtime/core/WString.h"
#include "updater/ModuleKind.h"
#include "updater/TransferSettings.h"

#include <cstddef>
#include <vector>

namespace rg_quelt_app {

struct BackupJobSummary {
    CWString time;            // "yyyyMMdd-HHmmss": the job's time, its folder's name
    std::size_t replaced = 0; // files the job replaced (each has its backup)
    std::size_t added = 0;    // files the job added (rollback removes them)
};

// The jobs kept for a kind under the backup folder, newest first; empty when none.
std::vector<BackupJobSummary> listBackupJobs(const CWString& backupFolder, ModuleKind kind);

struct RollbackResult {
    bool found = false;       // the job was there
    std::size_t restored = 0; // files put back with their old times
    std::size_t removed = 0;  // added files removed
    std::vector<CWString>
        failures; // one text per file that could not be put back or removed: "<path>：<reason>"
    bool ok() const { return found && failures.empty(); }
};

// Puts back every file of the kind's job `jobTime` (empty: the newest) into `moduleFolder` with
// its old time, removes the files that job added, appends the history lines, and removes the job's
// folder once everything went well. Synchronous, on the calling thread; never throws.
//
// An added file that is already gone counts as removed. When some files fail, the
// job stays with just those, so that a later rollback can try them again.
RollbackResult rollbackBackupJob(const TransferSettings& settings, ModuleKind kind,
                                 const CWString& moduleFolder, const CWString& jobTime);

} // namespace rg_quelt_app
