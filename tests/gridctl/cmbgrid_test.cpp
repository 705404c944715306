#include "cmbgrid.h"
#include "errors.h"
#include "inplaceedit.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The column kinds the main window's data grid is described with: 7 columns, then a button
// column and a toggle column for the tests of those kinds.
QVariantList soundGridKinds()
{
    QVariantList values;
    const auto column = [&values](int kind, int title, int align, const QStringList &items,
                                  int dropDownWidth, bool editable) {
        values << kind << title << align << int(items.size());
        for (const QString &item : items)
            values << item;
        values << dropDownWidth << 2 << 0 << editable;
    };
    const QStringList none{QString(), QString()};
    column(0, 20, 20, none, 0, true);
    column(1, 20, 20, {"1.00", "0.75", "0.50", "0.25", "0.15", "0.05"}, 50, true);
    column(0, 18, 20, none, 0, true);
    column(0, 18, 20, none, 0, false);
    column(1, 17, 17, {}, 100, true);
    column(1, 17, 17, {QStringLiteral("砂質土"), QStringLiteral("粘性土")}, 57, true);
    column(0, 18, 20, none, 0, false);
    return values;
}

constexpr int kButtonCol = 7;
constexpr int kToggleCol = 8;

class GridTest : public ::testing::Test
{
protected:
    GridTest()
    {
        grid.SetColCount(9);
        grid.SetFixedCols(0);
        grid.SetRowCount(8);
        grid.SetRowHeights(0, 19);
        const int widths[] = {55, 53, 64, 64, 64, 64, 64, 40, 40};
        for (int col = 0; col < 9; ++col)
            grid.SetColWidths(col, widths[col]);
        grid.ReadCellKind(soundGridKinds());
        const QStringList titles{"D (m) ", "Wsw(kN)", "Na", "Nsw", "観察", "土質", "換算Ｎ値"};
        for (int col = 0; col < titles.size(); ++col)
            grid.SetCells(col, 0, titles.at(col));
        TCellKind &button = grid.GetCellKind(kButtonCol);
        button.SetKind(ckButton);
        button.SetItems(QStringList{QStringLiteral("計算")});
        TCellKind &toggle = grid.GetCellKind(kToggleCol);
        toggle.SetKind(ckToggle);
        toggle.SetItems(
            QList<TCellKindItem>{{QStringLiteral("いいえ"), 0}, {QStringLiteral("はい"), 1}});
        for (int row = 1; row < 8; ++row)
            grid.SetCells(kToggleCol, row, QStringLiteral("いいえ"));
        grid.SetOptions(kGridLines | goEditing);
        grid.resize(640, 330);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.activateWindow();
        grid.setFocus();
    }

    QPoint inViewport(int col, int row) const
    {
        return grid.viewport()->mapFrom(&grid, grid.CellRect(col, row).center());
    }

    void press(int col, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(grid.viewport(), button, {}, inViewport(col, row));
    }
    void release(int col, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(grid.viewport(), button, {}, inViewport(col, row));
    }
    void click(int col, int row)
    {
        press(col, row);
        release(col, row);
    }

    // Opens the editor on a cell with F2; answers it, or null when it did not open.
    TComboInplaceEdit *openEditor(int col, int row)
    {
        grid.FocusCell(col, row);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_F2);
        return grid.EditorMode() ? grid.InplaceEditor() : nullptr;
    }

    TComboGrid grid;
};

TEST(CellKindTest, UnconfiguredColumnBehavesAsDefaultText)
{
    TComboGrid grid;
    grid.SetColCount(3);
    TCellKind &kind = grid.GetCellKind(7);
    EXPECT_EQ(&grid.GetCellKind(7), &kind); // created once, then the same
    EXPECT_EQ(kind.Grid(), &grid);
    EXPECT_EQ(kind.Kind(), ckText);
    EXPECT_EQ(kind.Align(), 17);
    EXPECT_EQ(kind.TitleAlign(), 17);
    EXPECT_EQ(kind.Margin(), 2);
    EXPECT_TRUE(kind.Editable());
    EXPECT_TRUE(kind.Items().isEmpty());
    EXPECT_EQ(kind.MaxLength(), 0);
    EXPECT_EQ(kind.DropDownWidth(), 0);
    EXPECT_TRUE(grid.GetEditMask(7, 1).isEmpty());
    grid.SetCells(2, 1, QStringLiteral("1.5"));
    EXPECT_EQ(grid.DisplayText(2, 1), QStringLiteral("1.5"));
}

TEST(CellKindTest, AssignCopiesEverythingButTheGrid)
{
    TComboGrid grid;
    TCellKind &source = grid.GetCellKind(1);
    source.SetKind(ckToggle);
    source.SetAlign(20);
    source.SetTitleAlign(18);
    source.SetItems(QList<TCellKindItem>{{"a", 0}, {"b", 1}});
    source.SetEditable(false);
    source.SetDropDownWidth(80);
    source.SetMargin(-3);
    source.SetMaxLength(5);
    TCellKind copy;
    copy.Assign(source);
    EXPECT_TRUE(copy.SameAs(source));
    EXPECT_EQ(copy.Grid(), nullptr);
}

TEST_F(GridTest, TextColumnShowsNumbersThroughItsPicture)
{
    grid.GetCellKind(0).SetItems(QStringList{QString(), QStringLiteral("0.00")});
    grid.GetCellKind(1).SetItems(QStringList{QStringLiteral("1.00"), QStringLiteral("0.00")});
    const struct
    {
        const char *text;
        const char *shown;
    } cases[] = {{"1.5", "1.50"}, {" 2 ", "2.00"}, {"abc", "abc"}, {"", ""}, {"自沈", "自沈"}};
    for (const auto &c : cases) {
        grid.SetCells(0, 1, QString::fromUtf8(c.text));
        EXPECT_EQ(grid.DisplayText(0, 1), QString::fromUtf8(c.shown)) << c.text;
        EXPECT_EQ(grid.model()->index(1, 0).data(Qt::DisplayRole).toString(),
                  QString::fromUtf8(c.shown));
        EXPECT_EQ(grid.Cells(0, 1), QString::fromUtf8(c.text)); // the stored text stays
    }
    grid.SetCells(0, 0, QStringLiteral("1.5"));
    EXPECT_EQ(grid.DisplayText(0, 0), QStringLiteral("1.5")); // titles are never pictured
    grid.SetCells(1, 1, QStringLiteral("1.5"));
    EXPECT_EQ(grid.DisplayText(1, 1), QStringLiteral("1.5")); // nor drop-down columns
}

TEST_F(GridTest, ButtonShowsItsCaptionOrItsOwnText)
{
    grid.SetCells(kButtonCol, 1, QStringLiteral("x"));
    grid.SetCells(kButtonCol, 2, QStringLiteral("y"));
    EXPECT_EQ(grid.DisplayText(kButtonCol, 1), QStringLiteral("計算"));
    EXPECT_EQ(grid.DisplayText(kButtonCol, 2), QStringLiteral("計算"));
    EXPECT_EQ(grid.DisplayText(kButtonCol, 3), QStringLiteral("計算"));
    grid.GetCellKind(kButtonCol).SetItems(QStringList{kUseCellData});
    EXPECT_EQ(grid.DisplayText(kButtonCol, 1), QStringLiteral("x"));
    EXPECT_EQ(grid.DisplayText(kButtonCol, 2), QStringLiteral("y"));
    grid.GetCellKind(kButtonCol).ClearItems();
    EXPECT_EQ(grid.DisplayText(kButtonCol, 1), QString()); // no caption: an empty button
}

TEST_F(GridTest, NextToggleStateCyclesThroughTheStates)
{
    const struct
    {
        QList<TCellKindItem> items;
        const char *from;
        const char *to;
    } cases[] = {
        {{{"いいえ", 0}, {"はい", 1}}, "いいえ", "はい"},
        {{{"いいえ", 0}, {"はい", 1}}, "はい", "いいえ"},
        {{{"いいえ", 0}, {"はい", 1}}, "たぶん", "いいえ"}, // unknown: the first state
        {{{"off", 0}, {"on", 1}}, "OFF", "on"},             // letter case ignored
        {{{"off", 0}, {"on", 1}}, "On", "off"},
        {{{"a", 0}, {"b", 0}}, "b", "b"}, // no state of value 1: it stays
        {{{"x", 1}, {"y", 0}, {"z", 1}}, "y", "x"},
        {{}, "keep", "keep"}, // no states at all: nothing changes
    };
    for (const auto &c : cases) {
        grid.GetCellKind(kToggleCol).SetItems(c.items);
        grid.SetCells(kToggleCol, 2, QString::fromUtf8(c.from));
        grid.NextToggleState(kToggleCol, 2);
        EXPECT_EQ(grid.Cells(kToggleCol, 2), QString::fromUtf8(c.to)) << c.from;
    }
}

TEST_F(GridTest, ClickOnToggleTogglesAndReportsOnce)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    press(kToggleCol, 3);
    EXPECT_EQ(grid.PressedCol(), kToggleCol);
    EXPECT_EQ(grid.PressedRow(), 3);
    release(kToggleCol, 3);
    EXPECT_EQ(grid.Cells(kToggleCol, 3), QStringLiteral("はい"));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), kToggleCol);
    EXPECT_EQ(clicks.at(0).at(1).toInt(), 3);
    EXPECT_EQ(grid.PressedCol(), -1);
    click(kToggleCol, 3);
    EXPECT_EQ(grid.Cells(kToggleCol, 3), QStringLiteral("いいえ"));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(GridTest, ToggleDoesNotToggleWhenNotEditable)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    grid.GetCellKind(kToggleCol).SetEditable(false);
    click(kToggleCol, 2);
    EXPECT_EQ(grid.Cells(kToggleCol, 2), QStringLiteral("いいえ"));

    grid.GetCellKind(kToggleCol).SetEditable(true);
    grid.SetOptions(kGridLines | goRangeSelect); // no editing
    click(kToggleCol, 2);
    grid.FocusCell(kToggleCol, 2);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(grid.Cells(kToggleCol, 2), QStringLiteral("いいえ"));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(grid.PressedCol(), -1);
}

TEST_F(GridTest, ButtonPressAndReleaseOnItRaisesOneClick)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    press(kButtonCol, 2);
    EXPECT_EQ(grid.PressedCol(), kButtonCol);
    EXPECT_EQ(clicks.count(), 0);
    release(kButtonCol, 2);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), kButtonCol);
    EXPECT_EQ(clicks.at(0).at(1).toInt(), 2);
}

TEST_F(GridTest, ButtonReleasedElsewhereRaisesNothing)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    press(kButtonCol, 2);
    release(kButtonCol, 4);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(grid.PressedCol(), -1);
    EXPECT_EQ(grid.PressedRow(), -1);
    press(kToggleCol, 2);
    release(0, 2);
    EXPECT_EQ(grid.Cells(kToggleCol, 2), QStringLiteral("いいえ"));
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(GridTest, SpaceOnButtonRaisesOneClickOnKeyUp)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    grid.FocusCell(kButtonCol, 5);
    QTest::keyPress(&grid, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(grid.PressedRow(), 5);
    // A held key repeats; that must not press again nor click.
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
    QApplication::sendEvent(&grid, &repeatUp);
    QApplication::sendEvent(&grid, &repeatDown);
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(&grid, Qt::Key_Space);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), kButtonCol);
    EXPECT_EQ(clicks.at(0).at(1).toInt(), 5);
    EXPECT_EQ(grid.PressedCol(), -1);
}

TEST_F(GridTest, SpaceOnToggleToggles)
{
    grid.FocusCell(kToggleCol, 4);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(grid.Cells(kToggleCol, 4), QStringLiteral("はい"));
}

TEST_F(GridTest, EnterOnButtonRaisesAClick)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    grid.FocusCell(kButtonCol, 3);
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(1).toInt(), 3);
}

TEST_F(GridTest, ButtonInAFixedColumnIsClickable)
{
    grid.SetFixedCols(1);
    grid.GetCellKind(0).SetKind(ckButton);
    grid.GetCellKind(0).SetItems(QStringList{kUseCellData});
    grid.SetCells(0, 2, QStringLiteral("行2"));
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    const QRect cell = grid.CellRect(0, 2);
    ASSERT_FALSE(cell.isEmpty());
    int col = -1;
    int row = -1;
    ASSERT_TRUE(grid.MouseToCell(cell.center(), col, row));
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 2);
    QWidget *header = grid.verticalHeader()->viewport();
    const QPoint at = header->mapFrom(&grid, cell.center());
    QTest::mousePress(header, Qt::LeftButton, {}, at);
    QTest::mouseRelease(header, Qt::LeftButton, {}, at);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 0);
    EXPECT_EQ(clicks.at(0).at(1).toInt(), 2);
}

TEST_F(GridTest, EditorNeverOpensOnButtonsTogglesOrReadOnlyColumns)
{
    for (const int col : {kButtonCol, kToggleCol, 3, 6}) {
        const QString before = grid.Cells(col, 2);
        EXPECT_EQ(openEditor(col, 2), nullptr) << col;
        QTest::keyClick(&grid, Qt::Key_Return);
        QTest::keyClick(&grid, Qt::Key_A);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, inViewport(col, 2));
        grid.SetEditorMode(true);
        EXPECT_FALSE(grid.EditorMode()) << col;
        if (col == kToggleCol)
            grid.SetCells(col, 2, before); // the double click toggles; typing must not
        EXPECT_EQ(grid.Cells(col, 2), before) << col;
    }
    EXPECT_NE(openEditor(2, 2), nullptr);
}

TEST_F(GridTest, EditorDoesNotOpenWithoutTheEditingOption)
{
    grid.SetOptions(kGridLines | goRangeSelect);
    EXPECT_EQ(openEditor(2, 2), nullptr);
    QTest::keyClick(&grid, Qt::Key_5);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_TRUE(grid.Cells(2, 2).isEmpty());
}

TEST_F(GridTest, TypedTextGoesIntoTheCell)
{
    grid.FocusCell(2, 3);
    QTest::keyClick(&grid, Qt::Key_1);
    ASSERT_TRUE(grid.EditorMode());
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_2);
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Return);
    QApplication::processEvents(); // the view closes its editor through the event loop
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(2, 3), QStringLiteral("12"));
}

TEST_F(GridTest, EditorTakesTheMaskAndLengthOfTextColumns)
{
    grid.GetCellKind(2).SetMaxLength(3);
    TComboInplaceEdit *editor = openEditor(2, 2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 3);
    grid.SetEditorMode(false);
    grid.GetCellKind(2).SetMaxLength(0); // no limit, not "nothing may be typed"
    editor = openEditor(2, 2);
    ASSERT_NE(editor, nullptr);
    EXPECT_GT(editor->maxLength(), 1000);
    EXPECT_TRUE(editor->inputMask().isEmpty());
    grid.SetEditorMode(false);
    grid.GetCellKind(2).SetItems(QStringList{QStringLiteral("99"), QString()});
    editor = openEditor(2, 2);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->inputMask().startsWith(QStringLiteral("99")));
}

TEST_F(GridTest, DropDownIsAtLeastAsWideAsTheEditorAndAlignsRight)
{
    grid.GetCellKind(4).SetItems(QStringList{QStringLiteral("ジャリジャリ"), QString()});
    const struct
    {
        int col;
        int expectedWidth;
    } cases[] = {{1, 53}, {4, 100}}; // 50 < 53 widened; 100 > 64 kept
    for (const auto &c : cases) {
        TComboInplaceEdit *editor = openEditor(c.col, 2);
        ASSERT_NE(editor, nullptr);
        editor->ToggleDropDown();
        TInplaceListBox *list = editor->DropDownList();
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(list->isVisible());
        EXPECT_TRUE(grid.EditorMode()); // the editor stays open while the list is
        EXPECT_EQ(list->width(), c.expectedWidth) << c.col;
        const QPoint editorCorner = editor->mapToGlobal(QPoint(0, 0));
        EXPECT_EQ(list->geometry().right(), editorCorner.x() + editor->width() - 1) << c.col;
        EXPECT_EQ(list->geometry().top(), editorCorner.y() + editor->height()) << c.col;
        QTest::keyClick(list, Qt::Key_Escape);
        grid.SetEditorMode(false);
    }
}

TEST_F(GridTest, DropDownSelectsTheEntryShownInTheEditor)
{
    const struct
    {
        const char *text;
        int row;
    } cases[] = {{"0.50", 2}, {"1.00", 0}, {"2.00", -1}, {"", -1}};
    for (const auto &c : cases) {
        grid.SetCells(1, 3, QString::fromUtf8(c.text));
        TComboInplaceEdit *editor = openEditor(1, 3);
        ASSERT_NE(editor, nullptr);
        editor->ToggleDropDown();
        TInplaceListBox *list = editor->DropDownList();
        EXPECT_EQ(list->currentRow(), c.row) << c.text;
        EXPECT_EQ(list->selectedItems().size(), c.row < 0 ? 0 : 1) << c.text;
        QTest::keyClick(list, Qt::Key_Escape);
        grid.SetEditorMode(false);
    }
    grid.GetCellKind(5).SetItems(QStringList{QStringLiteral("Sand"), QStringLiteral("Clay")});
    grid.SetCells(5, 3, QStringLiteral("clay"));
    TComboInplaceEdit *editor = openEditor(5, 3);
    ASSERT_NE(editor, nullptr);
    editor->ToggleDropDown();
    EXPECT_EQ(editor->DropDownList()->currentRow(), 1); // letter case ignored
}

TEST_F(GridTest, EscapeClosesTheDropDownWithoutChange)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    grid.SetCells(1, 2, QStringLiteral("0.75"));
    TComboInplaceEdit *editor = openEditor(1, 2);
    ASSERT_NE(editor, nullptr);
    editor->ToggleDropDown();
    TInplaceListBox *list = editor->DropDownList();
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(editor->text(), QStringLiteral("0.75"));
    grid.SetEditorMode(false);
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("0.75"));
    EXPECT_EQ(clicks.count(), 0);
}

// With its list closed, Escape in a drop-down editor is swallowed: the editor stays open with
// what was typed. A text editor is still closed by it, its cell unchanged.
TEST_F(GridTest, EscapeWithTheListClosedKeepsOnlyADropDownEditorOpen)
{
    const struct
    {
        int col;
        bool staysOpen;
    } cases[] = {{1, true}, {0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.col);
        grid.SetCells(c.col, 2, QStringLiteral("0.75"));
        TComboInplaceEdit *editor = openEditor(c.col, 2);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("0.3"));
        ASSERT_EQ(editor->text(), QStringLiteral("0.3"));
        QTest::keyClick(editor, Qt::Key_Escape);
        EXPECT_EQ(grid.EditorMode(), c.staysOpen);
        if (c.staysOpen) {
            EXPECT_EQ(grid.InplaceEditor(), editor);
            EXPECT_EQ(editor->text(), QStringLiteral("0.3"));
            EXPECT_FALSE(editor->DropDownVisible());
            grid.SetEditorMode(false);
        }
        EXPECT_EQ(grid.Cells(c.col, 2),
                  c.staysOpen ? QStringLiteral("0.3") : QStringLiteral("0.75"));
    }
}

TEST_F(GridTest, UpAndDownInTheEditorStepThroughTheEntries)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    grid.SetCells(1, 2, QStringLiteral("0.75"));
    TComboInplaceEdit *editor = openEditor(1, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyPress(editor, Qt::Key_Down);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(editor->text(), QStringLiteral("0.75")); // taken on key up
    QTest::keyRelease(editor, Qt::Key_Down);
    EXPECT_EQ(editor->text(), QStringLiteral("0.50"));
    QTest::keyClick(editor, Qt::Key_Up);
    QTest::keyClick(editor, Qt::Key_Up);
    EXPECT_EQ(editor->text(), QStringLiteral("1.00"));
    QTest::keyClick(editor, Qt::Key_Up); // stays on the first entry
    EXPECT_EQ(editor->text(), QStringLiteral("1.00"));
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Row(), 2); // the keys did not move to another row
    grid.SetEditorMode(false);

    // An empty cell of a list that ends in an empty entry (as the observations do) starts
    // before the first entry, not at the empty one.
    grid.GetCellKind(1).SetItems({QStringLiteral("1.00"), QStringLiteral("0.75"), QString()});
    editor = openEditor(1, 3);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(editor->text(), QStringLiteral("1.00"));
}

TEST_F(GridTest, EntryPickedWithTheMouseGoesIntoTheCell)
{
    QSignalSpy clicks(&grid, &TComboGrid::OnGridBtnClick);
    TComboInplaceEdit *editor = openEditor(1, 4);
    ASSERT_NE(editor, nullptr);
    // A click on the drop-down button opens the list.
    const QPoint button(editor->width() - 3, editor->height() / 2);
    QTest::mouseClick(editor, Qt::LeftButton, {}, button);
    TInplaceListBox *list = editor->DropDownList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(3)).center());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(editor->text(), QStringLiteral("0.25"));
    EXPECT_EQ(grid.Cells(1, 4), QStringLiteral("0.25"));
    ASSERT_GE(clicks.count(), 1);
    EXPECT_EQ(clicks.last().at(0).toInt(), 1);
    EXPECT_EQ(clicks.last().at(1).toInt(), 4);
}

// While the list is open it holds the mouse: a press anywhere arrives at its window.
void pressWhileOpen(TInplaceListBox *list, const QPoint &global)
{
    QWindow *window = list->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint local = window->mapFromGlobal(global);
    QTest::mousePress(window, Qt::LeftButton, {}, local);
    QTest::mouseRelease(window, Qt::LeftButton, {}, local);
    QApplication::processEvents();
}

TEST_F(GridTest, ClickOnTheButtonAgainOrElsewhereClosesTheList)
{
    TComboInplaceEdit *editor = openEditor(1, 4);
    ASSERT_NE(editor, nullptr);
    const QPoint button(editor->width() - 3, editor->height() / 2);
    QTest::mouseClick(editor, Qt::LeftButton, {}, button);
    TInplaceListBox *list = editor->DropDownList();
    ASSERT_TRUE(list->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    pressWhileOpen(list, editor->mapToGlobal(button));
    EXPECT_FALSE(list->isVisible()); // closed, and not opened again by the same press
    EXPECT_TRUE(grid.EditorMode());

    QTest::mouseClick(editor, Qt::LeftButton, {}, button);
    ASSERT_TRUE(list->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    pressWhileOpen(list, grid.viewport()->mapToGlobal(inViewport(2, 6)));
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(grid.Cells(1, 4), QString()); // nothing was chosen
}

TEST_F(GridTest, RightClickKeepsTheSelection)
{
    grid.SetOptions(kGridLines | goRangeSelect);
    const TGridRect rows{0, 2, 6, 4};
    grid.SetSelection(rows);
    QSignalSpy downs(&grid, &TComboGrid::OnMouseDown);
    press(3, 6, Qt::RightButton);
    release(3, 6, Qt::RightButton);
    EXPECT_EQ(grid.Selection(), rows);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    int col = -1;
    int row = -1;
    ASSERT_TRUE(
        grid.MouseToCell(QPoint(downs.at(0).at(2).toInt(), downs.at(0).at(3).toInt()), col, row));
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 6);
}

// With range selection, Shift and a moving key extend the range from where it started, Ctrl
// held or not; without Shift the range shrinks to the new current cell.
TEST_F(GridTest, ShiftWithMovingKeysExtendsTheRange)
{
    grid.SetOptions(kGridLines | goRangeSelect);
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    const struct
    {
        const char *keys;
        QList<QPair<Qt::Key, Qt::KeyboardModifiers>> presses;
        TGridRect selection;
    } cases[] = {
        {"Shift+Down", {{Qt::Key_Down, Qt::ShiftModifier}}, {1, 2, 1, 3}},
        {"Shift+PgDn", {{Qt::Key_PageDown, Qt::ShiftModifier}}, {1, 2, 1, 7}},
        {"Shift+End", {{Qt::Key_End, Qt::ShiftModifier}}, {1, 2, 8, 2}},
        {"Shift+Ctrl+End", {{Qt::Key_End, shiftCtrl}}, {1, 2, 8, 7}},
        {"Shift+Ctrl+Home", {{Qt::Key_Home, shiftCtrl}}, {0, 1, 1, 2}},
        {"Shift+Right, Shift+Ctrl+End",
         {{Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_End, shiftCtrl}},
         {1, 2, 8, 7}},
        {"Ctrl+End", {{Qt::Key_End, Qt::ControlModifier}}, {8, 7, 8, 7}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keys);
        grid.FocusCell(1, 2);
        for (const auto &[key, modifiers] : c.presses)
            QTest::keyClick(&grid, key, modifiers);
        const auto text = [](const TGridRect &r) {
            return QStringLiteral("%1,%2-%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
        };
        EXPECT_EQ(text(grid.Selection()).toStdString(), text(c.selection).toStdString());
    }
}

TEST_F(GridTest, KeyPressHandlerCanTakeAKey)
{
    int seen = 0;
    QObject::connect(&grid, &TComboGrid::OnKeyPress, [&seen](QKeyEvent *event) {
        ++seen;
        if (event->key() == Qt::Key_5)
            event->accept();
    });
    grid.FocusCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_5); // taken by the handler: no editing
    EXPECT_FALSE(grid.EditorMode());
    QTest::keyClick(&grid, Qt::Key_6);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(seen, 2);
}

TEST_F(GridTest, SizesAndCellsMeetTheirPlaces)
{
    EXPECT_EQ(grid.ColWidths(1), 53);
    EXPECT_EQ(grid.RowHeights(0), 19);
    EXPECT_EQ(grid.RowHeights(3), 24);
    EXPECT_EQ(grid.horizontalHeader()->height(), 19 + 1); // the title row and its line
    EXPECT_EQ(grid.CellRect(1, 0).size(), QSize(53, 19));
    EXPECT_EQ(grid.CellRect(1, 3).size(), QSize(53, 24));
    EXPECT_EQ(grid.CellRect(2, 3).left(), grid.CellRect(2, 0).left());
    for (const QPoint cell : {QPoint(0, 0), QPoint(6, 0), QPoint(0, 1), QPoint(5, 7)}) {
        int col = -1;
        int row = -1;
        ASSERT_TRUE(grid.MouseToCell(grid.CellRect(cell.x(), cell.y()).center(), col, row));
        EXPECT_EQ(QPoint(col, row), cell);
    }
    int col = 0;
    int row = 0;
    EXPECT_FALSE(grid.MouseToCell(QPoint(630, 320), col, row)); // beyond the last column
    EXPECT_EQ(col, -1);
}

TEST_F(GridTest, HeaderOnlyGridKeepsItsTitleRow)
{
    grid.SetRowCount(1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Cells(2, 0), QStringLiteral("Na"));
    EXPECT_TRUE(grid.Cells(2, 1).isEmpty());
    EXPECT_EQ(grid.WriteCellData().size(), 7 * 3);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_FALSE(grid.CellRect(0, 3).isEmpty());
}

TEST_F(GridTest, CellKindWriteThenReadGivesTheSameKinds)
{
    TCellKind &toggle = grid.GetCellKind(kToggleCol);
    toggle.SetAlign(18);
    toggle.SetMargin(-4);
    grid.GetCellKind(2).SetMaxLength(3);
    const QVariantList written = grid.WriteCellKind();

    // Through the bytes of a window description and back.
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << written;
    }
    QVariantList read;
    QDataStream in(bytes);
    in >> read;

    TComboGrid other;
    other.SetColCount(9);
    other.ReadCellKind(read);
    for (int col = 0; col < 9; ++col)
        EXPECT_TRUE(other.GetCellKind(col).SameAs(grid.GetCellKind(col))) << col;
    EXPECT_EQ(other.WriteCellKind(), written);
}

TEST_F(GridTest, CellKindValuesComeInTheirOrder)
{
    TComboGrid fresh;
    fresh.SetColCount(7);
    fresh.ReadCellKind(soundGridKinds());
    EXPECT_EQ(fresh.WriteCellKind(), soundGridKinds());
    const TCellKind &load = fresh.GetCellKind(1);
    EXPECT_EQ(load.Kind(), ckDropDown);
    EXPECT_EQ(load.TitleAlign(), 20);
    EXPECT_EQ(load.Align(), 20);
    EXPECT_EQ(load.ItemTexts(), QStringList({"1.00", "0.75", "0.50", "0.25", "0.15", "0.05"}));
    EXPECT_EQ(load.DropDownWidth(), 50);
    EXPECT_FALSE(fresh.GetCellKind(3).Editable());

    // Toggle columns carry a state value after each entry.
    fresh.GetCellKind(6).SetKind(ckToggle);
    fresh.GetCellKind(6).SetItems(QList<TCellKindItem>{{"a", 0}, {"b", 1}});
    const QVariantList values = fresh.WriteCellKind();
    EXPECT_EQ(values.mid(values.size() - 12),
              QVariantList(
                  {3, 18, 20, 2, QStringLiteral("a"), 0, QStringLiteral("b"), 1, 0, 2, 0, false}));
}

TEST_F(GridTest, ShorterCellKindListLeavesFurtherColumnsToDefaults)
{
    grid.ReadCellKind(soundGridKinds().mid(0, 24)); // the first two columns only
    EXPECT_EQ(grid.GetCellKind(1).Kind(), ckDropDown);
    const TCellKind &third = grid.GetCellKind(2);
    EXPECT_TRUE(third.SameAs(TCellKind()));
    EXPECT_EQ(third.Grid(), &grid);
    EXPECT_EQ(grid.WriteCellKind().size(), 24 + 7 * 8); // defaults written for the others
}

TEST_F(GridTest, MalformedCellKindChangesNothing)
{
    const QVariantList good = soundGridKinds();
    const QList<QVariantList> bad = {
        good.mid(0, good.size() - 1),                     // Editable missing
        QVariantList({0, 17, 17, 5, "a", 0, 2, 0, true}), // more entries than values
        QVariantList({0, 17, 17, -1, 0, 2, 0, true}),     // negative count
        QVariantList({"0", 17, 17, 0, 0, 2, 0, true}),    // a string for a number
        QVariantList({0, 17, 17, 0, 0, 2, 0, 1}),         // a number for a boolean
        QVariantList({0, 17, 17, 0, 0, 300, 0, true}),    // margin beyond a byte
        QVariantList({3, 17, 17, 1, "on", 0, 2, 0}),      // toggle value eats the next field
    };
    grid.GetCellKind(2).SetMaxLength(9);
    const QVariantList before = grid.WriteCellKind();
    for (int i = 0; i < bad.size(); ++i) {
        EXPECT_THROW(grid.ReadCellKind(bad.at(i)), ETessmarkError) << i;
        EXPECT_EQ(grid.WriteCellKind(), before) << i;
    }
}

TEST_F(GridTest, CellDataWritesFilledCellsRowByRowAndReadsThemBack)
{
    grid.SetRowCount(3);
    grid.SetCells(kToggleCol, 1, QString());
    grid.SetCells(kToggleCol, 2, QString());
    grid.SetCells(4, 1, QStringLiteral("ガリガリ"));
    grid.SetCells(0, 2, QStringLiteral("0.25"));
    const QVariantList values = grid.WriteCellData();
    QVariantList expected;
    const QStringList titles{"D (m) ", "Wsw(kN)", "Na", "Nsw", "観察", "土質", "換算Ｎ値"};
    for (int col = 0; col < titles.size(); ++col)
        expected << col << 0 << titles.at(col);
    expected << 4 << 1 << QStringLiteral("ガリガリ") << 0 << 2 << QStringLiteral("0.25");
    EXPECT_EQ(values, expected);

    TComboGrid other;
    other.SetColCount(9);
    other.SetRowCount(3);
    other.SetCells(8, 2, QStringLiteral("keep"));
    other.ReadCellData(values);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 7; ++col)
            EXPECT_EQ(other.Cells(col, row), grid.Cells(col, row)) << col << "," << row;
    EXPECT_EQ(other.Cells(8, 2), QStringLiteral("keep"));

    EXPECT_THROW(other.ReadCellData(QVariantList({1, 1})), ETessmarkError);
    EXPECT_THROW(other.ReadCellData(QVariantList({1, 1, QStringLiteral("x"), 2, "1", "y"})),
                 ETessmarkError);
    EXPECT_NE(other.Cells(1, 1), QStringLiteral("x")); // nothing of a bad list is taken
}

TEST_F(GridTest, EveryDrawnCellIsReportedAndDefaultDrawingOffDrawsNothing)
{
    QList<QPair<QPoint, TGridDrawState>> drawn;
    QObject::connect(&grid, &TComboGrid::OnDrawCell,
                     [&drawn](QPainter *, int col, int row, const QRect &, TGridDrawState state) {
                         drawn.append({QPoint(col, row), state});
                     });
    grid.FocusCell(2, 3);
    QImage shown = grid.grab().toImage();
    const auto stateOf = [&drawn](int col, int row) {
        for (const auto &cell : drawn) {
            if (cell.first == QPoint(col, row))
                return std::optional<TGridDrawState>(cell.second);
        }
        return std::optional<TGridDrawState>();
    };
    ASSERT_TRUE(stateOf(4, 0).has_value());
    EXPECT_TRUE(*stateOf(4, 0) & gdFixed);
    ASSERT_TRUE(stateOf(2, 3).has_value());
    EXPECT_TRUE(*stateOf(2, 3) & gdSelected);
    EXPECT_FALSE(*stateOf(5, 5) & gdFixed);

    // Without default drawing the data cells are left to the handler: all one colour.
    grid.SetCells(0, 2, QStringLiteral("88.88"));
    grid.SetDefaultDrawing(false);
    drawn.clear();
    shown = grid.grab().toImage();
    EXPECT_TRUE(stateOf(0, 2).has_value());
    const QRect cell = grid.CellRect(0, 2).translated(-grid.viewport()->pos());
    const QImage inside = grid.viewport()->grab(cell).toImage();
    for (int y = 0; y < inside.height(); ++y)
        for (int x = 0; x < inside.width(); ++x)
            ASSERT_EQ(inside.pixel(x, y), inside.pixel(0, 0)) << x << "," << y;
}

TEST_F(GridTest, AlwaysShownEditorFollowsTheCurrentCell)
{
    grid.SetOptions(kGridLines | goEditing | goAlwaysShowEditor);
    grid.FocusCell(2, 3);
    EXPECT_TRUE(grid.EditorMode());
    grid.FocusCell(kButtonCol, 3);
    EXPECT_FALSE(grid.EditorMode());
    grid.FocusCell(0, 4);
    EXPECT_TRUE(grid.EditorMode());
}

TEST_F(GridTest, LargeGridsFillInLinearTime)
{
    QElapsedTimer timer;
    timer.start();
    grid.SetRowCount(20001);
    for (int row = 1; row <= 20000; ++row)
        for (int col = 0; col < 7; ++col)
            grid.SetCells(col, row, QString::number(row));
    grid.SetDefaultRowHeight(22);
    grid.scrollToBottom();
    QApplication::processEvents();
    grid.SetRowCount(1);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(grid.RowCount(), 1);
}

} // namespace
