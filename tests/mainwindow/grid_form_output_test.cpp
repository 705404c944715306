// The main window's graph window and print dialog commands.
#include "form_fixture.h"
#include "graphunit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QTimer>
#include <QToolButton>

namespace {

class OutputTest : public FormFixture
{};

TGraphForm *graphOf(const Tgrid_form &form)
{
    return qobject_cast<TGraphForm *>(form.GraphWindow());
}

TEST_F(OutputTest, mainwindow_GraphCommandsOpenAndSwitchTheGraphWindow)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    ASSERT_EQ(form->GraphWindow(), nullptr);

    form->N3->trigger(); // nothing to switch yet
    EXPECT_EQ(form->GraphWindow(), nullptr);

    form->MakeGraph->trigger();
    TGraphForm *graph = graphOf(*form);
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(graph->Kind(), TGraphKind::Nsw);

    form->MakeGraph->trigger(); // an open window is only brought forward
    EXPECT_EQ(graphOf(*form), graph);
    EXPECT_EQ(graph->Kind(), TGraphKind::Nsw);

    form->N3->trigger();
    EXPECT_EQ(graph->Kind(), TGraphKind::N);
    form->GraphBtn->click();
    EXPECT_EQ(graph->Kind(), TGraphKind::Nsw);

    graph->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->GraphWindow(), nullptr);
    form->GraphBtn->click(); // no window: the button opens one
    EXPECT_NE(graphOf(*form), nullptr);
}

TEST_F(OutputTest, mainwindow_ClosingTheProgramClosesTheGraphAndStoresItsPlace)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    form->MakeGraph->trigger();
    QPointer<TGraphForm> graph = graphOf(*form);
    ASSERT_TRUE(graph);
    graph->resize(300, 360);
    QCoreApplication::processEvents();

    EXPECT_TRUE(form->close());
    QCoreApplication::processEvents();
    EXPECT_FALSE(graph);
    EXPECT_EQ(box.settings().value("GraphMode/Width").toString(), QStringLiteral("300"));
    EXPECT_EQ(box.settings().value("GraphMode/Height").toString(), QStringLiteral("360"));
}

TEST_F(OutputTest, mainwindow_DestroyingTheWindowTakesTheGraphWindowWithIt)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    form->MakeGraph->trigger();
    QPointer<TGraphForm> graph = graphOf(*form);
    ASSERT_TRUE(graph);
    form.reset();
    EXPECT_FALSE(graph);
}

TEST_F(OutputTest, mainwindow_PrintOpensTheDialogWhichStoresItsChoices)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    ASSERT_TRUE(form->PrintBtn->isEnabled());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        auto *table = dialog->findChild<QCheckBox *>(QStringLiteral("TableCB"));
        auto *colour = dialog->findChild<QCheckBox *>(QStringLiteral("ColorCB"));
        ASSERT_TRUE(table && colour);
        table->setChecked(true);
        colour->setChecked(true);
        dialog->reject();
    });
    form->Print1->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(form->Setting.PrnTable);
    EXPECT_TRUE(form->Setting.PrnColor);
    EXPECT_FALSE(form->Setting.PrnNsw);
}

} // namespace
