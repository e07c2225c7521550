#pragma once
// Where the entries of a module list go as the list is read (ModuleListReader), one
// by one: into records, or straight into a tab's rows (ModuleRowFiller).
#include <cstdint>
#include <string_view>

namespace rg_quelt_app {

// One element of "data" as read; the texts are valid only during the call that
// hands the entry over.
struct ModuleEntry {
    std::int32_t ordinal = 0; // 1-based position in "data"
    std::u16string_view name;
    std::u16string_view path; // '/'-separated, as received
    std::u16string_view updateTime;
    std::int64_t size = 0;
};

// Where the entries of an answer go, in the order of "data".
class ModuleListSink {
public:
    // Before the first entry, and again when the entries given so far turn out to
    // belong to no list (a number beyond 32 bits further on): drop them.
    virtual void restart() = 0;
    virtual void entry(const ModuleEntry& entry) = 0;

protected:
    ~ModuleListSink() = default;
};

} // namespace rg_quelt_app
