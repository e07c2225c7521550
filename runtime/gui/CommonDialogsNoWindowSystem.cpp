// The dialog services where there is no window system: the message goes to the
// standard error stream and counts as acknowledged; no folder or file can be
// chosen.
#include "runtime/gui/CommonDialogs.h"

#include <cstdio>
#include <string>

namespace rg_quelt_WTLJieMian_base {

std::int32_t messageBox(CQueltWinForm*, const CWString& text, const CWString& caption, std::uint32_t) {
    const std::string line = caption.toUtf8String() + ": " + text.toUtf8String() + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return 1; // IDOK
}

CWString browseForFolder(CQueltWinForm*, const CWString&) { return CWString(); }

CWString chooseFileToOpen(CQueltWinForm*, const CWString&, const CWString&, const CWString&) {
    return CWString();
}

} // namespace rg_quelt_WTLJieMian_base
