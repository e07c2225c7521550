#include "runtime/core/EventObjectPointer.h"

namespace {

// The targets whose handlers are running on this thread, innermost last. Deeper
// nesting than this is not tracked (and would make a self-teardown wait).
constexpr int kTrackedDepth = 64;
thread_local const CQueltEventObjectPointer* tlsRunning[kTrackedDepth];
thread_local int tlsDepth = 0;

std::int64_t runningHere(const CQueltEventObjectPointer* pointer) {
    std::int64_t n = 0;
    for (int i = 0; i < tlsDepth && i < kTrackedDepth; ++i)
        n += tlsRunning[i] == pointer;
    return n;
}

} // namespace

CQueltObject* CQueltEventObjectPointer::beginCall() {
    platform::CriticalSectionLock lock(guard_);
    if (closing_ || !target_)
        return nullptr;
    ++inFlight_;
    if (tlsDepth < kTrackedDepth)
        tlsRunning[tlsDepth] = this;
    ++tlsDepth;
    return target_;
}

void CQueltEventObjectPointer::endCall() {
    platform::CriticalSectionLock lock(guard_);
    --tlsDepth;
    --inFlight_;
    idle_.notifyAll();
}

void CQueltEventObjectPointer::teardown() {
    platform::CriticalSectionLock lock(guard_);
    closing_ = true;
    const std::int64_t own = runningHere(this);
    while (inFlight_ > own)
        idle_.wait(guard_);
    target_ = nullptr;
}

CQueltObject* CQueltEventObjectPointer::target() {
    platform::CriticalSectionLock lock(guard_);
    return target_;
}

std::int64_t CQueltEventObjectPointer::inFlight() {
    platform::CriticalSectionLock lock(guard_);
    return inFlight_;
}
