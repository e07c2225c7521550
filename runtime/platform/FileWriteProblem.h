#pragma once
// Why a file cannot be written, in the system's own words, for telling the user
// after a write has failed.
#include <string>
#include <string_view>

namespace platform {

// What keeps `path` from being written now: the system's message for the error an
// attempt to open it for writing meets (for a missing file: an attempt to create
// it, which leaves nothing behind). Empty when nothing does. The file itself is
// never changed. Any thread.
std::u16string fileWriteProblem(std::u16string_view path);

} // namespace platform
