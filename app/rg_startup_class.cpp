#include "app/rg_startup_class.h"

#include "runtime/gui/MainWindow.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_startup_class, rg_quelt_base::rg_ChuangKouChengXuLei, "rg_quelt_app::rg_startup_class")

// The main window takes its designed size and is centred on the screen. A failed
// creation still counts as a successful start: the entry function then finds no
// main window, skips the loop and the process ends with 0.
bool rg_startup_class::start() {
    CQueltCreationRecord record;
    if (mainWindow_.create(record))
        quelt_gui::setMainWindowHandle(mainWindow_.window());
    return true;
}

// The stream pair belongs to the main window object.
bool rg_startup_class::save(CQueltObjectStream& stream) const { return mainWindow_.save(stream); }

bool rg_startup_class::load(CQueltObjectStream& stream) { return mainWindow_.load(stream); }

} // namespace rg_quelt_app
