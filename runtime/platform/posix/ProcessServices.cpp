#include "runtime/platform/ProcessServices.h"

#include "runtime/platform/CodePage.h"

#include <cstdio>
#include <string>

namespace platform {

bool comInitialize() { return false; }

void comUninitialize() {}

void socketsCleanup() {}

void freeLibrary(void*) {}

static std::string toUtf8(const char16_t* text) {
    std::size_t length = 0;
    while (text && text[length])
        ++length;
    std::string out(utf16ToUtf8(text, length, nullptr, 0), '\0');
    utf16ToUtf8(text, length, out.data(), out.size());
    return out;
}

void showErrorMessage(const char16_t* text, const char16_t* caption) {
    const std::string line = toUtf8(caption) + ": " + toUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace platform
