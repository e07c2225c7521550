#pragma once
// rg_startup_class: this application's start-up class, the program object of the
// process. It embeds the main window object; its start operation creates the main
// window and registers it as the application's main window.
#include "runtime/core/UserApp.h"
#include "windows/rg_my_main_window.h"

namespace rg_quelt_app {

class rg_startup_class : public rg_quelt_base::rg_ChuangKouChengXuLei {
    QUELT_CLASS(rg_startup_class)

public:
    rg_startup_class() = default;

    bool start() override;
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

    rg_my_main_window& mainWindow() { return mainWindow_; }

private:
    rg_my_main_window mainWindow_;
};

} // namespace rg_quelt_app
