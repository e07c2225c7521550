#include "runtime/gui/win32/StandardControlWindowFactory.h"

#include "runtime/gui/rg_XuanZeGa.h"
#include "runtime/gui/rg_edit_box.h"
#include "runtime/gui/rg_label1.h"
#include "runtime/gui/win32/VWnd_Button.h"
#include "runtime/gui/win32/VWnd_Edit.h"
#include "runtime/gui/win32/VWnd_Label.h"
#include "runtime/gui/win32/VWnd_Tab.h"

using namespace rg_quelt_WTLJieMian_base;

CQueltWindowImpl* makeStandardControlWindow(CQueltWinControl& control) {
    switch (control.windowKind()) {
    case WindowKind::button:
        return new CVWnd_Button(control);
    case WindowKind::label:
        if (auto* label = dynamic_cast<rg_label1*>(&control))
            return new CVWnd_Label(*label);
        return nullptr;
    case WindowKind::edit:
        if (auto* edit = dynamic_cast<rg_edit_box*>(&control))
            return new CVWnd_Edit(*edit);
        return nullptr;
    case WindowKind::tab:
        if (auto* tab = dynamic_cast<rg_XuanZeGa*>(&control))
            return new CVWnd_Tab(*tab);
        return nullptr;
    default:
        return nullptr;
    }
}
