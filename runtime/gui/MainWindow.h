#pragma once
// The window registered as the application's main window: set once by the start
// operation, read by the window layer (its destruction ends the main loop) and by
// the shell (no main window, no loop). Main thread only; 0 when none.
#include <cstdint>

namespace quelt_gui {

std::uintptr_t mainWindowHandle();
void setMainWindowHandle(std::uintptr_t window);

} // namespace quelt_gui
