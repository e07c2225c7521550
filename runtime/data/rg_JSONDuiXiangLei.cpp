#include "runtime/data/rg_JSONDuiXiangLei.h"

namespace rg_QueltShiChuang_JSONCaoZuo {

QUELT_DEFINE_CLASS(rg_JSONDuiXiangLei, rg_JSONJiChuLei, "rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei")

} // namespace rg_QueltShiChuang_JSONCaoZuo
