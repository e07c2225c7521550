#include "runtime/gui/WtlWndObject.h"

#include "runtime/gui/WinControl.h"

namespace {
WindowImplFactory installedFactory = nullptr;
}

void setWindowImplFactory(WindowImplFactory factory) { installedFactory = factory; }
WindowImplFactory windowImplFactory() { return installedFactory; }

std::uintptr_t CWtlWndObject::font(std::uintptr_t parentWindow) {
    if (font_ == 0) {
        if (CQueltWindowImpl* i = impl())
            font_ = i->createDefaultFont(parentWindow);
    }
    return font_;
}

void CWtlWndObject::replaceFont(std::uintptr_t font) {
    if (font == 0 || font == font_)
        return;
    if (font_ && impl_)
        impl_->deleteFont(font_);
    font_ = font;
}

CQueltWindowImpl* CWtlWndObject::impl() {
    if (!impl_ && control_ && installedFactory && control_->windowKind() != WindowKind::none)
        impl_ = installedFactory(*control_);
    return impl_;
}

CWtlWndObject::~CWtlWndObject() {
    if (impl_) {
        impl_->setListener(nullptr);
        if (impl_->window() != 0 && impl_->exists())
            impl_->destroyNative();
        if (font_)
            impl_->deleteFont(font_);
        delete impl_;
    }
}
