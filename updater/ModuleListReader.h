#pragma once
// Reads the module list service's answer: a JSON object with "code" 200 and
// "data", an array with one element per module file ("name", "path", "size",
// "updateTime"). Any failure gives an empty list: an answer that is not JSON, a
// "code" other than 200, a root that is not an object, a "code" or "size" beyond
// 32 bits. Never throws.
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"

namespace rg_quelt_app {

// Why a list came back as it did; the user-interface shows only the list.
enum class ListStatus {
    Ok,             // "code" 200 and "data" read (it may hold no elements)
    NotUnderstood,  // not JSON, no object, "code" not 200, numbers beyond 32 bits
    TransferFailed, // nothing arrived (set by the engine, not by the reader)
};

// The records (rg_MoKuaiXinXiLei) of the answer text, in the order of "data".
CQueltObjectArray readModuleList(const CWString& answer, ListStatus* status = nullptr);

} // namespace rg_quelt_app
