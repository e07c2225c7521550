#pragma once
// CVWnd_Tab: the window of rg_XuanZeGa, a superclass of "SysTabControl32". It
// makes the tabs from the captions text, reports selection changes (a refused
// change keeps the tab), and has the form show the selected page's controls: the
// tab selection changed message goes up the parent chain when the user changes the
// tab, and is posted to every ancestor after the tabs were replaced. Pages that are
// windows of their own are shown, hidden and placed by the tab selector itself.
// When the user changes the tab, the focus goes to the page's window, or else to
// the first control of the new page in tab order.
#include "runtime/gui/StandardControlWindows.h"
#include "runtime/gui/win32/VWnd_Window.h"

namespace rg_quelt_WTLJieMian_base {
class rg_XuanZeGa;
}

class CVWnd_Tab : public CVWnd_Window, public ITabWindow {
public:
    explicit CVWnd_Tab(rg_quelt_WTLJieMian_base::rg_XuanZeGa& tab);

    const char* typeName() const override { return "CVWnd_Tab"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    void applyCaptions() override;
    void arrangePageWindows() override;
    std::int32_t currentSelection() const override;

protected:
    bool handlePrivate(UINT message, WPARAM wparam, LRESULT& result) override;
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void insertTabs();
    void destroyPageControls();
    void postSelectionChanged();
    void placePageWindows();
    // Shows the selected page's window, if it has one, and hides the others; whether
    // it had one.
    bool showSelectedPage(bool focus);
    // Gives the focus to the first control, in tab order, placed on the selected
    // page, if it has one.
    void focusSelectedPageControl();
    void releasePageWindows();
    void sendSelectionChanged();

    rg_quelt_WTLJieMian_base::rg_XuanZeGa& tab_;
};
