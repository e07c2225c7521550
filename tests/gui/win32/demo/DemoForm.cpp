// A small form for looking at the window layer: a coloured form with a nested
// layouter and a line of Chinese text, which closes itself after a few seconds.
// Test code: run by capture-demo.sh under Wine to take a screenshot.
#include "runtime/core/UserApp.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/win32/MainMessageLoop.h"
#include "runtime/gui/win32/Win32ProgramHost.h"

#include <windows.h>

using namespace rg_quelt_WTLJieMian_base;

namespace {

class DemoForm : public CQueltWinForm {
public:
    DemoForm() {
        setDesignClientSize(480, 320);
        setCaption(u"Mireth模块更新程序 — 演示窗口");
        setBackgroundColour(RGB(236, 242, 250));
        panel.setBackgroundColour(RGB(70, 120, 190));
    }
    ~DemoForm() override { teardown(); }

    rg_ZuJianBuJuQi panel;

protected:
    void build() override {
        CQueltCreationRecord record;
        record.parentWindow = window();
        record.parentControl = this;
        record.x = 20;
        record.y = 20;
        record.width = 440;
        record.height = 60;
        panel.create(record);
        HWND self = reinterpret_cast<HWND>(window());
        HWND text = CreateWindowExW(0, L"STATIC", L"请先在配置界面进行各参数的配置", WS_CHILD | WS_VISIBLE,
                                    20, 110, 440, 30, self, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(text, WM_SETFONT, windowObject().font(), TRUE);
        HWND second = CreateWindowExW(0, L"STATIC", L"检查更新 · 更新模块 · 强制更新", WS_CHILD | WS_VISIBLE,
                                      20, 150, 440, 30, self, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(second, WM_SETFONT, windowObject().font(), TRUE);
        SetTimer(self, 1, 8000, nullptr);
    }
    bool onWindowMessage(CQueltMessageRecord& record) override {
        if (record.message == WM_TIMER)
            PostMessageW(reinterpret_cast<HWND>(record.window), WM_CLOSE, 0, 0);
        return CQueltWinForm::onWindowMessage(record);
    }
};

class DemoProgram : public rg_quelt_base::rg_ChuangKouChengXuLei {};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CQueltWin32ProgramHost host;
    host.initialise();
    int exitCode = -1;
    {
        DemoProgram program;
        DemoForm form;
        CQueltCreationRecord record;
        if (form.create(record)) {
            quelt_gui::setMainWindowHandle(form.window());
            CQueltMainMessageLoop loop(program);
            exitCode = loop.run();
        }
    }
    host.terminate();
    return exitCode;
}
