#pragma once
// Reads the module list service's answer: a JSON object with "code" 200 and
// "data", an array with one element per module file ("name", "path", "size",
// "updateTime"). Any failure gives an empty list: an answer that is not JSON, a
// "code" other than 200, a root that is not an object, a "code" or "size" beyond
// 32 bits. Never throws.
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"

namespace rg_quelt_app {

// The records (rg_MoKuaiXinXiLei) of the answer text, in the order of "data".
CQueltObjectArray readModuleList(const CWString& answer);

} // namespace rg_quelt_app
