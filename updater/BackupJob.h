#pragma once
// BackupJob: the previous versions and the history of one download job. The job's
// runner makes one per job on the download worker's thread: begin() takes the job's
// time and its folder (see BackupRecord), backupPathFor() tells the finisher where the
// old version of a file goes right before its rename, note() takes each file's
// outcome and adds it to the record, and finish() writes the record whole (a job
// that replaced and added nothing leaves neither folder nor record), removes the
// jobs beyond "保留备份数" and appends the job's lines to the history log.
//
// Two jobs of a kind that start within the same second never share a folder: a
// folder's creation claims its time, and a job that finds its second taken waits for
// the next one.
#include "runtime/platform/FileSystem.h"
#include "updater/BackupRecord.h"
#include "updater/DownloadResult.h"
#include "updater/HistoryLog.h"
#include "updater/TransferSettings.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace rg_quelt_app {

class BackupJob {
public:
    // How many seconds a job waits at most for a time of its own.
    static constexpr int kClaimTries = 3;

    BackupJob(const TransferSettings& settings, const rg_XiaZaiShuJu& job);

    void begin();
    // Where the old version of the link's file goes; empty when backups are off.
    CWString backupPathFor(std::size_t link) const;
    // Why no old version can be kept while backups are on (the backup folder lies in
    // a module folder); empty when they can, or are off.
    std::u16string refusal() const;
    // What the finisher found before the rename: the old file's size and time, or
    // nothing when the target did not exist (the job adds it).
    struct OldFile {
        std::int64_t size = -1;
        std::int64_t time = 0;
    };
    void note(std::size_t link, const FileResult& result, const std::optional<OldFile>& old,
              std::int64_t newTime);
    void finish();

    // The job's time ("yyyyMMdd-HHmmss"), once begun.
    const CWString& time() const { return time_; }

    // The path of a link's file relative to its module folder, as listed.
    static CWString listedPath(const rg_LianJieYuSuoYinLei& link);

private:
    const TransferSettings& settings_;
    const rg_XiaZaiShuJu& job_;
    std::optional<ModuleKind> kind_;
    CWString kindFolder_;
    CWString time_;
    CWString folder_;
    CWString record_;                 // empty unless the job claimed its folder
    platform::OutputFile recordFile_; // the record, open from begin() to finish()
    std::vector<BackupEntry> entries_;
    std::unordered_set<std::u16string> noted_; // paths already in entries_
    HistoryLog history_;
    std::size_t replaced_ = 0;
    std::size_t added_ = 0;
    std::size_t failed_ = 0;
};

} // namespace rg_quelt_app
