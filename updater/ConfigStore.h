#pragma once
// The configuration store: the ten texts of rg_PeiZhiXinXiLei in setup.ini, and the
// one process-wide record that every other part of the updater reads.
//
// setup.ini holds the section "全局" with the key "域名" and the sections "视窗模块",
// "安卓模块" and "服务器模块", each with "QQ号", "密码" and "路径". Other sections and
// keys are ignored on load and kept on save. The file is written in a Unicode form
// (see runtime/platform/PrivateProfile.h), so the Chinese names survive on a system
// whose ANSI code page has no Chinese; a file in the ANSI code page is still read.
//
// All of it runs on the user-interface thread (or the one thread of the headless
// front end); the download worker never reads globalConfig.
#include "updater/TransferSettings.h"
#include "updater/rg_PeiZhiXinXiLei.h"

namespace rg_quelt_app {

// The sections and keys of the ten texts, as setup.ini names them.
inline constexpr char16_t kGlobalSection[] = u"全局";
inline constexpr char16_t kWindowsSection[] = u"视窗模块";
inline constexpr char16_t kAndroidSection[] = u"安卓模块";
inline constexpr char16_t kServerSection[] = u"服务器模块";
inline constexpr char16_t kDomainKey[] = u"域名";
inline constexpr char16_t kQqKey[] = u"QQ号";
inline constexpr char16_t kPasswordKey[] = u"密码";
inline constexpr char16_t kFolderKey[] = u"路径";

// Constructed empty during static initialisation, before any front end starts, and
// destroyed at exit. Changed only by a front end: the window's load and save, and
// mireth-sync's load before it runs its command.
extern rg_PeiZhiXinXiLei& globalConfig;

// Values read from the file are cut to this many characters less one.
constexpr std::size_t kIniReadBufferSize = 10240;

// setup.ini in the program's folder; the bare name "setup.ini", found in the
// current folder, when the program's folder cannot be determined.
CWString configFilePath();

// The value of the key, at most kIniReadBufferSize − 1 characters. Empty, without
// touching the file, when the file name, the section or the key is empty; the
// default when the file, the section or the key is missing or unreadable.
CWString ReadIniText(const CWString& file, const CWString& section, const CWString& key,
                     const CWString& defaultValue);

// A new record filled from the file; every field empty when there is no file.
rg_PeiZhiXinXiLei LoadConfig(const CWString& file = configFilePath());

// Writes the ten texts, key after key in the order of the file, creating the file,
// its sections and keys as needed. The file is replaced once with all ten, so a
// failure leaves the old file whole; a file the system will not open for writing
// (read-only, for one) is not replaced at all. True when the file was written.
bool SaveConfig(const rg_PeiZhiXinXiLei& record, const CWString& file = configFilePath());

// A further key written in the same rewrite as the ten texts.
struct ConfigExtra {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view value;
};
bool SaveConfig(const rg_PeiZhiXinXiLei& record, const CWString& file, const ConfigExtra* extra,
                std::size_t extraCount);

// The optional keys of "全局" beside the domain, as setup.ini names them.
inline constexpr const char16_t* kParallelDownloadsKey = u"同时下载数";
inline constexpr const char16_t* kRetriesKey = u"重试次数";
inline constexpr const char16_t* kCaFileKey = u"证书文件";
inline constexpr const char16_t* kVerifyCertificatesKey = u"校验证书";
inline constexpr const char16_t* kProxyKey = u"代理";
inline constexpr const char16_t* kBackupFolderKey = u"备份目录";
inline constexpr const char16_t* kKeptBackupsKey = u"保留备份数";

// The default backup folder's name, beside setup.ini, and the history log's.
inline constexpr char16_t kDefaultBackupFolderName[] = u"备份";
inline constexpr char16_t kHistoryLogName[] = u"更新记录.log";

// True when `folder` is `moduleFolder` or lies inside it (both absolute, as they
// reach the system; letter case counts on Windows only as the file system sees it:
// not at all).
bool isInsideFolder(const CWString& folder, const CWString& moduleFolder);

// The module folder of `config` (resolved as the engine resolves it) that the backup
// folder `given` (as "备份目录" holds it; empty: the default beside `file`) would lie
// in; empty when it lies in none. A front end refuses to save such a pair.
CWString moduleFolderHolding(const CWString& file, const rg_PeiZhiXinXiLei& config, const CWString& given);

// The transfer settings of the section "全局"; the defaults where a key is missing
// or its value is bad. The window edits them as GlobalSettingTexts.
// The system's proxy settings are read at the same time.
TransferSettings LoadTransferSettings(const CWString& file = configFilePath());

// One key of "全局" as the file holds it (empty when missing), and written alone,
// keeping everything else of the file.
CWString ReadGlobalSetting(const CWString& file, const char16_t* key);
bool SaveGlobalSetting(const CWString& file, const char16_t* key, const CWString& value);

} // namespace rg_quelt_app
