#pragma once
// Reads the module list service's answer: a JSON object with "code" 200 and
// "data", an array with one element per module file ("name", "path", "size",
// "updateTime"). An answer that is not a list gives no entries: not JSON, a
// "code" other than 200, a root that is not an object, a "code" or "size" beyond
// 32 bits. An answer that breaks off gives the entries read before the break.
// A list of more entries, or of more row text, than its limits allow is refused
// whole (ListBounds). Never throws.
//
// The answer is never built as one tree: its root and the elements of "data" are
// delimited first, then each element is parsed by itself, from the UTF-8 bytes,
// and handed over; so memory follows the largest element, not the answer, and a
// reading can be abandoned between any two elements. The texts of the entries are
// decoded from the bytes directly (an invalid sequence reads as U+FFFD).
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"
#include "updater/ModuleListSink.h"
#include "updater/ReasonCatalogue.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace rg_quelt_app {

// Why a list came back as it did.
enum class ListStatus {
    Ok,             // "code" 200 and "data" read (it may hold no elements)
    Incomplete,     // the answer broke off: the records are those read before the break
    NotUnderstood,  // not JSON, no object, "code" not 200, numbers beyond 32 bits
    TransferFailed, // no answer, the request failed or passed a limit (set by the engine)
    TooManyEntries, // "data" holds more elements than ListBounds::entries: refused, no entries
    RowsTooLarge,   // the entries' rows pass ListBounds::rowBytes: refused, no entries
};

// How much one list may hold. A row counts what the row table keeps for it: the
// UTF-16 units of its texts (the ordinal and size written out included) and its
// own record (kRowRecordBytes).
struct ListBounds {
    static constexpr std::size_t kDefaultEntries = 1000000;
    static constexpr std::size_t kDefaultRowBytes = std::size_t(128) << 20;
    static constexpr std::size_t kRowRecordBytes = 48;

    std::size_t entries = kDefaultEntries;
    std::size_t rowBytes = kDefaultRowBytes;
};

struct ListReading {
    ListStatus status = ListStatus::NotUnderstood;
    Reason reason; // for any status but Ok
};

// One answer. The bytes count up to the first zero byte; the reader keeps its own
// copy, so the caller may release them once the reader is constructed.
class ModuleListReader {
public:
    ModuleListReader(const void* bytes, std::size_t length);
    ModuleListReader(const ModuleListReader&) = delete;
    ModuleListReader& operator=(const ModuleListReader&) = delete;

    // Hands every entry to `sink` and says how the answer read. Once `abandon`
    // (when given) reads true, the reading ends within one element: the sink is
    // restarted and the status is Incomplete.
    ListReading read(ModuleListSink& sink, const ListBounds& bounds = ListBounds(),
                     const std::atomic<bool>* abandon = nullptr);

private:
    std::string bytes_;
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
