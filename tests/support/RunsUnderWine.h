#pragma once
// Whether a Windows test runs under Wine rather than on Windows: where Wine is known
// to behave otherwise (its Schannel accepts any server certificate when no CA file
// is given), a test says so and skips that case instead of proving Wine wrong.
#if defined(_WIN32)
#include <windows.h>
#endif

namespace mireth_test {

inline bool runsUnderWine() {
#if defined(_WIN32)
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

} // namespace mireth_test
