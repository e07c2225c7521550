#include "runtime/platform/StandardStreams.h"

#include "runtime/platform/CodePage.h"

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <io.h>

static_assert(sizeof(wchar_t) == 2, "wide console output is UTF-16");

namespace platform {
namespace {

std::FILE* fileOf(StandardStream stream) { return stream == StandardStream::output ? stdout : stderr; }

// Set once by prepareStandardStreams, before any write: which streams are consoles.
bool wideConsole[2] = {false, false};

bool& wideConsoleOf(StandardStream stream) { return wideConsole[stream == StandardStream::output ? 0 : 1]; }

} // namespace

void prepareStandardStreams() {
    for (StandardStream stream : {StandardStream::output, StandardStream::error}) {
        const int fd = _fileno(fileOf(stream));
        const bool console = _isatty(fd) != 0;
        wideConsoleOf(stream) = console;
        _setmode(fd, console ? _O_U16TEXT : _O_BINARY);
    }
}

void writeStandardStream(StandardStream stream, std::u16string_view text) {
    std::FILE* file = fileOf(stream);
    if (wideConsoleOf(stream)) {
        const std::wstring wide(text.begin(), text.end());
        std::fputws(wide.c_str(), file);
    } else {
        const std::string bytes = utf16ToUtf8String(text);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    }
    std::fflush(file);
}

bool isTerminal(StandardStream stream) { return _isatty(_fileno(fileOf(stream))) != 0; }

} // namespace platform
