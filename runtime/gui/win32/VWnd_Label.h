#pragma once
// CVWnd_Label: the window of rg_label1, a class of our own that paints itself from
// the label's properties. It keeps its own copy of the font it is given, so the
// caller's font may go. The private message 0xA002 is answered by the label's
// notification event.
#include "runtime/gui/win32/VWnd_Window.h"

namespace rg_quelt_WTLJieMian_base {
class rg_label1;
}

class CVWnd_Label : public CVWnd_Window {
public:
    explicit CVWnd_Label(rg_quelt_WTLJieMian_base::rg_label1& label);
    ~CVWnd_Label() override;

    const char* typeName() const override { return "CVWnd_Label"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;

protected:
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    bool usesDefaultFont() const override;

private:
    void paint();
    void keepFont(HFONT font);

    rg_quelt_WTLJieMian_base::rg_label1& label_;
    HFONT font_ = nullptr;
};
