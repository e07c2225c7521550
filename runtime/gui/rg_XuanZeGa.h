#pragma once
// rg_XuanZeGa: the tab selector. Its tabs come from a captions text (TabCaptions.h);
// controls placed on it name their tab by the page index of their creation record,
// and only the selected page's controls are shown. Setting the captions on an
// existing window destroys the controls on its pages, so they are created after it.
//
// A tab's page may instead be a window of its own (setPageWindow): the selector
// shows it only while its tab is selected, places it in its display area, and when
// the captions are replaced hides it (keep set) or destroys it.
//
// A selection-changing handler that returns 0 keeps the current tab; without a
// handler the change is allowed. The image list and the page windows are native
// handles the caller keeps alive; the image list is applied at creation.
#include "runtime/gui/WinContainer.h"

#include <cstdint>
#include <vector>

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
    struct PageWindow {
        std::uintptr_t window = 0;
        bool keep = false;
        // 0 fills the display area; 1 top-left, 2 centred, 3 bottom-right at its own size.
        std::int32_t placement = 0;
    };
    // Makes `window` the page of tab `index` (0 as window: no page window).
    void setPageWindow(std::int32_t index, std::uintptr_t window, bool keep, std::int32_t placement = 0);
    const std::vector<PageWindow>& pageWindows() const { return pages_; }
    // Forgets the page windows (the window layer has hidden or destroyed them).
    void releasePageWindows() { pages_.clear(); }

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
    std::vector<PageWindow> pages_;
};

} // namespace rg_quelt_WTLJieMian_base
