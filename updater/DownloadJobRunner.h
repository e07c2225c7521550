#pragma once
// DownloadJobRunner: runs one download job on the calling thread (the download
// worker's), up to TransferSettings::parallelDownloads files at once over one
// TransferPool. With one at a time the files go strictly in list order.
//
// For each file: a name from the server that would leave the module folder is
// refused without a request; a 2xx answer streams into a fresh temporary file
// beside the target and, complete and of the listed length (0 included; a size
// below 0 is unknown and allows up to 2 GiB), goes to the FileFinisher, which puts
// it in place with the list's update time. Any other answer is decided by its
// status alone: its body is never saved nor held to the size, only its first line
// kept for the reason.
// A transient failure (no connection, a reset, a time-out or stall, an answer cut
// off before its announced length, HTTP 408, 429, 500, 502, 503, 504) is tried
// again after a random wait up to 0.5 s, 1 s, 2 s ... 10 s (or the server's
// "Retry-After", up to 60 s), up to TransferSettings::retries more times, each time
// into a new temporary file; meanwhile its slot serves other files. Except that an
// answer cut off after ResumePoint::kLeastKeptBytes or more, whose server served
// byte ranges and named the file by an ETag or Last-Modified, keeps its temporary
// file: the retry asks for the rest only (Range, If-Range) and appends it. A 206 of
// exactly that rest goes on; a 200 starts again from zero in a fresh temporary
// file; any other part, or a 416, is fetched again whole as one more attempt, and
// that file is not resumed again in the job. The listed size holds for the whole
// file, and progress counts the kept bytes. A 429 or 503
// slows the whole job down (TransferThrottle); one that comes while other files
// arrived since the file's first request, or since its last refusal, uses up no
// retry: the server is busy, not broken, and only says that the job went too fast
// (also once the throttle lets one request out at a time, when no other file can
// arrive while it is on its way). After kDeadHostAttempts attempts
// in a row without any answer, the host counts as down and every file left fails
// at once. Everything else fails at once. Every outcome and progress goes to the
// observer.
//
// Once the observer asks to stop (or `stopEvent` is set), every transfer ends at
// once, its temporary file is removed and nothing more is fetched; a file already
// complete and handed to the finisher is still put in place and gets its outcome.
//
// With backups on, each file that replaces one keeps the old one (BackupJob); at
// the end the job's record and history are written and old jobs pruned, before the
// observer hears that the job is done.
#include "runtime/core/QueltMem.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/TransferPool.h"
#include "runtime/platform/Event.h"
#include "updater/BackupJob.h"
#include "updater/DownloadObserver.h"
#include "updater/FileFinisher.h"
#include "updater/ResumePoint.h"
#include "updater/TransferSettings.h"
#include "updater/TransferThrottle.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace rg_quelt_app {

class DownloadJobRunner {
public:
    // The longest a transient failure waits before attempt `attempt` + 1 (attempt ≥ 1);
    // the wait itself is `random` spread evenly over 0 to that.
    static std::uint64_t retryDelayMs(int attempt);
    static std::uint64_t jitteredDelayMs(int attempt, std::uint64_t random);
    static constexpr std::int64_t kLongestRetryAfterSeconds = 60;
    static constexpr int kDeadHostAttempts = 8;
    // The largest size the list can name; the limit of an answer of unknown size.
    static constexpr std::int64_t kLargestListedSize = 0x7FFFFFFF;
    // Whether an ended attempt heard nothing at all from the server.
    static bool isNoAnswer(int curlResult, std::int32_t status);
    // Transfer results and HTTP statuses that are worth another attempt.
    static bool isTransientTransfer(int curlResult);
    static bool isTransientStatus(std::int32_t status);

    DownloadJobRunner(const rg_XiaZaiShuJu& job, DownloadObserver& observer, const TransferSettings& settings,
                      platform::Event* stopEvent);
    ~DownloadJobRunner();
    DownloadJobRunner(const DownloadJobRunner&) = delete;
    DownloadJobRunner& operator=(const DownloadJobRunner&) = delete;

    // Returns when every file has its outcome, or after a stop.
    void run();

private:
    class Attempt;

    bool stopping();
    void fillSlots(std::uint64_t now);
    bool startAttempt(std::size_t slot, std::size_t link);
    void transferEnded(std::size_t slot, const rg_quelt_windows_WangLao::TransferOutcome& outcome);
    void retryOrFail(std::unique_ptr<Attempt> attempt, FileResult result, std::int64_t retryAfterSeconds);
    void restartFromZero(std::unique_ptr<Attempt> attempt, FileResult result);
    void fail(Attempt& attempt, FileResult result);
    void report(std::size_t link, const FileResult& result,
                const std::optional<BackupJob::OldFile>& old = std::nullopt);
    void errorAnswer(std::unique_ptr<Attempt> attempt, FileResult result, std::int64_t retryAfterSeconds);
    void noteAnswered(int curlResult, std::int32_t status, const std::u16string& errorText);
    void giveUpOnHost();
    void takeFinished();
    void awaitFinisher();
    void stopAll();
    int waitMs(std::uint64_t now) const;

    const rg_XiaZaiShuJu& job_;
    DownloadObserver& observer_;
    const TransferSettings& settings_;
    const rg_quelt_windows_WangLao::TransferPolicy policy_;
    platform::Event* stopEvent_;
    bool stopped_ = false;

    rg_quelt_base::rg_WenBenShuZuLei headers_;
    rg_quelt_windows_WangLao::TransferPool pool_;
    std::vector<std::unique_ptr<Attempt>> slots_;
    // Links waiting for a slot, in list order; one waiting to be tried again comes
    // first, from the moment in notBefore_.
    std::deque<std::size_t> queue_;
    std::vector<std::uint64_t> notBefore_;
    std::vector<std::int32_t> attempts_;
    // Per link: the refusals for rate that used up no retry, and how many files
    // had arrived when its first request went out or its last refusal came.
    std::vector<std::int32_t> forgiven_;
    std::vector<std::size_t> arrivedBefore_;
    std::size_t arrived_ = 0;
    // Per link: the broken-off answer its next attempt continues, if any, and
    // whether its server was found not to serve the rest as asked.
    std::vector<std::unique_ptr<ResumePoint>> resumeFrom_;
    std::vector<bool> noResume_;
    TransferThrottle throttle_;
    std::mt19937_64 random_;
    int silentInRow_ = 0;
    CWString lastSilence_; // the last of them, in words
    bool hostDown_ = false;
    // The results of the files the finisher is putting in place.
    std::unordered_map<std::size_t, FileResult> finishing_;
    BackupJob backups_;
    // Placed last: its thread is joined before the pool it wakes goes.
    FileFinisher finisher_;
};

} // namespace rg_quelt_app
