// The entry of mireth-sync: the arguments as UTF-16 texts, then the commands.
#include "cli/Console.h"
#include "cli/SyncCommands.h"
#include "runtime/core/QueltException.h"

#include <exception>
#include <vector>

namespace {

int guardedRun(const std::vector<CWString>& arguments) {
    using namespace rg_quelt_app::cli;
    try {
        return runSync(arguments);
    } catch (const CQueltException& error) {
        writeError(CWString(u"stopped by an internal error: ") + error.description().view());
    } catch (const std::exception& error) {
        writeError(CWString(u"stopped by an internal error: ") + CWString::fromUtf8(error.what()).view());
    } catch (...) {
        writeError(u"stopped by an internal error");
    }
    return kExitListFailed;
}

} // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Windows arguments are UTF-16");
    rg_quelt_app::cli::initialiseConsole();
    std::vector<CWString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(std::u16string_view(reinterpret_cast<const char16_t*>(argv[i])));
    return guardedRun(arguments);
}
#else
int main(int argc, char** argv) {
    rg_quelt_app::cli::initialiseConsole();
    std::vector<CWString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(CWString::fromUtf8(argv[i]));
    return guardedRun(arguments);
}
#endif
