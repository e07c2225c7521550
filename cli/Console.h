#pragma once
// Standard output and standard error of mireth-sync. Text goes out as UTF-8 into
// pipes and files (what scripts and the tests read); a Windows console gets it
// through the C runtime's wide output, which shows Chinese whatever the console's
// code page. Writes are unbuffered beyond a line and never throw.
#include "runtime/core/WString.h"

namespace rg_quelt_app::cli {

enum class Stream { Output, Error };

// Once, before the first write.
void initialiseConsole();

void write(Stream stream, std::u16string_view text);
// The text and a line break.
void writeLine(Stream stream, std::u16string_view text);
// "mireth-sync: " + text, a line on standard error.
void writeError(std::u16string_view text);

bool isTerminal(Stream stream);

} // namespace rg_quelt_app::cli
