#include "cli/ProgressLine.h"

#include "cli/Console.h"
#include "cli/ModuleTableOutput.h"

#include <cstdio>

namespace rg_quelt_app::cli {
namespace {

// One column short of an 80-column terminal: a line that fills the last column
// wraps on some terminals, and "\r" would no longer go back to its start.
constexpr std::size_t kLineWidth = 79;

bool isWide(char16_t unit) {
    return (unit >= 0x1100 && unit <= 0x115F) || (unit >= 0x2E80 && unit <= 0xA4CF) ||
           (unit >= 0xAC00 && unit <= 0xD7A3) || (unit >= 0xF900 && unit <= 0xFAFF) ||
           (unit >= 0xFE30 && unit <= 0xFE4F) || (unit >= 0xFF00 && unit <= 0xFF60) ||
           (unit >= 0xFFE0 && unit <= 0xFFE6);
}

CWString decimal(std::int64_t value) { return CWString::fromInteger(value); }

} // namespace

ProgressSnapshot progressOf(const JobTracker::Figures& figures) {
    ProgressSnapshot progress;
    progress.filesTotal = figures.files;
    progress.filesDone = figures.done();
    progress.bytesDone = figures.bytesDone;
    if (!figures.active.empty()) {
        const JobTracker::ActiveFile& file = figures.active.front();
        progress.file = file.name;
        progress.fileDone = file.received;
        progress.fileTotal = file.total;
        progress.alsoActive = figures.active.size() - 1;
    }
    return progress;
}

CWString byteSizeText(std::int64_t bytes) {
    if (bytes < 1024)
        return decimal(bytes) + u" B";
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < sizeof units / sizeof units[0]) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return CWString::fromLatin1(text, std::char_traits<char>::length(text));
}

std::size_t displayWidth(std::u16string_view text) {
    std::size_t width = 0;
    for (char16_t unit : text) {
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            continue; // the second half of a pair was counted with the first
        width += isWide(unit) ? 2 : 1;
    }
    return width;
}

CWString progressText(const ProgressSnapshot& progress, double bytesPerSecond, std::size_t width) {
    CWString tail;
    if (!progress.file.isEmpty()) {
        if (progress.alsoActive > 0) {
            tail += u" +";
            tail += decimal(static_cast<std::int64_t>(progress.alsoActive)).view();
        }
        tail += u"  ";
        tail += byteSizeText(progress.fileDone).view();
        tail += u" of ";
        tail += (progress.fileTotal < 0 ? CWString(u"?") : byteSizeText(progress.fileTotal)).view();
    }
    tail += u"  ";
    tail += (bytesPerSecond < 0 ? CWString(u"-") : byteSizeText(static_cast<std::int64_t>(bytesPerSecond)))
                .view();
    tail += u"/s  ";
    tail += decimal(static_cast<std::int64_t>(progress.filesDone)).view();
    tail += u"/";
    tail += decimal(static_cast<std::int64_t>(progress.filesTotal)).view();
    tail += u" files";

    // The file name gives way first, keeping its end, which tells files apart.
    // The name comes from the server: nothing in it may steer the terminal.
    const CWString printable = printableText(progress.file.view());
    std::u16string_view name = printable.view();
    const std::size_t tailWidth = displayWidth(tail.view());
    const std::size_t room = width > tailWidth ? width - tailWidth : 0;
    if (displayWidth(name) > room) {
        const std::size_t keep = room > 3 ? room - 3 : 0;
        while (!name.empty() && displayWidth(name) > keep)
            name.remove_prefix((name.size() > 1 && name[0] >= 0xD800 && name[0] <= 0xDBFF) ? 2 : 1);
        CWString line = CWString(keep > 0 ? u"..." : u"") + name;
        line += tail.view();
        return line;
    }
    return CWString(name) + tail.view();
}

ProgressLine::ProgressLine(std::uint64_t startTick) : startTick_(startTick) {}

void ProgressLine::draw(const ProgressSnapshot& progress, std::uint64_t nowTick) {
    const std::uint64_t elapsed = nowTick - startTick_;
    const double speed = elapsed >= 500
                             ? static_cast<double>(progress.bytesDone) * 1000.0 / static_cast<double>(elapsed)
                             : -1.0;
    const CWString text = progressText(progress, speed, kLineWidth);
    const std::size_t width = displayWidth(text.view());
    CWString line(u"\r");
    line += text.view();
    // Blanks over what is left of a longer previous line.
    for (std::size_t i = width; i < drawnWidth_; ++i)
        line += u' ';
    drawnWidth_ = width;
    write(Stream::Error, line.view());
}

void ProgressLine::clear() {
    if (drawnWidth_ == 0)
        return;
    CWString line(u"\r");
    for (std::size_t i = 0; i < drawnWidth_; ++i)
        line += u' ';
    line += u'\r';
    drawnWidth_ = 0;
    write(Stream::Error, line.view());
}

} // namespace rg_quelt_app::cli
