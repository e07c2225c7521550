#include "cli/Console.h"

#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rg_quelt_app::cli {
namespace {

std::FILE* fileOf(Stream stream) { return stream == Stream::Output ? stdout : stderr; }

#if defined(_WIN32)
bool wideConsole[2] = {false, false};
#endif

} // namespace

void initialiseConsole() {
#if defined(_WIN32)
    // A console takes UTF-16 from the runtime; anything else gets the UTF-8 bytes
    // unchanged (binary mode: no code-page translation, "\n" as written).
    for (Stream stream : {Stream::Output, Stream::Error}) {
        const int fd = _fileno(fileOf(stream));
        const bool console = _isatty(fd) != 0;
        wideConsole[stream == Stream::Output ? 0 : 1] = console;
        _setmode(fd, console ? _O_U16TEXT : _O_BINARY);
    }
#endif
}

void write(Stream stream, std::u16string_view text) {
    std::FILE* file = fileOf(stream);
#if defined(_WIN32)
    static_assert(sizeof(wchar_t) == 2, "wide console output is UTF-16");
    if (wideConsole[stream == Stream::Output ? 0 : 1]) {
        const std::wstring wide(text.begin(), text.end());
        std::fputws(wide.c_str(), file);
        std::fflush(file);
        return;
    }
#endif
    const std::string bytes = CWString(text).toUtf8String();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
}

void writeLine(Stream stream, std::u16string_view text) { write(stream, CWString(text) + u"\n"); }

void writeError(std::u16string_view text) { writeLine(Stream::Error, CWString(u"mireth-sync: ") + text); }

bool isTerminal(Stream stream) {
#if defined(_WIN32)
    return _isatty(_fileno(fileOf(stream))) != 0;
#else
    return ::isatty(fileno(fileOf(stream))) != 0;
#endif
}

} // namespace rg_quelt_app::cli
