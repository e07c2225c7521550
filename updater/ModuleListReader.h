#pragma once
// Reads the module list service's answer: a JSON object with "code" 200 and
// "data", an array with one element per module file ("name", "path", "size",
// "updateTime"). An answer that is not a list gives no entries: not JSON, a
// "code" other than 200, a root that is not an object, a "code" or "size" beyond
// 32 bits. An answer that breaks off gives the entries read before the break.
// Never throws.
//
// The answer is parsed once, from its UTF-8 bytes; the texts of the entries are
// decoded from them directly (an invalid sequence reads as U+FFFD).
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"
#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "updater/ModuleListSink.h"
#include "updater/ReasonCatalogue.h"

#include <cstddef>

namespace rg_quelt_app {

// Why a list came back as it did.
enum class ListStatus {
    Ok,             // "code" 200 and "data" read (it may hold no elements)
    Incomplete,     // the answer broke off: the records are those read before the break
    NotUnderstood,  // not JSON, no object, "code" not 200, numbers beyond 32 bits
    TransferFailed, // no answer, the request failed or passed a limit (set by the engine)
};

struct ListReading {
    ListStatus status = ListStatus::NotUnderstood;
    Reason reason; // for any status but Ok
};

// One answer, parsed at construction. The bytes count up to the first zero byte;
// the caller may release them once the reader is constructed.
class ModuleListReader {
public:
    ModuleListReader(const void* bytes, std::size_t length);
    ModuleListReader(const ModuleListReader&) = delete;
    ModuleListReader& operator=(const ModuleListReader&) = delete;

    // Hands every entry to `sink` and says how the answer read.
    ListReading read(ModuleListSink& sink);

private:
    rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei document_;
    bool whole_ = false;
};

// The entries as records (rg_MoKuaiXinXiLei), in order.
class ModuleRecordSink final : public ModuleListSink {
public:
    void restart() override { records_.removeAll(); }
    void entry(const ModuleEntry& entry) override;
    // The records so far; the sink holds none afterwards.
    CQueltObjectArray take();

private:
    CQueltObjectArray records_;
};

// The records (rg_MoKuaiXinXiLei) of an answer, in the order of "data".
CQueltObjectArray readModuleList(const void* bytes, std::size_t length, ListReading* reading = nullptr);

} // namespace rg_quelt_app
