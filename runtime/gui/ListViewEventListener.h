#pragma once
// IListViewEventListener: how the list view window implementation reports to its
// super list box. The first operation is the generic window message entry; the
// others are the list's own notifications in their fixed order. Calls come on the
// thread that owns the window.
#include "runtime/gui/EventListeners.h"

#include <cstdint>

class CWString;
namespace rg_quelt_WTLJieMian_KuoZhanZuJian {
class rg_ChaoJiLieBiaoKuangBiaoXiangTianChong;
}

// Where a click landed: row and column (-1 when outside every row), and the point
// in client coordinates.
struct CQueltListClick {
    std::int32_t row = -1;
    std::int32_t column = -1;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class IListViewEventListener : public IBaseEventListener {
public:
    virtual void onListFocusedItemChanged(std::int32_t row) = 0;
    virtual void onListItemActivated(std::int32_t row) = 0;
    virtual void onListColumnClicked(std::int32_t column) = 0;
    virtual void onListHotItemChanged(std::int32_t row) = 0;
    virtual void onListClicked(const CQueltListClick& click) = 0;
    virtual void onListRightClicked(const CQueltListClick& click) = 0;
    virtual void onListDoubleClicked(const CQueltListClick& click) = 0;
    // Non-zero prevents the edit.
    virtual std::int32_t onListBeginLabelEdit(std::int32_t row) = 0;
    // Non-zero rejects the new text.
    virtual std::int32_t onListEndLabelEdit(std::int32_t row, const CWString& text) = 0;
    virtual void onListCheckStateChanged(std::int32_t row, std::int32_t state) = 0;
    // The colours are in/out: the handler may replace either.
    virtual void onListDrawParameters(std::int32_t row, std::int32_t column, std::uint32_t& textColour,
                                      std::uint32_t& backgroundColour) = 0;
    // Completes `item`; the returned text stays valid until the next item fill.
    virtual const CWString&
    onListItemFill(rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong& item) = 0;
    // Non-zero cancels the cell edit.
    virtual std::int32_t onListBeginCellEdit(std::int32_t row, std::int32_t column) = 0;
    // Non-zero rejects the text: the cell keeps what it showed.
    virtual std::int32_t onListEndCellEdit(std::int32_t row, std::int32_t column, const CWString& text) = 0;

protected:
    ~IListViewEventListener() = default;
};
