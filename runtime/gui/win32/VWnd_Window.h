#pragma once
// CVWnd_Window: the common part of every window implementation of this layer. It
// owns the native window and routes its messages: the framework's private messages,
// the window filters, the control's listener, the reflection of child notifications
// (message + 0x2000) and the implementation's own handling, in that order.
//
// A window is made in one of three ways: from a class of our own, as a subclassed
// system window ("BUTTON"), or from a superclass of a system class ("EDIT",
// "SysListView32"). Default processing of the latter two is the system class's own.
//
// The implementation object is found from the window through a window property,
// because GWLP_USERDATA carries the framework magic. User-interface thread only,
// except where an implementation says otherwise.
#include "runtime/gui/Geometry.h"
#include "runtime/gui/WindowImpl.h"

#include <windows.h>

namespace rg_quelt_WTLJieMian_base {
class CQueltWinControl;
} // namespace rg_quelt_WTLJieMian_base

class CVWnd_Window : public CQueltWindowImpl {
public:
    explicit CVWnd_Window(rg_quelt_WTLJieMian_base::CQueltWinControl& control);
    ~CVWnd_Window() override;

    HWND hwnd() const { return reinterpret_cast<HWND>(window_); }
    // The implementation behind a framework window of this layer, or null.
    static CVWnd_Window* fromWindow(HWND window);
    rg_quelt_WTLJieMian_base::CQueltWinControl& control() const { return control_; }

    bool exists() const override;
    void destroyNative() override;
    void setText(const CWString& text) override;
    CWString text() const override;
    void invalidate(bool erase) override;
    std::uint32_t style() const override;
    std::uint32_t exStyle() const override;
    void applyStyles(std::uint32_t style, std::uint32_t exStyle) override;
    void enableInput(bool on) override;
    std::uint32_t dialogCode() override;
    void setFont(std::uintptr_t font) override;
    std::uintptr_t createDefaultFont(std::uintptr_t parentWindow) override;
    void deleteFont(std::uintptr_t font) override;
    bool keyIsDown(std::uint32_t virtualKey) const override;
    void showCursor(std::uintptr_t cursor) override;
    std::uintptr_t waitCursor() const override;
    void refreshCursor() override;
    bool startTimer(std::uint32_t id, std::uint32_t intervalMs) override;
    void stopTimer(std::uint32_t id) override;
    void takeDroppedFiles(std::uintptr_t drop, rg_quelt_base::rg_WenBenShuZuLei& paths) override;

    // The DPI the window was laid out for.
    int dpi() const { return dpi_; }
    // Lays the window out again for `dpi` (its top-level window moved to a display
    // of another DPI): the position and size it was created with, and the
    // framework's default font, at the new DPI. A window another one places
    // (a spin button, a cell editor) leaves that to its owner.
    virtual void applyDpi(int dpi);

protected:
    // The record's position and size in device pixels: the record holds 96-DPI
    // numbers, scaled here by the DPI of the parent window (a default coordinate
    // counts as 0). They are kept for a later change of DPI.
    RECT recordRect(const CQueltCreationRecord& record);
    // A window whose place its owner sets: applyDpi leaves its position and font.
    void placedByOwner() { ownerPlaced_ = true; }
    // A window placed by its own rule (a child form) keeps its 96-DPI rectangle so.
    void rememberDesign(const quelt_gui::Rect& design) {
        design_ = design;
        designed_ = true;
    }
    void setLayoutDpi(int dpi) { dpi_ = dpi; }
    // Whether the window shows its window object's font (a label keeps a copy of
    // its own, and says so itself).
    virtual bool usesDefaultFont() const;
    // The menu handle argument of CreateWindowExW: the identifier for a child.
    static HMENU menuArgument(const CQueltCreationRecord& record, std::uint32_t style);

    // A window of a class of our own, registered once per process.
    bool createOwnClass(const wchar_t* className, const CQueltCreationRecord& record, const CWString& caption,
                        std::uint32_t style, std::uint32_t exStyle, const RECT& rect);
    // A window of the system class `systemClass`, subclassed once it exists.
    bool createSubclassed(const wchar_t* systemClass, const CQueltCreationRecord& record,
                          const CWString& caption, std::uint32_t style, std::uint32_t exStyle,
                          const RECT& rect);
    // A window of `superName`, a superclass of `systemClass` registered once per
    // process; it sees every message from the first one on.
    bool createSuperclassed(const wchar_t* systemClass, const wchar_t* superName,
                            const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                            std::uint32_t exStyle, const RECT& rect);

    // A framework private message (lparam was the magic): true when answered.
    virtual bool handlePrivate(UINT message, WPARAM wparam, LRESULT& result);
    // The implementation's own message handling, reflected notifications included:
    // true when finished with `result`.
    virtual bool handleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    // The system's processing: the system class's procedure for a subclassed or
    // superclassed window, DefWindowProcW otherwise.
    LRESULT defaultProcessing(UINT message, WPARAM wparam, LPARAM lparam);

    rg_quelt_WTLJieMian_base::CQueltWinControl& control_;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT route(UINT message, WPARAM wparam, LPARAM lparam);
    bool reflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    WNDPROC previous_ = nullptr;
    // The 96-DPI rectangle from the creation record, relative to the parent.
    quelt_gui::Rect design_{};
    bool designed_ = false;
    bool ownerPlaced_ = false;
    int dpi_ = 96;
};

// Installs this layer's window implementations as the factory of control objects.
void installWin32WindowLayer();
