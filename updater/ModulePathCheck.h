#pragma once
// Whether a download job's link stays inside its module folder. The server names
// the path and the file; neither may climb out of the folder ("..", an absolute
// path, a drive letter or ':'), hide a zero, or name no file at all.
//
// Windows paths (PathRules::windows()) also follow the Windows naming rules: no
// name that the system would silently change (trailing dots or spaces), no
// reserved character, and no name that the system opens as a device instead of a
// file (CON, NUL, COM1, LPT¹, ...). The plain overloads use the running platform's
// rules; the others are how the Windows rules are checked on any machine.
#include "runtime/core/Paths.h"
#include "updater/rg_LianJieYuSuoYinLei.h"

#include <string_view>

namespace rg_quelt_app {

// One folder or file name.
bool isSafeName(std::u16string_view name, PathRules rules = PathRules::native());
// The link's remote folder, the last part of its local file, and its file name.
bool isSafeLink(const rg_LianJieYuSuoYinLei& link, PathRules rules = PathRules::native());

// Windows opens a file of this name as a device, in any folder and with any
// extension: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9 (also
// with a superscript ¹, ² or ³ for the digit), in any case, also with blanks
// between the name and its extension ("CON .txt").
bool isWindowsDeviceName(std::u16string_view name);

} // namespace rg_quelt_app
