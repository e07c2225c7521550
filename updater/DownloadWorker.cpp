#include "updater/DownloadWorker.h"

#include "runtime/data/ThreadStateRecord.h"
#include "updater/DownloadJobRunner.h"

namespace rg_quelt_app {
namespace {

// For a job started without anyone to tell: it still runs to its end.
class SilentObserver final : public DownloadObserver {
public:
    void fileProgress(const rg_LianJieYuSuoYinLei&, std::int64_t, std::int64_t) override {}
    void fileDone(const rg_LianJieYuSuoYinLei&, const FileResult&) override {}
    void jobDone(bool) override {}
};

} // namespace

void DownloadWorker(rg_quelt_base::rg_XianChengZhuangTaiLei* state) {
    ObserverRef observerRef;
    rg_XiaZaiShuJu job;
    TransferSettings settings;
    state->LoadParameter(0, observerRef);
    state->LoadParameter(1, job);
    state->LoadParameter(2, settings);
    SilentObserver silent;
    DownloadObserver& observer = observerRef.observer() ? *observerRef.observer() : silent;
    rg_quelt_base::ThreadStateRecord* record = state->stateRecord();
    DownloadJobRunner runner(job, observer, settings, record ? &record->stopEvent : nullptr);
    runner.run();
}

} // namespace rg_quelt_app
