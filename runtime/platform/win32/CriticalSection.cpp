#include "runtime/platform/CriticalSection.h"

#include <windows.h>

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "native storage too small");

namespace {

CRITICAL_SECTION* native(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

} // namespace

CriticalSection::CriticalSection() { InitializeCriticalSection(native(native_)); }

CriticalSection::~CriticalSection() { DeleteCriticalSection(native(native_)); }

void CriticalSection::enter() { EnterCriticalSection(native(native_)); }

bool CriticalSection::tryEnter() { return TryEnterCriticalSection(native(native_)) != 0; }

void CriticalSection::leave() { LeaveCriticalSection(native(native_)); }

} // namespace platform
