#pragma once
// The main window's own words: the captions of its controls and the texts of its
// messages, in one place, so that what the user guide (docs/使用说明.txt) names
// can be held to them. The state lines' texts are in JobStateText.h, the row texts
// in updater/ModuleListRules.h, the reasons in updater/ReasonCatalogue.h, the
// messages the updater decides on in updater/UpdateFlow.h.
namespace rg_quelt_app {

inline constexpr const char16_t* kWindowCaption = u"Mireth模块更新程序";
inline constexpr const char16_t* kNotice =
    u"各位：带宽和流量有限，请非必要不要勾选【强制更新】，有的文件较大，请耐心等待。";
inline constexpr const char16_t* kConfigurationTab = u"配置";

// Buttons, check boxes, groups and labels; "帮助" is also the help window's title.
inline constexpr const char16_t* kCaptionHelp = u"帮助";
inline constexpr const char16_t* kCaptionFunctions = u"功能";
inline constexpr const char16_t* kCaptionForceUpdate = u"强制更新";
inline constexpr const char16_t* kCaptionUpdate = u"更新模块";
inline constexpr const char16_t* kCaptionStop = u"停止更新"; // "更新模块" while its page's job runs or waits
inline constexpr const char16_t* kCaptionCheck = u"检查更新";
// Enabled while the page's kind has a backed-up job to undo.
inline constexpr const char16_t* kCaptionUndo = u"撤销上次更新";
inline constexpr const char16_t* kCaptionModuleInfo = u"模块信息";
inline constexpr const char16_t* kCaptionDomain = u"服务器域名：";
inline constexpr const char16_t* kCaptionQq = u"购买QQ号：";
inline constexpr const char16_t* kCaptionPassword = u"模块密码：";
inline constexpr const char16_t* kCaptionFolder = u"三方模块目录：";
inline constexpr const char16_t* kCaptionBrowse = u"选择";
inline constexpr const char16_t* kCaptionSave = u"保存";
// The group of the keys of "全局" beside the domain; the captions are the keys' names.
inline constexpr const char16_t* kCaptionGlobalSettings = u"全局设置";
inline constexpr const char16_t* kCaptionParallel = u"同时下载数：";
inline constexpr const char16_t* kCaptionRetries = u"重试次数：";
inline constexpr const char16_t* kCaptionVerify = u"校验证书";
inline constexpr const char16_t* kCaptionProxy = u"代理：";
inline constexpr const char16_t* kCaptionProxyHint = u"留空为系统的设置";
inline constexpr const char16_t* kCaptionCaFile = u"证书文件：";
inline constexpr const char16_t* kCaptionKeptBackups = u"保留备份数：";
inline constexpr const char16_t* kCaptionBackupFolder = u"备份目录：";
// The backup folder's chooser.
inline constexpr const char16_t* kBackupFolderPrompt = u"选择备份目录（不能在三方模块目录之内）";
// The certificate file's chooser: its title and its file types.
inline constexpr const char16_t* kCaFileTitle = u"选择证书文件";
inline constexpr const char16_t* kCaFileTypes = u"PEM 证书 (*.pem;*.crt)|*.pem;*.crt|所有文件 (*.*)|*.*|";

// Message boxes: their title, and what they say.
inline constexpr const char16_t* kMessageCaption = u"信息:";
inline constexpr const char16_t* kMessageSaved = u"保存成功！";
inline constexpr const char16_t* kMessageSaveFailed = u"保存失败！";
inline constexpr const char16_t* kMessageListFailed = u"获取模块列表失败";
// The question before a rollback, the job's kind, time and counts after it.
inline constexpr const char16_t* kMessageUndoQuestion = u"撤销上次更新？";
inline constexpr const char16_t* kMessageUndoWhat =
    u"被替换的文件恢复为更新前的内容和时间，新增的文件被删除；列表中的这些文件重新标为“下载”。";

// The help window's line on where the history of the jobs is kept.
inline constexpr const char16_t* kHelpHistoryLog = u"更新记录：";

// All of the above.
inline constexpr const char16_t* kWindowTexts[] = {
    kWindowCaption,         kNotice,          kConfigurationTab,   kCaptionHelp,         kCaptionFunctions,
    kCaptionForceUpdate,    kCaptionUpdate,   kCaptionStop,        kCaptionCheck,        kCaptionModuleInfo,
    kCaptionDomain,         kCaptionQq,       kCaptionPassword,    kCaptionFolder,       kCaptionBrowse,
    kCaptionSave,           kMessageCaption,  kMessageSaved,       kMessageSaveFailed,   kMessageListFailed,
    kCaptionGlobalSettings, kCaptionParallel, kCaptionRetries,     kCaptionVerify,       kCaptionProxy,
    kCaptionProxyHint,      kCaptionCaFile,   kCaFileTitle,        kCaptionUndo,         kMessageUndoQuestion,
    kMessageUndoWhat,       kHelpHistoryLog,  kCaptionKeptBackups, kCaptionBackupFolder, kBackupFolderPrompt,
};

} // namespace rg_quelt_app
