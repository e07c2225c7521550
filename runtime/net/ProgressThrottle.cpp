#include "runtime/net/ProgressThrottle.h"

namespace rg_quelt_windows_WangLao {
namespace {

bool completes(std::int64_t total, std::int64_t now, std::int64_t before) {
    return total > 0 && now >= total && before < now;
}

} // namespace

bool ProgressThrottle::due(const ProgressCounts& counts, std::uint64_t nowMs) {
    latest_ = counts;
    const bool firstBytes =
        told_.downloadNow == 0 && told_.uploadNow == 0 && (counts.downloadNow != 0 || counts.uploadNow != 0);
    const bool go = !anyTold_ || nowMs - toldAt_ >= kIntervalMs || firstBytes ||
                    completes(counts.downloadTotal, counts.downloadNow, told_.downloadNow) ||
                    completes(counts.uploadTotal, counts.uploadNow, told_.uploadNow);
    if (go) {
        anyTold_ = true;
        toldAt_ = nowMs;
        told_ = counts;
    }
    return go;
}

bool ProgressThrottle::untold(ProgressCounts& counts) const {
    if (!anyTold_ || latest_ == told_)
        return false;
    counts = latest_;
    return true;
}

} // namespace rg_quelt_windows_WangLao
