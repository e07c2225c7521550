#include "runtime/gui/CommonDialogs.h"

#include "runtime/gui/WinForm.h"
#include "runtime/gui/win32/WideText.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

#include <string>

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

CWString chooseFileToOpen(CQueltWinForm* form, const CWString& title, const CWString& filter,
                          const CWString& initial) {
    FocusKeeper focus;
    // The dialog takes the choices separated and ended by NUL characters.
    std::wstring choices(wide(filter), filter.length());
    for (wchar_t& unit : choices)
        if (unit == L'|')
            unit = L'\0';
    choices.push_back(L'\0');
    // Room for a long path; the dialog starts at `initial` when it names a file.
    std::wstring path(32768, L'\0');
    std::wstring folder;
    const std::wstring start(wide(initial), initial.length());
    if (start.size() < path.size()) {
        if (!start.empty() && start.back() != L'\\' && start.back() != L'/')
            path.replace(0, start.size(), start);
        else
            folder = start;
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ownerOf(form);
    dialog.lpstrFilter = choices.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = wide(title);
    // Without OFN_NOCHANGEDIR the dialog moves the process's current folder, which
    // every relative path of the program would then follow.
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&dialog))
        return textOf(path.c_str());
    // A start the dialog will not take (a name it finds invalid) is no reason to
    // offer no choice at all.
    if (CommDlgExtendedError() != FNERR_INVALIDFILENAME || path.empty())
        return CWString();
    path.assign(path.size(), L'\0');
    return GetOpenFileNameW(&dialog) ? textOf(path.c_str()) : CWString();
}

} // namespace rg_quelt_WTLJieMian_base
