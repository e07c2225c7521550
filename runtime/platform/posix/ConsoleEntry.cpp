#include "runtime/platform/ConsoleEntry.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/StandardStreams.h"

int main(int argc, char** argv) {
    platform::prepareStandardStreams();
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(platform::utf8ToUtf16String(argv[i]));
    return platform::consoleMain(arguments);
}
