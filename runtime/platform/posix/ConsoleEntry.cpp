#include "runtime/platform/ConsoleEntry.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/StandardStreams.h"

#include <cstring>

int main(int argc, char** argv) {
    platform::prepareStandardStreams();
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::size_t length = std::strlen(argv[i]);
        std::u16string& text =
            arguments.emplace_back(platform::utf8ToUtf16(argv[i], length, nullptr, 0), u'\0');
        platform::utf8ToUtf16(argv[i], length, text.data(), text.size());
    }
    return platform::consoleMain(arguments);
}
