#pragma once
// rg_JSONShuZuLei: a JSON value held as an array, the target of GetArray. It adds
// nothing to rg_JSONJiChuLei but its own class identity.
#include "runtime/data/rg_JSONJiChuLei.h"

namespace rg_QueltShiChuang_JSONCaoZuo {

class rg_JSONShuZuLei : public rg_JSONJiChuLei {
    QUELT_CLASS(rg_JSONShuZuLei)

public:
    rg_JSONShuZuLei() = default;
};

} // namespace rg_QueltShiChuang_JSONCaoZuo
