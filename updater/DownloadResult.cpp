#include "updater/DownloadResult.h"

namespace rg_quelt_app {

CWString reasonText(const FileResult& result) {
    if (result.attempts <= 1)
        return result.detail;
    return result.detail + u" (" + CWString::fromInteger(result.attempts).view() + u" attempts)";
}

} // namespace rg_quelt_app
