// The ground evaluation commands of the command-line tool, run in-process on the shipped sample.
#include "cli_fixture.h"
#include "evaluationreport.h"

#include <QDir>
#include <QFile>
#include <QMap>
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

// A rounded row stands for its whole step from the row before, as the rounded graph draws it.
// Hand-computed with 12 half-turns per 25 cm (Nsw 48) unless said otherwise:
// - idle rotation (J05) at 1.00 and 1.25 m removed: no rows for 0.75-1.25, the row at 1.50 holds
//   12 half-turns over 0.75 m, Nsw 16; under B = 0.50: (25·48 + 75·16 + 100·48) / 200 = 36.0;
//   under B = 0.90 the window starts inside that step: (60·16 + 140·48) / 200 = 38.4;
// - two hammered rows only in 1.00-1.25 m: that interval has no row, the row at 1.50 has Nsw 24:
//   (50·48 + 50·24 + 100·48) / 200 = 42.0;
// - two hammered rows only in 0-0.25 m: the first rounded row is at 0.50 with Nsw 24; under
//   B = 0: (50·24 + 150·48) / 200 = 42.0;
// - one row to 3.00 m with 30 half-turns: Nsw 10 over the whole window, qa = 30 + 6;
// - one self-sinking row of 0.75 kN to 3.00 m: one layer 0.00-3.00 m, mean 0.
TEST_F(CliEvaluateTest, EvaluateReadsEachRoundedRowOverItsWholeStep)
{
    const auto rows = [](int to, const QMap<int, QString> &special) {
        QStringList lines = {"$T(", "001 002 003 0004 01 24 06 07 08 09"};
        for (auto it = special.begin(); it != special.end(); ++it)
            if (it.key() % 25 != 0)
                lines.append(it.value());
        for (int depth = 25; depth <= to; depth += 25)
            lines.append(special.value(depth, QString::asprintf("100 %04d J04 012", depth)));
        lines.sort(); // depth order: "$T(", the header, then "100 " and a four-digit depth
        lines.append({"T09 30", ")"});
        return lines;
    };
    const QStringList idle = rows(400, {{100, "100 0100 J05 012"}, {125, "100 0125 J05 012"}});
    const QStringList hammered = rows(400, {{110, "100 0110 D05 000"}, {125, "100 0125 D07 000"}});
    const QStringList hammeredFirst =
        rows(400, {{10, "100 0010 D05 000"}, {25, "100 0025 D07 000"}});
    const QStringList single = {"$T(", "001 002 003 0004 01 24 06 07 08 09", "100 0300 J04 030",
                                "T09 30", ")"};
    const QStringList sinking = {"$T(", "001 002 003 0004 01 24 06 07 08 09", "075 0300 J04 JTN",
                                 "T09 30", ")"};
    const struct
    {
        const char *what;
        QStringList lines;
        bool removal;
        const char *base;
        const char *mean;
        const char *qa;
        QString layers; // the self_sinking lines
    } cases[] = {
        {"idle rotation removed", idle, true, "0.50", "36.0", "51.6", {}},
        {"idle rotation kept", idle, false, "0.50", "48.0", "58.8", {}},
        {"window edge inside a long step", idle, true, "0.90", "38.4", "53.0", {}},
        {"hammered-only interval", hammered, false, "0.50", "42.0", "55.2", {}},
        {"first rounded row at 0.50 m", hammeredFirst, false, "0", "42.0", "55.2", {}},
        {"single long row", single, false, "0.50", "10.0", "36.0", {}},
        {"single self-sinking row", sinking, false, "0.50", "0.0", "30.0",
         "self_sinking\t0.00\t3.00\t0.75\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = sandbox.writeCp932Lines("t.ktd", c.lines);
        const CliRun r = run({"evaluate", file, "--base", c.base, "--set",
                              c.removal ? "KutenNuki/Flag=1" : "KutenNuki/Flag=0"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("covered\t1\nnsw_mean\t%1\nqa_long\t%2\n")
                                       .arg(QLatin1String(c.mean), QLatin1String(c.qa))))
            << r.out.toStdString();
        const qsizetype layers = r.out.indexOf(QStringLiteral("self_sinking\t"));
        EXPECT_EQ(layers < 0 ? QString() : r.out.mid(layers), c.layers) << r.out.toStdString();
    }
}

// A check that could not look as deep as the bands reach says so, and to what depth.
TEST_F(CliEvaluateTest, APartialCheckIsNeverReportedAsClear)
{
    const QString file =
        sandbox.writeCp932Lines("t.ktd", {"$T(", "001 002 003 0004 01 24 06 07 08 09",
                                          "100 0100 J04 004", "100 0500 J04 012", "T09 30", ")"});
    const struct
    {
        const char *base;
        const char *verdict;
    } cases[] = {
        {"0.50",
         "該当する自沈層なし（一部確認：深さ5.00 mまで、基礎底面下5 m（深さ5.50 m）に未達）"},
        {"3.50",
         "該当する自沈層なし（一部確認：深さ5.00 mまで、基礎底面下2 m（深さ5.50 m）に未達）"},
        {"0", "該当する自沈層なし"},
    };
    for (const auto &c : cases) {
        const CliRun r = run({"evaluate", file, "--base", c.base, "--set", "KutenNuki/Flag=0"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(
            r.out.contains(QStringLiteral("verdict\t%1\n").arg(QString::fromUtf8(c.verdict))))
            << c.base << " " << r.out.toStdString();
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

// Texts a spreadsheet program would compute are written so that it shows them as text; numbers,
// a negative Nsw from a depth that goes upwards (-16 truncated toward zero) included, stay numbers.
TEST_F(CliEvaluateTest, ExportKeepsSpreadsheetsFromComputingCellTexts)
{
    const QString file = sandbox.writeCp932Lines(
        "t.kgd",
        {"$T(", "001 002 003 0004 01 24 06 07 08 09", "100 0050 J04 004 =1+2",
         "100 0025 J04 004 @SUM(A1)", "100 0075 J04 004 -x", "100 0100 J04 004 +1", "T09 30", ")"});
    const QString out = sandbox.filePath("grid.csv");
    const CliRun r = run({"export", file, out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines =
        QString::fromUtf8(sandbox.readFile("grid.csv").mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1].section(u',', 5, 5), QStringLiteral("'=1+2"));
    EXPECT_EQ(lines[2].section(u',', 3, 3), QStringLiteral("-15"));
    EXPECT_EQ(lines[2].section(u',', 5, 5), QStringLiteral("'@SUM(A1)"));
    EXPECT_EQ(lines[3].section(u',', 5, 5), QStringLiteral("'-x"));
    EXPECT_EQ(lines[4].section(u',', 5, 5), QStringLiteral("+1"));
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
        TEvaluationPoint point;
        point.Result.Covered = covered;
        EXPECT_EQ(EvaluationSummaryCells(point).size(), EvaluationSummaryHeadings().size());
    }
}

// Wrong usage is refused before anything is read or written; a file that cannot be read leaves
// no half-written output behind.
TEST_F(CliEvaluateTest, RefusalsLeaveEveryFileAsItWas)
{
    const QString data = sandbox.writeFile("keep.kgd", "not a test\r\n");
    const QString bad = sandbox.writeFile("bad.ktd", "$T(\r\nnonsense\r\n)\r\n");
    const QString pdf = sandbox.filePath("out.pdf");
    const QString missing = sandbox.filePath("missing.kgd");
    const QString unsupported = sandbox.writeFile("notes.txt", "a note\r\n");
    const struct
    {
        QStringList arguments;
        int status;
        QString named; // the input the message must name
    } cases[] = {
        {{"evaluate", sample("sample.kgd"), "--base", "abc"}, 2, {}},
        {{"evaluate", sample("sample.kgd"), "--base", "-0.5"}, 2, {}},
        {{"report", data, sample("sample.kgd")}, 2, {}}, // output is not a PDF
        {{"export", sample("sample.kgd"), data}, 2, {}}, // output is not a CSV file
        {{"export", sample("sample.kgd"), "x.csv", "--base", "1"}, 2, {}},
        {{"report", pdf, sample("sample.kgd"), bad}, 1, "bad.ktd"}, // one point cannot be read
        {{"report", pdf, sample("sample.kgd"), missing}, 1, missing},
        {{"report", pdf, unsupported, sample("sample.kgd")}, 1, unsupported},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CliRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.err.contains(c.named)) << r.err.toStdString();
        EXPECT_EQ(sandbox.readFile("keep.kgd"), QByteArray("not a test\r\n"));
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

} // namespace
