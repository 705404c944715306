#include "clipboard.h"
#include "events.h"
#include "form_fixture.h"
#include "inputdialogs.h"
#include "numedit.h"
#include "updown.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs `act` on the next modal dialog as soon as it shows.
void onNextDialog(std::function<void(QDialog *)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

void setField(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Types `text` into a cell through the grid's in-place editor.
void typeCell(TComboGrid &grid, int col, int row, const QString &text)
{
    grid.FocusCell(col, row);
    QTest::keyClicks(&grid, text.left(1));
    ASSERT_TRUE(grid.EditorMode()) << col << "," << row;
    QTest::keyClicks(grid.InplaceEditor(), text.mid(1));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Return);
    QApplication::processEvents();
}

// Right-clicks the grid with `selection` and answers the menu that opened (closed again, so
// its actions can be triggered), or null.
QMenu *rightClick(Tgrid_form &form, const TGridRect &selection)
{
    form.SoundGrid->SetSelection(selection);
    QTest::mouseClick(form.SoundGrid->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QMenu *menu = form.OpenGridMenu();
    if (menu)
        menu->close();
    return menu;
}

QAction *itemOf(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    ADD_FAILURE() << "no item " << text.toStdString();
    return nullptr;
}

class ManualInputTest : public FormFixture
{
protected:
    // A new manual test of `rows` rows with test code 12-3-45-6789.
    std::unique_ptr<Tgrid_form> newManualTest(int rows)
    {
        auto form = started();
        onNextDialog([rows](QDialog *dialog) {
            auto *rowsDialog = qobject_cast<TInpRawsForm *>(dialog);
            ASSERT_NE(rowsDialog, nullptr);
            setField(rowsDialog->Edit1, QString::number(rows));
            onNextDialog([](QDialog *next) {
                auto *info = qobject_cast<TInfInputForm *>(next);
                ASSERT_NE(info, nullptr);
                const int values[] = {12, 3, 45, 6789};
                for (int i = 0; i < 4; ++i)
                    setField(info->NumEdits[i], QString::number(values[i]));
                info->OKBtn->click();
            });
            rowsDialog->OKBtn->click();
        });
        form->New1->trigger();
        return form;
    }
};

TEST_F(ManualInputTest, NewTestStartsInInputMode)
{
    auto form = newManualTest(40);
    EXPECT_EQ(form->SoundGrid->RowCount(), 41);
    EXPECT_EQ(form->Setting.Raws, 40);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessmark     新規手入力データ  [標準データ]"));
    EXPECT_EQ(form->StatusText(0), QStringLiteral("手入力 -入力"));
    EXPECT_EQ(form->lblTestCode->text(), QStringLiteral("試験コード  012-003-045-6789"));
    EXPECT_EQ(labelTexts(*form).last(), QStringLiteral("GPS未測位"));
    EXPECT_EQ(form->DataKind, 2);
    EXPECT_EQ(form->DataState, 2);
    EXPECT_TRUE(form->K3->menuAction()->isEnabled());
    EXPECT_TRUE(form->KManuEdit->isEnabled());
    EXPECT_FALSE(form->KManuInp->isEnabled());
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_FALSE(form->Paste1->isEnabled());
    EXPECT_TRUE(form->SoundGrid->Options() & goEditing);
    for (int row = 1; row <= 40; ++row)
        EXPECT_TRUE(form->SoundGrid->Cells(0, row).isEmpty());

    // A click on the header panel edits the information; Cancel leaves header and GPS line.
    const QStringList header = labelTexts(*form);
    bool asked = false;
    onNextDialog([&asked](QDialog *dialog) {
        asked = qobject_cast<TInfInputForm *>(dialog) != nullptr;
        setField(dialog->findChild<QLineEdit *>(QStringLiteral("NumEdit1")), QStringLiteral("99"));
        dialog->reject();
    });
    QTest::mouseClick(form->GroupBox1, Qt::LeftButton);
    EXPECT_TRUE(asked);
    EXPECT_EQ(labelTexts(*form), header);

    // Incomplete rows keep the window in input mode with the logs as they were.
    form->KManuEdit->trigger();
    EXPECT_TRUE(
        messages.texts().value(0).startsWith(QStringLiteral("入力データに問題があります。")));
    EXPECT_FALSE(form->EditMode);
    EXPECT_EQ(form->Test.NormalLog.Count, 0);

    // Unsaved typed rows are not saved from input mode, and the close waits.
    messages.answer(QMessageBox::Yes);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(messages.texts().last().startsWith(QStringLiteral("ファイルを保存できません")));
}

// Ctrl+H (ﾃﾞｰﾀ入力 › 試験情報入力...) opens the test information of a typed test from the
// keyboard, as a click on the header panel does; a measured test's information is not edited.
TEST_F(ManualInputTest, ShortcutEditsTheTestInformationOfATypedTestOnly)
{
    const struct
    {
        const char *what;
        bool typed;
        bool asked;
        const char *testCode; // shown afterwards; empty: as before
    } cases[] = {
        {"typed test", true, true, "試験コード  099-003-045-6789"},
        {"measured test", false, false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto form = c.typed ? newManualTest(3) : showing(QStringLiteral("sample.ktd"));
        EXPECT_TRUE(form->K3->actions().contains(form->KManuInf));
        const QString before = form->lblTestCode->text();
        // Active again once the new test's dialogs have closed, as for a user.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        bool asked = false;
        // Answered inside the dialog's loop, or right after the key when none opened.
        QTimer::singleShot(0, [&asked] {
            auto *dialog = qobject_cast<TInfInputForm *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            asked = true;
            QTest::keyClicks(dialog->focusWidget(), QStringLiteral("99"));
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        });
        QTest::keyClick(form.get(), Qt::Key_H, Qt::ControlModifier);
        QCoreApplication::processEvents();
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(form->lblTestCode->text().toStdString(),
                  (*c.testCode ? QString::fromUtf8(c.testCode) : before).toStdString());
    }
}

// A value the test cannot take, typed through the editor: the switch to edit mode is refused
// with the row and column named, the cursor on that cell, and every typed cell kept.
TEST_F(ManualInputTest, AValueTheTestCannotTakeKeepsInputMode)
{
    const struct
    {
        QStringList Second; // the second row; the first is "0.25", "1.00", "4"
        QString Message;    // how the message starts
        int Column;         // where the cursor goes
    } cases[] = {
        {{"100.00", "1.00", "4"}, "2 行目の貫入深さが範囲外です", 0},
        {{"0.20", "1.00", "4"}, "2 行目の貫入深さが上の行", 0},
        {{"0.50", "-1", "4"}, "2 行目の荷重が範囲外です", 1},
        {{"0.50", "0.333", "4"}, "2 行目の荷重が範囲外です", 1},
        {{"0.50", "1.00", "abc"}, "2 行目の半回転数が数値ではありません", 2},
        {{"0.5a", "1.00", "4"}, "2 行目の貫入深さが数値ではありません", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Second.join(' ').toStdString());
        messages.AskedBoxes.clear();
        auto form = newManualTest(2);
        const QStringList rows[] = {{"0.25", "1.00", "4"}, c.Second};
        for (int row = 1; row <= 2; ++row)
            for (int col = 0; col < 3; ++col)
                typeCell(*form->SoundGrid, col, row, rows[row - 1].at(col));
        const QStringList typed = gridTexts(*form);

        form->KManuEdit->trigger();
        EXPECT_TRUE(messages.texts().value(0).startsWith(c.Message))
            << messages.texts().join('|').toStdString();
        EXPECT_FALSE(form->EditMode);
        EXPECT_EQ(form->StatusText(0), QStringLiteral("手入力 -入力"));
        // A load below 1.00 kN is marked self-sinking on the way, as for any typed row.
        QStringList expected = typed;
        if (c.Column == 1)
            expected[2 * 7 + 2] = kSelfSinking;
        EXPECT_EQ(gridTexts(*form), expected);
        EXPECT_EQ(form->Test.NormalLog.Count, 0);
        EXPECT_EQ((QPoint(form->SoundGrid->Col(), form->SoundGrid->Row())), QPoint(c.Column, 2));
    }
}

// A manual-input file the switch to edit mode would refuse opens as if just typed: input mode, the
// switch's message, the cursor on the value to mend, every row shown.
TEST_F(ManualInputTest, AManualFileWithAValueTheTestCannotTakeOpensForMending)
{
    const QString path = box.writeCp932Lines(
        QStringLiteral("typed.kmd"), {"$T(", "12 3 45 6789 1 24 06 07 08 09", "100 0050 J01 004",
                                      "100 0075 J01 005", "100 0060 J01 006", "T10 30", ")"});
    auto form = started();
    EXPECT_EQ(form->OpenDataFile(path), 0);
    EXPECT_TRUE(messages.texts().value(0).startsWith(
        QStringLiteral("3 行目の貫入深さが上の行（0.75 m）より浅くなっています")))
        << messages.texts().join('|').toStdString();
    EXPECT_FALSE(form->EditMode);
    EXPECT_EQ(form->StatusText(0), QStringLiteral("手入力 -入力"));
    EXPECT_EQ(form->SoundGrid->RowCount(), 4);
    EXPECT_EQ(form->SoundGrid->Cells(0, 3), QStringLiteral("0.60"));
    EXPECT_EQ((QPoint(form->SoundGrid->Col(), form->SoundGrid->Row())), QPoint(0, 3));
}

// "はい" to the save question and then no completed save (cancelled, or the write failed) keeps
// the typed test and cancels the close, open or new test that asked; a completed save lets it
// go on.
TEST_F(ManualInputTest, ASaveNotCompletedKeepsTheTypedTest)
{
    const QString missingFolder = box.filePath(QStringLiteral("missing/typed.kmd"));
    const QString saved = box.filePath(QStringLiteral("typed.kmd"));
    for (const char *action : {"close", "open", "new"}) {
        for (const QString &answer : {QString(), missingFolder, saved}) {
            SCOPED_TRACE(std::string(action) + " " + answer.toStdString());
            auto form = newManualTest(1);
            form->SoundGrid->SetCells(0, 1, QStringLiteral("0.25"));
            form->SoundGrid->SetCells(1, 1, QStringLiteral("1.00"));
            form->KManuEdit->trigger();
            ASSERT_TRUE(form->EditMode);
            messages.AskedBoxes.clear();
            dialogs.ShownDialogs.clear();
            messages.answer(QMessageBox::Yes);
            if (answer.isEmpty())
                dialogs.cancel();
            else
                dialogs.choose(answer);
            QFile::remove(saved);

            bool rowsDialogShown = false;
            if (QLatin1String(action) == u"close") {
                form->close();
            } else if (QLatin1String(action) == u"open") {
                form->Open1->trigger(); // the open dialog itself is cancelled
            } else {
                QTimer::singleShot(0, [&rowsDialogShown] {
                    if (QWidget *dialog = QApplication::activeModalWidget()) {
                        rowsDialogShown = true;
                        qobject_cast<QDialog *>(dialog)->reject();
                    }
                });
                form->New1->trigger();
                QApplication::processEvents();
            }

            const bool goesOn = answer == saved;
            EXPECT_EQ(QFile::exists(saved), goesOn);
            EXPECT_EQ(form->isVisible(), !(goesOn && QLatin1String(action) == u"close"));
            EXPECT_EQ(dialogs.ShownDialogs.size(),
                      goesOn && QLatin1String(action) == u"open" ? 2 : 1);
            EXPECT_EQ(rowsDialogShown, goesOn && QLatin1String(action) == u"new");
            EXPECT_EQ(form->Test.NormalLog.Count, 1);
            EXPECT_EQ(form->DataState, goesOn ? 1 : 2);
            messages.AskedBoxes.clear();
            messages.Answers.clear();
            form->DataState = 1; // lets the fixture's window go without asking
        }
    }
}

// Typed in through the editors and the pop-ups, switched to edit mode, saved as .kmd and .kgd:
// both files reopen to the same grid.
TEST_F(ManualInputTest, TypedTestRoundTripsThroughBothFileTypes)
{
    auto form = newManualTest(3);
    TComboGrid &grid = *form->SoundGrid;
    typeCell(grid, 0, 1, QStringLiteral("0.25"));
    typeCell(grid, 1, 1, QStringLiteral("1.00"));
    typeCell(grid, 2, 1, QStringLiteral("3"));
    typeCell(grid, 0, 2, QStringLiteral("0.50"));
    typeCell(grid, 1, 2, QStringLiteral("0.50"));

    QMenu *menu = rightClick(*form, {1, 1, 1, 1});
    ASSERT_EQ(menu, form->InputPopup);
    EXPECT_FALSE(form->TikuitiMenu->isEnabled());
    form->IkkatuMenu->trigger();
    EXPECT_FALSE(form->OneByOneInput);

    ASSERT_EQ(rightClick(*form, {0, 3, 0, 3}), form->DepthPopup);
    onNextDialog([](QDialog *dialog) {
        auto *depth = qobject_cast<TSetDepthForm *>(dialog);
        ASSERT_NE(depth, nullptr);
        setField(depth->NumEdit1, QStringLiteral("75"));
        depth->OKBtn->click();
    });
    form->K5->trigger();
    ASSERT_EQ(rightClick(*form, {1, 3, 1, 3}), form->WeightPopup);
    itemOf(form->WeightPopup, QStringLiteral("0.75"))->trigger();
    ASSERT_EQ(rightClick(*form, {4, 1, 4, 3}), form->ObsPopUp);
    itemOf(form->ObsPopUp, QStringLiteral("ﾕｯｸﾘ"))->trigger();
    ASSERT_EQ(rightClick(*form, {5, 1, 5, 3}), form->DoshituPopup);
    itemOf(form->DoshituPopup, QStringLiteral("砂質土"))->trigger();
    EXPECT_EQ(rightClick(*form, {1, 1, 3, 3}), nullptr);

    form->KManuEdit->trigger();
    ASSERT_TRUE(form->EditMode) << messages.texts().join('|').toStdString();
    EXPECT_EQ(form->StatusText(0), QStringLiteral("手入力 -編集"));
    EXPECT_TRUE(form->SaveAs1->isEnabled());
    const Tkannyu &log = form->Test.NormalLog;
    ASSERT_EQ(log.Count, 3);
    EXPECT_EQ(log.FinalDepth, 75);
    EXPECT_EQ((QStringList{log.row(1).Na, log.row(2).Na, log.row(3).Na}),
              (QStringList{"3", kSelfSinking, kSelfSinking}));
    EXPECT_EQ(log.row(3).Wsw, QStringLiteral("75"));
    EXPECT_EQ(log.row(2).Obs, QStringLiteral("ﾕｯｸﾘ"));
    const QStringList typed = gridTexts(*form);

    for (const char *name : {"typed.kmd", "typed.kgd"}) {
        const QString path = QDir(dataDir()).filePath(QLatin1String(name));
        ASSERT_TRUE(form->SaveDataFile(path));
        auto reopened = started();
        ASSERT_EQ(reopened->OpenDataFile(path), 0) << messages.texts().join('|').toStdString();
        EXPECT_EQ(gridTexts(*reopened), typed) << name;
        EXPECT_EQ(reopened->Test.NormalLog.info(), log.info()) << name;
    }
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(ManualInputTest, RowMenuCopiesPastesAndChangesRows)
{
    auto form = newManualTest(6);
    TComboGrid &grid = *form->SoundGrid;
    for (int row = 1; row <= 6; ++row)
        grid.SetCells(0, row, QString::number(row));
    form->IkkatuMenu->trigger();

    grid.SetSelection({0, 1, 6, 2});
    QTest::keyClick(&grid, Qt::Key_Escape); // Esc opens the menu a right click would
    ASSERT_EQ(form->OpenGridMenu(), form->InsPopup);
    form->InsPopup->close();
    ASSERT_EQ(rightClick(*form, {0, 1, 6, 2}), form->InsPopup);
    form->Copy1->trigger();
    EXPECT_TRUE(form->Paste1->isEnabled());
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("1\t\t\t\t\t\t\r\n2\t\t\t\t\t\t\r\n"));

    rightClick(*form, {0, 5, 6, 5});
    form->Paste1->trigger();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("貼り付けできません")});
    EXPECT_EQ(grid.Cells(0, 5), QStringLiteral("5"));
    rightClick(*form, {0, 5, 6, 6});
    form->Paste1->trigger();
    EXPECT_EQ(grid.Cells(0, 5), QStringLiteral("1"));
    EXPECT_EQ(grid.Cells(0, 6), QStringLiteral("2"));

    rightClick(*form, {0, 2, 6, 3});
    form->K20->trigger();
    EXPECT_EQ(grid.RowCount(), 9);
    EXPECT_EQ((QStringList{grid.Cells(0, 2), grid.Cells(0, 4)}), (QStringList{"", "2"}));
    form->K21->trigger();
    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.Cells(0, 2), QStringLiteral("2"));
}

// The soil type of measured data is chosen by hand and marked, and undone from the table; the
// rounded view refuses it.
TEST_F(ManualInputTest, SoilChangeOfMeasuredDataAndItsUndo)
{
    auto form = showing(QStringLiteral("sample.kgd"));
    auto *graph = new QWidget; // the window owns its graph window
    int refreshes = 0;
    struct Counter : QObject
    {
        int &count;
        explicit Counter(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *e) override
        {
            count += e->type() == WM_GRAPHREFRESH;
            return false;
        }
    } counter(refreshes);
    graph->installEventFilter(&counter);
    form->SetGraphWindow(graph);

    TComboGrid &grid = *form->SoundGrid;
    const QStringList nBefore = {grid.Cells(6, 1), grid.Cells(6, 2), grid.Cells(6, 3)};
    ASSERT_EQ(rightClick(*form, {5, 1, 5, 3}), form->d_selPopup);
    itemOf(form->d_selPopup, QStringLiteral("砂質土"))->trigger();
    QApplication::processEvents();
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(grid.Cells(5, row), QStringLiteral("砂質土*"));
        EXPECT_EQ(form->Test.NormalLog.row(row).Doshitu, QStringLiteral("砂質土*"));
        EXPECT_NE(grid.Cells(6, row), nBefore.at(row - 1)) << row;
    }
    EXPECT_EQ(refreshes, 1);

    rightClick(*form, {5, 1, 5, 3});
    itemOf(form->d_selPopup, QStringLiteral("元に戻す"))->trigger();
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(grid.Cells(5, row), QStringLiteral("粘性土"));
        EXPECT_EQ(grid.Cells(6, row), nBefore.at(row - 1)) << row;
    }

    ASSERT_TRUE(form->ShowRoundedData());
    const QStringList shown = gridTexts(*form);
    grid.SetSelection({5, 1, 5, 2});
    QTest::mousePress(grid.viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(form->OpenGridMenu(), nullptr);
    EXPECT_EQ(form->StatusText(1), QStringLiteral("まるめた状態では土質の変更はできません"));
    QTest::mouseRelease(grid.viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(form->StatusText(1).isEmpty());
    EXPECT_EQ(gridTexts(*form), shown);
}

TEST_F(ManualInputTest, CtrlCCopiesTheSelectionAndTestInformation)
{
    auto form = showing(QStringLiteral("sample.kgd"));
    form->SoundGrid->setFocus();
    form->SoundGrid->SetSelection({0, 1, 1, 2});
    QTest::keyClick(form->SoundGrid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), CellRangeText(*form->SoundGrid, 0, 1, 1, 2));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("0.")));
    form->CopyTestInfo();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), TestInfoText(form->Test.NormalLog.info()));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
        QStringLiteral("102\t4\t17\t26\r\n4\r\n24\t5\t17\r\n10\t40\r\n")))
        << QGuiApplication::clipboard()->text().toStdString();
}

} // namespace
