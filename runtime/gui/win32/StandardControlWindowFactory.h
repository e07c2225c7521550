#pragma once
// Makes the window implementation of a standard control (button, check box, group
// box, label, edit box, tab selector) for the layer's factory.
#include "runtime/gui/WindowImpl.h"

namespace rg_quelt_WTLJieMian_base {
class CQueltWinControl;
}

// Null when the control is none of the standard ones.
CQueltWindowImpl* makeStandardControlWindow(rg_quelt_WTLJieMian_base::CQueltWinControl& control);
