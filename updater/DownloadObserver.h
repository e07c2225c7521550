#pragma once
// DownloadObserver: what follows a download job while the worker runs it. The worker
// calls it on its own thread with typed facts (a file's progress, a file's result,
// the job's end) and asks it whether to stop; it never sees row texts. An
// implementation must be safe to call from the worker while other threads read it.
//
// ObserverRef is how an observer travels as a runtime object (in a thread-state
// slot): it shares the observer by reference count.
#include "runtime/core/SharedRecordRef.h"
#include "updater/DownloadResult.h"
#include "updater/rg_LianJieYuSuoYinLei.h"

#include <cstdint>

namespace rg_quelt_app {

class rg_XiaZaiShuJu;

class DownloadObserver : public CRefObject {
public:
    // On the starting thread, right before the job goes to the worker.
    virtual void jobStarting(const rg_XiaZaiShuJu&) {}
    // The first request for the link is on its way.
    virtual void fileStarted(const rg_LianJieYuSuoYinLei&) {}
    // Bytes of the link's answer so far, and the total (the listed size, else what
    // the server announced; −1 while unknown). At most a few times a second per file.
    virtual void fileProgress(const rg_LianJieYuSuoYinLei& link, std::int64_t received,
                              std::int64_t total) = 0;
    // Once per link of the job, unless the job was stopped before the link's
    // answer was complete (a complete one is put in place and reported).
    virtual void fileDone(const rg_LianJieYuSuoYinLei& link, const FileResult& result) = 0;
    // Once, as the worker ends (also after a stop).
    virtual void jobDone(bool stopped) = 0;
    // True once nobody waits for the job any more (its window is gone): the worker
    // ends every transfer, removes their temporary files and fetches nothing more.
    virtual bool stopRequested() const { return false; }
};

class ObserverRef : public SharedRecordRef<DownloadObserver> {
    QUELT_CLASS(ObserverRef)

public:
    ObserverRef() = default;
    // Takes a reference of its own on `observer`.
    explicit ObserverRef(DownloadObserver* observer) { share(observer); }

    DownloadObserver* observer() const { return get(); }
};

} // namespace rg_quelt_app
