// The texts the grid's cells and a test's header become on the clipboard: TAB between cells, CR LF
// after every line, so a spreadsheet pastes them into cells. Plain functions, so the automation
// server builds the same texts without a window.
#pragma once

#include "record.h"

#include <QList>
#include <QString>
#include <QStringList>

class TComboGrid;

// The cells of columns left..right and rows top..bottom (all inclusive): TAB between cells and
// CR LF after every row, the last included. bottom < top gives an empty text.
QString CellRangeText(const TComboGrid &grid, int left, int top, int right, int bottom);

// The first twelve header fields and the final depth as six CR LF ended lines: codes, point,
// date, start time, end time, final depth.
QString TestInfoText(const TTestInfo &info);

// Whole grid rows held for pasting, with the selection they were copied from.
struct TCopyCells
{
    QList<QStringList> CellTexts; // every grid column of each copied row, in row order
    int SelTop = 0;
    int SelBottom = 0;
    int SelRight = 0;
    int SelLeft = 0;
};

// Rows top..bottom of the grid, every column.
TCopyCells CopyGridRows(const TComboGrid &grid, int left, int top, int right, int bottom);

// Writes the held rows over grid rows top..; false (and nothing written) when the number of
// selected rows differs from the number held.
bool PasteGridRows(const TCopyCells &rows, TComboGrid &grid, int top, int bottom);
