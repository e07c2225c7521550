#pragma once
// CEditSpin: the spin button that accompanies a single-line edit box with a spin
// mode: a superclass of "msctls_updown32" made next to the edit box, with the
// edit box's identifier + 1000. Its position changes go to the edit box, which
// follows the spin mode; the spin button's own position is not used.
#include "runtime/gui/win32/VWnd_Window.h"

class CVWnd_Edit;

class CEditSpin : public CVWnd_Window {
public:
    // The spin button is one of the edit box's parts; it has no control of its own.
    CEditSpin(rg_quelt_WTLJieMian_base::CQueltWinControl& editControl, CVWnd_Edit& edit);

    const char* typeName() const override { return "CEditSpin"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    // Sets the range (in order, within the 16-bit limits).
    void setRange(std::int32_t first, std::int32_t second);

protected:
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    CVWnd_Edit& edit_;
};
