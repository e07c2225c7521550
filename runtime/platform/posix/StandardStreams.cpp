#include "runtime/platform/StandardStreams.h"

#include "runtime/platform/CodePage.h"

#include <cstdio>
#include <string>

#include <unistd.h>

namespace platform {
namespace {

std::FILE* fileOf(StandardStream stream) { return stream == StandardStream::output ? stdout : stderr; }

} // namespace

void prepareStandardStreams() {}

void writeStandardStream(StandardStream stream, std::u16string_view text) {
    const std::string bytes = utf16ToUtf8String(text);
    std::FILE* file = fileOf(stream);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
}

bool isTerminal(StandardStream stream) { return ::isatty(fileno(fileOf(stream))) != 0; }

} // namespace platform
