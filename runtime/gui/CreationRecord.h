#pragma once
// The creation record of a control: filled by the form's layout code, completed by
// the control. Coordinates are pixels relative to the parent's client area; for a
// form, kDefaultCoordinate asks for the designed size or a centred position.
// Nothing here is owned: the caption and the parent must outlive the creation.
#include "runtime/gui/GuiConstants.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {
class CQueltWinControl;
}
class CWString;

struct CQueltCreationRecord {
    std::uintptr_t parentWindow = 0;
    rg_quelt_WTLJieMian_base::CQueltWinControl* parentControl = nullptr;
    std::int32_t x = quelt_gui::kDefaultCoordinate;
    std::int32_t y = quelt_gui::kDefaultCoordinate;
    std::int32_t width = quelt_gui::kDefaultCoordinate;
    std::int32_t height = quelt_gui::kDefaultCoordinate;
    std::int32_t identifier = 0;
    std::int32_t pageIndex = -1;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    // Completed by the control from its window object; callers leave it null.
    const CWString* caption = nullptr;
    // Forms only.
    std::uintptr_t menu = 0;
    bool showModal = false;
    // A modal form shown as a dialog: popup with caption and system menu only, and
    // the modal frame; its size still follows from its ordinary style.
    bool dialogFrame = false;
    std::int32_t modalResult = 0;
    std::uintptr_t font = 0;
};
