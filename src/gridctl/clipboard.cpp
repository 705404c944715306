#include "clipboard.h"

#include "cmbgrid.h"

namespace {

const QLatin1String kLineEnd("\r\n");

} // namespace

QString CellRangeText(const TComboGrid &grid, int left, int top, int right, int bottom)
{
    QString text;
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            if (col > left)
                text += u'\t';
            text += grid.Cells(col, row);
        }
        text += kLineEnd;
    }
    return text;
}

QString TestInfoText(const TTestInfo &info)
{
    const auto line = [](std::initializer_list<int> values) -> QString {
        QStringList fields;
        for (int value : values)
            fields.append(QString::number(value));
        return fields.join(u'\t') + kLineEnd;
    };
    return line({info.Code1, info.Code2, info.Code3, info.Code4}) + line({info.PointNo}) +
           line({info.Year, info.Month, info.Day}) + line({info.StartHour, info.StartMin}) +
           line({info.EndHour, info.EndMin}) + line({info.FinalDepth});
}

TCopyCells CopyGridRows(const TComboGrid &grid, int left, int top, int right, int bottom)
{
    TCopyCells rows;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int col = 0; col < grid.ColCount(); ++col)
            cells.append(grid.Cells(col, row));
        rows.CellTexts.append(cells);
    }
    rows.SelTop = top;
    rows.SelBottom = bottom;
    rows.SelRight = right;
    rows.SelLeft = left;
    return rows;
}

bool PasteGridRows(const TCopyCells &rows, TComboGrid &grid, int top, int bottom)
{
    if (rows.SelBottom - rows.SelTop != bottom - top)
        return false;
    for (int k = 0; k < rows.CellTexts.size(); ++k) {
        const QStringList &cells = rows.CellTexts.at(k);
        for (int col = 0; col < cells.size(); ++col)
            grid.SetCells(col, top + k, cells.at(col));
    }
    return true;
}
