#pragma once
// rg_ChaoJiLieBiaoKuang: the super list box, a native list view with declarative
// columns and items, per-cell colours, a check box per row, item text supplied on
// demand and in-place editing of any cell.
//
// Properties are set before the window is created and take effect at creation.
// The row and cell operations may be called from any thread: each is one message
// sent to the window (the caller waits while the window's thread runs it), and
// they read nothing of this object but its window. Without a window they do
// nothing and report 0, -1, false or an empty text. Events fire on the window's
// thread.
//
// An owner-data list (a virtual list) keeps no rows: its owner keeps them, tells
// the list how many there are (setRowCount) and which changed (redrawRows), and
// supplies each cell the list paints or is asked for through the item fill event.
// There appendRow and setCellText do nothing and report -1 and false; rowCount,
// getCellText and clearRows work as ever. The keyboard search of such a list
// (typing the start of a row's first column) reads the rows through item fill.
#include "runtime/gui/ListViewEventListener.h"
#include "runtime/gui/ListViewProperties.h"
#include "runtime/gui/WinControl.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuangBiaoXiangTianChong.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuangHuiZhiCanShu.h"

#include <cstdint>

class IListViewRows;

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

class rg_ChaoJiLieBiaoKuang : public rg_quelt_WTLJieMian_base::CQueltWinControl,
                              public IListViewEventListener {
    QUELT_CLASS(rg_ChaoJiLieBiaoKuang)

public:
    using RowSlot = CQueltEventSlot<std::int32_t>;
    using CellSlot = CQueltEventSlot<std::int32_t, std::int32_t>;                // row, column
    using TextSlot = CQueltEventSlot<std::int32_t, CWString*>;                   // row, text
    using CellTextSlot = CQueltEventSlot<std::int32_t, std::int32_t, CWString*>; // row, column, text
    using DrawSlot = CQueltEventSlot<rg_ChaoJiLieBiaoKuangHuiZhiCanShu*>;
    using FillSlot = CQueltEventSlot<rg_ChaoJiLieBiaoKuangBiaoXiangTianChong*>;

    rg_ChaoJiLieBiaoKuang();

    WindowKind windowKind() const override { return WindowKind::listView; }

    // Row and cell operations (any thread, see above).
    std::int32_t rowCount() const;
    void clearRows();
    std::int32_t appendRow(const CWString& text);
    bool setCellText(std::int32_t row, std::int32_t column, const CWString& text);
    CWString getCellText(std::int32_t row, std::int32_t column) const;
    // Off: rows and cells change without the list repainting, which makes a bulk
    // fill many times faster; on again repaints the whole list. A list left off
    // shows nothing new, so every "off" needs its "on".
    void setRedraw(bool on);
    // Owner data: the list now has `rows` rows; the scroll position, the selection
    // of rows that remain and the rows in view that did not change stay as they
    // were. Otherwise it only makes room for that many rows.
    void setRowCount(std::int32_t rows);
    // Repaints the rows from `first` to `last` (inclusive) that are in view; the
    // others cost nothing. Owner data: how a changed row reaches the screen.
    void redrawRows(std::int32_t first, std::int32_t last);

    const ListViewProperties& properties() const { return properties_; }

    std::uint32_t textColour() const { return properties_.textColour; }
    void setTextColour(std::uint32_t colour) { properties_.textColour = colour; }
    std::uint32_t textBackgroundColour() const { return properties_.textBackgroundColour; }
    void setTextBackgroundColour(std::uint32_t colour) { properties_.textBackgroundColour = colour; }
    std::uint32_t backgroundColour() const { return properties_.backgroundColour; }
    void setBackgroundColour(std::uint32_t colour) { properties_.backgroundColour = colour; }
    std::int32_t view() const { return properties_.view; }
    void setView(std::int32_t view) { properties_.view = view; }
    std::int32_t iconAlignment() const { return properties_.iconAlignment; }
    void setIconAlignment(std::int32_t alignment) { properties_.iconAlignment = alignment; }
    bool autoArrange() const { return properties_.autoArrange; }
    void setAutoArrange(bool on) { properties_.autoArrange = on; }
    bool wrapLabels() const { return properties_.wrapLabels; }
    void setWrapLabels(bool on) { properties_.wrapLabels = on; }
    bool hideColumnHeader() const { return properties_.hideColumnHeader; }
    void setHideColumnHeader(bool on) { properties_.hideColumnHeader = on; }
    bool clickableHeader() const { return properties_.clickableHeader; }
    void setClickableHeader(bool on) { properties_.clickableHeader = on; }
    bool fullRowSelect() const { return properties_.fullRowSelect; }
    void setFullRowSelect(bool on) { properties_.fullRowSelect = on; }
    bool gridLines() const { return properties_.gridLines; }
    void setGridLines(bool on) { properties_.gridLines = on; }
    bool headerDragDrop() const { return properties_.headerDragDrop; }
    void setHeaderDragDrop(bool on) { properties_.headerDragDrop = on; }
    bool hotTracking() const { return properties_.hotTracking; }
    void setHotTracking(bool on) { properties_.hotTracking = on; }
    bool handCursor() const { return properties_.handCursor; }
    void setHandCursor(bool on) { properties_.handCursor = on; }
    bool underlineCold() const { return properties_.underlineCold; }
    void setUnderlineCold(bool on) { properties_.underlineCold = on; }
    bool underlineHot() const { return properties_.underlineHot; }
    void setUnderlineHot(bool on) { properties_.underlineHot = on; }
    bool editable() const { return properties_.editable; }
    void setEditable(bool on) { properties_.editable = on; }
    bool editCells() const { return properties_.editCells; }
    void setEditCells(bool on) { properties_.editCells = on; }
    std::int32_t sortOrder() const { return properties_.sortOrder; }
    void setSortOrder(std::int32_t order) { properties_.sortOrder = order; }
    bool checkBoxes() const { return properties_.checkBoxes; }
    void setCheckBoxes(bool on) { properties_.checkBoxes = on; }
    bool flatScrollBars() const { return properties_.flatScrollBars; }
    void setFlatScrollBars(bool on) { properties_.flatScrollBars = on; }
    bool singleSelection() const { return properties_.singleSelection; }
    void setSingleSelection(bool on) { properties_.singleSelection = on; }
    std::int32_t currentItem() const { return properties_.currentItem; }
    void setCurrentItem(std::int32_t row) { properties_.currentItem = row; }
    bool showSelectionAlways() const { return properties_.showSelectionAlways; }
    void setShowSelectionAlways(bool on) { properties_.showSelectionAlways = on; }
    bool ownerData() const { return properties_.ownerData; }
    void setOwnerData(bool on) { properties_.ownerData = on; }
    std::int32_t itemCount() const { return properties_.itemCount; }
    void setItemCount(std::int32_t count) { properties_.itemCount = count; }
    // Image lists are native handles that the window takes over at creation.
    std::uintptr_t imageList() const { return properties_.imageList; }
    void setImageList(std::uintptr_t list) { properties_.imageList = list; }
    std::uintptr_t stateImageList() const { return properties_.stateImageList; }
    void setStateImageList(std::uintptr_t list) { properties_.stateImageList = list; }
    std::uintptr_t headerImageList() const { return properties_.headerImageList; }
    void setHeaderImageList(std::uintptr_t list) { properties_.headerImageList = list; }
    const CWString& columnDefinition() const { return properties_.columnDefinition; }
    void setColumnDefinition(const CWString& text) { properties_.columnDefinition = text; }
    const CWString& itemsDefinition() const { return properties_.itemsDefinition; }
    void setItemsDefinition(const CWString& text) { properties_.itemsDefinition = text; }

    // The list's own events, in their fixed order.
    RowSlot focusedItemChanged;
    RowSlot itemActivated;
    CQueltEventSlot<std::int32_t> columnHeaderClicked;
    RowSlot hotItemChanged;
    CellSlot clicked;
    CellSlot rightClicked;
    CellSlot doubleClicked;
    RowSlot beginLabelEdit;
    TextSlot endLabelEdit;
    CellSlot beginCellEdit;
    CellTextSlot endCellEdit;
    CellSlot checkStateChanged; // row, state
    DrawSlot drawParameters;
    FillSlot itemFill;

    bool onWindowMessage(CQueltMessageRecord& record) override {
        return CQueltWinControl::onWindowMessage(record);
    }
    void onListFocusedItemChanged(std::int32_t row) override { focusedItemChanged.fire(this, row); }
    void onListItemActivated(std::int32_t row) override { itemActivated.fire(this, row); }
    void onListColumnClicked(std::int32_t column) override { columnHeaderClicked.fire(this, column); }
    void onListHotItemChanged(std::int32_t row) override { hotItemChanged.fire(this, row); }
    void onListClicked(const CQueltListClick& click) override { clicked.fire(this, click.row, click.column); }
    void onListRightClicked(const CQueltListClick& click) override {
        rightClicked.fire(this, click.row, click.column);
    }
    void onListDoubleClicked(const CQueltListClick& click) override {
        doubleClicked.fire(this, click.row, click.column);
    }
    std::int32_t onListBeginLabelEdit(std::int32_t row) override { return beginLabelEdit.fire(this, row); }
    std::int32_t onListEndLabelEdit(std::int32_t row, const CWString& text) override;
    void onListCheckStateChanged(std::int32_t row, std::int32_t state) override {
        checkStateChanged.fire(this, row, state);
    }
    void onListDrawParameters(std::int32_t row, std::int32_t column, std::uint32_t& textColour,
                              std::uint32_t& backgroundColour) override;
    const CWString& onListItemFill(rg_ChaoJiLieBiaoKuangBiaoXiangTianChong& item) override;
    std::int32_t onListBeginCellEdit(std::int32_t row, std::int32_t column) override {
        return beginCellEdit.fire(this, row, column);
    }
    std::int32_t onListEndCellEdit(std::int32_t row, std::int32_t column, const CWString& text) override;

protected:
    void styleFromProperties(std::uint32_t& style, std::uint32_t& exStyle) override;

private:
    const IListViewRows* rows() const;

    ListViewProperties properties_;
    // The text the last item fill supplied; the list view reads it after the
    // handler has returned.
    CWString fillText_;
};

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
