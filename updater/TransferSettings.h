#pragma once
// TransferSettings: how the requests to the module server go, from setup.ini's
// section "全局": how many files download at once ("同时下载数", 1 to 16, default 4;
// 1 fetches one file after another in list order), how often a transient failure
// is tried again ("重试次数", 0 to 10, default 2; 0 tries each file once), a PEM file
// of CA certificates for a server with a private CA ("证书文件", relative to the
// folder of setup.ini; default none: the system's certificates) and whether TLS
// peers are verified at all ("校验证书"; only "0" turns it off) and the proxy
// ("代理": a proxy URL as libcurl takes it, "http://[user:password@]host:port" or
// "socks5h://host:port"; "直连" for none at all; missing or empty: libcurl's
// environment variables, and where there are none the system's static proxy
// settings). Previous versions of replaced files are kept in the backup folder
// ("备份目录", relative to the folder of setup.ini; default "备份" beside it; one
// inside a module folder gives way to the default, as the IDE reads everything
// there), for the last "保留备份数" jobs of each kind (0 to 100, default 3; 0 keeps
// none), and each job is written down in "更新记录.log" beside setup.ini. Every key
// is optional: a missing, empty, non-numeric or out-of-range value means the default.
//
// A runtime object, so that it travels with a job in a thread-state slot.
#include "runtime/core/QueltObject.h"
#include "runtime/core/WString.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/platform/SystemProxy.h"

#include <optional>
#include <string_view>

namespace rg_quelt_app {

class TransferSettings : public CQueltObject {
    QUELT_CLASS(TransferSettings)

public:
    static constexpr int kDefaultParallel = 4;
    static constexpr int kMinParallel = 1;
    static constexpr int kMaxParallel = 16;
    static constexpr int kDefaultRetries = 2;
    static constexpr int kMaxRetries = 10;
    static constexpr int kDefaultKeptBackups = 3;
    static constexpr int kMaxKeptBackups = 100;

    TransferSettings() = default;

    int parallelDownloads = kDefaultParallel;
    int retries = kDefaultRetries;
    CWString caFile;
    bool verifyCertificates = true;
    // "代理" as set (blanks around it removed); see kDirectProxy.
    CWString proxy;
    // The system's proxy settings, read with the file; they count only while
    // `proxy` is empty.
    platform::SystemProxySettings systemProxy;
    // Where previous versions go, absolute; empty: nowhere (no backups).
    CWString backupFolder;
    // The backup folder lies inside a module folder even as the default: no backup
    // can be made, so a job replaces no file while backups are on.
    bool backupFolderInModules = false;
    // The jobs whose backups are kept per kind; 0: none are made.
    int keptBackups = kDefaultKeptBackups;
    // The history log's full path; empty: no history is written.
    CWString historyLog;
    // How long a transfer may stay below 1 KiB/s before it counts as stalled; not
    // from setup.ini.
    int stallSeconds = 60;

    // The TLS checks and limits of every request under these settings.
    rg_quelt_windows_WangLao::TransferPolicy policy() const;

    // What the user should know once about the proxy the requests take: that the
    // system's automatic-configuration script is not evaluated (and what is
    // taken instead). Empty when there is nothing to say.
    CWString proxyNote() const;

    // Replaced files keep a backup.
    bool backupsOn() const { return keptBackups > 0 && !backupFolder.isEmpty(); }
    // What the user should know for as long as it holds: backups are on, but the backup
    // folder lies inside a module folder, so no module that exists is replaced. Also
    // the reason of each such file. Empty when that is not so.
    CWString backupNote() const;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
};

// The value of "代理" that means: no proxy, whatever the environment or the system says.
inline constexpr char16_t kDirectProxy[] = u"直连";

// True for a value of "代理" the requests can go by: "直连", or a proxy URL of a
// scheme libcurl takes for proxies (http, https, socks4, socks4a, socks5,
// socks5h; "host:port" alone means http) with a host, without blanks or control
// characters. Anything else counts as not set.
bool isProxySetting(std::u16string_view text);

// A whole decimal number within [low, high], blanks around it allowed; nothing for
// anything else (empty, a sign, a fraction, trailing letters, out of range).
std::optional<int> settingNumber(std::u16string_view text, int low, int high);

} // namespace rg_quelt_app
