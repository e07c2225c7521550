#include "cli/Console.h"

#include "runtime/platform/StandardStreams.h"

namespace rg_quelt_app::cli {
namespace {

platform::StandardStream streamOf(Stream stream) {
    return stream == Stream::Output ? platform::StandardStream::output : platform::StandardStream::error;
}

} // namespace

void write(Stream stream, std::u16string_view text) { platform::writeStandardStream(streamOf(stream), text); }

void writeLine(Stream stream, std::u16string_view text) { write(stream, CWString(text) + u"\n"); }

void writeError(std::u16string_view text) { writeLine(Stream::Error, CWString(u"mireth-sync: ") + text); }

bool isTerminal(Stream stream) { return platform::isTerminal(streamOf(stream)); }

} // namespace rg_quelt_app::cli
