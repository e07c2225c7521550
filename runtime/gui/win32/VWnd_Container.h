#pragma once
// CVWnd_Container: the window implementation of containers and the base of every
// framework window of this layer. It owns the native window, routes its messages
// (private framework messages, window filters, the listener, reflection of child
// notifications), and paints the layouter's background.
//
// The implementation object is found from the window through a window property,
// because GWLP_USERDATA carries the framework magic. User-interface thread only.
#include "runtime/gui/WindowImpl.h"

#include <windows.h>

namespace rg_quelt_WTLJieMian_base {
class CQueltWinControl;
class rg_ZuJianBuJuQi;
} // namespace rg_quelt_WTLJieMian_base

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Win32 as wchar_t");

class CVWnd_Container : public CQueltWindowImpl {
public:
    explicit CVWnd_Container(rg_quelt_WTLJieMian_base::CQueltWinControl& control);
    ~CVWnd_Container() override;

    const char* typeName() const override { return "CVWnd_Container"; }
    HWND hwnd() const { return reinterpret_cast<HWND>(window_); }
    // The implementation behind a framework window of this layer, or null.
    static CVWnd_Container* fromWindow(HWND window);

    bool exists() const override;
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;
    void destroyNative() override;
    void setText(const CWString& text) override;
    CWString text() const override;
    void invalidate(bool erase) override;
    std::uint32_t style() const override;
    std::uint32_t exStyle() const override;
    void applyStyles(std::uint32_t style, std::uint32_t exStyle) override;
    std::uint32_t dialogCode() override;
    void setFont(std::uintptr_t font) override;
    std::uintptr_t createDefaultFont() override;
    void deleteFont(std::uintptr_t font) override;
    void applyShape(std::int32_t shape) override;
    void applyState(std::int32_t state) override;
    bool keyIsDown(std::uint32_t virtualKey) const override;
    void showCursor(std::uintptr_t cursor) override;
    void takeDroppedFiles(std::uintptr_t drop, rg_quelt_base::rg_WenBenShuZuLei& paths) override;

protected:
    // The window class this implementation registers (once per process).
    virtual const wchar_t* className() const { return L"Quelt_CVWnd_Container"; }
    // The position and size to create with; containers take the record's.
    virtual void creationRect(const CQueltCreationRecord& record, std::uint32_t style, std::uint32_t exStyle,
                              RECT& rect);
    // A framework private message (lparam was the magic): true when answered.
    virtual bool handlePrivate(UINT message, WPARAM wparam, LRESULT& result);
    // The implementation's own message handling: true when finished with `result`.
    virtual bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    LRESULT defaultProcessing(UINT message, WPARAM wparam, LPARAM lparam);

    rg_quelt_WTLJieMian_base::CQueltWinControl& control_;
    rg_quelt_WTLJieMian_base::rg_ZuJianBuJuQi* layouter_;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT route(UINT message, WPARAM wparam, LPARAM lparam);
    bool reflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    void paint();
    void drawImage(HDC dc, const RECT& client, const RECT& clip);
    void handFocusOn();
};

// Installs this layer's window implementations as the factory of control objects.
void installWin32WindowLayer();
