// SendRequest downloading one large answer into memory, as the list request does,
// in two ways: on the thread that owns the access object (progress calls straight
// through) and on a worker thread (every progress notice crosses to the owner).
// Prints the throughput of each; scripts/bench compares them with the curl
// command line on the same server.
//
//   http_download_bench URL [rounds]
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "runtime/platform/NoticeReceiver.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace rg_quelt_windows_WangLao;

namespace {

class ProgressCounter : public CQueltObject {
public:
    ProgressCounter() : receiver_(this) {}
    ~ProgressCounter() override { receiver_.teardown(); }
    CQueltEventObjectPointer* target() const { return receiver_.pointer(); }
    static std::int32_t onProgress(CQueltObject* target, CQueltObject*, std::int32_t, std::int64_t,
                                   std::int64_t, std::int64_t, std::int64_t) {
        static_cast<ProgressCounter*>(target)->notices++;
        return 0;
    }
    long notices = 0;

private:
    CQueltEventReceiver receiver_;
};

struct Result {
    double seconds;
    std::size_t bytes;
    long notices;
};

Result once(const CWString& url, bool onWorker) {
    rg_WangLaoFangWenLei access;
    ProgressCounter counter;
    access.progressEvent.bind(&ProgressCounter::onProgress, counter.target());
    const auto begin = std::chrono::steady_clock::now();
    rg_WangYeFangWenXiangYingLei response;
    if (onWorker) {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            response = access.Post(url, nullptr, defaultHeaderList());
            done = true;
        });
        while (!done.load())
            platform::serviceNotices(5);
        worker.join();
    } else {
        response = access.Post(url, nullptr, defaultHeaderList());
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    if (response.curlResult() != 0 || response.responseCode() != 200) {
        std::fprintf(stderr, "transfer failed: curl %d, HTTP %d\n", response.curlResult(),
                     response.responseCode());
        std::exit(1);
    }
    return {elapsed.count(), response.body().size(), counter.notices};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s URL [rounds]\n", argv[0]);
        return 2;
    }
    const CWString url = CWString::fromUtf8(argv[1], std::strlen(argv[1]));
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    for (bool onWorker : {false, true}) {
        Result best{1e30, 0, 0};
        for (int i = 0; i < rounds; ++i) {
            const Result r = once(url, onWorker);
            if (r.seconds < best.seconds)
                best = r;
        }
        std::printf("%s %.1f MB/s (%zu bytes in %.3f s, %ld progress notices)\n",
                    onWorker ? "worker" : "direct", best.bytes / best.seconds / 1e6, best.bytes, best.seconds,
                    best.notices);
    }
    return 0;
}
