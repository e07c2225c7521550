#pragma once
// CVWnd_ListView: the window implementation of the super list box, a superclass of
// the system list view. At creation it applies the control's properties (styles,
// image lists, colours, hot cursor, columns, items, current item, item count);
// afterwards it turns the list view's notifications into listener calls and runs
// the in-place cell editor.
//
// The row operations (IListViewRows) may be called from any thread: each sends
// messages to the window and uses nothing else of this object but the properties
// it was created with. Everything else runs on the window's thread. The image
// lists the window took over at creation are destroyed with it.
//
// An owner-data list asks its listener for every cell (item fill), also for the
// keyboard search the list view hands to its owner.
#include "runtime/gui/ListViewDefinitions.h"
#include "runtime/gui/ListViewRows.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/win32/VWnd_Window.h"

#include <commctrl.h>

#include <memory>
#include <vector>

class IListViewEventListener;
class CVWnd_ListViewEdit;

class CVWnd_ListView : public CVWnd_Window, public IListViewRows {
public:
    explicit CVWnd_ListView(rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang& list);
    ~CVWnd_ListView() override;

    const char* typeName() const override { return "CVWnd_ListView"; }
    void applyDpi(int dpi) override;
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override;

    std::int32_t listRowCount() const override;
    void listClearRows() const override;
    std::int32_t listAppendRow(const CWString& text) const override;
    bool listSetCellText(std::int32_t row, std::int32_t column, const CWString& text) const override;
    CWString listCellText(std::int32_t row, std::int32_t column) const override;
    void listSetRedraw(bool on) const override;
    void listSetRowCount(std::int32_t rows) const override;
    void listRedrawRows(std::int32_t first, std::int32_t last) const override;

    // The row of the open cell editor, -1 when none is open.
    std::int32_t editingRow() const { return editRow_; }
    // The cell editor's window, null unless the list edits cells.
    HWND editorWindow() const;
    // Closes the open cell editor; a commit offers the text to the end cell edit
    // handler first. Nothing happens when no editor is open.
    void finishCellEdit(bool commit);

protected:
    bool handlePrivate(UINT message, WPARAM wparam, LRESULT& result) override;
    bool handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    IListViewEventListener* listListener() const;
    bool applyProperties(const CQueltCreationRecord& record);
    void insertColumns();
    void insertItems();
    bool onNotify(NMHDR& header, LRESULT& result);
    void onCustomDraw(NMLVCUSTOMDRAW& draw, LRESULT& result);
    void onItemFill(NMLVDISPINFOW& info);
    // The keyboard search of an owner-data list: the first row from the start
    // (round to the top when asked) whose first column begins with the typed text,
    // or equals it without LVFI_PARTIAL, case ignored; -1 when none does.
    LRESULT findOwnerDataRow(const NMLVFINDITEMW& find);
    void onInfoTip(NMLVGETINFOTIPW& tip);
    // Posts the deferred check notification when `point` is on a row's check box.
    bool postIfOnCheckBox(POINT point);
    void startEdit(POINT point);
    void releaseImageLists();

    rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang& list_;
    std::unique_ptr<CVWnd_ListViewEdit> editor_;
    std::int32_t editRow_ = -1;
    std::int32_t editColumn_ = -1;
    std::vector<rg_quelt_WTLJieMian_KuoZhanZuJian::ListToolTipEntry> toolTips_;
    // Taken over from the properties at creation.
    HIMAGELIST imageList_ = nullptr;
    HIMAGELIST stateImageList_ = nullptr;
    HIMAGELIST headerImageList_ = nullptr;
};
