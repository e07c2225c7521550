#pragma once
// Whether a download job's link stays inside its module folder. The server names
// the path and the file; neither may climb out of the folder ("..", an absolute
// path, a drive letter or ':'), hide a zero, or name no file at all. On Windows
// also names the system would silently change (trailing dots or spaces) or take
// as devices (CON, NUL, COM1, ...).
#include "updater/rg_LianJieYuSuoYinLei.h"

#include <string_view>

namespace rg_quelt_app {

// One folder or file name.
bool isSafeName(std::u16string_view name);
// The link's remote folder, the last part of its local file, and its file name.
bool isSafeLink(const rg_LianJieYuSuoYinLei& link);

} // namespace rg_quelt_app
