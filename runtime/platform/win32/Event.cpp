#include "runtime/platform/Event.h"

#include <windows.h>

namespace platform {

Event::Event(bool manualReset, bool initiallySignalled)
    : native_(CreateEventW(nullptr, manualReset ? TRUE : FALSE, initiallySignalled ? TRUE : FALSE, nullptr)) {}

Event::~Event() {
    if (native_)
        CloseHandle(native_);
}

void Event::set() {
    if (native_)
        SetEvent(native_);
}

void Event::reset() {
    if (native_)
        ResetEvent(native_);
}

WaitResult Event::wait(std::uint32_t timeoutMs) {
    if (!native_)
        return WaitResult::failed;
    switch (WaitForSingleObject(native_, timeoutMs == kInfinite ? INFINITE : timeoutMs)) {
    case WAIT_OBJECT_0:
        return WaitResult::signalled;
    case WAIT_TIMEOUT:
        return WaitResult::timedOut;
    default:
        return WaitResult::failed;
    }
}

} // namespace platform
