#include "updater/TransferSettings.h"

#include "runtime/net/ProxyRoute.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(TransferSettings, CQueltObject, "rg_quelt_app::TransferSettings")

bool TransferSettings::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const TransferSettings&>(other);
    return parallelDownloads == o.parallelDownloads && retries == o.retries && caFile == o.caFile &&
           verifyCertificates == o.verifyCertificates && stallSeconds == o.stallSeconds && proxy == o.proxy &&
           systemProxy.proxy == o.systemProxy.proxy && systemProxy.bypass == o.systemProxy.bypass &&
           systemProxy.autoConfigUrl == o.systemProxy.autoConfigUrl &&
           systemProxy.autoDetect == o.systemProxy.autoDetect && backupFolder == o.backupFolder &&
           backupFolderInModules == o.backupFolderInModules && keptBackups == o.keptBackups &&
           historyLog == o.historyLog;
}

rg_quelt_windows_WangLao::TransferPolicy TransferSettings::policy() const {
    rg_quelt_windows_WangLao::TransferPolicy policy;
    policy.verifyPeer = verifyCertificates;
    policy.caFile = caFile;
    policy.lowSpeedSeconds = stallSeconds;
    using rg_quelt_windows_WangLao::ProxyRoute;
    if (proxy == std::u16string_view(kDirectProxy))
        policy.proxy = ProxyRoute::direct();
    else if (!proxy.isEmpty())
        policy.proxy = ProxyRoute::given(proxy.toAnsi());
    else
        policy.proxy = ProxyRoute::fromSystem(systemProxy);
    return policy;
}

CWString TransferSettings::backupNote() const {
    if (!backupsOn() || !backupFolderInModules)
        return CWString();
    return CWString(u"备份目录 ") + backupFolder.view() + u" 在三方模块目录之内，旧文件无法保留，" +
           u"已有的模块不会被替换：请另选备份目录，或把“保留备份数”设为 0";
}

CWString TransferSettings::proxyNote() const {
    // Detection alone is no script: Windows has it on by default, and most
    // networks answer it with nothing, so telling of it would be noise.
    const bool script = !systemProxy.autoConfigUrl.empty();
    if (!proxy.isEmpty() || !script || rg_quelt_windows_WangLao::ProxyRoute::environmentNamesProxy())
        return CWString();
    CWString note(u"系统代理设置中的自动配置脚本");
    note += CWString(u"（") + systemProxy.autoConfigUrl + u"）";
    note += u"不会被执行，";
    note += rg_quelt_windows_WangLao::ProxyRoute::fromSystem(systemProxy).usesSystem() ? u"改用其中的静态代理"
                                                                                       : u"将直接连接服务器";
    note += u"；需要时请在 setup.ini 的“全局”中设置“代理”";
    return note;
}

bool isProxySetting(std::u16string_view text) {
    if (text == kDirectProxy)
        return true;
    if (text.empty())
        return false;
    std::string url;
    for (const char16_t c : text) {
        if (c <= u' ' || c >= 0x7f)
            return false;
        url += static_cast<char>(c);
    }
    // No scheme: libcurl takes an HTTP proxy.
    constexpr std::string_view kSchemes[] = {"", "http", "https", "socks4", "socks4a", "socks5", "socks5h"};
    const rg_quelt_windows_WangLao::UrlHost proxy = rg_quelt_windows_WangLao::urlHostOf(url);
    return !proxy.host.empty() &&
           std::find(std::begin(kSchemes), std::end(kSchemes), proxy.scheme) != std::end(kSchemes);
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
