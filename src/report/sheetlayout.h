// How a data sheet spreads a test's measured rows over its pages: the table's rows and the
// graphs beside them share one depth scale, a row's height standing for a quarter metre, and
// each row sits level with its own depth where it can (a row closer to the one before it than
// a quarter metre takes the next free line).
#pragma once

#include "record.h"

#include <QList>

// The depth one line of the table stands for (cm).
inline constexpr int kSheetLineCm = 25;

struct TSheetRowPlace
{
    int Row = 0;  // in the log, from 1
    int Line = 0; // on the page, from 0
};

struct TSheetPageRows
{
    int FromCm = 0; // the depth at the top of the page's scale
    QList<TSheetRowPlace> Rows;

    // The depth at the bottom of a page of `lines` lines.
    int ToCm(int lines) const { return FromCm + lines * kSheetLineCm; }
};

// The pages of `log` with `lines` lines each (at least one page, also without rows). A page
// after the first starts at the depth of the last row on the page before.
QList<TSheetPageRows> SheetPages(const Tkannyu &log, int lines);

// The Nsw the sheets' bars reach full width at: the largest Nsw of the tests rounded up to 50,
// at least 100 and at most 500 (larger values are drawn full width).
int SheetNswScale(const QList<const Tkannyu *> &logs);
