#pragma once
// CVWnd_Edit: the window of rg_edit_box, a superclass of "EDIT". It applies the
// input mode (typing filter with a beep, read-only and password states, the
// normalisation when the focus leaves), reports content changes and the focus,
// keeps a single-line box's text vertically centred, and owns the companion spin
// button of a box with a spin mode.
#include "runtime/gui/StandardControlWindows.h"
#include "runtime/gui/win32/EditSpin.h"
#include "runtime/gui/win32/VWnd_Window.h"

#include <memory>

namespace rg_quelt_WTLJieMian_base {
class rg_edit_box;
}

class CVWnd_Edit : public CVWnd_Window, public IEditWindow {
public:
    explicit CVWnd_Edit(rg_quelt_WTLJieMian_base::rg_edit_box& edit);
    ~CVWnd_Edit() override;

    const char* typeName() const override { return "CVWnd_Edit"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    void applyInputMode() override;

    // A position change of the spin button (negative: down).
    void onSpinDelta(int delta);
    // The companion spin button, null without one.
    HWND spinWindow() const;

protected:
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void createSpin(const CQueltCreationRecord& record, std::uint32_t style);
    void placeSpin(UINT showOrHide);
    void normalise();
    void fitFont();
    bool centred() const;
    HBRUSH backgroundBrush() const;

    rg_quelt_WTLJieMian_base::rg_edit_box& edit_;
    std::unique_ptr<CEditSpin> spin_;
    // While the box rewrites its own text, content changes are not reported.
    bool rewriting_ = false;
    // The height of one text line in the current font; 0 before a font is set.
    int lineHeight_ = 0;
};
