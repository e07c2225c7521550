#pragma once
// rg_startup_class: this application's start-up class, the program object of the
// process. Its start operation creates the main window.
#include "runtime/core/UserApp.h"

namespace rg_quelt_app {

class rg_startup_class : public rg_quelt_base::rg_ChuangKouChengXuLei {
    QUELT_CLASS(rg_startup_class)

public:
    rg_startup_class() = default;

    bool start() override;
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;
};

} // namespace rg_quelt_app
