#include "updater/GlobalSettingTexts.h"

#include "updater/ConfigStore.h"
#include "updater/TransferSettings.h"

namespace rg_quelt_app {
namespace {

struct NumberField {
    const char16_t* key;
    CWString GlobalSettingTexts::*text;
    int low, high, fallback;
};

constexpr NumberField kNumberFields[] = {
    {kParallelDownloadsKey, &GlobalSettingTexts::parallelDownloads, TransferSettings::kMinParallel,
     TransferSettings::kMaxParallel, TransferSettings::kDefaultParallel},
    {kRetriesKey, &GlobalSettingTexts::retries, 0, TransferSettings::kMaxRetries,
     TransferSettings::kDefaultRetries},
    {kKeptBackupsKey, &GlobalSettingTexts::keptBackups, 0, TransferSettings::kMaxKeptBackups,
     TransferSettings::kDefaultKeptBackups},
};
constexpr std::size_t kNumbers = sizeof kNumberFields / sizeof kNumberFields[0];
constexpr std::size_t kKeptBackupsField = 2;

// A blank number is the default; anything else must be one the engine takes.
std::optional<int> numberOf(const GlobalSettingTexts& texts, const NumberField& field) {
    return settingNumber((texts.*field.text).view(), field.low, field.high);
}

bool isBlank(const CWString& text) { return text.trimmed().isEmpty(); }

} // namespace

GlobalSettingTexts LoadGlobalSettingTexts(const CWString& file) {
    GlobalSettingTexts texts;
    for (const NumberField& field : kNumberFields) {
        const std::optional<int> number =
            settingNumber(ReadGlobalSetting(file, field.key).view(), field.low, field.high);
        if (number)
            texts.*field.text = CWString::fromInteger(*number);
    }
    texts.proxy = ReadGlobalSetting(file, kProxyKey).trimmed();
    if (!isProxySetting(texts.proxy.view()))
        texts.proxy = CWString();
    texts.caFile = ReadGlobalSetting(file, kCaFileKey).trimmed();
    texts.backupFolder = ReadGlobalSetting(file, kBackupFolderKey).trimmed();
    texts.verifyCertificates =
        settingNumber(ReadGlobalSetting(file, kVerifyCertificatesKey).view(), 0, 1).value_or(1) != 0;
    return texts;
}

CWString refusalOf(const GlobalSettingTexts& texts, const rg_PeiZhiXinXiLei& record, const CWString& file) {
    for (const NumberField& field : kNumberFields) {
        if (isBlank(texts.*field.text) || numberOf(texts, field))
            continue;
        CWString text(u"“");
        text += field.key;
        text += u"”须为 ";
        text += CWString::fromInteger(field.low).view();
        text += u" 到 ";
        text += CWString::fromInteger(field.high).view();
        text += u" 的整数，留空为默认的 ";
        text += CWString::fromInteger(field.fallback).view();
        return text;
    }
    const CWString proxy = texts.proxy.trimmed();
    if (!proxy.isEmpty() && !isProxySetting(proxy.view())) {
        CWString text(u"“");
        text += kProxyKey;
        text += u"”须为代理地址，如 http://主机:端口 或 socks5h://主机:端口；“直连”为不用代理，"
                u"留空为系统的设置";
        return text;
    }
    const bool backupsOn =
        isBlank(texts.keptBackups) || numberOf(texts, kNumberFields[kKeptBackupsField]).value_or(1) != 0;
    const CWString holder = backupsOn ? moduleFolderHolding(file, record, texts.backupFolder) : CWString();
    if (!holder.isEmpty()) {
        CWString text(u"“");
        text += kBackupFolderKey;
        text += u"”不能在三方模块目录 ";
        text += holder.view();
        text += u" 之内，那里的文件都会被读入；请另选备份目录，或把“";
        text += kKeptBackupsKey;
        text += u"”设为 0";
        return text;
    }
    return CWString();
}

bool SaveConfig(const rg_PeiZhiXinXiLei& record, const GlobalSettingTexts& texts, const CWString& file) {
    CWString numbers[kNumbers];
    for (std::size_t i = 0; i < kNumbers; ++i)
        if (const std::optional<int> number = numberOf(texts, kNumberFields[i]))
            numbers[i] = CWString::fromInteger(*number);
    const CWString proxy = texts.proxy.trimmed();
    const CWString caFile = texts.caFile.trimmed();
    const CWString verify(texts.verifyCertificates ? u"1" : u"0");
    const CWString backupFolder = texts.backupFolder.trimmed();
    const ConfigExtra extra[] = {
        {kGlobalSection, kParallelDownloadsKey, numbers[0].view()},
        {kGlobalSection, kRetriesKey, numbers[1].view()},
        {kGlobalSection, kProxyKey, proxy.view()},
        {kGlobalSection, kCaFileKey, caFile.view()},
        {kGlobalSection, kVerifyCertificatesKey, verify.view()},
        {kGlobalSection, kBackupFolderKey, backupFolder.view()},
        {kGlobalSection, kKeptBackupsKey, numbers[kKeptBackupsField].view()},
    };
    return SaveConfig(record, file, extra, sizeof extra / sizeof extra[0]);
}

} // namespace rg_quelt_app
