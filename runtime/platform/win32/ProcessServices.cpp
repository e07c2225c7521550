#include "runtime/platform/ProcessServices.h"

#include <objbase.h>
#include <windows.h>
#include <winsock2.h>

namespace platform {

bool comInitialize() { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

void comUninitialize() { CoUninitialize(); }

void socketsCleanup() { WSACleanup(); }

void freeLibrary(void* library) {
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

void showErrorMessage(const char16_t* text, const char16_t* caption) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text), reinterpret_cast<const wchar_t*>(caption),
                MB_ICONERROR);
}

} // namespace platform
