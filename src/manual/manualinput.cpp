#include "manualinput.h"

#include "derived.h"
#include "errors.h"
#include "fieldlimits.h"
#include "reftables.h"
#include "settings.h"
#include "typedrows.h"

#include <climits>
#include <cmath>

const QString kIncompleteRowsMessage =
    QStringLiteral("入力データに問題があります。\r\r"
                   "全ての行の「貫入深さ」及び「荷重」の欄が埋まっていない場合には\r"
                   "編集モードに移ることはできません。\r"
                   "必要のない行を削除してから実行してください");

TGridMenu ChooseGridMenu(const TGridMenuState &state, const TGridRect &selection)
{
    const bool oneColumn = selection.Left == selection.Right;
    if (state.DataKind == 2 && !state.EditMode) {
        if (state.OneByOneInput)
            return TGridMenu::InputChoice;
        if (oneColumn) {
            switch (selection.Left) {
            case gcDepth:
                return TGridMenu::Depth;
            case gcLoad:
                return TGridMenu::Load;
            case gcNa:
                return TGridMenu::Na;
            case gcObs:
                return TGridMenu::Obs;
            case gcSoil:
                return TGridMenu::Soil;
            default:
                return TGridMenu::InputChoice;
            }
        }
        if (selection.Left == 0 && selection.Right == gcColumnCount - 1)
            return TGridMenu::Row;
        return TGridMenu::None;
    }
    if (oneColumn && selection.Left == gcSoil && state.DataKind == 1)
        return state.RoundedShown ? TGridMenu::RoundedRefusal : TGridMenu::SoilChange;
    return TGridMenu::Copy;
}

void WriteColumnText(TComboGrid &grid, int col, int top, int bottom, const QString &text)
{
    for (int row = top; row <= bottom; ++row)
        grid.SetCells(col, row, text);
}

void FillDepths(TComboGrid &grid, int col, int top, int bottom, int start, int step)
{
    int cm = start;
    for (int row = top; row <= bottom; ++row, cm += step)
        grid.SetCells(col, row, QString::asprintf("%2.2f", cm / 100.0));
}

namespace {

void moveRow(TComboGrid &grid, int from, int to)
{
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.SetCells(col, to, grid.Cells(col, from));
}

// A number of metres (or kN) that converts to whole hundredths without leaving the int range.
bool fitsCentimetres(double value)
{
    return std::isfinite(value) && std::abs(value) * 100 < double(INT_MAX);
}

} // namespace

void InsertGridRows(TComboGrid &grid, int top, int bottom)
{
    const int k = bottom - top + 1;
    if (k <= 0 || top < grid.FixedRows())
        return;
    const int oldCount = grid.RowCount();
    grid.SetRowCount(oldCount + k);
    for (int row = oldCount - 1; row >= top; --row)
        moveRow(grid, row, row + k);
    ClearGridRows(grid, top, bottom);
}

void DeleteGridRows(TComboGrid &grid, int top, int bottom)
{
    const int k = bottom - top + 1;
    if (k <= 0 || top < grid.FixedRows())
        return;
    const int oldCount = grid.RowCount();
    for (int row = bottom + 1; row < oldCount; ++row)
        moveRow(grid, row, row - k);
    // The title row stays even when every data row goes.
    grid.SetRowCount(qMax(oldCount - k, grid.FixedRows()));
}

void ClearGridRows(TComboGrid &grid, int top, int bottom)
{
    for (int row = top; row <= bottom; ++row)
        for (int col = 0; col < grid.ColCount(); ++col)
            grid.SetCells(col, row, QString());
}

int MarkSelfSinking(TComboGrid &grid)
{
    // An empty test has no depth in its first row.
    if (grid.RowCount() <= grid.FixedRows())
        return grid.FixedRows();
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
        double depth = 0;
        double load = 0;
        if (!TryStrToFloat(grid.Cells(gcDepth, row), depth) ||
            !TryStrToFloat(grid.Cells(gcLoad, row), load))
            return row;
        if (TypedRowSelfSinks(load * 100, grid.Cells(gcNa, row)))
            grid.SetCells(gcNa, row, kSelfSinking);
    }
    return 0;
}

QString IncompleteRowText(const TComboGrid &grid, int row)
{
    double value = 0;
    const auto typedNonNumber = [&](int col) {
        const QString text = grid.Cells(col, row);
        return !text.trimmed().isEmpty() && !TryStrToFloat(text, value);
    };
    if (typedNonNumber(gcDepth))
        return QStringLiteral("%1 行目の貫入深さが数値ではありません。\r"
                              "貫入深さは m 単位の数値で入力してください")
            .arg(row);
    if (typedNonNumber(gcLoad))
        return QStringLiteral("%1 行目の荷重が数値ではありません。\r"
                              "荷重は kN 単位の数値で入力してください")
            .arg(row);
    return kIncompleteRowsMessage;
}

Tkannyu ReadGridLog(const TComboGrid &grid, const Tkannyu &previous)
{
    Tkannyu log = previous;
    const int rows = grid.RowCount() - 1;
    log.setRowArrayLength(qMax(rows, 0) + 1);
    for (int i = 1; i <= rows; ++i) {
        Tvt_data &row = log.row(i);
        double depth = 0;
        double load = 0;
        TryStrToFloat(grid.Cells(gcDepth, i), depth);
        TryStrToFloat(grid.Cells(gcLoad, i), load);
        // The default rounding mode rounds halves to the even neighbour.
        row.Depth = int(std::nearbyint(depth * 100));
        row.Wsw = QString::number(load * 100, 'g', 15);
        row.Na = grid.Cells(gcNa, i);
        row.Obs = grid.Cells(gcObs, i);
        row.Doshitu = grid.Cells(gcSoil, i);
    }
    log.Count = qMax(rows, 0);
    return log;
}

void CheckTypedRows(const TComboGrid &grid)
{
    double previousDepth = 0;
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
        std::optional<double> depthCm;
        double depth = 0;
        if (TryStrToFloat(grid.Cells(gcDepth, row), depth))
            // Rounded to whole centimetres as the read-in does; a depth no int holds is out of
            // range all the same.
            depthCm = fitsCentimetres(depth) ? std::nearbyint(depth * 100) : qInf();
        std::optional<double> loadHundredths;
        double load = 0;
        if (TryStrToFloat(grid.Cells(gcLoad, row), load))
            loadHundredths = load * 100;
        CheckTypedRow(row, depthCm, loadHundredths, grid.Cells(gcNa, row), previousDepth);
    }
}

int GridColumnOf(TTypedField field)
{
    switch (field) {
    case TTypedField::Depth:
        return gcDepth;
    case TTypedField::Load:
        return gcLoad;
    case TTypedField::HalfTurns:
        break;
    }
    return gcNa;
}

void TakeManualGrid(TSoundingTest &test, const TComboGrid &grid, const TSetting &setting,
                    const TReferenceTables &tables)
{
    // A row the data file's fields cannot hold would be saved into a file that cannot be read;
    // a row that goes upwards, or half-turns that are no number, cannot be computed with.
    CheckTypedRows(grid);
    // Worked out on a copy, so a row that cannot be computed with leaves the test as it was.
    TSoundingTest work = test;
    work.NormalLog = ReadGridLog(grid, test.NormalLog);
    Tkannyu &log = work.NormalLog;
    ComputeNsw(log, false, setting, tables);
    ComputeNValue(log, tables);
    log.FinalDepth = log.row(log.Count).Depth;
    Clear_GPS(work.TestGps);
    // The rows are typed ones now: lines read from a file no longer stand for them, and a save
    // must not write them back.
    work.RawLines.clear();
    CopyLog(log, work.DisplayLog);
    BuildRoundedView(work, setting, tables);
    test = std::move(work);
}

QString TableSoilOf(const TReferenceTables &tables, const QString &obsCode)
{
    const QString soil = tables.SoilTextOf(obsCode);
    return soil.isEmpty() ? tables.SoilTextOf(QStringLiteral("Default")) : soil;
}
