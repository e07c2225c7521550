#pragma once
// BackupRecord: how the previous versions of one job are laid out on the disk, and
// the record that lets a rollback put them back. Under the backup folder each kind
// has a folder named by its letter; each job there has a folder named by its time
// ("yyyyMMdd-HHmmss", the local time when the job started), holding the old files
// under their paths as listed, and beside it a record "<time>.job" (a name no job
// folder can have) that names the files the job replaced, with their old and new
// sizes and times, and the files it added. A job's folder and record go together.
//
// The functions keep no state and may be called from any thread; concurrent jobs of
// one kind are kept apart by the time names (see BackupJob).
#include "runtime/core/WString.h"
#include "runtime/platform/FileSystem.h"
#include "updater/ModuleKind.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rg_quelt_app {

struct BackupEntry {
    bool replaced = false; // false: the job added the file (there was none before)
    CWString path;         // as listed, with the platform's separators, relative to the module folder
    std::int64_t oldSize = -1;
    std::int64_t oldTime = 0; // file time; 0 when unknown
    std::int64_t newSize = -1;
    std::int64_t newTime = 0;
};

// "<backupFolder>/<kind letter>".
CWString kindBackupFolder(const CWString& backupFolder, ModuleKind kind);
CWString backupJobFolder(const CWString& kindFolder, std::u16string_view time);
CWString backupRecordPath(const CWString& kindFolder, std::u16string_view time);

// "yyyyMMdd-HHmmss" of a file time in local time; empty when it cannot be converted.
CWString backupTimeName(std::int64_t fileTime);
// True for a name of that form.
bool isBackupTimeName(std::u16string_view name);
// The time of "now" on the file-time scale.
std::int64_t currentFileTime();

// The job times under `kindFolder` (folders and records alike), newest first.
std::vector<CWString> backupJobTimes(const CWString& kindFolder);

// The record as a whole, replaced at once; false when it could not be written.
bool writeBackupRecord(const CWString& path, const std::vector<BackupEntry>& entries);
// A record begun as its job starts and kept open while the job runs, one line added
// per entry. What is added reaches the file at once, so that a job that never ends
// (the program killed) leaves a record of what it had done by then; a line cut
// short is skipped by readBackupRecord. The file is opened and closed once per job,
// however many files it has, as a virus scanner reads a file each time it is closed.
// Once it is closed, writeBackupRecord writes the record whole.
bool beginBackupRecord(platform::OutputFile& file, const CWString& path);
bool appendBackupRecord(platform::OutputFile& file, const BackupEntry& entry);
// False when the record is missing or not one of ours; lines it cannot read, and paths
// that would leave the module folder, are skipped.
bool readBackupRecord(const CWString& path, std::vector<BackupEntry>& entries);

// Removes a job's folder and record; false when something of them stayed.
bool removeBackupJob(const CWString& kindFolder, std::u16string_view time);
// Removes the oldest jobs beyond `kept` (0 removes all); returns how many went.
std::size_t pruneBackupJobs(const CWString& kindFolder, int kept);

} // namespace rg_quelt_app
