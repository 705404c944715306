#include "cli_fixture.h"
#include "codec.h"
#include "writer.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

// A small transfer file: a self-sinking row, two rotation rows across 25 cm, a hammered row.
const QStringList kTransferFile = {
    QStringLiteral("$T("),
    QStringLiteral("001 002 003 0004 05 24 06 07 08 09"),
    QStringLiteral("050 0012 J04 JTN"),
    QStringLiteral("100 0037 J01 010"),
    QStringLiteral("100 0050 J04 004"),
    QStringLiteral("100 0060 D07 000"),
    QStringLiteral("T10 30"),
    QStringLiteral(")"),
    QStringLiteral("$G("),
    QStringLiteral("1 35.6812 N 139.7671 E 40 m x y"),
    QStringLiteral(")"),
};

TEST_F(CliTest, ShowPrintsHeaderPanelThenGrid)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const CliRun r = run({"show", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n');
    ASSERT_GE(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("試験コード  001-002-003-0004"));
    EXPECT_EQ(lines[1], QStringLiteral("測点番号 05"));
    EXPECT_EQ(lines[2], QStringLiteral("試験時間       2024年  6月  7日 08時09分～10時30分"));
    EXPECT_EQ(lines[3], QStringLiteral("最終貫入深さ   0.60 m"));
    EXPECT_EQ(lines[4], QStringLiteral("GPS測位  緯度 35.6812N 経度139.7671E 海抜高度40m"));
    EXPECT_EQ(lines[5], QString());
    EXPECT_EQ(lines[6], QStringLiteral("D (m) \tWsw(kN)\tNa\tNsw\t観察\t土質\t換算Ｎ値"));
    EXPECT_EQ(lines[7], QStringLiteral("0.12\t0.50\t自沈\t0\t無音\t粘性土\t1.5"));
    EXPECT_EQ(lines[8], QStringLiteral("0.37\t1.00\t10\t40\tｼﾞｬﾘｼﾞｬﾘ\t砂質土\t4.6"));
    EXPECT_EQ(lines[10], QStringLiteral("0.60\t1.00\t0\t250\t打撃07回\t粘性土\t15.5"));
    EXPECT_EQ(lines.size(), 12); // four rows and the final line end
}

TEST_F(CliTest, ShowRoundedAndSettingOverrides)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const CliRun r = run({"show", file, "--rounded", "--set", "GridMode/NaMode=1"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    // Rows at 0.25, 0.50 and the true final depth 0.60.
    ASSERT_EQ(lines.size(), 5 + 1 + 3);
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("0.25\t")));
    EXPECT_TRUE(lines[7].startsWith(QStringLiteral("0.50\t")));
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("0.60\t")));
    EXPECT_EQ(lines[3], QStringLiteral("最終貫入深さ   0.60 m"));
}

TEST_F(CliTest, SaveWritesTheTypeTheExtensionNames)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const QString out = sandbox.filePath("t.kmd");
    sandbox.writeFile("t.kmd", "old");
    const CliRun r = run({"save", file, out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray bytes = sandbox.readFile(out);
    EXPECT_TRUE(bytes.startsWith("$T(\r\n001 002 003 0004 05 24 06 07 08 09 \r\n"));
    EXPECT_TRUE(bytes.endsWith("T10 30 \r\n)\r\n"));
}

TEST_F(CliTest, FailuresExitWithOneAndTheMessage)
{
    const QString unsupported = sandbox.writeFile("t.txt", "x");
    CliRun r = run({"show", unsupported});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("このファイルタイプには対応していません")));

    r = run({"show", sandbox.filePath("missing.kgd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("ファイルエラー")));

    const QString malformed =
        sandbox.writeCp932Lines("bad.ktd", {"$T(", "001 002 003 0004 05 24 06 07 08 09",
                                            "100 00x5 J01 010", "T10 30", ")"});
    r = run({"show", malformed});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("bad.ktd"))) << r.err.toStdString();

    // A depth field of five million digits is quoted as a short excerpt, not megabytes.
    const QString longDepth = sandbox.writeFile(
        "long.ktd", "$T(\r\n001 002 003 0004 05 24 06 07 08 09\r\n100 " +
                        QByteArray(5'000'000, '9') + " J01 010\r\nT10 30\r\n)\r\n");
    r = run({"show", longDepth});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(u"'" + QString(40, u'9') + u"…'")) << r.err.left(300).toStdString();
    EXPECT_LT(r.err.size(), 200);

    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    r = run({"save", file, sandbox.filePath("no/such/folder/t.kgd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("データを保存できません")));

    // Typed rows that go upwards are refused as the switch to edit mode refuses them.
    const QString upwards =
        sandbox.writeCp932Lines("up.kmd", {"$T(", "001 002 003 0004 05 24 06 07 08 09",
                                           "100 0050 J01 010", "100 0040 J01 010", "T10 30", ")"});
    r = run({"show", upwards});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("2 行目の貫入深さが上の行（0.50 m）より浅く")))
        << r.err.toStdString();

    // A test without rows is never saved as an empty file.
    const QString empty = sandbox.writeCp932Lines(
        "empty.kmd", {"$T(", "001 002 003 0004 05 24 06 07 08 09", "T10 30", ")"});
    r = run({"save", empty, sandbox.filePath("empty.kgd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(kNoRowsToSaveText)) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(sandbox.filePath("empty.kgd")));
}

TEST_F(CliTest, WrongUsageExitsWithTwo)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"show"}).status, 2);
    EXPECT_EQ(run({"frobnicate", file}).status, 2);
    EXPECT_EQ(run({"show", file, "--set", "Nope/Key=1"}).status, 2);
    EXPECT_EQ(run({"show", file, "--set", "GridMode/NaMode"}).status, 2);
    EXPECT_EQ(run({"save", file, "--rounded", sandbox.filePath("x.kgd")}).status, 2);
}

TEST_F(CliTest, HelpPrintsTheUsageAndSucceeds)
{
    for (const char *option : {"--help", "-h"}) {
        const CliRun r = run({option});
        EXPECT_EQ(r.status, 0) << option;
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage:\n"))) << option;
        EXPECT_TRUE(r.out.contains(QStringLiteral("tessmark-cli export "))) << option;
        EXPECT_TRUE(r.err.isEmpty()) << option;
    }
}

TEST_F(CliTest, MissingTablesAreReported)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const CliRun r = run({"show", file, "--tables", sandbox.filePath("nowhere")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Tessmarkを起動できません")));
}

// Pages of a PDF as its page objects count them.
int pdfPages(const QByteArray &pdf)
{
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
               pdf.count("/Type /Page>"));
}

TEST_F(CliTest, PrintWritesTheSelectedPrintoutsAsOnePdf)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const QString pdf = sandbox.filePath("out.pdf");
    CliRun r = run({"print", file, pdf, "--select", "table,nsw", "--color"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray twoPages = sandbox.readFile(pdf);
    EXPECT_TRUE(twoPages.startsWith("%PDF"));
    EXPECT_EQ(pdfPages(twoPages), 2);

    r = run({"print", file, pdf, "--select", "TN25,table,n25,tnsw25"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(sandbox.readFile(pdf)), 4);
}

TEST_F(CliTest, PrintRefusesUnknownPrintoutsAndKeepsTheOldFile)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const QString pdf = sandbox.writeFile("out.pdf", "old");
    EXPECT_EQ(run({"print", file, pdf, "--select", "table,chart"}).status, 2);
    EXPECT_EQ(run({"print", file, pdf}).status, 2);
    EXPECT_EQ(run({"print", file, pdf, "--select", "table", "--rounded"}).status, 2);
    EXPECT_EQ(sandbox.readFile(pdf), QByteArray("old"));
}

TEST_F(CliTest, GraphDrawsTheClientAreaAsThePictureSize)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const QString png = sandbox.filePath("g.png");
    CliRun r = run({"graph", file, png, "--kind", "nsw"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QImage image(png);
    EXPECT_EQ(image.size(), QSize(350, 420));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));

    r = run({"graph", file, png, "--kind", "n", "--size", "340x400", "--rounded"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    image = QImage(png);
    EXPECT_EQ(image.size(), QSize(340, 400));
    // The plot frame of a 340 x 400 client area runs from x 68 to 323 at y 60.
    EXPECT_EQ(image.pixelColor(200, 60), QColor(Qt::black));

    EXPECT_EQ(run({"graph", file, png, "--kind", "torque"}).status, 2);
    EXPECT_EQ(run({"graph", file, png, "--kind", "n", "--size", "0x10"}).status, 2);
    EXPECT_EQ(run({"graph", file, png, "--kind", "n", "--size", "big"}).status, 2);
}

TEST_F(CliTest, ProcessWritesUtf8WithLineFeeds)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", sandbox.filePath("config"));
    process.setProcessEnvironment(environment);
    process.start(QDir(TESSMARK_BIN_DIR).filePath("tessmark-cli"), {"show", file});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    const QByteArray out = process.readAllStandardOutput();
    EXPECT_FALSE(out.contains('\r'));
    EXPECT_TRUE(QString::fromUtf8(out).contains(QStringLiteral("ｼﾞｬﾘｼﾞｬﾘ")));

    process.start(QDir(TESSMARK_BIN_DIR).filePath("tessmark-cli"),
                  {"show", sandbox.filePath("none.kgd")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains("ファイルエラー"));
}

// The drawing commands run in the helper program: its output, streams and exit status are the
// tool's own. Outside a desktop session (no runtime folder) a drawing says nothing but its
// errors.
TEST_F(CliTest, ProcessHandsDrawingCommandsOnWithTheirOutcome)
{
    const QString file = sandbox.writeCp932Lines("t.ktd", kTransferFile);
    const QString png = sandbox.filePath("g.png");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", sandbox.filePath("config"));
    environment.remove("XDG_RUNTIME_DIR");
    process.setProcessEnvironment(environment);
    const QString tool = QDir(TESSMARK_BIN_DIR).filePath("tessmark-cli");

    process.start(tool, {"graph", file, png, "--kind", "nsw"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardError().toStdString(), "");
    EXPECT_EQ(QImage(png).size(), QSize(350, 420));

    process.start(tool, {"graph", file, png, "--kind", "torque"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("usage:"));

    process.start(tool, {"print", sandbox.filePath("none.kgd"), sandbox.filePath("p.pdf"),
                         "--select", "table"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains("ファイルエラー"));
}

} // namespace
