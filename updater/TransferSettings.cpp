#include "updater/TransferSettings.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(TransferSettings, CQueltObject, "rg_quelt_app::TransferSettings")

bool TransferSettings::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const TransferSettings&>(other);
    return parallelDownloads == o.parallelDownloads && retries == o.retries && caFile == o.caFile &&
           verifyCertificates == o.verifyCertificates && stallSeconds == o.stallSeconds;
}

rg_quelt_windows_WangLao::TransferPolicy TransferSettings::policy() const {
    rg_quelt_windows_WangLao::TransferPolicy policy;
    policy.verifyPeer = verifyCertificates;
    policy.caFile = caFile;
    policy.lowSpeedSeconds = stallSeconds;
    return policy;
}

void TransferSettings::reset() {
    CQueltObject::reset();
    *this = TransferSettings();
}

std::optional<int> settingNumber(std::u16string_view text, int low, int high) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace rg_quelt_app
