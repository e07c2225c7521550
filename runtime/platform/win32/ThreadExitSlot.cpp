#include "runtime/platform/ThreadExitSlot.h"

#include <windows.h>

namespace platform {

// A fibre-local slot's callback runs on every thread that ends with a value in it,
// threads of CreateThread as well as of the C runtime, and also for the thread that
// calls ExitProcess. On x64 there is one calling convention, so the function is
// the callback as it stands.
static_assert(sizeof(void*) == 8, "the callback cast needs the x64 calling convention");

ThreadExitSlot::ThreadExitSlot(Function atExit) {
    const DWORD index = FlsAlloc(reinterpret_cast<PFLS_CALLBACK_FUNCTION>(atExit));
    valid_ = index != FLS_OUT_OF_INDEXES;
    if (valid_)
        key_ = index;
}

void* ThreadExitSlot::get() const { return valid_ ? FlsGetValue(key_) : nullptr; }

bool ThreadExitSlot::set(void* value) { return valid_ && FlsSetValue(key_, value) != 0; }

} // namespace platform
