#include "updater/JobTracker.h"

#include "runtime/platform/SystemInfo.h"
#include "updater/ModuleListRules.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <algorithm>

namespace rg_quelt_app {

JobTracker::JobTracker(ModuleRowTable& rows) : rows_(&rows) {}

JobTracker::~JobTracker() = default;

void JobTracker::jobStarting(const rg_XiaZaiShuJu& job) {
    platform::CriticalSectionLock hold(lock_);
    figures_ = Figures();
    figures_.files = job.linkCount();
    figures_.bytesTotal = job.listedBytes();
    figures_.started = true;
    active_.clear();
    failures_.clear();
    open_.clear();
    open_.reserve(job.linkCount());
    for (std::size_t i = 0; i < job.linkCount(); ++i) {
        const rg_LianJieYuSuoYinLei& link = job.link(i);
        open_.emplace(static_cast<std::size_t>(link.rowIndex), Open{link.fileName, link.localFile});
    }
    startTick_ = platform::tickCount();
}

JobTracker::ActiveFile& JobTracker::activeEntry(const rg_LianJieYuSuoYinLei& link) {
    const auto row = static_cast<std::size_t>(link.rowIndex);
    const auto entry =
        std::find_if(active_.begin(), active_.end(), [row](const ActiveFile& f) { return f.row == row; });
    if (entry != active_.end())
        return *entry;
    return active_.emplace_back(
        ActiveFile{row, link.fileName, 0, link.listedSize > 0 ? link.listedSize : -1});
}

void JobTracker::fileStarted(const rg_LianJieYuSuoYinLei& link) {
    platform::CriticalSectionLock hold(lock_);
    activeEntry(link);
}

void JobTracker::fileProgress(const rg_LianJieYuSuoYinLei& link, std::int64_t received, std::int64_t total) {
    {
        platform::CriticalSectionLock hold(lock_);
        ActiveFile& entry = activeEntry(link);
        entry.received = received;
        entry.total = total;
    }
    rows_->setCellTextIfShows(static_cast<std::size_t>(link.rowIndex), kColumnMode,
                              downloadingText(received, total), link.fileName, link.localFile);
}

void JobTracker::fileDone(const rg_LianJieYuSuoYinLei& link, const FileResult& result) {
    const auto row = static_cast<std::size_t>(link.rowIndex);
    {
        platform::CriticalSectionLock hold(lock_);
        active_.erase(std::remove_if(active_.begin(), active_.end(),
                                     [row](const ActiveFile& f) { return f.row == row; }),
                      active_.end());
        open_.erase(row);
        figures_.bytesDone += result.bytes;
        switch (result.outcome) {
        case FileOutcome::Success:
            ++figures_.succeeded;
            break;
        case FileOutcome::DownloadFailed:
            ++figures_.downloadFailed;
            break;
        case FileOutcome::SaveFailed:
            ++figures_.saveFailed;
            break;
        }
        if (result.outcome != FileOutcome::Success)
            failures_.push_back({row, link.fileName, result});
    }
    rows_->setCellTextIfShows(row, kColumnMode, CWString::borrowed(modeTextOf(result.outcome)), link.fileName,
                              link.localFile);
}

void JobTracker::jobDone(bool stopped) {
    std::unordered_map<std::size_t, Open> unfinished;
    {
        platform::CriticalSectionLock hold(lock_);
        figures_.elapsedMs = platform::tickCount() - startTick_;
        figures_.stopped = stopped;
        active_.clear();
        unfinished.swap(open_);
    }
    // Before the job counts as finished, so that whoever sees it finished reads
    // the rows as they stay.
    if (stopped) {
        const CWString again = CWString::borrowed(kModeDownload);
        for (const auto& [row, file] : unfinished)
            rows_->setCellTextIfShows(row, kColumnMode, again, file.name, file.localFile);
    }
    platform::CriticalSectionLock hold(lock_);
    figures_.finished = true;
}

JobTracker::Figures JobTracker::figures() const {
    platform::CriticalSectionLock hold(lock_);
    Figures figures = figures_;
    if (!figures.finished && figures.started)
        figures.elapsedMs = platform::tickCount() - startTick_;
    figures.active = active_;
    for (const ActiveFile& file : active_)
        figures.bytesDone += file.received;
    return figures;
}

std::vector<JobTracker::Failure> JobTracker::failures() const {
    platform::CriticalSectionLock hold(lock_);
    return failures_;
}

std::optional<JobTracker::Failure> JobTracker::failureAt(std::size_t row) const {
    platform::CriticalSectionLock hold(lock_);
    const auto found =
        std::find_if(failures_.rbegin(), failures_.rend(), [row](const Failure& f) { return f.row == row; });
    if (found == failures_.rend())
        return std::nullopt;
    return *found;
}

} // namespace rg_quelt_app
