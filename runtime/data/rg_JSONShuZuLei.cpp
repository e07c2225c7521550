#include "runtime/data/rg_JSONShuZuLei.h"

namespace rg_QueltShiChuang_JSONCaoZuo {

QUELT_DEFINE_CLASS(rg_JSONShuZuLei, rg_JSONJiChuLei, "rg_QueltShiChuang_JSONCaoZuo::rg_JSONShuZuLei")

} // namespace rg_QueltShiChuang_JSONCaoZuo
