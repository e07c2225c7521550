#include "runtime/gui/CommonDialogs.h"

#include "runtime/gui/WinForm.h"
#include "runtime/gui/win32/WideText.h"

#include <windows.h>

#include <shlobj.h>

namespace rg_quelt_WTLJieMian_base {

using namespace win32_text;

namespace {

HWND ownerOf(CQueltWinForm* form) {
    return form && form->hasWindow() ? reinterpret_cast<HWND>(form->window()) : nullptr;
}

// Gives the focus back to the window that had it before a dialog, if it is still there.
class FocusKeeper {
public:
    FocusKeeper() : focus_(GetFocus()) {}
    ~FocusKeeper() {
        if (focus_ && IsWindow(focus_))
            SetFocus(focus_);
    }
    FocusKeeper(const FocusKeeper&) = delete;
    FocusKeeper& operator=(const FocusKeeper&) = delete;

private:
    HWND focus_;
};

} // namespace

std::int32_t messageBox(CQueltWinForm* form, const CWString& text, const CWString& caption,
                        std::uint32_t type) {
    FocusKeeper focus;
    return MessageBoxW(ownerOf(form), wide(text), wide(caption), type);
}

CWString browseForFolder(CQueltWinForm* form, const CWString& title) {
    FocusKeeper focus;
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = ownerOf(form);
    info.pszDisplayName = displayName;
    info.lpszTitle = wide(title);
    info.ulFlags = BIF_EDITBOX;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item)
        return CWString();
    CWString result;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, path))
        result = textOf(path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(item);
        allocator->Release();
    }
    return result;
}

} // namespace rg_quelt_WTLJieMian_base
