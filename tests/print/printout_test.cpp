#include "errors.h"
#include "printout.h"
#include "printsamples.h"
#include "sandbox.h"
#include "settings.h"
#include "tableprint.h"

#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// Runs a poppler tool and answers its standard output; empty when the tool is not installed.
QByteArray RunTool(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return process.readAllStandardOutput();
}

bool HavePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

QString PageText(const QString &pdf, int page)
{
    const QString number = QString::number(page);
    return QString::fromUtf8(RunTool(QStringLiteral("pdftotext"),
                                     {"-f", number, "-l", number, "-enc", "UTF-8", pdf, "-"}));
}

int PdfPageCount(const QString &pdf)
{
    const QString info = QString::fromUtf8(RunTool(QStringLiteral("pdfinfo"), {pdf}));
    for (const QString &line : info.split(u'\n')) {
        if (line.startsWith(u"Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

QImage RenderPage(const QString &pdf, int page, const QString &stem)
{
    const QString number = QString::number(page);
    RunTool(QStringLiteral("pdftoppm"),
            {"-f", number, "-l", number, "-r", "40", "-png", "-singlefile", pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

// Pixels clearly coloured (not black, white or grey).
int ColouredPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int spread =
                std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
            count += spread > 80 ? 1 : 0;
        }
    }
    return count;
}

class PrintRun : public ::testing::Test
{
protected:
    PrintRun() : tables(ShippedTables()) {}

    // Prints into a PDF of the sandbox and answers the run's result; the pages started are
    // collected in `started`.
    TPrintResult Print(const TPrintSelection &selection, const QString &pictureFolder = {})
    {
        pdf = sandbox.filePath(QStringLiteral("out.pdf"));
        TPrintHooks hooks;
        hooks.PageStarted = [this](int page) {
            started.append(page);
        };
        const TPrintInput input{test, setting, tables, dataKind,
                                pictureFolder.isNull() ? sandbox.path() : pictureFolder};
        TPrintResult result;
        {
            QPdfWriter writer(pdf);
            SetUpPdfWriter(writer);
            result = PrintSelected(writer, selection, input, hooks);
        }
        Keep();
        return result;
    }

    // To look at the pages as a user would: TESSMARK_PRINT_KEEP_DIR=/some/folder keeps every
    // document printed, named after the test.
    void Keep()
    {
        const QString keep = qEnvironmentVariable("TESSMARK_PRINT_KEEP_DIR");
        if (keep.isEmpty())
            return;
        const QString name =
            QStringLiteral("%1/%2-%3.pdf")
                .arg(keep)
                .arg(QString::fromLatin1(
                    ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .arg(++kept);
        QFile::remove(name);
        QFile::copy(pdf, name);
    }

    void UseRoundedRows(int count)
    {
        test.RoundedLog = QuarterMetreLog(count);
        test.NormalLog = QuarterMetreLog(count);
        CopyLog(test.NormalLog, test.DisplayLog);
    }

    TestSandbox sandbox;
    TSetting setting;
    TReferenceTables tables;
    TSoundingTest test;
    int dataKind = 1;
    QString pdf;
    QList<int> started;
    int kept = 0;
};

TEST_F(PrintRun, PageNumbersRunAcrossTablesAndGraphs)
{
    UseRoundedRows(81);
    TPrintSelection selection;
    selection.Table = true;
    selection.Nsw = true;
    const TPrintResult result = Print(selection);
    EXPECT_EQ(result.Pages, 3);
    EXPECT_EQ(started, (QList<int>{1, 2, 3}));
    if (!HavePoppler())
        GTEST_SKIP() << "poppler tools not installed";
    EXPECT_EQ(PdfPageCount(pdf), 3);
    for (int page = 1; page <= 3; ++page)
        EXPECT_TRUE(PageText(pdf, page).contains(QStringLiteral("P %1").arg(page))) << page;
    // Row 81 stands alone on the second sheet; the third page is the graph.
    EXPECT_TRUE(PageText(pdf, 2).contains(QStringLiteral("20.25")));
    EXPECT_FALSE(PageText(pdf, 2).contains(QStringLiteral("20.00")));
    EXPECT_TRUE(PageText(pdf, 3).contains(QStringLiteral("1mあたりの半回転数(Nsw)")));
    EXPECT_TRUE(PageText(pdf, 1).contains(QStringLiteral("バントレル")));
}

TEST_F(PrintRun, SheetsPerTablePrintout)
{
    struct Case
    {
        int Rows;
        int RowNum;
        bool WithGraph;
        int Sheets;
    };
    const Case cases[] = {
        {80, 40, false, 1}, {81, 40, false, 2}, {0, 40, false, 1},  {160, 40, false, 2},
        {40, 40, true, 1},  {41, 40, true, 2},  {100, 44, true, 3}, {88, 44, true, 2},
        {96, 48, false, 1}, {0, 40, true, 1},
    };
    for (const Case &c : cases) {
        UseRoundedRows(c.Rows);
        setting.RowNum = c.RowNum;
        TPrintSelection selection;
        (c.WithGraph ? selection.TNsw25 : selection.Table25) = true;
        EXPECT_EQ(Print(selection).Pages, c.Sheets) << c.Rows << " " << c.RowNum;
    }
}

TEST_F(PrintRun, AllEightPrintoutsOfARealisticTest)
{
    test = RealisticTest(setting, tables);
    ASSERT_LE(test.NormalLog.Count, 80);
    ASSERT_LE(test.RoundedLog.Count, 40);
    TPrintSelection selection = *ParsePrintSelection(PrintoutNames().join(u','));
    selection.Color = true;
    const TPrintResult result = Print(selection, shippedDataDir());
    EXPECT_EQ(result.Pages, 8);
    EXPECT_FALSE(result.PictureMissing);
    if (!HavePoppler())
        GTEST_SKIP() << "poppler tools not installed";
    ASSERT_EQ(PdfPageCount(pdf), 8);
    const QString normal = QStringLiteral("[標準データ]");
    const QString rounded = QStringLiteral("[25cmまるめ");
    for (int page = 1; page <= 8; ++page) {
        const QString text = PageText(pdf, page);
        EXPECT_TRUE(text.contains(QStringLiteral("P %1").arg(page))) << page;
        EXPECT_TRUE(text.contains(page <= 3 ? normal : rounded)) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("MODE 03"))) << page;
    }
    EXPECT_TRUE(PageText(pdf, 1).contains(QStringLiteral("貫入深さ")));
    EXPECT_TRUE(PageText(pdf, 3).contains(QStringLiteral("換算N値")));
    EXPECT_TRUE(PageText(pdf, 7).contains(QStringLiteral("1mあたりの半回転数(Nsw)")));
}

TEST_F(PrintRun, TestWithoutRowsPrintsHeadersGridsAndAxes)
{
    UseRoundedRows(0);
    setting.KutenFlag = true;
    const TPrintResult result = Print(*ParsePrintSelection(PrintoutNames().join(u',')));
    EXPECT_EQ(result.Pages, 8);
    if (!HavePoppler())
        GTEST_SKIP() << "poppler tools not installed";
    EXPECT_TRUE(PageText(pdf, 1).contains(QStringLiteral("換算Ｎ値")));
    EXPECT_TRUE(PageText(pdf, 2).contains(QStringLiteral("1mあたりの半回転数(Nsw)")));
    EXPECT_TRUE(PageText(pdf, 6).contains(QStringLiteral("換算N値")));
    EXPECT_TRUE(PageText(pdf, 5).contains(QStringLiteral("空転除去 N20-1C]")));
}

TEST_F(PrintRun, TorqueCurveOnlyOnNormalGraphPages)
{
    test = RealisticTest(setting, tables);
    setting.TorqueGraph = true;
    TPrintSelection selection;
    selection.Nsw = true;
    selection.Nsw25 = true;
    ASSERT_EQ(Print(selection).Pages, 2);
    if (!HavePoppler())
        GTEST_SKIP() << "poppler tools not installed";
    EXPECT_TRUE(PageText(pdf, 1).contains(QStringLiteral("トルク")));
    EXPECT_FALSE(PageText(pdf, 2).contains(QStringLiteral("トルク")));

    setting.TorqueGraph = false;
    ASSERT_EQ(Print(selection).Pages, 2);
    EXPECT_FALSE(PageText(pdf, 1).contains(QStringLiteral("トルク")));
}

TEST_F(PrintRun, ColourFlagChoosesColoursOrBlackHatches)
{
    if (!HavePoppler())
        GTEST_SKIP() << "poppler tools not installed";
    test = RealisticTest(setting, tables);
    for (bool colour : {true, false}) {
        TPrintSelection selection;
        selection.N = true;
        selection.TNsw25 = true;
        selection.Color = colour;
        ASSERT_EQ(Print(selection).Pages, 2); // no picture: only the bars can carry colour
        for (int page = 1; page <= 2; ++page) {
            const QImage image = RenderPage(pdf, page, sandbox.filePath(QStringLiteral("page")));
            ASSERT_FALSE(image.isNull());
            if (colour)
                EXPECT_GT(ColouredPixels(image), 50) << page;
            else
                EXPECT_EQ(ColouredPixels(image), 0) << page;
        }
    }
}

TEST_F(PrintRun, MissingPictureDoesNotStopTheRun)
{
    UseRoundedRows(10);
    TPrintSelection selection;
    selection.Table = true;
    selection.N25 = true;
    const TPrintResult without = Print(selection, sandbox.path());
    EXPECT_EQ(without.Pages, 2);
    EXPECT_TRUE(without.PictureMissing);
    const TPrintResult with = Print(selection, shippedDataDir());
    EXPECT_EQ(with.Pages, 2);
    EXPECT_FALSE(with.PictureMissing);
}

TEST_F(PrintRun, ValueThatCannotPrintStopsTheRunBeforeTheDocument)
{
    UseRoundedRows(10);
    test.NormalLog.row(4).Nsw = QStringLiteral("abc");
    TPrintSelection selection;
    selection.Table25 = true;
    selection.Nsw = true;
    EXPECT_THROW(Print(selection), EConvertError);
    EXPECT_TRUE(started.isEmpty());

    test.NormalLog = QuarterMetreLog(10);
    test.RoundedLog.row(2).Wsw = QStringLiteral("?");
    EXPECT_THROW(Print(selection), EConvertError);
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(PrintRun, NothingSelectedPrintsNothing)
{
    UseRoundedRows(10);
    TPrintSelection selection;
    selection.Color = true;
    EXPECT_EQ(Print(selection).Pages, 0);
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(PrintRun, DeviceThatCannotStartRaises)
{
    UseRoundedRows(3);
    QPdfWriter writer(sandbox.filePath(QStringLiteral("no/such/folder/out.pdf")));
    SetUpPdfWriter(writer);
    TPrintSelection selection;
    selection.Table = true;
    const TPrintInput input{test, setting, tables, 1, sandbox.path()};
    EXPECT_THROW(PrintSelected(writer, selection, input), ETessmarkError);
}

} // namespace
