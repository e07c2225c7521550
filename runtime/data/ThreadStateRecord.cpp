#include "runtime/data/ThreadStateRecord.h"

namespace rg_quelt_base {

ThreadStateRecord::ThreadStateRecord() = default;

ThreadStateRecord::~ThreadStateRecord() {
    // Every slot, not only the two that the download uses: an object left in the
    // third would otherwise never be freed.
    for (CQueltObject*& occupant : slots) {
        if (occupant) {
            occupant->destroyAndFree();
            occupant = nullptr;
        }
    }
}

} // namespace rg_quelt_base
