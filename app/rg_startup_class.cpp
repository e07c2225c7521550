#include "app/rg_startup_class.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_startup_class, rg_quelt_base::rg_ChuangKouChengXuLei, "rg_quelt_app::rg_startup_class")

// A failed or absent main window still counts as a successful start: the entry
// function then finds no main window, skips the loop and the process ends with 0.
// The main window object and its creation come with the window framework.
bool rg_startup_class::start() { return true; }

// The stream pair belongs to the main window object, which the program embeds.
bool rg_startup_class::save(CQueltObjectStream& stream) const { return CQueltUserApp::save(stream); }

bool rg_startup_class::load(CQueltObjectStream& stream) { return CQueltUserApp::load(stream); }

} // namespace rg_quelt_app
