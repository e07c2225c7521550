// The "ANSI code page" of a Linux process: the character set of the locale the
// environment names (LC_ALL, LC_CTYPE, LANG), UTF-8 when that is C/POSIX or unknown.
#include "runtime/platform/CodePage.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <string>

namespace platform {
namespace {

struct AnsiCharset {
    bool utf8 = true;
    std::string name;
};

const AnsiCharset& ansiCharset() {
    static const AnsiCharset charset = [] {
        AnsiCharset result;
        locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (!locale)
            return result;
        const char* codeset = nl_langinfo_l(CODESET, locale);
        std::string name = codeset ? codeset : "";
        freelocale(locale);
        // The C locale reports plain ASCII; treat it as UTF-8 like the rest of the system.
        if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII" || name == "UTF-8" || name == "utf8")
            return result;
        result.utf8 = false;
        result.name = name;
        return result;
    }();
    return charset;
}

// Converts with iconv; bytes that do not convert become '?' (or U+FFFD) like the
// default behaviour of the Win32 calls.
template <typename Out>
std::size_t convert(const char* from, const char* to, const char* source, std::size_t length, Out* dest,
                    std::size_t capacity, Out fallback, std::size_t inUnit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return 0;
    std::size_t written = 0;
    char buffer[1024];
    char* in = const_cast<char*>(source);
    std::size_t inLeft = length;
    bool full = false;
    auto emit = [&](const char* bytes, std::size_t n) {
        for (std::size_t k = 0; k + sizeof(Out) <= n; k += sizeof(Out)) {
            if (dest) {
                if (written >= capacity) {
                    full = true;
                    return;
                }
                std::memcpy(dest + written, bytes + k, sizeof(Out));
            }
            ++written;
        }
    };
    while (inLeft > 0 && !full) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        emit(buffer, sizeof buffer - outLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Invalid or incomplete input: replace one input unit and go on.
            emit(reinterpret_cast<const char*>(&fallback), sizeof(Out));
            const std::size_t skip = inLeft < inUnit ? inLeft : inUnit;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return written;
}

} // namespace

bool ansiIsUtf8() { return ansiCharset().utf8; }

std::size_t ansiToUtf16(const char* source, std::size_t length, char16_t* dest, std::size_t capacity) {
    const AnsiCharset& charset = ansiCharset();
    if (charset.utf8)
        return utf8ToUtf16(source, length, dest, capacity);
    return convert<char16_t>(charset.name.c_str(), "UTF-16LE", source, length, dest, capacity, u'\xFFFD', 1);
}

std::size_t utf16ToAnsi(const char16_t* source, std::size_t length, char* dest, std::size_t capacity) {
    const AnsiCharset& charset = ansiCharset();
    if (charset.utf8)
        return utf16ToUtf8(source, length, dest, capacity);
    const std::string to = charset.name;
    return convert<char>("UTF-16LE", to.c_str(), reinterpret_cast<const char*>(source), length * 2, dest,
                         capacity, '?', 2);
}

} // namespace platform
