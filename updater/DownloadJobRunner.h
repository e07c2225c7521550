#pragma once
// DownloadJobRunner: runs one download job on the calling thread (the download
// worker's), up to TransferSettings::parallelDownloads files at once over one
// TransferPool. With one at a time the files go strictly in list order.
//
// For each file: a name from the server that would leave the module folder is
// refused without a request; the answer streams into a fresh temporary file beside
// the target; a complete 2xx answer of the listed length (when the list gives one)
// goes to the FileFinisher, which puts it in place with the list's update time.
// A transient failure (no connection, a reset, a time-out or stall, an answer cut
// off before its announced length, HTTP 408, 429, 500, 502, 503, 504) is tried
// again after 0.5 s, 1 s, 2 s ... (or the server's "Retry-After", up to 10 s), up to
// TransferSettings::retries more times, each time into a new temporary file.
// Everything else fails at once. Every outcome and progress goes to the observer.
//
// Once the observer asks to stop (or `stopEvent` is set), every transfer ends at
// once, its temporary file is removed and nothing more is fetched; a file already
// complete and handed to the finisher is still put in place and gets its outcome.
#include "runtime/core/QueltMem.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/TransferPool.h"
#include "runtime/platform/Event.h"
#include "updater/DownloadObserver.h"
#include "updater/FileFinisher.h"
#include "updater/TransferSettings.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

namespace rg_quelt_app {

class DownloadJobRunner {
public:
    // How long a transient failure waits before attempt `attempt` + 1 (attempt ≥ 1).
    static std::uint64_t retryDelayMs(int attempt);
    static constexpr std::int64_t kLongestRetryAfterSeconds = 10;
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
    void fail(Attempt& attempt, FileResult result);
    void report(std::size_t link, const FileResult& result);
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
    // The results of the files the finisher is putting in place.
    std::unordered_map<std::size_t, FileResult> finishing_;
    // Placed last: its thread is joined before the pool it wakes goes.
    FileFinisher finisher_;
};

} // namespace rg_quelt_app
