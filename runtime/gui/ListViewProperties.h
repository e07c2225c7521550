#pragma once
// The properties of a super list box, set before its window exists and applied
// once when it is created, and the window and list-view styles they amount to.
// Image lists are native handles; the window takes them over at creation and
// destroys them with itself.
#include "runtime/core/WString.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

// Window styles of the native list view.
inline constexpr std::uint32_t kLvsIcon = 0x0000;
inline constexpr std::uint32_t kLvsReport = 0x0001;
inline constexpr std::uint32_t kLvsSmallIcon = 0x0002;
inline constexpr std::uint32_t kLvsList = 0x0003;
inline constexpr std::uint32_t kLvsSingleSel = 0x0004;
inline constexpr std::uint32_t kLvsShowSelAlways = 0x0008;
inline constexpr std::uint32_t kLvsSortAscending = 0x0010;
inline constexpr std::uint32_t kLvsSortDescending = 0x0020;
inline constexpr std::uint32_t kLvsNoLabelWrap = 0x0080;
inline constexpr std::uint32_t kLvsAutoArrange = 0x0100;
inline constexpr std::uint32_t kLvsEditLabels = 0x0200;
inline constexpr std::uint32_t kLvsAlignLeft = 0x0800;
inline constexpr std::uint32_t kLvsOwnerData = 0x1000;
inline constexpr std::uint32_t kLvsNoColumnHeader = 0x4000;
inline constexpr std::uint32_t kLvsNoSortHeader = 0x8000;

// Extended list-view styles (LVM_SETEXTENDEDLISTVIEWSTYLE, not the window's).
inline constexpr std::uint32_t kLvsExGridLines = 0x0001;
inline constexpr std::uint32_t kLvsExSubItemImages = 0x0002;
inline constexpr std::uint32_t kLvsExCheckBoxes = 0x0004;
inline constexpr std::uint32_t kLvsExTrackSelect = 0x0008;
inline constexpr std::uint32_t kLvsExHeaderDragDrop = 0x0010;
inline constexpr std::uint32_t kLvsExFullRowSelect = 0x0020;
inline constexpr std::uint32_t kLvsExOneClickActivate = 0x0040;
inline constexpr std::uint32_t kLvsExFlatSb = 0x0100;
inline constexpr std::uint32_t kLvsExInfoTip = 0x0400;
inline constexpr std::uint32_t kLvsExUnderlineHot = 0x0800;
inline constexpr std::uint32_t kLvsExUnderlineCold = 0x1000;

// A colour value that stands for the system's button face colour.
inline constexpr std::uint32_t kSystemFaceColour = 0xFF000000u;

enum ListView : std::int32_t { kViewLargeIcons = 0, kViewSmallIcons = 1, kViewList = 2, kViewReport = 3 };

struct ListViewProperties {
    std::uint32_t textColour = 0;
    std::uint32_t textBackgroundColour = 0xFFFFFF;
    std::uint32_t backgroundColour = 0xFFFFFF;
    std::int32_t view = kViewLargeIcons;
    std::int32_t iconAlignment = 0;
    bool autoArrange = true;
    bool wrapLabels = true;
    bool hideColumnHeader = false;
    bool clickableHeader = true;
    bool fullRowSelect = false;
    bool gridLines = false;
    bool headerDragDrop = false;
    bool hotTracking = false;
    bool handCursor = true;
    bool underlineCold = true;
    bool underlineHot = true;
    bool editable = false;
    bool editCells = false;
    std::int32_t sortOrder = 0;
    bool checkBoxes = false;
    bool flatScrollBars = false;
    bool singleSelection = true;
    std::int32_t currentItem = -1;
    bool showSelectionAlways = false;
    bool ownerData = false;
    std::int32_t itemCount = 0;
    std::uintptr_t imageList = 0;
    std::uintptr_t stateImageList = 0;
    std::uintptr_t headerImageList = 0;
    CWString columnDefinition;
    CWString itemsDefinition;

    bool isReport() const { return view == kViewReport; }
    bool isIconView() const { return view == kViewLargeIcons || view == kViewSmallIcons; }
    // In-place editing of columns from 1 on: the window then has a cell editor.
    bool editsCells() const { return editable && editCells && isReport(); }
};

struct ListViewStyles {
    std::uint32_t style = 0;
    std::uint32_t listExStyle = 0;
};

// The window style bits and extended list-view styles the properties ask for.
// An owner-data list gets no sort style: its rows are in the owner's order.
ListViewStyles listViewStyles(const ListViewProperties& properties);

// What a double click on (row, column) starts, when it did not hit a check box.
enum class ListEditStart { none, labelEdit, cellEdit };
ListEditStart editStartFor(const ListViewProperties& properties, std::int32_t row, std::int32_t column);

// State image bits (mask 0xF000) to check state (-1 none, 0 unchecked, 1 checked)
// and back; a check state below -1 also means no image.
std::int32_t checkStateFromStateBits(std::uint32_t state);
std::uint32_t stateBitsFromCheckState(std::int32_t checkState);

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
