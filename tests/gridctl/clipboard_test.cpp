#include "clipboard.h"
#include "cmbgrid.h"

#include <gtest/gtest.h>

namespace {

// A 7-column grid with a title row and data rows 1..rows; cell (c, r) reads "r.c".
std::unique_ptr<TComboGrid> filledGrid(int rows)
{
    auto grid = std::make_unique<TComboGrid>();
    grid->SetColCount(7);
    grid->SetRowCount(rows + 1);
    grid->SetFixedCols(0);
    grid->SetFixedRows(1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < 7; ++c)
            grid->SetCells(c, r, QStringLiteral("%1.%2").arg(r).arg(c));
    return grid;
}

TEST(CellRangeText, TabBetweenCellsAndCrLfAfterEveryRow)
{
    TComboGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    const char *const cells[3][2] = {{"a", "b"}, {"c", "d"}, {"e", "f"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c)
            grid.SetCells(c + 1, r + 1, QLatin1String(cells[r][c]));
    grid.SetCells(2, 2, QString()); // an empty cell is an empty field

    struct Case
    {
        int left, top, right, bottom;
        QString text;
    };
    const Case cases[] = {
        {1, 1, 2, 3, QStringLiteral("a\tb\r\nc\t\r\ne\tf\r\n")},
        {1, 3, 1, 3, QStringLiteral("e\r\n")},
        {1, 3, 2, 2, QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CellRangeText(grid, c.left, c.top, c.right, c.bottom), c.text)
            << c.left << "," << c.top << "-" << c.right << "," << c.bottom;
}

TEST(TestInfoText, SixLinesOfPlainNumbers)
{
    TTestInfo info;
    info.Code1 = 12;
    info.Code2 = 3;
    info.Code3 = 45;
    info.Code4 = 6789;
    info.PointNo = 1;
    info.Year = 5;
    info.Month = 7;
    info.Day = 15;
    info.StartHour = 9;
    info.StartMin = 5;
    info.EndHour = 9;
    info.EndMin = 40;
    info.FinalDepth = 1025;
    EXPECT_EQ(TestInfoText(info),
              QStringLiteral("12\t3\t45\t6789\r\n1\r\n5\t7\t15\r\n9\t5\r\n9\t40\r\n1025\r\n"));
}

// Rows copied from one column still carry all seven; a paste onto a different number of rows
// changes nothing.
TEST(CopyGridRows, PastesWholeRowsOnlyOntoAsManyRows)
{
    auto grid = filledGrid(9);
    const TCopyCells held = CopyGridRows(*grid, 2, 3, 2, 5);
    const QStringList before = {grid->Cells(0, 7), grid->Cells(6, 8)};

    EXPECT_FALSE(PasteGridRows(held, *grid, 7, 8));
    EXPECT_EQ((QStringList{grid->Cells(0, 7), grid->Cells(6, 8)}), before);

    ASSERT_TRUE(PasteGridRows(held, *grid, 7, 9));
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(grid->Cells(c, 7 + k), QStringLiteral("%1.%2").arg(3 + k).arg(c));
    EXPECT_EQ(grid->Cells(0, 6), QStringLiteral("6.0"));
}

} // namespace
