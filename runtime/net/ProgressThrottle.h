#pragma once
// ProgressThrottle: which of libcurl's progress calls are worth a notice. libcurl
// calls back after every piece it receives, hundreds of times a second, and a
// notice to another thread makes the transfer wait for that thread each time; a
// listener learns nothing from most of them. A call goes on when it is the
// transfer's first, brings the first bytes, completes a known total, or comes
// kIntervalMs after the last notice (with or without news, so that a listener can
// still end a stalled transfer). The counts of the last call are kept, so that a
// transfer can tell them once more when it ends.
#include <cstdint>

namespace rg_quelt_windows_WangLao {

struct ProgressCounts {
    std::int64_t downloadTotal = 0;
    std::int64_t downloadNow = 0;
    std::int64_t uploadTotal = 0;
    std::int64_t uploadNow = 0;

    bool operator==(const ProgressCounts& other) const {
        return downloadTotal == other.downloadTotal && downloadNow == other.downloadNow &&
               uploadTotal == other.uploadTotal && uploadNow == other.uploadNow;
    }
    bool operator!=(const ProgressCounts& other) const { return !(*this == other); }
};

class ProgressThrottle {
public:
    static constexpr std::uint64_t kIntervalMs = 50;

    // Before each transfer.
    void restart() { *this = ProgressThrottle(); }
    // Whether the call with `counts` at `nowMs` (platform::tickCount) should go on
    // as a notice; if so it counts as told.
    bool due(const ProgressCounts& counts, std::uint64_t nowMs);
    // The counts of the last call when no notice told them yet.
    bool untold(ProgressCounts& counts) const;

private:
    bool anyTold_ = false;
    std::uint64_t toldAt_ = 0;
    ProgressCounts told_;
    ProgressCounts latest_;
};

} // namespace rg_quelt_windows_WangLao
