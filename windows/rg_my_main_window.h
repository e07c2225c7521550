#pragma once
// rg_my_main_window: the application's main window. A tab selector with one page per
// module kind (a function group with "检查更新", "更新模块" and "强制更新" above the
// list of the server's files) and a configuration page (the domain and, per kind,
// QQ number, password and folder, saved with "保存"); a help button and a notice
// line below.
//
// Every control is a member, created by build() when the native window exists; the
// update engine is a member too. The three module pages are made and answered from
// one table of what belongs to each kind. All handlers run on the user-interface
// thread; the module lists are virtual lists of their row tables, which the
// download worker writes from its own thread.
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

    // What belongs to one module kind: the controls of its page and of its group on
    // the configuration page, where they go, and the prompt of its folder chooser.
    // One table of these, in the order of ModuleKind, builds the three module pages
    // and answers their buttons.
    struct ConfigPlace; // a control of a configuration group and its place
    struct KindPage {
        ModuleKind kind;
        const char16_t* folderPrompt;
        // The page: identifiers from firstId in the order of creation.
        std::int32_t firstId;
        bool listGroupFirst; // the Android page makes its list group first
        Group rg_my_main_window::*functionGroup;
        CheckBox rg_my_main_window::*forceCheck;
        Button rg_my_main_window::*updateButton;
        Button rg_my_main_window::*checkButton;
        Group rg_my_main_window::*infoGroup;
        ListBox rg_my_main_window::*list;
        // The configuration group: identifiers from its own on.
        const char16_t* configCaption;
        std::int32_t configGroupId, configX, configY, configWidth;
        const ConfigPlace* configPlaces; // in the order of creation
        Group rg_my_main_window::*configGroup;
        Button rg_my_main_window::*browseButton;
        Label rg_my_main_window::*folderLabel;
        Edit rg_my_main_window::*folderEdit;
        Label rg_my_main_window::*passwordLabel;
        Edit rg_my_main_window::*passwordEdit;
        Label rg_my_main_window::*qqLabel;
        Edit rg_my_main_window::*qqEdit;
    };

protected:
    void build() override;

private:
    static const KindPage kKindPages[3];

    static std::int32_t onWindowCreated(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);
    static std::int32_t onButtonClicked(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);
    // The item fill of a module list; the user argument is the kind's index.
    static std::int32_t
    onModuleRowFill(CQueltObject* self, CQueltObject* source, std::int32_t userArgument,
                    rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong* item);

    void bindEvents();
    void createControls();
    void createModulePage(const KindPage& kind);
    void createConfigGroup(const KindPage& kind);
    void loadConfiguration();
    CheckBox& forceCheck(ModuleKind kind);
    void releaseRowTables();

    CWString configFile_;
    std::array<ListBoxRowTable*, 3> rowTables_{};
};

} // namespace rg_quelt_app
