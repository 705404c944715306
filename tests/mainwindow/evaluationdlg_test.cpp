// The "地盤評価" item of the data menu and its dialog on the shipped sample.
#include "evaluationdlg.h"
#include "form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

class EvaluationTest : public FormFixture
{};

TEST_F(EvaluationTest, ItemFollowsTheViewSwitchAndIsEnabledWithTheData)
{
    auto form = started();
    const QList<QAction *> actions = form->KG1->actions();
    const qsizetype k25 = actions.indexOf(form->K25);
    ASSERT_GE(k25, 0);
    ASSERT_EQ(actions.size(), k25 + 3); // K25, a separator, the evaluation
    EXPECT_EQ(actions.last(), form->KEvaluate);
    EXPECT_EQ(form->KEvaluate->text(), QStringLiteral("地盤評価(&V)..."));
    EXPECT_FALSE(form->KG1->menuAction()->isEnabled());
    ASSERT_EQ(form->OpenDataFile(sample("sample.kgd")), 0);
    EXPECT_TRUE(form->KG1->menuAction()->isEnabled());
}

// Like the program's other dialogs, centred on the screen rather than over the main window.
TEST_F(EvaluationTest, DialogOpensCentredOnTheScreen)
{
    auto form = showing("sample.kgd");
    form->move(0, 0);
    QPoint offset(1000, 1000);
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TEvaluationDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        offset = dialog->geometry().center() - form->screen()->availableGeometry().center();
        dialog->CloseBtn->click();
    });
    form->KEvaluate->trigger();
    EXPECT_LE(offset.manhattanLength(), 10);
}

// sample.kgd: under 0.50 m the mean is 23.0 with a 1.00 kN self-sinking quarter metre; under
// 1.25 m it is 47.0 with none found down to the test's end.
TEST_F(EvaluationTest, DialogRecomputesAsTheBaseDepthChangesAndRemembersIt)
{
    auto form = showing("sample.kgd");
    TEvaluationDlg dialog(form->Test, form->Setting, form->Tables);
    EXPECT_EQ(dialog.BaseEdit->text(), QStringLiteral("0.50"));
    EXPECT_EQ(dialog.QaLabel->text(), QStringLiteral("43.8 kN/m²"));
    EXPECT_EQ(dialog.LayerList->count(), 1);
    EXPECT_EQ(dialog.VerdictLabel->text(), QStringLiteral("沈下の検討が必要"));

    dialog.BaseEdit->selectAll();
    QTest::keyClicks(dialog.BaseEdit, QStringLiteral("1.25"));
    EXPECT_EQ(dialog.QaLabel->text(), QStringLiteral("58.2 kN/m²"));
    EXPECT_EQ(dialog.QaShortLabel->text(), QStringLiteral("116.4 kN/m²"));
    // The test ends at 6.00 m, above B + 5 m: no layer found is not a clear verdict.
    EXPECT_EQ(
        dialog.VerdictLabel->text(),
        QStringLiteral("該当する自沈層なし（一部確認：深さ6.00 mまで、基礎底面下5 m（深さ6.25 "
                       "m）に未達）"));
    EXPECT_EQ(form->Setting.BaseDepth, QStringLiteral("1.25"));

    // Something that is no depth shows what to type and changes nothing remembered.
    dialog.BaseEdit->setText(QStringLiteral("1.2x"));
    EXPECT_FALSE(dialog.CopyBtn->isEnabled());
    EXPECT_TRUE(dialog.VerdictLabel->text().contains(QStringLiteral("0.00～99.99")));
    EXPECT_EQ(form->Setting.BaseDepth, QStringLiteral("1.25"));

    dialog.BaseEdit->setText(QStringLiteral("1.25"));
    QTest::mouseClick(dialog.CopyBtn, Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("試験コード  102-004-017-0026\n")));
    EXPECT_TRUE(copied.contains(QStringLiteral("長期許容支持力 qa\t58.2 kN/m²\n")));

    // The base depth outlives the session.
    form->close();
    form.reset();
    EXPECT_EQ(box.settings().value("Evaluation/BaseDepth").toString(), QStringLiteral("1.25"));
}

} // namespace
