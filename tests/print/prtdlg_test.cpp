#include "derived.h"
#include "messages.h"
#include "printsamples.h"
#include "prtdlg.h"
#include "sandbox.h"
#include "settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kConfirmText = QStringLiteral("印刷を行いますか?");

// "Pages:" and "Title:" of a PDF file as pdfinfo reports them; empty when it is not installed.
QString PdfInfo(const QString &pdf, const QString &field)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, {pdf});
    if (!process.waitForFinished(60000))
        return {};
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return {};
}

// The eight printout boxes in print order with the settings they mirror, then the colour box.
struct BoxCase
{
    const char *Name;
    bool TSetting::*Setting;
    bool Printout;
};

const BoxCase kBoxes[] = {
    {"TableCB", &TSetting::PrnTable, true},   {"NswCB", &TSetting::PrnNsw, true},
    {"NCB", &TSetting::PrnN, true},           {"Table25CB", &TSetting::PrnTable25, true},
    {"Nsw25CB", &TSetting::PrnNsw25, true},   {"N25CB", &TSetting::PrnN25, true},
    {"TNsw25CB", &TSetting::PrnTNsw25, true}, {"TN25CB", &TSetting::PrnTN25, true},
    {"ColorCB", &TSetting::PrnColor, false},
};

class PrintDialog : public ::testing::Test
{
public:
    PrintDialog() : scoped(messages), tables(ShippedTables())
    {
        test = RealisticTest(setting, tables);
        pdfPath = sandbox.filePath(QStringLiteral("printout.pdf"));
        // The printer of a machine without printers, whatever this machine has.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString());
    }

    TPrinterAccess Access()
    {
        TPrinterAccess access;
        access.Printer = &printer;
        access.SetUp = [this](QPrinter &chosen, QWidget *) {
            ++setUpRuns;
            if (!setUpConfirms)
                return false;
            chosen.setOutputFormat(QPrinter::PdfFormat);
            chosen.setOutputFileName(pdfPath);
            return true;
        };
        access.InstalledPrinters = [this] {
            return installedPrinters;
        };
        return access;
    }

    std::unique_ptr<TPrintDlgForm> Open()
    {
        return std::make_unique<TPrintDlgForm>(test, setting, tables, 1, shippedDataDir(), nullptr,
                                               Access());
    }

    static QCheckBox *Box(TPrintDlgForm &dialog, const char *name)
    {
        auto *box = dialog.findChild<QCheckBox *>(QLatin1String(name));
        EXPECT_NE(box, nullptr) << name;
        return box;
    }

    TestSandbox sandbox;
    TScriptedMessages messages;
    TScopedMessages scoped;
    TReferenceTables tables;
    TSetting setting;
    TSoundingTest test;
    QPrinter printer{QPrinter::HighResolution};
    QString pdfPath;
    QStringList installedPrinters;
    bool setUpConfirms = true;
    int setUpRuns = 0;
};

TEST_F(PrintDialog, PrintButtonNeedsOnePrintoutTickedAndColourAloneIsNotEnough)
{
    const auto dialog = Open();
    ASSERT_FALSE(dialog->P_Button->isEnabled());
    dialog->ColorCB->click();
    EXPECT_FALSE(dialog->P_Button->isEnabled());
    for (const BoxCase &entry : kBoxes) {
        if (!entry.Printout)
            continue;
        QCheckBox *box = Box(*dialog, entry.Name);
        ASSERT_NE(box, nullptr);
        box->click();
        EXPECT_TRUE(dialog->P_Button->isEnabled()) << entry.Name;
        box->click();
        EXPECT_FALSE(dialog->P_Button->isEnabled()) << entry.Name;
    }
    // Two ticked, one taken away: still something to print.
    dialog->TableCB->click();
    dialog->TN25CB->click();
    dialog->TableCB->click();
    EXPECT_TRUE(dialog->P_Button->isEnabled());
}

TEST_F(PrintDialog, OpensWithEachRememberedChoiceTicked)
{
    for (const BoxCase &entry : kBoxes) {
        setting = TSetting();
        setting.*entry.Setting = true;
        const auto dialog = Open();
        for (const BoxCase &other : kBoxes) {
            QCheckBox *box = Box(*dialog, other.Name);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->isChecked(), &other == &entry) << entry.Name << " " << other.Name;
        }
        EXPECT_EQ(dialog->P_Button->isEnabled(), entry.Printout) << entry.Name;
    }
    EXPECT_EQ(Open()->TN25CB->text(), QStringLiteral("表･換算Nｸﾞﾗﾌ"));
}

TEST_F(PrintDialog, EveryCloseStoresTheBoxes)
{
    struct CloseCase
    {
        const char *Name;
        bool Shown;
        std::function<void(PrintDialog &, TPrintDlgForm &)> Close;
        bool Stored;
    };
    const CloseCase cases[] = {
        {"cancel button", true,
         [](PrintDialog &, TPrintDlgForm &dialog) { dialog.CanButton->click(); }, true},
        {"escape", true,
         [](PrintDialog &, TPrintDlgForm &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
         true},
        {"title-bar close", true, [](PrintDialog &, TPrintDlgForm &dialog) { dialog.close(); },
         true},
        {"printed", true,
         [](PrintDialog &fixture, TPrintDlgForm &dialog) {
             dialog.PSButton->click();
             fixture.messages.answer(QMessageBox::Ok);
             dialog.P_Button->click();
             EXPECT_TRUE(QFile::exists(fixture.pdfPath));
         },
         true},
        // Automation works with a dialog it never shows.
        {"closed unshown", false, [](PrintDialog &, TPrintDlgForm &dialog) { dialog.close(); },
         true},
        {"destroyed without closing", false, [](PrintDialog &, TPrintDlgForm &) {}, false},
    };
    for (const CloseCase &c : cases) {
        setting = TSetting();
        setting.PrnTable = true;
        setting.PrnNsw25 = true;
        auto dialog = Open();
        if (c.Shown)
            dialog->show();
        dialog->TableCB->click();
        dialog->N25CB->click();
        dialog->ColorCB->click();
        c.Close(*this, *dialog);
        if (c.Shown) {
            EXPECT_FALSE(dialog->isVisible()) << c.Name;
        }
        dialog.reset();
        EXPECT_EQ(setting.PrnTable, !c.Stored) << c.Name;
        EXPECT_EQ(setting.PrnN25, c.Stored) << c.Name;
        EXPECT_EQ(setting.PrnColor, c.Stored) << c.Name;
        EXPECT_TRUE(setting.PrnNsw25) << c.Name;
        EXPECT_FALSE(setting.PrnNsw || setting.PrnN || setting.PrnTable25 || setting.PrnTNsw25 ||
                     setting.PrnTN25)
            << c.Name;
        QFile::remove(pdfPath);
    }
}

TEST_F(PrintDialog, OpeningRecomputesTheRoundedLogWithTheCurrentSettings)
{
    // A rounding made before the idle-rotation removal was switched on.
    test.RoundedLog = Tkannyu();
    setting.KutenFlag = true;
    setting.KutenMinN = 5;
    setting.KutenMaxD = 1;
    TSoundingTest expected = test;
    BuildRoundedView(expected, setting, tables);
    ASSERT_GT(expected.RoundedLog.Count, 0);

    const auto dialog = Open();
    ASSERT_EQ(test.RoundedLog.Count, expected.RoundedLog.Count);
    EXPECT_EQ(test.RoundedLog.FinalDepth, expected.RoundedLog.FinalDepth);
    for (int i = 1; i <= expected.RoundedLog.Count; ++i) {
        const Tvt_data &row = std::as_const(test.RoundedLog).row(i);
        const Tvt_data &want = std::as_const(expected.RoundedLog).row(i);
        EXPECT_EQ(row.Depth, want.Depth) << i;
        EXPECT_EQ(row.Na, want.Na) << i;
        EXPECT_EQ(row.Nsw, want.Nsw) << i;
        EXPECT_DOUBLE_EQ(row.NValue, want.NValue) << i;
    }
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

TEST_F(PrintDialog, RoundingFailureIsToldAndRoundedPrintoutsRefused)
{
    test.NormalLog.row(7).Na = QStringLiteral("x4");
    setting.PrnNsw25 = true;
    const auto dialog = Open();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(messages.AskedBoxes[0].Text.contains(QStringLiteral("x4")))
        << messages.AskedBoxes[0].Text.toStdString();

    dialog->PSButton->click();
    dialog->show();
    dialog->P_Button->click();
    ASSERT_EQ(messages.AskedBoxes.size(), 2);
    EXPECT_EQ(messages.AskedBoxes[1].Kind, TMessageKind::Error);
    EXPECT_FALSE(QFile::exists(pdfPath));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PrintDialog, DecliningTheQuestionPrintsNothingAndKeepsTheDialog)
{
    setting.PrnTable = true;
    setting.PrnN25 = true;
    const auto dialog = Open();
    dialog->show();
    dialog->PSButton->click();
    messages.answer(QMessageBox::Cancel);
    dialog->P_Button->click();

    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Text, kConfirmText);
    EXPECT_EQ(messages.AskedBoxes[0].ButtonSet, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Plain);
    EXPECT_FALSE(QFile::exists(pdfPath));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->TableCB->isChecked());
    EXPECT_TRUE(dialog->N25CB->isChecked());
    EXPECT_EQ(dialog->LastPageCount(), 0);
}

TEST_F(PrintDialog, ConfirmedPrintGoesIntoThePdfFileWithEveryPage)
{
    // 81 rows 25 cm apart: a table takes two sheets of 80 rows, a table beside its graph three.
    test = TSoundingTest();
    test.NormalLog = QuarterMetreLog(81);
    CopyLog(test.NormalLog, test.DisplayLog);
    struct PageCase
    {
        const char *Name;
        TPrintSelection Selection;
        int Pages;
    };
    auto selection = [](std::initializer_list<bool TPrintSelection::*> flags) {
        TPrintSelection chosen;
        for (bool TPrintSelection::*flag : flags)
            chosen.*flag = true;
        return chosen;
    };
    const PageCase cases[] = {
        {"table", selection({&TPrintSelection::Table}), 2},
        {"table and Nsw graph", selection({&TPrintSelection::Table, &TPrintSelection::Nsw}), 3},
        {"rounded table beside its graph", selection({&TPrintSelection::TNsw25}), 3},
        {"everything in colour",
         selection({&TPrintSelection::Table, &TPrintSelection::Nsw, &TPrintSelection::N,
                    &TPrintSelection::Table25, &TPrintSelection::Nsw25, &TPrintSelection::N25,
                    &TPrintSelection::TNsw25, &TPrintSelection::TN25, &TPrintSelection::Color}),
         14},
    };
    for (const PageCase &c : cases) {
        QFile::remove(pdfPath);
        messages.AskedBoxes.clear();
        const auto dialog = Open();
        dialog->show();
        dialog->SetSelection(c.Selection);
        dialog->PSButton->click();
        messages.answer(QMessageBox::Ok);
        dialog->P_Button->click();

        EXPECT_EQ(messages.texts(), QStringList{kConfirmText}) << c.Name;
        EXPECT_FALSE(dialog->isVisible()) << c.Name;
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << c.Name;
        EXPECT_EQ(dialog->LastPageCount(), c.Pages) << c.Name;
        ASSERT_TRUE(QFile::exists(pdfPath)) << c.Name;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << c.Name;
        const QString pages = PdfInfo(pdfPath, QStringLiteral("Pages"));
        if (!pages.isEmpty()) {
            EXPECT_EQ(pages.toInt(), c.Pages) << c.Name;
            EXPECT_EQ(PdfInfo(pdfPath, QStringLiteral("Title")),
                      QStringLiteral("Tessmark プリントアウト"));
        }
    }
}

TEST_F(PrintDialog, WithoutPrinterItSaysSoAndPrintsIntoAChosenPdfFile)
{
    setting.PrnNsw = true;
    const auto dialog = Open();
    dialog->show();
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("プリンタがインストールされていません"));

    dialog->P_Button->click();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Warning);
    EXPECT_TRUE(messages.AskedBoxes[0].Text.contains(QStringLiteral("PDF")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(pdfPath));

    // A set-up left with Cancel changes nothing.
    setUpConfirms = false;
    dialog->PSButton->click();
    EXPECT_EQ(setUpRuns, 1);
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("プリンタがインストールされていません"));

    setUpConfirms = true;
    dialog->PSButton->click();
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("PDFファイル  printout.pdf"));
    messages.answer(QMessageBox::Ok);
    dialog->P_Button->click();
    EXPECT_EQ(messages.texts().last(), kConfirmText);
    EXPECT_TRUE(QFile::exists(pdfPath));
    EXPECT_EQ(dialog->LastPageCount(), 1);
    EXPECT_FALSE(dialog->isVisible());
}

// The target once lived only as long as the program: automation's printout of the next session
// had nowhere to go on a machine without a printer.
TEST_F(PrintDialog, TheChosenTargetIsRememberedForTheNextSession)
{
    setUpConfirms = false;
    Open()->PSButton->click();
    EXPECT_TRUE(setting.PrnPdfFile.isEmpty()); // a cancelled set-up chooses nothing

    setUpConfirms = true;
    Open()->PSButton->click();
    EXPECT_EQ(setting.PrnPdfFile, pdfPath);
    QPrinter next(QPrinter::HighResolution);
    ApplyRememberedPrintTarget(next, setting, {});
    EXPECT_EQ(next.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(next.outputFileName(), pdfPath);

    // A printer that has gone since leaves the next session's printer as the system made it.
    TSetting gone;
    gone.PrnPrinter = QStringLiteral("Gone");
    QPrinter fresh(QPrinter::HighResolution), kept(QPrinter::HighResolution);
    ApplyRememberedPrintTarget(kept, gone, {QStringLiteral("Office")});
    EXPECT_EQ(kept.printerName(), fresh.printerName());
    EXPECT_EQ(kept.outputFormat(), fresh.outputFormat());
    EXPECT_EQ(kept.outputFileName(), fresh.outputFileName());
}

TEST_F(PrintDialog, TheToolkitPrintDialogOffersAPdfBesideTheDataFile)
{
    test.CurrentFile = sandbox.filePath(QStringLiteral("test01.ktd"));
    TPrinterAccess access = Access();
    access.SetUp = nullptr;
    const auto dialog = std::make_unique<TPrintDlgForm>(test, setting, tables, 1, shippedDataDir(),
                                                        nullptr, access);
    dialog->show();
    auto answerPrintDialog = [](bool confirm) {
        QTimer::singleShot(0, [confirm] {
            auto *shown = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            if (confirm)
                shown->accept();
            else
                shown->reject();
        });
    };

    // Cancelled: the printer stays without an output.
    answerPrintDialog(false);
    dialog->PSButton->click();
    EXPECT_TRUE(printer.outputFileName().isEmpty());
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("プリンタがインストールされていません"));

    answerPrintDialog(true);
    dialog->PSButton->click();
    EXPECT_EQ(printer.outputFileName(), sandbox.filePath(QStringLiteral("test01.pdf")));
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("PDFファイル  test01.pdf"));
}

TEST_F(PrintDialog, PrintersInstalledButNoneChosenAsksForAPrinter)
{
    installedPrinters = {QStringLiteral("Office")};
    setting.PrnTable = true;
    const auto dialog = Open();
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("プリンタが選択されていません"));
    dialog->P_Button->click();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Warning);
}

TEST_F(PrintDialog, FailedRunIsToldAndTheDialogStaysWithTheNormalCursor)
{
    pdfPath = sandbox.filePath(QStringLiteral("missing-folder/printout.pdf"));
    setting.PrnTable = true;
    const auto dialog = Open();
    dialog->show();
    dialog->PSButton->click();
    messages.answer(QMessageBox::Ok);
    dialog->P_Button->click();

    ASSERT_EQ(messages.AskedBoxes.size(), 2);
    EXPECT_EQ(messages.AskedBoxes[1].Kind, TMessageKind::Error);
    EXPECT_TRUE(messages.AskedBoxes[1].Text.contains(pdfPath));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PrintDialog, EnterPressesPrintOnlyWhileItIsEnabled)
{
    const auto dialog = Open();
    dialog->show();
    dialog->PSButton->click();
    dialog->ColorCB->setFocus();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
    EXPECT_TRUE(dialog->isVisible());

    dialog->NswCB->click();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_EQ(messages.texts(), QStringList{kConfirmText});
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace
