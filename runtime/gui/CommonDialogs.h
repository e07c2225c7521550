#pragma once
// The runtime's dialog services for forms: a message box owned by a form, and a
// folder chooser. Both run a nested modal loop on the calling (user-interface)
// thread and report failure only through their result. The window that had the
// focus gets it back afterwards if it still exists.
#include "runtime/core/WString.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class CQueltWinForm;

// The button pressed (IDOK = 1, IDCANCEL = 2, ...), 0 when no box could be shown.
// `type` is the window system's MB_... combination; a form without window (or
// null) gives a box without owner.
std::int32_t messageBox(CQueltWinForm* form, const CWString& text, const CWString& caption,
                        std::uint32_t type);

// The chosen folder's path; empty when the user cancels or the chosen item has no
// file-system path. COM must be initialised on the calling thread.
CWString browseForFolder(CQueltWinForm* form, const CWString& title);

} // namespace rg_quelt_WTLJieMian_base
