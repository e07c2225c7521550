#include "updater/TransferThrottle.h"

#include <algorithm>
#include <cmath>

namespace rg_quelt_app {
namespace {

constexpr double kWiden = 1.5;
constexpr double kNarrow = 0.97;

} // namespace

TransferThrottle::TransferThrottle(std::size_t most)
    : most_(std::max<std::size_t>(most, 1)), allowed_(most_) {}

std::uint64_t TransferThrottle::nextStartAt() const {
    return spacingMs_ <= 0 ? 0 : lastStart_ + static_cast<std::uint64_t>(std::llround(spacingMs_));
}

void TransferThrottle::refused(std::uint64_t now, std::uint64_t sentAt) {
    streak_ = 0;
    if (reacted_ && sentAt < lastReaction_)
        return;
    reacted_ = true;
    lastReaction_ = now;
    allowed_ = std::max<std::size_t>(allowed_ / 2, 1);
    spacingMs_ = std::clamp(spacingMs_ * kWiden, kFirstSpacingMs, kLongestSpacingMs);
}

void TransferThrottle::succeeded() {
    spacingMs_ *= kNarrow;
    if (spacingMs_ < 1)
        spacingMs_ = 0;
    if (++streak_ % kSuccessesPerStep == 0 && allowed_ < most_)
        ++allowed_;
}

} // namespace rg_quelt_app
