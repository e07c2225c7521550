#include "runtime/gui/win32/VWnd_ListView.h"

#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/DpiScale.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/ListViewEventListener.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/win32/VWnd_ListViewEdit.h"
#include "runtime/gui/win32/WideText.h"

#include <algorithm>
#include <climits>
#include <cwchar>

using namespace quelt_gui;
using namespace win32_text;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

namespace {

constexpr std::size_t kFirstTextBuffer = 512;
// Far beyond any cell text; only stops a list view that always reports a full buffer.
constexpr std::size_t kLargestTextBuffer = std::size_t{1} << 24;
constexpr UINT kStateImageMask = LVIS_STATEIMAGEMASK;

COLORREF systemColourFor(std::uint32_t colour) {
    return colour == kSystemFaceColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

std::int32_t imageCount(HIMAGELIST list) { return list ? ImageList_GetImageCount(list) : 0; }

} // namespace

CVWnd_ListView::CVWnd_ListView(rg_ChaoJiLieBiaoKuang& list) : CVWnd_Window(list), list_(list) {}

CVWnd_ListView::~CVWnd_ListView() {
    // While this object is still whole, so that the window's last messages see it.
    if (exists())
        destroyNative();
    editor_.reset();
    releaseImageLists();
}

IListViewEventListener* CVWnd_ListView::listListener() const {
    return dynamic_cast<IListViewEventListener*>(listener());
}

HWND CVWnd_ListView::editorWindow() const { return editor_ ? editor_->hwnd() : nullptr; }

bool CVWnd_ListView::createNative(const CQueltCreationRecord& record, const CWString& caption,
                                  std::uint32_t style, std::uint32_t exStyle) {
    if (!createSuperclassed(WC_LISTVIEWW, L"Quelt_CVWnd_ListView", record, caption, style, exStyle,
                            recordRect(record)))
        return false;
    if (!applyProperties(record)) {
        destroyNative();
        return false;
    }
    return true;
}

bool CVWnd_ListView::applyProperties(const CQueltCreationRecord&) {
    const HWND list = hwnd();
    const ListViewProperties& p = list_.properties();
    const ListViewStyles styles = listViewStyles(p);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles.listExStyle));
    if (p.ownerData && p.checkBoxes) {
        // A virtual list keeps no check states of its own: they come from item fill.
        SendMessageW(list, LVM_SETCALLBACKMASK, kStateImageMask, 0);
    }

    imageList_ = reinterpret_cast<HIMAGELIST>(p.imageList);
    stateImageList_ = reinterpret_cast<HIMAGELIST>(p.stateImageList);
    headerImageList_ = reinterpret_cast<HIMAGELIST>(p.headerImageList);
    if (imageList_)
        SendMessageW(list, LVM_SETIMAGELIST, p.view == kViewLargeIcons ? LVSIL_NORMAL : LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(imageList_));
    if (stateImageList_)
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(stateImageList_));
    if (p.isReport()) {
        if (HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)))
            SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(headerImageList_));
    }

    if (p.editsCells()) {
        editor_ = std::make_unique<CVWnd_ListViewEdit>(*this);
        CQueltCreationRecord editorRecord;
        editorRecord.parentWindow = window_;
        editorRecord.x = editorRecord.y = editorRecord.width = editorRecord.height = 0;
        if (!editor_->createNative(editorRecord, CWString(), CVWnd_ListViewEdit::kEditorStyle, 0)) {
            editor_.reset();
            return false;
        }
    }

    SendMessageW(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(p.textColour));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(systemColourFor(p.textBackgroundColour)));
    SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(systemColourFor(p.backgroundColour)));
    if (p.hotTracking) {
        HCURSOR cursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(p.handCursor ? IDC_HAND : IDC_ARROW));
        SendMessageW(list, LVM_SETHOTCURSOR, 0, reinterpret_cast<LPARAM>(cursor));
    }

    if (p.isReport())
        insertColumns();
    insertItems();

    if (p.singleSelection) {
        LVITEMW state{};
        if (p.currentItem >= 0) {
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(p.currentItem),
                         reinterpret_cast<LPARAM>(&state));
        } else {
            state.stateMask = LVIS_SELECTED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        }
    }
    if (p.ownerData && p.itemCount > 0)
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(p.itemCount), 0);
    return true;
}

void CVWnd_ListView::insertColumns() {
    const auto columns = parseColumnDefinition(list_.properties().columnDefinition.view());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ListColumnDefinition& c = columns[i];
        LVCOLUMNW column{};
        column.mask = c.mask();
        column.fmt = static_cast<int>(c.format());
        column.cx = scaleToDpi(c.width, dpi());
        column.pszText = wideField(c.title);
        column.iSubItem = static_cast<int>(i);
        column.iImage = c.imageIndex;
        SendMessageW(hwnd(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CVWnd_ListView::applyDpi(int newDpi) {
    // The widths as they are now, the user's dragging included, carried over.
    if (exists() && newDpi > 0 && newDpi != dpi() && list_.properties().isReport()) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0));
        const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int column = 0; column < columns; ++column) {
            const auto width = static_cast<std::int32_t>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, column, 0));
            SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, column,
                         MAKELPARAM(rescaleForDpi(width, dpi(), newDpi), 0));
        }
    }
    CVWnd_Window::applyDpi(newDpi);
}

void CVWnd_ListView::insertItems() {
    const ListViewProperties& p = list_.properties();
    const auto items = parseItemsDefinition(p.itemsDefinition.view());
    toolTips_ = toolTipsOf(items);
    if (items.empty())
        return;
    const HWND list = hwnd();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const int images = imageCount(reinterpret_cast<HIMAGELIST>(
        SendMessageW(list, LVM_GETIMAGELIST, p.view == kViewLargeIcons ? LVSIL_NORMAL : LVSIL_SMALL, 0)));
    const int stateImages =
        imageCount(reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0)));
    int row = -1;
    int nextColumn = 1;
    for (const ListItemDefinition& item : items) {
        LVITEMW entry{};
        entry.pszText = wideField(item.text);
        entry.iImage = effectiveImageIndex(item.imageIndex, images);
        if (item.subItem == 0) {
            entry.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            entry.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            entry.lParam = item.itemData;
            const int state = effectiveImageIndex(item.stateImageIndex, stateImages);
            if (state >= 0) {
                entry.mask |= LVIF_STATE;
                entry.state = INDEXTOSTATEIMAGEMASK(state + 1);
                entry.stateMask = kStateImageMask;
            }
            if (p.isReport()) {
                entry.mask |= LVIF_INDENT;
                entry.iIndent = item.indent;
            }
            row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry)));
            nextColumn = 1;
        } else if (row >= 0) {
            // A sub-item entry before any row has no row to go to.
            entry.mask = LVIF_TEXT | LVIF_IMAGE;
            entry.iItem = row;
            entry.iSubItem = nextColumn++;
            SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CVWnd_ListView::releaseImageLists() {
    const HWND list = hwnd();
    if (list && IsWindow(list)) {
        // Detach first, so that the list view never paints with a destroyed list.
        if (imageList_)
            SendMessageW(list, LVM_SETIMAGELIST,
                         list_.properties().view == kViewLargeIcons ? LVSIL_NORMAL : LVSIL_SMALL, 0);
        if (stateImageList_)
            SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, 0);
        if (headerImageList_)
            if (HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)))
                SendMessageW(header, HDM_SETIMAGELIST, 0, 0);
    }
    // One list may serve in several places; it is destroyed once.
    HIMAGELIST lists[] = {imageList_, stateImageList_, headerImageList_};
    for (int i = 0; i < 3; ++i) {
        if (!lists[i])
            continue;
        bool seen = false;
        for (int j = 0; j < i; ++j)
            seen = seen || lists[j] == lists[i];
        if (!seen)
            ImageList_Destroy(lists[i]);
    }
    imageList_ = stateImageList_ = headerImageList_ = nullptr;
}

// The row operations read only the window handle: they may run on any thread.

std::int32_t CVWnd_ListView::listRowCount() const {
    const HWND list = hwnd();
    if (!list || !IsWindow(list))
        return 0;
    return static_cast<std::int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

void CVWnd_ListView::listClearRows() const {
    const HWND list = hwnd();
    if (list && IsWindow(list))
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

std::int32_t CVWnd_ListView::listAppendRow(const CWString& text) const {
    const HWND list = hwnd();
    // The rows of a virtual list are its owner's.
    if (!list || !IsWindow(list) || list_.properties().ownerData)
        return -1;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    // Past the end is the end: one message, so two threads appending cannot meet
    // between reading the count and inserting.
    item.iItem = INT_MAX;
    item.iImage = -1;
    item.pszText = wideField(text);
    return static_cast<std::int32_t>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CVWnd_ListView::listSetCellText(std::int32_t row, std::int32_t column, const CWString& text) const {
    const HWND list = hwnd();
    if (!list || !IsWindow(list) || list_.properties().ownerData)
        return false;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = wideField(text);
    return SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

CWString CVWnd_ListView::listCellText(std::int32_t row, std::int32_t column) const {
    const HWND list = hwnd();
    if (!list || !IsWindow(list))
        return CWString();
    std::vector<wchar_t> buffer(kFirstTextBuffer);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        buffer[0] = L'\0';
        const auto length = static_cast<std::size_t>(
            std::max<LRESULT>(0, SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(&item))));
        if (length + 1 < buffer.size() || buffer.size() >= kLargestTextBuffer) {
            const std::size_t kept = std::min(length, buffer.size() - 1);
            return textOf(buffer.data(), kept);
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

void CVWnd_ListView::listSetRedraw(bool on) const {
    const HWND list = hwnd();
    if (!list || !IsWindow(list))
        return;
    SendMessageW(list, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    // The list view does not repaint by itself when drawing comes back on.
    if (on)
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CVWnd_ListView::listSetRowCount(std::int32_t rows) const {
    const HWND list = hwnd();
    if (list && IsWindow(list))
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(std::max(rows, 0)),
                     LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void CVWnd_ListView::listRedrawRows(std::int32_t first, std::int32_t last) const {
    const HWND list = hwnd();
    if (!list || !IsWindow(list))
        return;
    // Only the rows in view (and the one cut off below them): the list view works out
    // a rectangle for every row it is asked to repaint, seen or not.
    const auto count = static_cast<std::int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const auto top = static_cast<std::int32_t>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const auto page = static_cast<std::int32_t>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    first = std::max({first, top, 0});
    last = std::min({last, count - 1, top + page});
    if (first <= last)
        SendMessageW(list, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

bool CVWnd_ListView::handlePrivate(UINT message, WPARAM wparam, LRESULT& result) {
    if (message != kMsgDeferredNotify)
        return CVWnd_Window::handlePrivate(message, wparam, result);
    const auto row = static_cast<std::int32_t>(static_cast<INT_PTR>(wparam));
    const auto state = static_cast<UINT>(SendMessageW(hwnd(), LVM_GETITEMSTATE, wparam, kStateImageMask));
    if (IListViewEventListener* l = listListener())
        l->onListCheckStateChanged(row, checkStateFromStateBits(state));
    if (exists() && list_.properties().ownerData)
        SendMessageW(hwnd(), LVM_UPDATE, wparam, 0);
    result = kFrameworkMagic;
    return true;
}

bool CVWnd_ListView::postIfOnCheckBox(POINT point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    SendMessageW(hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    // Only the state image itself: a full-row hit may report icon, label and state
    // image together.
    if (hit.iItem < 0 || (hit.flags & LVHT_ONITEM) != LVHT_ONITEMSTATEICON || !listListener())
        return false;
    // Posted: the event is to see the state after the list view has toggled it.
    PostMessageW(hwnd(), kMsgDeferredNotify, static_cast<WPARAM>(hit.iItem), kFrameworkMagic);
    return true;
}

void CVWnd_ListView::startEdit(POINT point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    SendMessageW(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const ListEditStart start = editStartFor(list_.properties(), hit.iItem, hit.iSubItem);
    if (start == ListEditStart::labelEdit) {
        SendMessageW(hwnd(), LVM_EDITLABELW, static_cast<WPARAM>(hit.iItem), 0);
        return;
    }
    if (start != ListEditStart::cellEdit || !editor_)
        return;
    if (editRow_ >= 0)
        finishCellEdit(true);
    if (IListViewEventListener* l = listListener(); l && l->onListBeginCellEdit(hit.iItem, hit.iSubItem) != 0)
        return;
    if (!exists())
        return;
    RECT cell{};
    cell.top = hit.iSubItem;
    cell.left = LVIR_LABEL;
    if (!SendMessageW(hwnd(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(hit.iItem),
                      reinterpret_cast<LPARAM>(&cell)))
        return;
    const HWND editor = editor_->hwnd();
    editRow_ = hit.iItem;
    editColumn_ = hit.iSubItem;
    SetWindowTextW(editor, wide(listCellText(hit.iItem, hit.iSubItem)));
    SendMessageW(editor, WM_SETFONT, static_cast<WPARAM>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)), FALSE);
    MoveWindow(editor, cell.left + 5, cell.top, std::max<LONG>(0, cell.right - cell.left - 5),
               cell.bottom - cell.top, FALSE);
    POINT inEditor = point;
    MapWindowPoints(hwnd(), editor, &inEditor, 1);
    const LRESULT at = SendMessageW(editor, EM_CHARFROMPOS, 0, MAKELPARAM(inEditor.x, inEditor.y));
    const WPARAM caret = LOWORD(at);
    SendMessageW(editor, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    ShowWindow(editor, SW_SHOW);
    SetFocus(editor);
}

void CVWnd_ListView::finishCellEdit(bool commit) {
    if (editRow_ < 0 || !editor_)
        return;
    // Cleared first: hiding the editor and moving the focus come back here.
    const std::int32_t row = editRow_;
    const std::int32_t column = editColumn_;
    editRow_ = editColumn_ = -1;
    const HWND editor = editor_->hwnd();
    if (commit) {
        const CWString text = editor_->text();
        IListViewEventListener* l = listListener();
        const bool accepted = !l || l->onListEndCellEdit(row, column, text) == 0;
        if (accepted && exists() && !list_.properties().ownerData)
            listSetCellText(row, column, text);
    }
    if (!IsWindow(editor))
        return;
    // Only an editor that still has the focus hands it back; when the user clicked
    // elsewhere the focus stays where it went.
    const bool hadFocus = GetFocus() == editor;
    ShowWindow(editor, SW_HIDE);
    if (hadFocus && exists())
        SetFocus(hwnd());
}

void CVWnd_ListView::onCustomDraw(NMLVCUSTOMDRAW& draw, LRESULT& result) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_ITEMPREPAINT:
        // At item level this also asks for each sub-item.
        result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT: {
        std::uint32_t text = draw.clrText;
        std::uint32_t back = draw.clrTextBk;
        if (IListViewEventListener* l = listListener())
            l->onListDrawParameters(static_cast<std::int32_t>(draw.nmcd.dwItemSpec), draw.iSubItem, text,
                                    back);
        draw.clrText = text;
        draw.clrTextBk = back;
        result = CDRF_DODEFAULT;
        return;
    }
    default:
        result = CDRF_DODEFAULT;
        return;
    }
}

void CVWnd_ListView::onItemFill(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    const bool checkBoxes = list_.properties().checkBoxes;
    if (checkBoxes) {
        item.state = INDEXTOSTATEIMAGEMASK(1);
        item.stateMask = kStateImageMask;
    }
    IListViewEventListener* l = listListener();
    if (!l)
        return;
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong fill;
    fill.row = item.iItem;
    fill.column = item.iSubItem;
    // A virtual row has no text of its own: the buffer holds nothing yet.
    if ((item.mask & LVIF_TEXT) && item.pszText && item.pszText != LPSTR_TEXTCALLBACKW &&
        item.cchTextMax > 0 && !list_.properties().ownerData)
        fill.text = textOf(item.pszText, wcsnlen(item.pszText, static_cast<std::size_t>(item.cchTextMax)));
    fill.itemData = item.lParam;
    fill.imageIndex = item.iImage;
    fill.checkState = checkStateFromStateBits(item.state);
    const CWString& kept = l->onListItemFill(fill);
    if (item.mask & LVIF_TEXT)
        item.pszText = wideField(kept);
    item.lParam = static_cast<LPARAM>(fill.itemData);
    item.iImage = fill.imageIndex;
    if (checkBoxes)
        item.state = (item.state & ~kStateImageMask) | stateBitsFromCheckState(fill.checkState);
}

LRESULT CVWnd_ListView::findOwnerDataRow(const NMLVFINDITEMW& find) {
    const LVFINDINFOW& wanted = find.lvfi;
    IListViewEventListener* l = listListener();
    if (!l || !(wanted.flags & (LVFI_STRING | LVFI_PARTIAL)) || !wanted.psz || !*wanted.psz)
        return -1;
    const auto count = static_cast<int>(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
    const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
    const int length = static_cast<int>(wcslen(wanted.psz));
    const bool partial = (wanted.flags & LVFI_PARTIAL) != 0;
    const int rows = (wanted.flags & LVFI_WRAP) ? count : count - start;
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % count;
        rg_ChaoJiLieBiaoKuangBiaoXiangTianChong fill;
        fill.row = row;
        fill.column = 0;
        const CWString& text = l->onListItemFill(fill);
        const auto textLength = static_cast<int>(text.length());
        const bool fits = partial ? textLength >= length : textLength == length;
        if (fits && CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wide(text), length, wanted.psz,
                                   length) == CSTR_EQUAL)
            return row;
        if (!exists())
            return -1;
    }
    return -1;
}

void CVWnd_ListView::onInfoTip(NMLVGETINFOTIPW& tip) {
    const CWString* text = toolTipForRow(toolTips_, tip.iItem);
    if (!text || !tip.pszText || tip.cchTextMax <= 0)
        return;
    const std::size_t room = static_cast<std::size_t>(tip.cchTextMax) - 1;
    const std::size_t length = std::min(text->length(), room);
    std::copy_n(wide(*text), length, tip.pszText);
    tip.pszText[length] = L'\0';
}

bool CVWnd_ListView::onNotify(NMHDR& header, LRESULT& result) {
    IListViewEventListener* l = listListener();
    result = 0;
    switch (header.code) {
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        // A virtual list also reports changes of all rows at once (row -1); the
        // focus is always on one row.
        if (change.iItem >= 0 && (change.uNewState & LVIS_FOCUSED) && !(change.uOldState & LVIS_FOCUSED) && l)
            l->onListFocusedItemChanged(change.iItem);
        return true;
    }
    case LVN_ITEMACTIVATE:
        if (l)
            l->onListItemActivated(reinterpret_cast<NMITEMACTIVATE&>(header).iItem);
        return true;
    case LVN_COLUMNCLICK:
        if (l)
            l->onListColumnClicked(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        return true;
    case LVN_HOTTRACK:
        if (l)
            l->onListHotItemChanged(reinterpret_cast<NMLISTVIEW&>(header).iItem);
        return true;
    case NM_CLICK:
    case NM_RCLICK:
    case NM_DBLCLK: {
        const auto& activate = reinterpret_cast<NMITEMACTIVATE&>(header);
        LVHITTESTINFO hit{};
        hit.pt = activate.ptAction;
        SendMessageW(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        CQueltListClick click;
        click.row = hit.iItem;
        click.column = hit.iItem >= 0 ? hit.iSubItem : -1;
        click.x = activate.ptAction.x;
        click.y = activate.ptAction.y;
        if (l) {
            if (header.code == NM_CLICK)
                l->onListClicked(click);
            else if (header.code == NM_RCLICK)
                l->onListRightClicked(click);
            else
                l->onListDoubleClicked(click);
        }
        if (!exists())
            return true;
        const bool onCheckBox = postIfOnCheckBox(activate.ptAction);
        if (header.code == NM_DBLCLK && !onCheckBox)
            startEdit(activate.ptAction);
        return true;
    }
    case NM_CUSTOMDRAW:
        onCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header), result);
        return true;
    case LVN_GETDISPINFOW:
        onItemFill(reinterpret_cast<NMLVDISPINFOW&>(header));
        return true;
    case LVN_ODFINDITEMW:
        // Unanswered, the list view would take the search to have found row 0.
        result =
            list_.properties().ownerData ? findOwnerDataRow(reinterpret_cast<NMLVFINDITEMW&>(header)) : -1;
        return true;
    case LVN_GETINFOTIPW:
        onInfoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
        return true;
    case LVN_BEGINLABELEDITW: {
        const int row = reinterpret_cast<NMLVDISPINFOW&>(header).item.iItem;
        result = (row >= 0 && l) ? (l->onListBeginLabelEdit(row) != 0 ? TRUE : FALSE) : FALSE;
        return true;
    }
    case LVN_ENDLABELEDITW: {
        const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        // A cancelled edit reports the text the cell still has.
        const CWString text = item.pszText ? textOf(item.pszText) : listCellText(item.iItem, 0);
        result = (!l || l->onListEndLabelEdit(item.iItem, text) == 0) ? TRUE : FALSE;
        return true;
    }
    default:
        // Focus notifications need nothing here: the list view's own WM_SETFOCUS and
        // WM_KILLFOCUS have already reached the listener.
        return false;
    }
}

bool CVWnd_ListView::handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case kReflectOffset + WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        if (!header || header->hwndFrom != hwnd())
            return false;
        return onNotify(*header, result);
    }
    case WM_CHAR:
        if (wparam != L' ')
            return false;
        result = defaultProcessing(message, wparam, lparam);
        if (exists() && list_.properties().checkBoxes && listListener()) {
            const auto focused = static_cast<int>(
                SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (focused >= 0)
                PostMessageW(hwnd(), kMsgDeferredNotify, static_cast<WPARAM>(focused), kFrameworkMagic);
        }
        return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_SIZE:
    case WM_MOUSEWHEEL:
        // The editor sits over one cell; once the cells move it would be over another.
        finishCellEdit(false);
        return false;
    case WM_DESTROY:
        // The editor loses the focus while it is destroyed; that is no commit.
        editRow_ = editColumn_ = -1;
        // While the list view is still whole: it lets go of them before they go.
        releaseImageLists();
        return false;
    default:
        return false;
    }
}
