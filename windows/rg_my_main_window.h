#pragma once
// rg_my_main_window: the application's main window. A tab selector with one page per
// module kind (a function group with "检查更新", "更新模块" and "强制更新" above the
// list of the server's files) and a configuration page (the domain and, per kind,
// QQ number, password and folder, saved with "保存"); a help button and a notice
// line below.
//
// Every control is a member, created by build() when the native window exists; the
// update engine is a member too. All handlers run on the user-interface thread; the
// download worker writes into the list boxes through their row tables.
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/rg_FenZuKuang.h"
#include "runtime/gui/rg_XuanZeGa.h"
#include "runtime/gui/rg_button1.h"
#include "runtime/gui/rg_check_box.h"
#include "runtime/gui/rg_edit_box.h"
#include "runtime/gui/rg_label1.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_MoKuaiGengXinYinQing.h"

#include <array>

namespace rg_quelt_app {

class ListBoxRowTable;

class rg_my_main_window : public rg_quelt_WTLJieMian_base::CQueltWinForm {
    QUELT_CLASS(rg_my_main_window)

public:
    using Button = rg_quelt_WTLJieMian_base::rg_button1;
    using CheckBox = rg_quelt_WTLJieMian_base::rg_check_box;
    using Group = rg_quelt_WTLJieMian_base::rg_FenZuKuang;
    using Label = rg_quelt_WTLJieMian_base::rg_label1;
    using Edit = rg_quelt_WTLJieMian_base::rg_edit_box;
    using Tabs = rg_quelt_WTLJieMian_base::rg_XuanZeGa;
    using ListBox = rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang;

    rg_my_main_window();
    ~rg_my_main_window() override;

    // Where the configuration is loaded from and saved to: setup.ini beside the
    // program unless set before the window is created.
    void setConfigFile(const CWString& file) { configFile_ = file; }
    const CWString& configFile() const { return configFile_; }

    // The actions of the buttons.
    void checkModules(ModuleKind kind);
    void updateModules(ModuleKind kind);
    void chooseFolder(Button& browseButton);
    void saveConfiguration();
    void showHelp();

    // The row table of a module kind's list box (null before build).
    ModuleRowTable* rowTable(ModuleKind kind);

    // The controls, in the order of their identifiers (101 to 148).
    Button helpButton;
    Label noticeLabel;
    Tabs moduleTabs;
    Group winFunctionGroup;
    CheckBox winForceUpdateCheck;
    Button winUpdateButton;
    Button winCheckButton;
    Group winInfoGroup;
    ListBox winModuleList;
    Group winConfigGroup;
    Button winBrowseButton;
    Label winFolderLabel;
    Edit winFolderEdit;
    Label winPasswordLabel;
    Edit winPasswordEdit;
    Label winQqLabel;
    Edit winQqEdit;
    Button saveButton;
    Group serverConfigGroup;
    Label serverFolderLabel;
    Edit serverFolderEdit;
    Button serverBrowseButton;
    Label serverPasswordLabel;
    Edit serverPasswordEdit;
    Label serverQqLabel;
    Edit serverQqEdit;
    Group androidConfigGroup;
    Button androidBrowseButton;
    Label androidFolderLabel;
    Edit androidFolderEdit;
    Label androidPasswordLabel;
    Edit androidPasswordEdit;
    Label androidQqLabel;
    Edit androidQqEdit;
    Edit domainEdit;
    Label domainLabel;
    Group serverFunctionGroup;
    CheckBox serverForceUpdateCheck;
    Button serverUpdateButton;
    Button serverCheckButton;
    Group serverInfoGroup;
    ListBox serverModuleList;
    Group androidInfoGroup;
    ListBox androidModuleList;
    Group androidFunctionGroup;
    CheckBox androidForceUpdateCheck;
    Button androidUpdateButton;
    Button androidCheckButton;

    rg_MoKuaiGengXinYinQing engine;

protected:
    void build() override;

private:
    static std::int32_t onWindowCreated(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);
    static std::int32_t onButtonClicked(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);

    void bindEvents();
    void createControls();
    void loadConfiguration();
    CheckBox& forceCheck(ModuleKind kind);
    void releaseRowTables();

    CWString configFile_;
    std::array<ListBoxRowTable*, 3> rowTables_{};
};

} // namespace rg_quelt_app
