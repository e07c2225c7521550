#pragma once
// The progress line that "update" shows on a terminal while files download: the
// file on its way longest, its bytes done of its total, the speed, and the files
// done of the job's. Everything comes from the job's tracker.
#include "updater/JobTracker.h"

#include <cstdint>
#include <vector>

namespace rg_quelt_app::cli {

struct ProgressSnapshot {
    CWString file;              // the file being fetched; empty when none is
    std::int64_t fileDone = 0;  // bytes of that file so far
    std::int64_t fileTotal = 0; // its size; −1 when not known
    std::size_t alsoActive = 0; // further files on their way at the same time
    std::int64_t bytesDone = 0; // of the whole job
    std::size_t filesDone = 0;
    std::size_t filesTotal = 0;
};

ProgressSnapshot progressOf(const JobTracker::Figures& figures);

// "1023 B", "1.5 KiB", "12.0 MiB", "3.2 GiB".
CWString byteSizeText(std::int64_t bytes);

// One line of at most `width` columns (a wide character counts two); the file name
// is shortened from the left first. `bytesPerSecond` < 0: speed not known yet.
CWString progressText(const ProgressSnapshot& progress, double bytesPerSecond, std::size_t width);

// Columns a text takes on a terminal: two for the wide East Asian characters.
std::size_t displayWidth(std::u16string_view text);

// Draws the line again and again over itself on standard error, and clears it at
// the end. Only used on a terminal.
class ProgressLine {
public:
    explicit ProgressLine(std::uint64_t startTick);
    void draw(const ProgressSnapshot& progress, std::uint64_t nowTick);
    void clear();

private:
    std::uint64_t startTick_;
    std::size_t drawnWidth_ = 0;
};

} // namespace rg_quelt_app::cli
