// The main window's grid, its filling, the size rules with the grid's write-back, and the view
// switch.
#include "form_fixture.h"

#include "events.h"
#include "presentation.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace {

using ViewTest = FormFixture;

const QString kKtdNormal = QStringLiteral("Tessmark     sample.ktd  [標準データ]");
const QString kKtdRounded = QStringLiteral("Tessmark     sample.ktd  [25cmまるめ ]");

// Counts the refresh requests a graph window receives.
class GraphWindowStandIn : public QWidget
{
public:
    int Refreshes = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == WM_GRAPHREFRESH)
            ++Refreshes;
        return QWidget::event(event);
    }
};

TEST_F(ViewTest, mainwindow_GridHasTheSevenDesignedColumns)
{
    auto form = started();
    TComboGrid *grid = form->SoundGrid;
    EXPECT_EQ(grid, form->findChild<TComboGrid *>(QStringLiteral("SoundGrid")));
    EXPECT_EQ(grid->ColCount(), 7);
    EXPECT_EQ(grid->FixedCols(), 0);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->RowCount(), 8);
    EXPECT_EQ(gridRow(*form, 0),
              QStringList({"D (m) ", "Wsw(kN)", "Na", "Nsw", "観察", "土質", "換算Ｎ値"}));
    // A 19-pixel title row over 24-pixel data rows, the rows of an opened test included.
    EXPECT_EQ(grid->RowHeights(0), 19);
    EXPECT_EQ(grid->CellRect(0, 1).height(), 24);
    ASSERT_EQ(form->OpenDataFile(sample(QStringLiteral("sample.ktd"))), 0);
    ASSERT_GT(grid->RowCount(), 8);
    for (int row = 1; row < grid->RowCount(); ++row)
        EXPECT_EQ(grid->RowHeights(row), 24) << row;

    const struct
    {
        int width;
        quint8 kind, titleAlign, align;
        int dropDownWidth;
        bool editable;
    } columns[] = {
        {55, 0, 20, 20, 0, true},  {53, 1, 20, 20, 50, true},  {64, 0, 18, 20, 0, true},
        {64, 0, 18, 20, 0, false}, {64, 1, 17, 17, 100, true}, {64, 1, 17, 17, 57, true},
        {64, 0, 18, 20, 0, false},
    };
    for (int col = 0; col < 7; ++col) {
        SCOPED_TRACE(col);
        const TCellKind &kind = grid->GetCellKind(col);
        EXPECT_EQ(grid->ColWidths(col), columns[col].width);
        EXPECT_EQ(kind.Kind(), columns[col].kind);
        EXPECT_EQ(kind.TitleAlign(), columns[col].titleAlign);
        EXPECT_EQ(kind.Align(), columns[col].align);
        EXPECT_EQ(kind.DropDownWidth(), columns[col].dropDownWidth);
        EXPECT_EQ(kind.Editable(), columns[col].editable);
        EXPECT_EQ(kind.Margin(), 2);
        EXPECT_EQ(kind.MaxLength(), 0);
        if (kind.Kind() == 0) {
            EXPECT_EQ(kind.ItemTexts(), QStringList({"", ""}));
        }
    }
    EXPECT_EQ(grid->GetCellKind(1).ItemTexts(),
              QStringList({"1.00", "0.75", "0.50", "0.25", "0.15", "0.05"}));
    // The pick lists come from the reference tables.
    EXPECT_EQ(grid->GetCellKind(4).ItemTexts(), form->ObsPickList());
    EXPECT_EQ(grid->GetCellKind(4).ItemTexts().last(), QString());
    EXPECT_EQ(grid->GetCellKind(5).ItemTexts(), QStringList({"砂質土", "粘性土", "礫質土"}));
    // Every column fits in the window side by side.
    EXPECT_LE(grid->columnViewportPosition(6) + grid->columnWidth(6), grid->viewport()->width());
}

TEST_F(ViewTest, mainwindow_SetGridFillsFromDisplayLogAndStopsAtABadRow)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    const QStringList oldRow3 = gridRow(*form, 3);

    Tkannyu log;
    log.startRows();
    for (const char *wsw : {"075", "x", "100"}) {
        Tvt_data row;
        row.Depth = 25 * (log.Count + 1);
        row.Wsw = QLatin1String(wsw);
        row.Na = QStringLiteral("12.7");
        row.Nsw = QStringLiteral("50");
        row.NValue = 3.84;
        log.appendRow(row);
        ++log.Count;
    }
    CopyLog(log, form->Test.DisplayLog);
    messages.AskedBoxes.clear();
    EXPECT_FALSE(form->set_grid());
    EXPECT_EQ(form->SoundGrid->RowCount(), 4);
    EXPECT_EQ(gridRow(*form, 1), QStringList({"0.25", "0.75", "12", "50", "", "", "3.8"}));
    // The row with the bad load and those after it keep what they showed.
    EXPECT_EQ(gridRow(*form, 3), oldRow3);
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(messages.AskedBoxes[0].Text.contains(QStringLiteral("x")));

    // Decimal half-turns show with one decimal.
    form->Test.DisplayLog.row(2).Wsw = QStringLiteral("50");
    form->Setting.NaMode = true;
    EXPECT_TRUE(form->set_grid());
    EXPECT_EQ(form->SoundGrid->Cells(2, 1), QStringLiteral("12.7"));
    EXPECT_EQ(form->SoundGrid->Cells(1, 2), QStringLiteral("0.50"));

    // A test without rows leaves the header row alone.
    form->Test.DisplayLog.Count = 0;
    EXPECT_TRUE(form->set_grid());
    EXPECT_EQ(form->SoundGrid->RowCount(), 1);
    EXPECT_EQ(gridRow(*form, 0), GridHeaderTexts());
}

TEST_F(ViewTest, mainwindow_ViewSwitchShowsEitherLogWithCaptionsAndCheckMarks)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    GraphWindowStandIn graph;
    form->SetGraphWindow(&graph);
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QStringList labels = labelTexts(*form);
    const QStringList rounded25 = {"0.25", "0.25", "自沈", "0", "無音", "粘性土", "0.7"};
    const QStringList normal1 = {"0.08", "0.05", "自沈", "0", "無音", "粘性土", "0.1"};

    const struct
    {
        const char *what;
        std::function<void()> act;
        bool rounded;
        bool roundedViewFlag;
    } steps[] = {
        {"F2", [&form] { QTest::keyClick(form.get(), Qt::Key_F2); }, true, false},
        {"F2 again", [&form] { QTest::keyClick(form.get(), Qt::Key_F2); }, true, false},
        {"Ctrl+F2", [&form] { QTest::keyClick(form.get(), Qt::Key_F2, Qt::ControlModifier); },
         false, false},
        {"button from normal", [&form] { form->ChangeBtn->click(); }, true, true},
        {"button from rounded", [&form] { form->ChangeBtn->click(); }, false, false},
        {"menu 25cm", [&form] { form->K25->trigger(); }, true, false},
        {"menu normal", [&form] { form->Knd->trigger(); }, false, false},
        {"menu normal again", [&form] { form->Knd->trigger(); }, false, false},
    };
    int refreshes = 0;
    for (const auto &step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        QCoreApplication::processEvents();
        EXPECT_EQ(graph.Refreshes, ++refreshes);
        EXPECT_EQ(form->windowTitle(), step.rounded ? kKtdRounded : kKtdNormal);
        EXPECT_EQ(form->Knd->isChecked(), !step.rounded);
        EXPECT_EQ(form->K25->isChecked(), step.rounded);
        EXPECT_EQ(form->RoundedView, step.roundedViewFlag);
        const Tkannyu &shown = step.rounded ? form->Test.RoundedLog : form->Test.NormalLog;
        EXPECT_TRUE(form->Test.DisplayLog.sharesRowsWith(shown));
        EXPECT_EQ(form->SoundGrid->RowCount(), (step.rounded ? 41 : 50) + 1);
        EXPECT_EQ(gridRow(*form, 1), step.rounded ? rounded25 : normal1);
        EXPECT_EQ(labelTexts(*form), labels);
    }
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());

    // The idle-rotation note joins the rounded caption.
    form->Setting.KutenFlag = true;
    form->K25->trigger();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Tessmark     sample.ktd  [25cmまるめ  空転除去 N20-1C]"));
}

TEST_F(ViewTest, mainwindow_ViewSwitchDoesNothingWithoutATest)
{
    auto form = started();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F2);
    form->K25->trigger();
    EXPECT_TRUE(form->Knd->isChecked());
    EXPECT_FALSE(form->K25->isChecked());
    form->Knd->trigger();
    EXPECT_TRUE(form->Knd->isChecked());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessmark     "));
    EXPECT_EQ(form->SoundGrid->RowCount(), 8);
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

TEST_F(ViewTest, mainwindow_WidthIsFixedAndHeightAtLeast300)
{
    auto form = started();
    const int width = form->width();
    EXPECT_EQ(width, 485);
    EXPECT_EQ(form->minimumWidth(), width);
    EXPECT_EQ(form->maximumWidth(), width);
    EXPECT_EQ(form->minimumHeight(), 300);
    form->resize(700, 200);
    EXPECT_EQ(form->size(), QSize(width, 300));
    form->resize(300, 640);
    EXPECT_EQ(form->size(), QSize(width, 640));
}

TEST_F(ViewTest, mainwindow_ResizeTakesSoilAndNBackOnlyInTheNormalView)
{
    auto form = showing(QStringLiteral("sample.kgd"));
    const Tvt_data row2 = form->Test.NormalLog.row(2);
    form->SoundGrid->SetCells(5, 1, QStringLiteral("砂質土*"));
    form->SoundGrid->SetCells(6, 1, QStringLiteral("9.9"));
    form->SoundGrid->SetCells(6, 2, QStringLiteral("abc"));
    form->resize(form->width(), form->height() + 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Test.NormalLog.row(1).Doshitu, QStringLiteral("砂質土*"));
    EXPECT_DOUBLE_EQ(form->Test.NormalLog.row(1).NValue, 9.9);
    // A cell that is not a number keeps the row's value.
    EXPECT_DOUBLE_EQ(form->Test.NormalLog.row(2).NValue, row2.NValue);
    EXPECT_EQ(form->Test.NormalLog.row(2).Doshitu, row2.Doshitu);
    EXPECT_TRUE(form->Test.DisplayLog.sharesRowsWith(form->Test.NormalLog));

    // In the rounded view the grid holds other rows: nothing is taken back.
    form->K25->trigger();
    const QList<Tvt_data> normalRows = form->Test.NormalLog.rows();
    form->SoundGrid->SetCells(5, 1, QStringLiteral("礫質土"));
    form->SoundGrid->SetCells(6, 1, QStringLiteral("42.0"));
    form->resize(form->width(), form->height() + 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Test.NormalLog.rows(), normalRows);
    EXPECT_TRUE(form->Test.DisplayLog.sharesRowsWith(form->Test.RoundedLog));
}

} // namespace
