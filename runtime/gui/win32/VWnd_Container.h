#pragma once
// CVWnd_Container: the window implementation of containers, and the base of forms.
// On top of the common routing it reports the container's life and geometry to its
// listener, hands the focus on to its first input control, and paints the
// layouter's background (colour, then image).
#include "runtime/gui/win32/VWnd_Window.h"

namespace rg_quelt_WTLJieMian_base {
class rg_ZuJianBuJuQi;
} // namespace rg_quelt_WTLJieMian_base

class CVWnd_Container : public CVWnd_Window {
public:
    explicit CVWnd_Container(rg_quelt_WTLJieMian_base::CQueltWinControl& control);

    const char* typeName() const override { return "CVWnd_Container"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    void applyShape(std::int32_t shape) override;
    void applyState(std::int32_t state) override;

protected:
    // The window class this implementation registers (once per process).
    virtual const wchar_t* className() const { return L"Quelt_CVWnd_Container"; }
    // The position and size to create with; containers take the record's.
    virtual void creationRect(const CQueltCreationRecord& record, std::uint32_t style, std::uint32_t exStyle,
                              RECT& rect);
    // Creates the window at `rect` with exactly these styles.
    bool createAt(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                  std::uint32_t exStyle, const RECT& rect);
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

    rg_quelt_WTLJieMian_base::rg_ZuJianBuJuQi* layouter_;

private:
    void paint();
    void handFocusOn();
};
