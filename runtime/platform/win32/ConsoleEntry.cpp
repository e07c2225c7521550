#include "runtime/platform/ConsoleEntry.h"

#include "runtime/platform/StandardStreams.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Windows arguments are UTF-16");

// Linked with -municode: the C runtime hands over the arguments as UTF-16.
int wmain(int argc, wchar_t** argv) {
    platform::prepareStandardStreams();
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    return platform::consoleMain(arguments);
}
