#pragma once
// CVWnd_ListViewEdit: the in-place cell editor of a list view, an "EDIT" child of
// the list view window that is created hidden with it and shown over the cell
// being edited. Enter (through pre-translation) and losing the focus commit, Esc
// cancels; either way the list view decides what becomes of the text. It has no
// control object and no listener of its own. User-interface thread only.
#include "runtime/gui/win32/VWnd_Window.h"

class CVWnd_ListView;

class CVWnd_ListViewEdit : public CVWnd_Window {
public:
    static constexpr std::uint32_t kEditorStyle = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;

    explicit CVWnd_ListViewEdit(CVWnd_ListView& owner);
    ~CVWnd_ListViewEdit() override;

    const char* typeName() const override { return "CVWnd_ListViewEdit"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;

protected:
    bool handlePrivate(UINT message, WPARAM wparam, LRESULT& result) override;
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    CVWnd_ListView& owner_;
};
