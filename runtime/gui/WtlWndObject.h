#pragma once
// CWtlWndObject: the window object of one control, shared by reference. It keeps
// what must exist before the native window does (caption, styles, cursor, font)
// and owns the window implementation, which it makes on first use through the
// window layer's factory. Releasing the last reference destroys a native window
// that is still alive.
#include "runtime/core/RefObject.h"
#include "runtime/core/WString.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WindowImpl.h"

#include <cstdint>

class CWtlWndObject : public CRefObject {
public:
    explicit CWtlWndObject(rg_quelt_WTLJieMian_base::CQueltWinControl& control) : control_(&control) {}

    CWString& caption() { return caption_; }
    std::uint32_t style() const { return style_; }
    void setStyle(std::uint32_t style) { style_ = style; }
    std::uint32_t exStyle() const { return exStyle_; }
    void setExStyle(std::uint32_t exStyle) { exStyle_ = exStyle; }
    std::uintptr_t cursor() const { return cursor_; }
    void setCursor(std::uintptr_t cursor) { cursor_ = cursor; }

    // The font, created on first use for a window under `parentWindow` (0 when the
    // system has none).
    std::uintptr_t font(std::uintptr_t parentWindow = 0);
    // Takes `font` in place of the one created before (when the window moved to
    // another DPI), which is deleted; the window must have been given the new one.
    void replaceFont(std::uintptr_t font);
    bool fontCreated() const { return font_ != 0; }

    // The implementation, made on first use; null without a window layer.
    CQueltWindowImpl* impl();
    CQueltWindowImpl* existingImpl() const { return impl_; }
    // Whether the native window exists.
    bool hasWindow() const { return impl_ && impl_->window() != 0 && impl_->exists(); }
    // The control this window object belongs to; cleared when that control goes.
    void detachControl(const rg_quelt_WTLJieMian_base::CQueltWinControl* control) {
        if (control_ == control)
            control_ = nullptr;
    }

protected:
    ~CWtlWndObject() override;

private:
    rg_quelt_WTLJieMian_base::CQueltWinControl* control_;
    CWString caption_;
    std::uint32_t style_ = quelt_gui::kDefaultControlStyle;
    std::uint32_t exStyle_ = 0;
    std::uintptr_t cursor_ = 0;
    std::uintptr_t font_ = 0;
    CQueltWindowImpl* impl_ = nullptr;
};
