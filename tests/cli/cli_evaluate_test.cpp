// The ground evaluation commands of the command-line tool, run in-process on the shipped sample.
#include "cli_fixture.h"
#include "sitereport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

class CliEvaluateTest : public CliTest
{
protected:
    QString sample(const char *name) const { return QDir(samplesDir()).filePath(name); }
};

// The rounded Nsw of sample.kgd from 0.50 m: self-sinking (1.00 kN), 8, 16, 28, 40, 24, 20, 48,
// 64, 80, 72, ... ; under 1.25 m the window holds 28 .. 72.
TEST_F(CliEvaluateTest, EvaluatePrintsTheFiguresForTheBaseDepth)
{
    const CliRun atDefault = run({"evaluate", sample("sample.kgd")});
    ASSERT_EQ(atDefault.status, 0) << atDefault.err.toStdString();
    EXPECT_EQ(atDefault.out, QStringLiteral("base_depth\t0.50\n"
                                            "reached_depth\t6.00\n"
                                            "covered\t1\n"
                                            "nsw_mean\t23.0\n"
                                            "qa_long\t43.8\n"
                                            "qa_short\t87.6\n"
                                            "checked_to\t5.50\n"
                                            "self_sinking_layers\t1\n"
                                            "settlement_study\t1\n"
                                            "verdict\t沈下の検討が必要\n"
                                            "self_sinking\t0.50\t0.75\t1.00\n"));

    // The remembered base depth counts when --base is not given.
    sandbox.settings().setValue("Evaluation/BaseDepth", "1.25");
    for (const CliRun &r : {run({"evaluate", sample("sample.kgd")}),
                            run({"evaluate", sample("sample.kgd"), "--base", "1.25"})}) {
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(
            r.out.contains(QStringLiteral("nsw_mean\t47.0\nqa_long\t58.2\nqa_short\t116.4\n")))
            << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("settlement_study\t0\n")));
    }
}

TEST_F(CliEvaluateTest, ExportWritesTheGridAsUtf8CsvWithAByteOrderMark)
{
    const QString out = sandbox.filePath("grid.csv");
    const CliRun r = run({"export", sample("sample.kgd"), out, "--rounded"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray bytes = sandbox.readFile("grid.csv");
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 26); // heading, 24 quarter metres to 6.00 m, final line end
    EXPECT_EQ(lines[0], QStringLiteral("D (m) ,Wsw(kN),Na,Nsw,観察,土質,換算Ｎ値"));
    EXPECT_EQ(lines[3], QStringLiteral("0.75,1.00,自沈,0,ﾕｯｸﾘ,粘性土,3.0"));
}

TEST_F(CliEvaluateTest, ReportHasASummaryPageAndTwoGraphsPerPage)
{
    const QString out = sandbox.filePath("site.pdf");
    const CliRun r = run({"report", out, sample("sample.ktd"), sample("sample.kgd"),
                          sample("sample.ksd"), "--title", "現場"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray pdf = sandbox.readFile("site.pdf");
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    EXPECT_EQ(QString::fromLatin1(pdf).count(page), 3);
    // Every summary line fills the columns the headings name, covered or not.
    for (const bool covered : {true, false}) {
        TSitePoint point;
        point.Result.Covered = covered;
        EXPECT_EQ(SiteSummaryCells(point).size(), SiteSummaryHeadings().size());
    }
}

// Wrong usage is refused before anything is read or written; a file that cannot be read leaves
// no half-written output behind.
TEST_F(CliEvaluateTest, RefusalsLeaveEveryFileAsItWas)
{
    const QString data = sandbox.writeFile("keep.kgd", "not a test\r\n");
    const QString bad = sandbox.writeFile("bad.ktd", "$T(\r\nnonsense\r\n)\r\n");
    const QString pdf = sandbox.filePath("out.pdf");
    const struct
    {
        QStringList arguments;
        int status;
    } cases[] = {
        {{"evaluate", sample("sample.kgd"), "--base", "abc"}, 2},
        {{"evaluate", sample("sample.kgd"), "--base", "-0.5"}, 2},
        {{"report", data, sample("sample.kgd")}, 2}, // output is not a PDF
        {{"export", sample("sample.kgd"), data}, 2}, // output is not a CSV file
        {{"export", sample("sample.kgd"), "x.csv", "--base", "1"}, 2},
        {{"report", pdf, sample("sample.kgd"), bad}, 1}, // one point cannot be read
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CliRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_EQ(sandbox.readFile("keep.kgd"), QByteArray("not a test\r\n"));
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

} // namespace
