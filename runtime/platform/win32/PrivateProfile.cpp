// The parts of the profile functions that differ per platform: UTF-16LE with a
// byte-order mark is the one Unicode form that the system's own profile functions
// read, so older programs that use them still find every value.
#include "runtime/platform/PrivateProfile.h"

#include <climits>
#include <windows.h>

namespace platform {

ProfileEncoding nativeProfileEncoding() { return ProfileEncoding::utf16le; }

std::u16string_view nativeProfileNewline() { return u"\r\n"; }

std::u16string decodeCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    UINT page = codePage == kSystemAnsiCodePage ? CP_ACP : codePage;
    if (page != CP_ACP && !IsValidCodePage(page))
        page = CP_ACP;
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(page, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    const int written =
        MultiByteToWideChar(page, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), needed);
    out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return out;
}

} // namespace platform
