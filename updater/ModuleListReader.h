#pragma once
// Reads the module list service's answer: a JSON object with "code" 200 and
// "data", an array with one element per module file ("name", "path", "size",
// "updateTime"). An answer that is not a list gives an empty list: not JSON, a
// "code" other than 200, a root that is not an object, a "code" or "size" beyond
// 32 bits. An answer that breaks off gives the records read before the break.
// Never throws.
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"

namespace rg_quelt_app {

// Why a list came back as it did.
enum class ListStatus {
    Ok,             // "code" 200 and "data" read (it may hold no elements)
    Incomplete,     // the answer broke off: the records are those read before the break
    NotUnderstood,  // not JSON, no object, "code" not 200, numbers beyond 32 bits
    TransferFailed, // no answer, or the request failed (set by the engine, not by the reader)
};

struct ListReading {
    ListStatus status = ListStatus::NotUnderstood;
    CWString reason; // in words, for any status but Ok
};

// The records (rg_MoKuaiXinXiLei) of the answer text, in the order of "data".
CQueltObjectArray readModuleList(const CWString& answer, ListReading* reading = nullptr);

} // namespace rg_quelt_app
