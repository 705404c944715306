#include "sheetlayout.h"

#include "errors.h"

#include <algorithm>

namespace {

// The line whose bottom is at or just below `depth` on a scale starting at `from`.
int lineOf(int depth, int from)
{
    const int below = depth - from;
    return below <= 0 ? -1 : (below + kSheetLineCm - 1) / kSheetLineCm - 1;
}

} // namespace

QList<TSheetPageRows> SheetPages(const Tkannyu &log, int lines)
{
    lines = std::max(1, lines);
    QList<TSheetPageRows> pages(1);
    int previous = -1;
    const int count = std::clamp(log.Count, 0, std::max(0, log.rowArrayLength() - 1));
    for (int r = 1; r <= count; ++r) {
        const int depth = log.row(r).Depth;
        int line = std::max(previous + 1, lineOf(depth, pages.last().FromCm));
        if (line >= lines && !pages.last().Rows.isEmpty()) {
            // The next page goes on from the last row's depth; a step too long for that page
            // too stays on this one while it has a line left.
            const int from =
                std::max(pages.last().FromCm, log.row(pages.last().Rows.last().Row).Depth);
            if (lineOf(depth, from) < lines || previous >= lines - 1) {
                pages.append(TSheetPageRows{from, {}});
                line = std::max(0, lineOf(depth, from));
            }
        }
        // A step longer than a whole page takes its last line.
        line = std::min(line, lines - 1);
        pages.last().Rows.append({r, line});
        previous = line;
    }
    return pages;
}

int SheetNswScale(const QList<const Tkannyu *> &logs)
{
    double largest = 0;
    for (const Tkannyu *log : logs) {
        for (int r = 1; r <= log->Count && r < log->rowArrayLength(); ++r) {
            double nsw = 0;
            if (TryStrToFloat(log->row(r).Nsw, nsw))
                largest = std::max(largest, nsw);
        }
    }
    const int rounded = int((std::min(largest, 500.0) + 49.999) / 50) * 50;
    return std::clamp(rounded, 100, 500);
}
