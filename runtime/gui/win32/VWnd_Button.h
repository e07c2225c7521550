#pragma once
// CVWnd_Button: the window of push buttons, check boxes and group boxes, a
// subclassed system "BUTTON". A click reaches the control as clicked; the colour
// messages paint with the button's text and background colours (group boxes and
// controls without colours use black on the system's button face). A button made
// with BS_DEFPUSHBUTTON becomes its form's default button.
#include "runtime/gui/StandardControlWindows.h"
#include "runtime/gui/win32/VWnd_Window.h"

class CVWnd_Button : public CVWnd_Window, public IButtonWindow {
public:
    explicit CVWnd_Button(rg_quelt_WTLJieMian_base::CQueltWinControl& control);
    ~CVWnd_Button() override;

    const char* typeName() const override { return "CVWnd_Button"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    std::int32_t checkState() const override;
    void setCheckState(std::int32_t state) override;

protected:
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    // The brush of the current background colour, made again when the colour changes.
    HBRUSH backgroundBrush();
    void registerAsDefault(std::int32_t identifier);

    HBRUSH brush_ = nullptr;
    COLORREF brushColour_ = 0;
};
