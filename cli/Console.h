#pragma once
// Standard output and standard error of mireth-sync, through the platform's
// standard streams (runtime/platform/StandardStreams.h: UTF-8 into pipes and files,
// UTF-16 into a Windows console). Writes are unbuffered beyond a line and never
// throw.
#include "runtime/core/WString.h"

namespace rg_quelt_app::cli {

enum class Stream { Output, Error };

void write(Stream stream, std::u16string_view text);
void writeLine(Stream stream, std::u16string_view text);
// "mireth-sync: " + text, a line on standard error.
void writeError(std::u16string_view text);

bool isTerminal(Stream stream);

} // namespace rg_quelt_app::cli
