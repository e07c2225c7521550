#pragma once
// rg_JSONDuiXiangLei: a JSON value held as an object, the target of ElementAt. It
// adds nothing to rg_JSONJiChuLei but its own class identity.
#include "runtime/data/rg_JSONJiChuLei.h"

namespace rg_QueltShiChuang_JSONCaoZuo {

class rg_JSONDuiXiangLei : public rg_JSONJiChuLei {
    QUELT_CLASS(rg_JSONDuiXiangLei)

public:
    rg_JSONDuiXiangLei() = default;
};

} // namespace rg_QueltShiChuang_JSONCaoZuo
