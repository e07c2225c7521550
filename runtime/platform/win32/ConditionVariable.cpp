#include "runtime/platform/ConditionVariable.h"

#include "runtime/platform/CriticalSection.h"

#include <windows.h>

namespace platform {

static_assert(sizeof(CONDITION_VARIABLE) <= 64, "native storage too small");

namespace {

CONDITION_VARIABLE* native(unsigned char* storage) { return reinterpret_cast<CONDITION_VARIABLE*>(storage); }

} // namespace

ConditionVariable::ConditionVariable() { InitializeConditionVariable(native(native_)); }

ConditionVariable::~ConditionVariable() = default;

void ConditionVariable::wait(CriticalSection& section) {
    SleepConditionVariableCS(native(native_), reinterpret_cast<CRITICAL_SECTION*>(section.native_), INFINITE);
}

void ConditionVariable::waitFor(CriticalSection& section, std::uint32_t milliseconds) {
    SleepConditionVariableCS(native(native_), reinterpret_cast<CRITICAL_SECTION*>(section.native_),
                             milliseconds == INFINITE ? INFINITE - 1 : milliseconds);
}

void ConditionVariable::notifyAll() { WakeAllConditionVariable(native(native_)); }

} // namespace platform
