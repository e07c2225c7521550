#pragma once
// GlobalSettingTexts: the optional keys of "全局" beside the domain as a front end
// edits them: "同时下载数", "重试次数", "代理", "证书文件", "校验证书", "备份目录" and
// "保留备份数". Loaded as the engine goes by them, so a box shows what the next job
// uses (an empty number or proxy: the default); checked before anything is written,
// so a value the engine would silently drop is refused with the field named; saved
// in the same one rewrite of setup.ini as the ten texts.
#include "runtime/core/WString.h"
#include "updater/rg_PeiZhiXinXiLei.h"

namespace rg_quelt_app {

struct GlobalSettingTexts {
    CWString parallelDownloads; // empty: TransferSettings::kDefaultParallel
    CWString retries;           // empty: TransferSettings::kDefaultRetries
    CWString proxy;             // empty: the environment's, else the system's
    CWString caFile;            // as typed; relative to the folder of setup.ini
    bool verifyCertificates = true;
    CWString backupFolder; // as typed; empty: "备份" beside setup.ini
    CWString keptBackups;  // empty: TransferSettings::kDefaultKeptBackups
};

// The keys as the file holds them. A number outside its range or not a whole
// number, and a proxy isProxySetting refuses, come back empty: the engine takes
// the default for them. "校验证书" is off only for "0", as the engine reads it.
GlobalSettingTexts LoadGlobalSettingTexts(const CWString& file);

// Empty when every value can be saved with `record` (the ten texts about to be saved
// beside them in `file`); otherwise what the user is told about the first one that
// cannot ("“同时下载数”须为 1 到 16 的整数"). Empty numbers and an empty proxy are
// fine: they mean the default. A backup folder that would lie inside one of the
// record's module folders is refused while backups are on.
CWString refusalOf(const GlobalSettingTexts& texts, const rg_PeiZhiXinXiLei& record, const CWString& file);

// SaveConfig's ten texts and the seven keys in one rewrite of the file, so that a
// failure leaves the old file whole and no file ever holds some of the new values.
// The numbers are written as whole numbers without blanks, an empty one as empty
// (the default, whatever it becomes), "校验证书" as "1" or "0", "代理", "证书文件" and
// "备份目录" without the blanks around them. Values refusalOf refuses are not checked again
// here; the caller asks first. True when the file was written.
bool SaveConfig(const rg_PeiZhiXinXiLei& record, const GlobalSettingTexts& texts, const CWString& file);

} // namespace rg_quelt_app
