#include "windows/rg_win_BangZhu.h"

#include "windows/WindowTexts.h"

#include "MirethVersion.h"

using namespace rg_quelt_WTLJieMian_base;

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_win_BangZhu, CQueltWinForm, "rg_quelt_app::rg_win_BangZhu")

const char16_t* const kHelpText =
    u"使用方法：\r\n"
    u"1.域名。必填项，如果有变化，作者会通知填写。\r\n"
    u"2.模块QQ号：VIP用户必填。\r\n"
    u"3.模块密码：VIP用户必填。\r\n"
    u"4.模块路径：本地Quelt各插件用户模块根目录，根据实际选择，如：\r\n"
    u"  安卓模块路径：D:\\queltdev\\plugins\\queltprj_android\\classlib\\user\r\n"
    u"  服务器模块路径：D:\\queltdev\\plugins\\queltprj_server\\classlib\\user\r\n"
    u"5.填写完成后保存。\r\n"
    u"\r\n"
    u"注意事项：\r\n"
    u"1.如果点击\"检查更新\"无法刷新库列表，则有可能服务器关了，请联系作者。\r\n"
    u"2.服务器带宽和流量有限，请非必要不要勾选【强制更新】，有的文件较大，请耐心等待。\r\n"
    u"3.不填写QQ号和密码，将获得免费模块文件。\r\n"
    u"\r\n"
    // Which build the user runs, when he writes to the author.
    u"版本：" MIRETH_VERSION_TEXT;

CWString rg_win_BangZhu::helpText(const CWString& historyLog) {
    CWString text(kHelpText);
    // The user who wants to know what an update or a rollback did, or to send it
    // to the author, finds the file here: it is nowhere else in the window.
    if (!historyLog.isEmpty()) {
        text += u"\r\n";
        text += kHelpHistoryLog;
        text += historyLog.view();
    }
    return text;
}

rg_win_BangZhu::rg_win_BangZhu() {
    setDesignClientSize(600, 420);
    setCaption(CWString(kCaptionHelp));
}

rg_win_BangZhu::~rg_win_BangZhu() { teardown(); }

std::int32_t rg_win_BangZhu::openModal() {
    CQueltCreationRecord record;
    record.identifier = 0xFFFF;
    record.showModal = true;
    record.dialogFrame = true;
    if (!create(record))
        return -1;
    return record.modalResult;
}

void rg_win_BangZhu::build() {
    helpWindowText.setMultiLine(true);
    helpWindowText.setInputMode(1);
    helpWindowText.setCaption(helpText(historyLog_));
    CQueltCreationRecord record;
    record.parentWindow = window();
    record.parentControl = this;
    record.x = 13;
    record.y = 14;
    record.width = 576;
    record.height = 392;
    record.identifier = 101;
    helpWindowText.create(record);
}

} // namespace rg_quelt_app
