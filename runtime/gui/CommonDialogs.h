#pragma once
// The runtime's dialog services for forms: a message box owned by a form, a
// folder chooser and a file chooser. Both run a nested modal loop on the calling (user-interface)
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

// The chosen existing file's path; empty when the user cancels. `filter` is the
// choices of the file-type list, a description and its patterns each ended by
// '|': u"PEM 证书 (*.pem;*.crt)|*.pem;*.crt|所有文件 (*.*)|*.*|". The dialog starts at
// `initial` (a file or folder; may be empty). The current folder stays as it was.
CWString chooseFileToOpen(CQueltWinForm* form, const CWString& title, const CWString& filter,
                          const CWString& initial);

} // namespace rg_quelt_WTLJieMian_base
