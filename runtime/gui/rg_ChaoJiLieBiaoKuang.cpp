#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"

#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/ListViewRows.h"

using namespace quelt_gui;

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

QUELT_DEFINE_CLASS(rg_ChaoJiLieBiaoKuang, rg_quelt_WTLJieMian_base::CQueltWinControl,
                   "rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang")

rg_ChaoJiLieBiaoKuang::rg_ChaoJiLieBiaoKuang() { windowObject().setStyle(kDefaultControlStyle | kWsTabStop); }

const IListViewRows* rg_ChaoJiLieBiaoKuang::rows() const {
    if (!record())
        return nullptr;
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (!impl || impl->window() == 0)
        return nullptr;
    return dynamic_cast<const IListViewRows*>(impl);
}

std::int32_t rg_ChaoJiLieBiaoKuang::rowCount() const {
    const IListViewRows* r = rows();
    return r ? r->listRowCount() : 0;
}

void rg_ChaoJiLieBiaoKuang::clearRows() {
    if (const IListViewRows* r = rows())
        r->listClearRows();
}

std::int32_t rg_ChaoJiLieBiaoKuang::appendRow(const CWString& text) {
    const IListViewRows* r = rows();
    return r ? r->listAppendRow(text) : -1;
}

bool rg_ChaoJiLieBiaoKuang::setCellText(std::int32_t row, std::int32_t column, const CWString& text) {
    const IListViewRows* r = rows();
    return r && r->listSetCellText(row, column, text);
}

CWString rg_ChaoJiLieBiaoKuang::getCellText(std::int32_t row, std::int32_t column) const {
    const IListViewRows* r = rows();
    return r ? r->listCellText(row, column) : CWString();
}

void rg_ChaoJiLieBiaoKuang::setRedraw(bool on) {
    if (const IListViewRows* r = rows())
        r->listSetRedraw(on);
}

void rg_ChaoJiLieBiaoKuang::setRowCount(std::int32_t rows) {
    if (const IListViewRows* r = this->rows())
        r->listSetRowCount(rows);
}

void rg_ChaoJiLieBiaoKuang::redrawRows(std::int32_t first, std::int32_t last) {
    if (const IListViewRows* r = rows())
        r->listRedrawRows(first, last);
}

void rg_ChaoJiLieBiaoKuang::styleFromProperties(std::uint32_t& style, std::uint32_t&) {
    style |= listViewStyles(properties_).style;
}

std::int32_t rg_ChaoJiLieBiaoKuang::onListEndLabelEdit(std::int32_t row, const CWString& text) {
    CWString copy(text);
    return endLabelEdit.fire(this, row, &copy);
}

std::int32_t rg_ChaoJiLieBiaoKuang::onListEndCellEdit(std::int32_t row, std::int32_t column,
                                                      const CWString& text) {
    CWString copy(text);
    return endCellEdit.fire(this, row, column, &copy);
}

void rg_ChaoJiLieBiaoKuang::onListDrawParameters(std::int32_t row, std::int32_t column,
                                                 std::uint32_t& textColour, std::uint32_t& backgroundColour) {
    rg_ChaoJiLieBiaoKuangHuiZhiCanShu parameters;
    parameters.row = row;
    parameters.column = column;
    parameters.textColour = textColour;
    parameters.backgroundColour = backgroundColour;
    drawParameters.fire(this, &parameters);
    textColour = parameters.textColour;
    backgroundColour = parameters.backgroundColour;
}

const CWString& rg_ChaoJiLieBiaoKuang::onListItemFill(rg_ChaoJiLieBiaoKuangBiaoXiangTianChong& item) {
    itemFill.fire(this, &item);
    fillText_ = item.text;
    return fillText_;
}

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
