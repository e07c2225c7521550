#pragma once
// rg_KuoZhanDuiXiangLei: the base of the runtime's extension objects; a plain
// runtime object that marks its descendants as library-provided value classes.
#include "runtime/core/QueltObject.h"

namespace rg_quelt_base {

class rg_KuoZhanDuiXiangLei : public CQueltObject {
    QUELT_CLASS(rg_KuoZhanDuiXiangLei)

public:
    rg_KuoZhanDuiXiangLei() = default;
};

} // namespace rg_quelt_base
