#pragma once
// The texts of a module page's state line: what its download job does or did, and
// why the file of the selected row failed. Plain functions of the tracker's
// figures, so that they read the same whoever shows them.
#include "runtime/core/WString.h"
#include "updater/JobTracker.h"
#include "updater/RollbackFlow.h"

#include <cstdint>

namespace rg_quelt_app {

// While the page's list is being fetched.
inline constexpr const char16_t* kStateChecking = u"正在检查更新…";
// While the page's update waits for another page's job.
inline constexpr const char16_t* kStateWaiting = u"等待中";
// While the page's rollback runs.
inline constexpr const char16_t* kStateRollingBack = u"正在撤销上次更新…";

// "1023 B", "1.5 KB", "3.2 MB", "1.1 GB": binary units, one decimal above bytes.
CWString byteSizeText(std::int64_t bytes);
// "45 秒" below a minute, else "2 分 5 秒".
CWString durationText(std::uint64_t ms);

// While the job runs: files done of the job's, failures so far, bytes of all and
// the average rate, for example
//   "正在更新：已完成 12/300 个文件，失败 1 个；3.2 MB/10.5 MB，512.0 KB/秒".
// Once it ended: the count of each outcome, the bytes and the time taken, for example
//   "更新完成：成功 298 个，下载失败 1 个，保存失败 1 个；共 10.5 MB，用时 12 秒"
// ("更新已中止" and the files not reached when it was stopped). Empty before the job
// has started.
CWString jobStateText(const JobTracker::Figures& figures);

// "m12.ext：下载失败，服务器返回 HTTP 404": a failed file, its outcome and the reason.
CWString failureText(const JobTracker::Failure& failure);

// A backed-up job's time "20261209-013005" as "2026-12-09 01:30:05"; a time of
// another form as it stands.
CWString backupTimeText(const CWString& jobTime);
// "2026-12-09 01:30:05 的更新：替换 3 个文件，新增 1 个文件".
CWString backupJobText(const BackupJobSummary& job);

// Once the rollback of `jobTime` ended, what it did, for example
//   "撤销完成：还原 3 个文件，删除 1 个文件（2026-12-09 01:30:05 的更新）"
//   "撤销未完成：还原 2 个文件，删除 1 个文件，失败 1 个" and on a second line the
//   first failure ("<file>：<reason>", "（另有 N 个）" when there are more)
//   "撤销失败：找不到 2026-12-09 01:30:05 的备份"
// Empty before it has ended.
CWString rollbackStateText(const RollbackTracker::Figures& figures, const CWString& jobTime);

} // namespace rg_quelt_app
