// Manual input's work on the data grid and the test: the grid menus chosen by mode and
// selection, the value, fill, row and soil operations, and the check and read-in with which
// typed rows become the test.
#pragma once

#include "cmbgrid.h"
#include "errors.h"
#include "record.h"
#include "typedrows.h"

#include <QString>

class TReferenceTables;
struct TSetting;

// The data grid's columns.
enum TGridColumn : int {
    gcDepth = 0,
    gcLoad = 1,
    gcNa = 2,
    gcNsw = 3,
    gcObs = 4,
    gcSoil = 5,
    gcNValue = 6,
    gcColumnCount = 7,
};

// Which context menu a right click (or Esc) in the grid opens.
enum class TGridMenu {
    None,
    InputChoice, // "逐一入力" / "一括入力"
    Depth,
    Load,
    Na,
    Obs,
    Soil,
    Row,
    SoilChange,     // soil types of measured data, undo, copy
    Copy,           // "ｺﾋﾟｰ"
    RoundedRefusal, // a soil change asked for on the rounded view: a status text, no menu
};

struct TGridMenuState
{
    int DataKind = 0; // 0 none, 1 measured, 2 manual input
    bool EditMode = false;
    bool OneByOneInput = false;
    bool RoundedShown = false; // "25cmまるめ" is ticked
};

TGridMenu ChooseGridMenu(const TGridMenuState &state, const TGridRect &selection);

// The status text of a refused soil change.
inline const QString kRoundedSoilRefusal = QStringLiteral("まるめた状態では土質の変更はできません");
// The message that keeps typed rows without depth or load from becoming a test.
extern const QString kIncompleteRowsMessage;

// Writes `text` into column `col` of rows top..bottom.
void WriteColumnText(TComboGrid &grid, int col, int top, int bottom, const QString &text);
// Depths in metres ("0.50") into column `col` of rows top..bottom: start, start + step, ... cm.
void FillDepths(TComboGrid &grid, int col, int top, int bottom, int start, int step);
// Rows top..bottom: inserted empty before the selected ones, deleted (the title row stays), or
// emptied; always all columns.
void InsertGridRows(TComboGrid &grid, int top, int bottom);
void DeleteGridRows(TComboGrid &grid, int top, int bottom);
void ClearGridRows(TComboGrid &grid, int top, int bottom);

// Checks the typed rows top to bottom and writes "自沈" into the half-turn cell of every row
// that sank by itself (TypedRowSelfSinks). Answers 0 when every row holds a number in its depth
// and its load cell, else the first row that does not (the rows above it are marked); a grid
// without data rows answers 1.
int MarkSelfSinking(TComboGrid &grid);
// What the user is told when MarkSelfSinking stopped at `row`: the message of the unfilled
// fields, or, for a cell that holds something other than a number, one naming row and column.
QString IncompleteRowText(const TComboGrid &grid, int row);

// The typed rows as a log: `previous` with one row per grid row, depth in cm (halves to even),
// load in hundredths of a kN, half-turns, observation and soil type taken from the grid.
// Call after MarkSelfSinking answered 0.
Tkannyu ReadGridLog(const TComboGrid &grid, const Tkannyu &previous);

// The grid column of a typed row's value.
int GridColumnOf(TTypedField field);

// Raises ETypedRowError naming the first row (counted from 1) and the value the data file cannot
// hold or the test cannot be computed with, by the one check of typed rows (CheckTypedRow).
void CheckTypedRows(const TComboGrid &grid);

// The typed rows become the test: NormalLog with Nsw, converted N and final depth, no GPS
// position, DisplayLog sharing NormalLog and the rounded log built. Raises ETessmarkError (a
// value out of bounds, a half-turn or load that cannot be computed with) and leaves `test` as it
// was.
void TakeManualGrid(TSoundingTest &test, const TComboGrid &grid, const TSetting &setting,
                    const TReferenceTables &tables);

// The soil type the observation table gives a row's code, else the table's default one.
QString TableSoilOf(const TReferenceTables &tables, const QString &obsCode);
