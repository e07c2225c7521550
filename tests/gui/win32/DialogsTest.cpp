// The message box and the folder chooser under a real window system (Wine in the
// test runs). A thread timer finds the dialog from inside its modal loop, reads it
// and dismisses it; if it never turns up, every dialog of the thread is cancelled
// after a few seconds so that no test can hang.
#include "runtime/gui/CommonDialogs.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_edit_box.h"
#include "tests/gui/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

using namespace rg_quelt_WTLJieMian_base;

namespace {

// What the timer saw of the dialog, and how to answer it.
struct DialogWatch {
    HWND owner = nullptr;
    WPARAM answer = IDOK;
    bool found = false;
    bool timedOut = false;
    std::wstring caption;
    std::wstring text;
    int ticks = 0;
};

DialogWatch* watch = nullptr;

constexpr int kTickMilliseconds = 50;
constexpr int kGiveUpTicks = 200; // ten seconds

std::wstring windowText(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

bool isDialogClass(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return std::wstring(name) == L"#32770";
}

std::vector<HWND> threadDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (isDialogClass(window) && IsWindowVisible(window))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The message text: the box's static text control (identifier 0xFFFF), else the
// longest static text in it.
std::wstring messageText(HWND dialog) {
    if (HWND item = GetDlgItem(dialog, 0xFFFF))
        return windowText(item);
    std::wstring longest;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        const std::wstring text = windowText(child);
        if (_wcsicmp(name, L"Static") == 0 && text.size() > longest.size())
            longest = text;
    }
    return longest;
}

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!watch || watch->found)
        return;
    ++watch->ticks;
    for (HWND dialog : threadDialogs()) {
        if (GetWindow(dialog, GW_OWNER) != watch->owner)
            continue;
        watch->found = true;
        watch->caption = windowText(dialog);
        watch->text = messageText(dialog);
        PostMessageW(dialog, WM_COMMAND, watch->answer, 0);
        return;
    }
    if (watch->ticks >= kGiveUpTicks) {
        watch->timedOut = true;
        for (HWND dialog : threadDialogs())
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// Runs `show` with the watch armed.
template <typename Show>
void watched(DialogWatch& seen, Show show) {
    watch = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, &onTick);
    ASSERT_NE(timer, 0u);
    show();
    KillTimer(nullptr, timer);
    watch = nullptr;
}

class DialogForm : public CQueltWinForm {
public:
    DialogForm() { setDesignClientSize(400, 300); }
    ~DialogForm() override { teardown(); }
};

class CommonDialogs : public ::testing::Test {
protected:
    DialogForm form;
    void SetUp() override {
        CQueltCreationRecord record;
        ASSERT_TRUE(form.create(record));
        pump();
    }
};

TEST_F(CommonDialogs, MessageBoxShowsTextAndCaptionOwnedByTheForm) {
    rg_edit_box edit;
    CQueltCreationRecord record;
    record.parentWindow = form.window();
    record.parentControl = &form;
    record.x = 10;
    record.y = 10;
    record.width = 100;
    record.height = 24;
    record.identifier = 5;
    ASSERT_TRUE(edit.create(record));
    SetFocus(hwndOf(edit));
    ASSERT_EQ(GetFocus(), hwndOf(edit));

    DialogWatch seen;
    seen.owner = hwndOf(form);
    std::int32_t answer = 0;
    watched(seen, [&] { answer = messageBox(&form, CWString(u"配置已保存"), CWString(u"提示"), MB_OK); });
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(seen.timedOut);
    EXPECT_EQ(seen.caption, L"提示");
    EXPECT_EQ(seen.text, L"配置已保存");
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(GetFocus(), hwndOf(edit));
}

TEST_F(CommonDialogs, MessageBoxOfAFormWithoutWindowHasNoOwner) {
    DialogForm unmade;
    DialogWatch seen;
    seen.owner = nullptr;
    seen.answer = IDNO;
    std::int32_t answer = 0;
    watched(seen, [&] { answer = messageBox(&unmade, CWString(u"继续？"), CWString(u"Mireth"), MB_YESNO); });
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, L"Mireth");
    EXPECT_EQ(answer, IDNO);
}

TEST_F(CommonDialogs, CancellingTheFolderChooserGivesTheEmptyText) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DialogWatch seen;
    seen.owner = hwndOf(form);
    seen.answer = IDCANCEL;
    CWString chosen(u"not yet");
    watched(seen, [&] { chosen = browseForFolder(&form, CWString(u"选择模块目录")); });
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(seen.timedOut);
    EXPECT_TRUE(chosen.isEmpty());
    if (SUCCEEDED(com))
        CoUninitialize();
}

} // namespace
