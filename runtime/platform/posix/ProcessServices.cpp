#include "runtime/platform/ProcessServices.h"

#include "runtime/platform/CodePage.h"

#include <cstdio>
#include <string>

namespace platform {

bool comInitialize() { return false; }

void comUninitialize() {}

void socketsCleanup() {}

void freeLibrary(void*) {}

namespace {

std::string toUtf8(const char16_t* text) { return utf16ToUtf8String(text ? std::u16string_view(text) : u""); }

} // namespace

void showErrorMessage(const char16_t* text, const char16_t* caption) {
    const std::string line = toUtf8(caption) + ": " + toUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace platform
