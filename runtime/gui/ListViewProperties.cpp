#include "runtime/gui/ListViewProperties.h"

#include <algorithm>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

namespace {

constexpr std::uint32_t kStateImageMask = 0xF000;
constexpr std::uint32_t kStateImageShift = 12;

std::uint32_t viewStyle(std::int32_t view) {
    switch (view) {
    case kViewSmallIcons:
        return kLvsSmallIcon;
    case kViewList:
        return kLvsList;
    case kViewReport:
        return kLvsReport;
    default:
        return kLvsIcon;
    }
}

} // namespace

ListViewStyles listViewStyles(const ListViewProperties& p) {
    ListViewStyles s;
    s.style = viewStyle(p.view);
    s.listExStyle = kLvsExSubItemImages | kLvsExInfoTip;
    if (p.isIconView()) {
        if (p.iconAlignment == 1)
            s.style |= kLvsAlignLeft;
        if (p.autoArrange)
            s.style |= kLvsAutoArrange;
        if (!p.wrapLabels)
            s.style |= kLvsNoLabelWrap;
    }
    if (p.isReport()) {
        if (p.hideColumnHeader)
            s.style |= kLvsNoColumnHeader;
        else {
            if (!p.clickableHeader)
                s.style |= kLvsNoSortHeader;
            if (p.headerDragDrop)
                s.listExStyle |= kLvsExHeaderDragDrop;
        }
        if (p.fullRowSelect)
            s.listExStyle |= kLvsExFullRowSelect;
        if (p.gridLines)
            s.listExStyle |= kLvsExGridLines;
    }
    if (p.hotTracking) {
        s.listExStyle |= kLvsExTrackSelect | kLvsExOneClickActivate;
        if (p.underlineCold)
            s.listExStyle |= kLvsExUnderlineCold;
        if (p.underlineHot)
            s.listExStyle |= kLvsExUnderlineHot;
    }
    if (p.editable)
        s.style |= kLvsEditLabels;
    // A virtual list keeps no item texts to sort by: the system refuses the sort
    // styles there, and its keyboard search would assume an order the owner never
    // promised.
    if (p.sortOrder == 1 && !p.ownerData)
        s.style |= kLvsSortAscending;
    else if (p.sortOrder == 2 && !p.ownerData)
        s.style |= kLvsSortDescending;
    if (p.checkBoxes)
        s.listExStyle |= kLvsExCheckBoxes;
    if (p.flatScrollBars)
        s.listExStyle |= kLvsExFlatSb;
    if (p.singleSelection)
        s.style |= kLvsSingleSel;
    if (p.showSelectionAlways)
        s.style |= kLvsShowSelAlways;
    if (p.ownerData)
        s.style |= kLvsOwnerData;
    return s;
}

ListEditStart editStartFor(const ListViewProperties& p, std::int32_t row, std::int32_t column) {
    if (row < 0 || !p.editable || !p.isReport())
        return ListEditStart::none;
    if (column == 0)
        return ListEditStart::labelEdit;
    if (column > 0 && p.editCells)
        return ListEditStart::cellEdit;
    return ListEditStart::none;
}

std::int32_t checkStateFromStateBits(std::uint32_t state) {
    return static_cast<std::int32_t>((state & kStateImageMask) >> kStateImageShift) - 1;
}

std::uint32_t stateBitsFromCheckState(std::int32_t checkState) {
    // Only the four state-image bits exist; larger values would spill into others.
    const std::int64_t image = std::clamp<std::int64_t>(std::int64_t{checkState} + 1, 0, 15);
    return static_cast<std::uint32_t>(image) << kStateImageShift;
}

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
