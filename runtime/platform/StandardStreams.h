#pragma once
// Standard output and standard error of a console program. Text goes out as UTF-8
// into pipes and files (what scripts read); a Windows console gets it as UTF-16
// through the C runtime's wide output, which shows Chinese whatever the console's
// code page. Every write is flushed at once, and none throws.
#include <string_view>

namespace platform {

enum class StandardStream { output, error };

// Once, before the first write (ConsoleEntry.h does it for its programs): on
// Windows a console stream is switched to UTF-16 text, any other stream to binary
// (no code-page translation, "\n" as written). Elsewhere it does nothing.
void prepareStandardStreams();

void writeStandardStream(StandardStream stream, std::u16string_view text);

// The stream goes to a terminal (a console window) rather than a pipe or a file.
bool isTerminal(StandardStream stream);

} // namespace platform
