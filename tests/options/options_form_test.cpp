// The settings dialog on the main window: a shown test recomputed and shown again, the graph
// axes, and the menu items that open the dialogs.
#include "form_fixture.h"

#include "derived.h"
#include "graphunit.h"
#include "option.h"
#include "presentation.h"
#include "reader.h"
#include "setdir.h"
#include "version.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

using OptionsFormTest = FormFixture;

QStringList logTexts(const Tkannyu &log)
{
    QStringList texts;
    for (int i = 1; i <= log.Count; ++i)
        texts.append(GridRowTexts(log.row(i), false).join(u'\t'));
    return texts;
}

QStringList shownRows(const Tgrid_form &form)
{
    QStringList texts;
    for (int row = 1; row < form.SoundGrid->RowCount(); ++row)
        texts.append(gridRow(form, row).join(u'\t'));
    return texts;
}

TEST_F(OptionsFormTest, options_OkRecomputesTheShownTestAsAFreshOpenWould)
{
    const struct
    {
        const char *what;
        bool rounded;
        std::function<void(TSetting &)> change;
        std::function<void(TPagesDlg &)> edit;
    } cases[] = {
        {"hammering Nsw, normal view", false, [](TSetting &s) { s.DNsw = 120; },
         [](TPagesDlg &d) {
             d.UDDNsw->setValue(120);
         }},
        {"idle-rotation removal, rounded view", true,
         [](TSetting &s) {
             s.KutenFlag = true;
             s.KutenMinN = 0;
         },
         [](TPagesDlg &d) {
             d.KutenNukiCB->setChecked(true);
             d.UDminN->setValue(0);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto form = showing(QStringLiteral("sample.ktd"));
        if (c.rounded)
            form->K25->trigger();
        const TSoundingTest before =
            OpenTestFile(sample("sample.ktd"), form->Setting, form->Tables);
        TSetting changed = form->Setting;
        c.change(changed);
        const TSoundingTest expected = OpenTestFile(sample("sample.ktd"), changed, form->Tables);
        TSoundingTest expectedShown = expected;
        if (c.rounded)
            ShowRoundedView(expectedShown, changed, form->Tables);
        // The case changes something, else it could not show anything.
        ASSERT_NE(logTexts(expected.NormalLog) + logTexts(expected.RoundedLog),
                  logTexts(before.NormalLog) + logTexts(before.RoundedLog));

        TPagesDlg *dialog = form->CreatePagesDlg();
        c.edit(*dialog);
        dialog->OKBtn->click();

        EXPECT_EQ(logTexts(form->Test.NormalLog), logTexts(expected.NormalLog));
        EXPECT_EQ(logTexts(form->Test.RoundedLog), logTexts(expected.RoundedLog));
        EXPECT_EQ(shownRows(*form), logTexts(expectedShown.DisplayLog));
        EXPECT_EQ(form->K25->isChecked(), c.rounded);
        EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    }
}

TEST_F(OptionsFormTest, options_CancelStoresNothingButShowsTheTestAgain)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    const QStringList shown = shownRows(*form);
    const int dnsw = form->Setting.DNsw;
    form->SoundGrid->SetCells(3, 1, QStringLiteral("scribble"));

    TPagesDlg *dialog = form->CreatePagesDlg();
    dialog->UDDNsw->setValue(dnsw + 7);
    dialog->CancelBtn->click();
    EXPECT_EQ(form->Setting.DNsw, dnsw);
    EXPECT_EQ(shownRows(*form), shown);
}

TEST_F(OptionsFormTest, options_OkOnATestThatCannotBeRecomputedKeepsTheSettings)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    form->Test.NormalLog.row(2).Na = QStringLiteral("abc");
    TPagesDlg *dialog = form->CreatePagesDlg();
    dialog->UDDNsw->setValue(123);
    dialog->OKBtn->click();
    EXPECT_EQ(form->Setting.DNsw, 123);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_FALSE(messages.AskedBoxes.isEmpty());
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
}

TEST_F(OptionsFormTest, options_OkGivesAnOpenGraphItsNewAxis)
{
    const struct
    {
        TGraphKind kind;
        std::function<void(TPagesDlg &)> edit;
        int axisMax;
    } cases[] = {
        {TGraphKind::Nsw, [](TPagesDlg &d) { d.UDNswMax->setValue(400); }, 450},
        {TGraphKind::N, [](TPagesDlg &d) { d.UDNmax->setValue(40); }, 40},
    };
    for (const auto &c : cases) {
        auto form = showing(QStringLiteral("sample.ktd"));
        form->MakeGraph->trigger();
        auto *graph = qobject_cast<TGraphForm *>(form->GraphWindow());
        ASSERT_NE(graph, nullptr);
        graph->ShowKind(c.kind);
        ASSERT_NE(graph->CurrentStyle().AxisMax, c.axisMax);

        TPagesDlg *dialog = form->CreatePagesDlg();
        c.edit(*dialog);
        dialog->OKBtn->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(graph->CurrentStyle().AxisMax, c.axisMax);
    }
}

// Runs `inside` on the modal dialog the action opens.
template<typename Dialog> void openModal(QAction *action, std::function<void(Dialog &)> inside)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        inside(*dialog);
    });
    action->trigger();
    EXPECT_TRUE(seen);
}

TEST_F(OptionsFormTest, options_MenuItemsOpenTheSettingsAndTheAboutBox)
{
    auto form = started();
    openModal<TPagesDlg>(form->KS1, [](TPagesDlg &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Tessmark　各種設定"));
        d.UDDepth1->setValue(33);
        d.OKBtn->click();
    });
    EXPECT_EQ(form->Setting.Depth1, 33);
    openModal<TAboutBox>(form->About1, [](TAboutBox &box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        box.OKButton->click();
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->findChildren<QDialog *>().size(), 0); // both deleted once closed
}

// The settings dialog, its folder chooser and the About box open centred on the screen, not over
// the window that opens them.
TEST_F(OptionsFormTest, options_DialogsOpenCentredOnTheScreen)
{
    auto form = started();
    form->move(0, 0);
    const QPoint screenCentre = form->screen()->availableGeometry().center();
    QStringList centred;
    const auto expectCentred = [&](QDialog &dialog) {
        // Within the frame's margins, which are not known before a window is shown.
        const QPoint offset = dialog.geometry().center() - screenCentre;
        EXPECT_LE(offset.manhattanLength(), 10) << dialog.windowTitle().toStdString();
        centred.append(dialog.windowTitle());
    };
    openModal<TPagesDlg>(form->KS1, [&](TPagesDlg &settings) {
        expectCentred(settings);
        QTimer::singleShot(0, [&] {
            auto *chooser = qobject_cast<TSetDirForm *>(QApplication::activeModalWidget());
            ASSERT_NE(chooser, nullptr);
            expectCentred(*chooser);
            chooser->CancelBtn->click();
        });
        settings.SpeedButton1->click();
        settings.CancelBtn->click();
    });
    openModal<TAboutBox>(form->About1, [&](TAboutBox &box) {
        expectCentred(box);
        box.OKButton->click();
    });
    EXPECT_EQ(centred.size(), 3);
}

} // namespace
