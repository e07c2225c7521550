#include "updater/DownloadResult.h"

namespace rg_quelt_app {

CWString reasonText(const FileResult& result) {
    CWString text = reasonText(result.reason);
    if (result.attempts > 1 && !text.isEmpty())
        text += CWString(u"（共尝试 ") + CWString::fromInteger(result.attempts) + u" 次）";
    return text;
}

std::string_view reasonCode(const FileResult& result) { return reasonCode(result.reason.kind); }

} // namespace rg_quelt_app
