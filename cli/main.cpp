// The entry of mireth-sync: the arguments as UTF-16 texts, then the commands.
#include "cli/Console.h"
#include "cli/SyncCommands.h"
#include "runtime/core/QueltException.h"
#include "runtime/platform/ConsoleEntry.h"

#include <exception>

int platform::consoleMain(const std::vector<std::u16string>& arguments) {
    using namespace rg_quelt_app::cli;
    try {
        std::vector<CWString> texts;
        texts.reserve(arguments.size());
        for (const std::u16string& argument : arguments)
            texts.emplace_back(argument);
        return runSync(texts);
    } catch (const CQueltException& error) {
        writeError(CWString(u"stopped by an internal error: ") + error.description().view());
    } catch (const std::exception& error) {
        writeError(CWString(u"stopped by an internal error: ") + CWString::fromUtf8(error.what()).view());
    } catch (...) {
        writeError(u"stopped by an internal error");
    }
    return kExitListFailed;
}
