#pragma once
// The temporary files a download streams into before it takes its target's place:
// beside the target, named after it with ".~", sixteen random hexadecimal digits and
// ".part" ("界面库.ext.~3f09a1c47be2d586.part"). A name of this form never stands
// for a module; one left behind by a killed run is removed when the next job starts.
#include "runtime/core/WString.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <cstddef>
#include <string_view>

namespace rg_quelt_app {

// A fresh name for `target`, different at every call, also across runs. A file
// name too long to take the added part within the system's limit of a name (255)
// gives up the end of its stem to it.
CWString temporaryNameFor(const CWString& target);

// True for a name of the form above, and for the form of earlier versions
// (".~" + thread number + "-" + counter + ".part").
bool isTemporaryName(std::u16string_view fileName);

// Removes, in every folder that a link of `job` writes into, the files of the
// temporary form that no running program writes. Links that the path guard
// (isSafeLink) refuses are passed over: their folders lie outside the module
// folder. Returns how many went.
std::size_t removeLeftovers(const rg_XiaZaiShuJu& job);

} // namespace rg_quelt_app
