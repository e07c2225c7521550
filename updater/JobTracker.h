#pragma once
// JobTracker: the observer a front end gives a download job. It turns the worker's
// facts into the rows' texts — "下载中 N%" while a file downloads ("下载中" while its
// size is unknown), then "成功", "下载失败" or "保存失败" — written only while the row
// still shows that file, and keeps the job's figures for the front end: files done
// of the job's per outcome, bytes, time, the files on their way and each failure's
// reason. Once its rows are abandoned it asks the job to stop. A job that was
// stopped gives its files without an outcome (those on their way and those not
// reached) their "下载" back, so that the rows say what the next update fetches.
//
// The worker calls it on its own thread; the front end reads it from any other.
#include "runtime/core/RefPtr.h"
#include "runtime/platform/CriticalSection.h"
#include "updater/DownloadObserver.h"
#include "updater/ModuleRowTable.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace rg_quelt_app {

class JobTracker final : public DownloadObserver {
public:
    // A new tracker with one reference, which the caller owns; it holds one on `rows`.
    static JobTracker* create(ModuleRowTable& rows) { return new JobTracker(rows); }

    struct ActiveFile {
        std::size_t row = 0;
        CWString name;
        std::int64_t received = 0;
        std::int64_t total = -1; // −1 while unknown
    };
    struct Figures {
        std::size_t files = 0; // of the job
        std::size_t succeeded = 0;
        std::size_t downloadFailed = 0;
        std::size_t saveFailed = 0;
        std::int64_t bytesTotal = 0;    // the listed sizes of the job's files
        std::int64_t bytesDone = 0;     // of the files that ended, and so far of those on their way
        std::uint64_t elapsedMs = 0;    // since the job started; its length once it ended
        std::vector<ActiveFile> active; // in the order they started
        bool started = false;
        bool finished = false;
        bool stopped = false;

        std::size_t done() const { return succeeded + downloadFailed + saveFailed; }
        std::size_t failed() const { return downloadFailed + saveFailed; }
    };
    Figures figures() const;

    struct Failure {
        std::size_t row = 0;
        CWString name;
        FileResult result;
    };
    // The files that failed, in the order they ended.
    std::vector<Failure> failures() const;
    // The failure of the file of `row`, when it failed: for a front end that shows
    // one row's reason without copying them all.
    std::optional<Failure> failureAt(std::size_t row) const;

    void jobStarting(const rg_XiaZaiShuJu& job) override;
    void fileStarted(const rg_LianJieYuSuoYinLei& link) override;
    void fileProgress(const rg_LianJieYuSuoYinLei& link, std::int64_t received, std::int64_t total) override;
    void fileDone(const rg_LianJieYuSuoYinLei& link, const FileResult& result) override;
    void jobDone(bool stopped) override;
    bool stopRequested() const override { return rows_->abandoned(); }

private:
    explicit JobTracker(ModuleRowTable& rows);
    ~JobTracker() override;

    // The link's entry among the files on their way, made when missing; under lock_.
    ActiveFile& activeEntry(const rg_LianJieYuSuoYinLei& link);

    // A file of the job that has no outcome yet.
    struct Open {
        CWString name;
        CWString localFile;
    };

    const RefPtr<ModuleRowTable> rows_;
    mutable platform::CriticalSection lock_;
    std::unordered_map<std::size_t, Open> open_; // by row
    Figures figures_;
    std::uint64_t startTick_ = 0;
    std::vector<ActiveFile> active_;
    std::vector<Failure> failures_;
};

} // namespace rg_quelt_app
