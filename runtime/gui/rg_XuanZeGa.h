#pragma once
// rg_XuanZeGa: the tab selector. Its tabs come from a captions text (TabCaptions.h);
// controls placed on it name their tab by the page index of their creation record,
// and only the selected page's controls are shown. Setting the captions on an
// existing window destroys the controls on its pages, so they are created after it.
//
// A selection-changing handler that returns 0 keeps the current tab; without a
// handler the change is allowed. The image list is a native handle the caller keeps
// alive; it is applied at creation.
#include "runtime/gui/WinContainer.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class rg_XuanZeGa : public CQueltWinContainer, public ITabEventListener {
    QUELT_CLASS(rg_XuanZeGa)

public:
    rg_XuanZeGa();

    WindowKind windowKind() const override { return WindowKind::tab; }

    void setCaptions(const CWString& text);
    const CWString& captions() const { return captions_; }
    void setImageList(std::uintptr_t imageList) { imageList_ = imageList; }
    std::uintptr_t imageList() const { return imageList_; }
    // -1 without a window or without tabs.
    std::int32_t currentSelection() const;

    bool onWindowMessage(CQueltMessageRecord& record) override {
        return CQueltWinControl::onWindowMessage(record);
    }
    bool onTabSelectionChanging() override;
    void onTabSelectionChanged() override { selectionChanged.fire(this); }
    void onTabClicked() override { clicked.fire(this); }

    CQueltEventSlot<> selectionChanging;
    CQueltEventSlot<> selectionChanged;
    CQueltEventSlot<> clicked;

private:
    CWString captions_;
    std::uintptr_t imageList_ = 0;
};

} // namespace rg_quelt_WTLJieMian_base
