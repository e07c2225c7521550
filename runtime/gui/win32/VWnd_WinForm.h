#pragma once
// CVWnd_WinForm: the window implementation of forms. On top of the container it
// sizes and centres the form at creation, handles the keyboard like a dialog (Esc,
// Tab, Ctrl+Tab for the pages of a tab selector, the default button, F1 help), asks
// the form before closing, reports activation, and runs the modal loop of
// showModal.
#include "runtime/gui/win32/VWnd_Container.h"

#include <vector>

namespace rg_quelt_WTLJieMian_base {
class CQueltWinForm;
}

class CVWnd_WinForm : public CVWnd_Container {
public:
    explicit CVWnd_WinForm(rg_quelt_WTLJieMian_base::CQueltWinForm& form);

    const char* typeName() const override { return "CVWnd_WinForm"; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    void afterCreation(CQueltCreationRecord& record) override;

    // The form's part of the message loop's pre-translation: true when consumed.
    bool preTranslate(MSG& message);

protected:
    const wchar_t* className() const override { return L"Quelt_CVWnd_WinForm"; }
    void creationRect(const CQueltCreationRecord& record, std::uint32_t style, std::uint32_t exStyle,
                      RECT& rect) override;
    bool handlePrivate(UINT message, WPARAM wparam, LRESULT& result) override;
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    // handleMessage, one family of messages each.
    bool onLifetimeMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    bool onActivationMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    bool onGeometryMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    bool onMenuOrTrayMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    bool onDialogMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    bool onFrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    void applyCaptionBits();
    // The frame's extra width and height for these styles at `dpi`.
    static quelt_gui::Rect frameExtra(std::uint32_t style, std::uint32_t exStyle, bool menu, int dpi);
    void fitDesignToDpi(const CQueltCreationRecord& record, std::uint32_t style, std::uint32_t exStyle);
    void onDpiChanged(int newDpi, const RECT* suggested);
    void applyIcons(int dpi);
    void releaseIcons();
    void runModalLoop(CQueltCreationRecord& record);
    bool openHelp();
    // The tab selector whose pages Ctrl+Tab turns: the one holding the focus, else
    // the form's first; null when there is none.
    HWND tabSelectorFor(HWND focus) const;
    void endModalWith(std::int32_t result);

    rg_quelt_WTLJieMian_base::CQueltWinForm& form_;
    bool activating_ = false;
    bool activatedOnce_ = false;
    bool enterKey_ = false;
    bool helpOpened_ = false;
    bool dialogFrame_ = false;
    // The windows showModal disabled, re-enabled when the loop ends.
    std::vector<HWND> disabled_;
    HWND modalOwner_ = nullptr;
    HWND focusBefore_ = nullptr;
    // The icons loaded for the form's DPI, destroyed when it goes or the DPI changes.
    HICON smallIcon_ = nullptr;
    HICON bigIcon_ = nullptr;
};
