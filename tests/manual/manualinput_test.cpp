#include "errors.h"
#include "manualinput.h"
#include "reftables.h"
#include "sandbox.h"
#include "settings.h"

#include <gtest/gtest.h>

namespace {

// A data grid of seven columns, the title row and one data row per entry of `rows`; each entry
// lists the cells from column 0.
std::unique_ptr<TComboGrid> gridOf(const QList<QStringList> &rows)
{
    auto grid = std::make_unique<TComboGrid>();
    grid->SetColCount(gcColumnCount);
    grid->SetRowCount(int(rows.size()) + 1);
    grid->SetFixedCols(0);
    grid->SetFixedRows(1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            grid->SetCells(c, r + 1, rows.at(r).at(c));
    return grid;
}

QStringList column(const TComboGrid &grid, int col)
{
    QStringList texts;
    for (int row = 1; row < grid.RowCount(); ++row)
        texts.append(grid.Cells(col, row));
    return texts;
}

TEST(ChooseGridMenu, ByModeSelectionAndColumn)
{
    const TGridMenuState typingOneByOne{2, false, true, false};
    const TGridMenuState typingBatch{2, false, false, false};
    const TGridMenuState manualEdit{2, true, false, false};
    const TGridMenuState measured{1, false, false, false};
    const TGridMenuState measuredRounded{1, false, false, true};
    const auto cols = [](int left, int right) {
        return TGridRect{left, 2, right, 4};
    };
    struct Case
    {
        TGridMenuState State;
        TGridRect Selection;
        TGridMenu Menu;
    };
    const Case cases[] = {
        {typingOneByOne, cols(1, 1), TGridMenu::InputChoice},
        {typingOneByOne, cols(0, 6), TGridMenu::InputChoice},
        {typingBatch, cols(0, 0), TGridMenu::Depth},
        {typingBatch, cols(1, 1), TGridMenu::Load},
        {typingBatch, cols(2, 2), TGridMenu::Na},
        {typingBatch, cols(3, 3), TGridMenu::InputChoice},
        {typingBatch, cols(4, 4), TGridMenu::Obs},
        {typingBatch, cols(5, 5), TGridMenu::Soil},
        {typingBatch, cols(6, 6), TGridMenu::InputChoice},
        {typingBatch, cols(0, 6), TGridMenu::Row},
        {typingBatch, cols(1, 3), TGridMenu::None},
        {manualEdit, cols(5, 5), TGridMenu::Copy},
        {measured, cols(5, 5), TGridMenu::SoilChange},
        {measured, cols(4, 5), TGridMenu::Copy},
        {measuredRounded, cols(5, 5), TGridMenu::RoundedRefusal},
        {{0, false, false, false}, cols(5, 5), TGridMenu::Copy},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ChooseGridMenu(c.State, c.Selection), c.Menu)
            << c.State.DataKind << c.State.EditMode << c.State.OneByOneInput << " cols "
            << c.Selection.Left << "-" << c.Selection.Right;
}

// The check marks self-sinking rows; the read-in turns metres and kN into cm and hundredths.
TEST(EditModeCheck, MarksSelfSinkingAndReadsDepthsAndLoads)
{
    auto grid = gridOf({
        {"0.25", "0.50", "12"},
        {"0.50", "1.00", ""},
        {"0.75", "1.00", "8", "", "", "砂質土"},
        {"1.005", "0.05", ""},
        {"0.125", "0.75", ""},
        {"0.375", "0.15", ""},
    });
    ASSERT_EQ(MarkSelfSinking(*grid), 0);
    EXPECT_EQ(column(*grid, gcNa), (QStringList{kSelfSinking, kSelfSinking, "8", kSelfSinking,
                                                kSelfSinking, kSelfSinking}));

    Tkannyu previous;
    previous.Code1 = 12;
    const Tkannyu log = ReadGridLog(*grid, previous);
    EXPECT_EQ(log.Count, 6);
    EXPECT_EQ(log.Code1, 12);
    ASSERT_EQ(log.rowArrayLength(), 7);
    const int depths[] = {25, 50, 75, 100, 12, 38}; // halves to even
    const char *const loads[] = {"50", "100", "100", "5", "75", "15"};
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(log.row(i).Depth, depths[i - 1]) << i;
        EXPECT_EQ(log.row(i).Wsw, QLatin1String(loads[i - 1])) << i;
    }
    EXPECT_EQ(log.row(3).Doshitu, QStringLiteral("砂質土"));
}

TEST(EditModeCheck, StopsAtTheFirstRowWithoutDepthOrLoad)
{
    struct Case
    {
        QList<QStringList> Rows;
        int Stop;
        QStringList NaAfter;
    };
    const Case cases[] = {
        {{{"0.25", "0.50", ""}, {"", "1.00", "3"}, {"0.75", "0.25", ""}},
         2,
         {kSelfSinking, "3", ""}},
        {{{"0.25", "abc", "1"}}, 1, {"1"}},
        {{{"1e300", "1.00", "1"}}, 0, {"1"}}, // a number: the range check refuses it later
        {{}, 1, {}},
    };
    for (const Case &c : cases) {
        auto grid = gridOf(c.Rows);
        EXPECT_EQ(MarkSelfSinking(*grid), c.Stop);
        EXPECT_EQ(column(*grid, gcNa), c.NaAfter);
    }
}

// A half-turn text the computation cannot use is reported, and the test stays as it was.
TEST(TakeManualGrid, FailureLeavesTheTestAsItWas)
{
    TestSandbox box;
    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(box.copyShippedTables()));
    const TSetting setting;
    TSoundingTest test;
    test.NormalLog.startRows();
    Tvt_data row;
    row.Depth = 25;
    row.Wsw = QStringLiteral("100");
    row.Na = QStringLiteral("4");
    test.NormalLog.appendRow(row);
    test.NormalLog.Count = 1;
    test.RawLines = {"line"};
    const TSoundingTest before = test;

    auto bad = gridOf({{"0.25", "1.00", "4"}, {"0.50", "1.00", "x"}});
    ASSERT_EQ(MarkSelfSinking(*bad), 0);
    EXPECT_THROW(TakeManualGrid(test, *bad, setting, tables), ETessmarkError);
    EXPECT_EQ(test.NormalLog.rows(), before.NormalLog.rows());
    EXPECT_EQ(test.RawLines, before.RawLines);

    auto good = gridOf({{"0.25", "1.00", "4"}, {"0.50", "0.75", ""}});
    ASSERT_EQ(MarkSelfSinking(*good), 0);
    TakeManualGrid(test, *good, setting, tables);
    EXPECT_EQ(test.NormalLog.Count, 2);
    EXPECT_EQ(test.NormalLog.FinalDepth, 50);
    EXPECT_FALSE(test.NormalLog.row(1).Nsw.isEmpty());
    EXPECT_TRUE(test.DisplayLog.sharesRowsWith(test.NormalLog));
    EXPECT_GT(test.RoundedLog.Count, 0);
    EXPECT_TRUE(test.RawLines.isEmpty()); // typed rows are never written back as read lines
}

// Values the data file's fields cannot hold, depths that go upwards and half-turns that are no
// number keep the rows from becoming a test; the message names the first such row and its
// column, and the test stays as it was.
TEST(TakeManualGrid, RefusesValuesTheFileCannotHold)
{
    TestSandbox box;
    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(box.copyShippedTables()));
    const TSetting setting;
    struct Case
    {
        QStringList Second;  // the second row; the first is always "0.25", "1.00", "4"
        QString RefusedPart; // empty: accepted
    };
    const Case cases[] = {
        {{"99.99", "1.00", "999"}, {}},
        {{"99.994", "1.00", "999.9"}, {}}, // 9999 cm after rounding
        {{"0.25", "1.00", "0"}, {}},       // equal depths are a step of no length
        {{"0.50", "9.99", "4"}, {}},
        {{"99.995", "1.00", "4"}, "2 行目の貫入深さ"},
        {{"100.00", "1.00", "4"}, "2 行目の貫入深さ"},
        {{"5558005.55", "1.00", "4"}, "2 行目の貫入深さ"},
        {{"-0.25", "1.00", "4"}, "2 行目の貫入深さ"},
        {{"0.50", "1.00", "1000"}, "2 行目の半回転数"},
        {{"0.50", "1.00", "-1"}, "2 行目の半回転数"},
        {{"0.50", "1.00", "1e9"}, "2 行目の半回転数"},
        {{"0.50", "1.00", "abc"}, "2 行目の半回転数が数値ではありません"},
        {{"1234567890", "1.00", "4"}, "2 行目の貫入深さが範囲外です"},
        {{"0.20", "1.00", "4"}, "2 行目の貫入深さが上の行（0.25 m）より浅く"},
        {{"0.50", "-1", "4"}, "2 行目の荷重が範囲外です"},
        {{"0.50", "0.333", "4"}, "2 行目の荷重が範囲外です"},
        {{"0.50", "10.00", "4"}, "2 行目の荷重が範囲外です"},
        {{"0.50", "1234567890", "4"}, "2 行目の荷重が範囲外です"},
    };
    for (const Case &c : cases) {
        TSoundingTest test;
        auto grid = gridOf({{"0.25", "1.00", "4"}, c.Second});
        ASSERT_EQ(MarkSelfSinking(*grid), 0) << c.Second.join(' ').toStdString();
        QString refusal;
        try {
            TakeManualGrid(test, *grid, setting, tables);
        } catch (const ETessmarkError &e) {
            refusal = e.message();
        }
        EXPECT_TRUE(refusal.startsWith(c.RefusedPart))
            << c.Second.join(' ').toStdString() << " " << refusal.toStdString();
        EXPECT_EQ(test.NormalLog.Count, c.RefusedPart.isEmpty() ? 2 : 0);
    }
}

TEST(GridRows, FillInsertDeleteAndClear)
{
    const QList<QStringList> six = {{"1", "a"}, {"2", "b"}, {"3", "c"},
                                    {"4", "d"}, {"5", "e"}, {"6", "f"}};
    auto grid = gridOf(six);
    FillDepths(*grid, gcLoad, 3, 6, 50, 25);
    EXPECT_EQ(column(*grid, gcLoad), (QStringList{"a", "b", "0.50", "0.75", "1.00", "1.25"}));

    grid = gridOf(six);
    InsertGridRows(*grid, 2, 3);
    EXPECT_EQ(column(*grid, 0), (QStringList{"1", "", "", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(grid->Cells(1, 4), QStringLiteral("b"));

    grid = gridOf(six);
    DeleteGridRows(*grid, 2, 3);
    EXPECT_EQ(column(*grid, 0), (QStringList{"1", "4", "5", "6"}));
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("d"));

    ClearGridRows(*grid, 2, 2);
    EXPECT_EQ(column(*grid, 1), (QStringList{"a", "", "e", "f"}));

    grid->SetCells(0, 0, QStringLiteral("D (m) "));
    DeleteGridRows(*grid, 1, 4);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->Cells(0, 0), QStringLiteral("D (m) "));
    EXPECT_EQ(MarkSelfSinking(*grid), 1); // an empty test cannot enter edit mode
}

} // namespace
