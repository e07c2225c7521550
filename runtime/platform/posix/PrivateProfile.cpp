// The parts of the profile functions that differ per platform: UTF-8 with "\n" is
// the form Linux tools expect, and code pages other than the locale's come from iconv.
#include "runtime/platform/PrivateProfile.h"

#include "runtime/platform/CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {

ProfileEncoding nativeProfileEncoding() { return ProfileEncoding::utf8; }

std::u16string_view nativeProfileNewline() { return u"\n"; }

std::u16string decodeCodePage(std::string_view bytes, unsigned codePage) {
    std::u16string out;
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    if (codePage != kSystemAnsiCodePage)
        cd = iconv_open("UTF-16LE", ("CP" + std::to_string(codePage)).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        out.assign(ansiToUtf16(bytes.data(), bytes.size(), nullptr, 0), u'\0');
        ansiToUtf16(bytes.data(), bytes.size(), out.data(), out.size());
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* next = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &next, &outLeft);
        const std::size_t produced = (sizeof buffer - outLeft) / 2;
        for (std::size_t i = 0; i < produced; ++i) {
            char16_t unit;
            std::memcpy(&unit, buffer + 2 * i, 2);
            out += unit;
        }
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte that starts no character of the code page: replace it and go on.
            out += u'\xFFFD';
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace platform
