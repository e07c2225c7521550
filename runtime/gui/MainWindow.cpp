#include "runtime/gui/MainWindow.h"

namespace quelt_gui {

namespace {
std::uintptr_t registeredMainWindow = 0;
}

std::uintptr_t mainWindowHandle() { return registeredMainWindow; }
void setMainWindowHandle(std::uintptr_t window) { registeredMainWindow = window; }

} // namespace quelt_gui
