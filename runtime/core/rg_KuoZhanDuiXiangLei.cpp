#include "runtime/core/rg_KuoZhanDuiXiangLei.h"

namespace rg_quelt_base {

QUELT_DEFINE_CLASS(rg_KuoZhanDuiXiangLei, CQueltObject, "rg_quelt_base::rg_KuoZhanDuiXiangLei")

} // namespace rg_quelt_base
