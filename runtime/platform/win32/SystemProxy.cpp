#include "runtime/platform/SystemProxy.h"

#include <windows.h>
#include <winhttp.h>

namespace platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// Takes a string the call allocated with GlobalAlloc, and frees it.
std::u16string adopt(LPWSTR text) {
    if (!text)
        return std::u16string();
    std::u16string copy(reinterpret_cast<const char16_t*>(text));
    GlobalFree(text);
    return copy;
}

} // namespace

SystemProxySettings systemProxySettings() {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    SystemProxySettings settings;
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config))
        return settings;
    settings.proxy = adopt(config.lpszProxy);
    settings.bypass = adopt(config.lpszProxyBypass);
    settings.autoConfigUrl = adopt(config.lpszAutoConfigUrl);
    settings.autoDetect = config.fAutoDetect != FALSE;
    return settings;
}

} // namespace platform
