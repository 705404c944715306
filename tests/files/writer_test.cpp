#include "filetestutil.h"

#include "derived.h"
#include "writer.h"

#include <QFile>

#include <cctype>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const QString kHeader = QStringLiteral("102 004 017 0025 03 24 05 17 09 30");

using Writer = FilesTest;

Tvt_data row(const char *wsw, int depth, const char *na, const char *obs, const char *soil)
{
    Tvt_data r;
    r.Wsw = QString::fromUtf8(wsw);
    r.Depth = depth;
    r.Na = QString::fromUtf8(na);
    r.Obs = QString::fromUtf8(obs);
    r.Doshitu = QString::fromUtf8(soil);
    return r;
}

Tkannyu logOf(const QList<Tvt_data> &rows)
{
    Tkannyu log;
    log.info() = {1, 22, 333, 4444, 5, 24, 6, 7, 8, 9, 10, 5, 0};
    log.startRows();
    for (const Tvt_data &r : rows) {
        log.appendRow(r);
        log.FinalDepth = r.Depth;
        ++log.Count;
    }
    return log;
}

TEST_F(Writer, WriteLogLaysOutHeaderRowsAndEndTime)
{
    const Tkannyu log =
        logOf({row("75", 25, "自沈", "無音", "粘性土"), row("100", 50, "7", "ｼﾞｬﾘｼﾞｬﾘ", "砂質土*"),
               row("100", 62, "0", "打撃12回", "礫質土"), row("100", 75, "3", "ﾄﾞｽﾄﾞｽ", ""),
               // The "Default" entry's text: its section name would read back as hammering.
               row("100", 100, "2", "不明", "粘性土")});
    const QList<QByteArray> expected{"$T(",
                                     "001 022 333 4444 05 24 06 07 08 09 ",
                                     cp932("075 0025 J04 JTN 粘性土 "),
                                     cp932("100 0050 J01 007 砂質土* "),
                                     cp932("100 0062 D12 000 礫質土 "),
                                     "100 0075 J99 003  ",
                                     cp932("100 0100 J99 002 粘性土 "),
                                     "T10 05 ",
                                     ")"};
    EXPECT_EQ(WriteLog(log, u' ', setting, tables), expected);

    const QList<QByteArray> commas = WriteLog(log, u',', setting, tables);
    EXPECT_EQ(commas[1], "001,022,333,4444,05,24,06,07,08,09,");
}

TEST_F(Writer, HalfTurnFieldFollowsTheDecimalSetting)
{
    const struct
    {
        const char *na;
        bool naMode;
        const char *field;
    } cases[] = {
        {"7", false, "007"},     {"7.5", true, "007.5"},  {"7.5", false, "007"},
        {"12", true, "012.0"},   {"自沈", true, "JTN"},   {"0.3", true, "000.3"},
        {"0012", false, "012"},  {"1234", false, "1234"}, {"7.25", true, "007.2"},
        {"2.99", true, "002.9"}, {" 7", false, "007"},    {"1e1", true, "010.0"},
    };
    for (const auto &c : cases) {
        setting.NaMode = c.naMode;
        const QList<QByteArray> lines =
            WriteLog(logOf({row("100", 25, c.na, "無音", "粘性土")}), u' ', setting, tables);
        EXPECT_EQ(lines[2], cp932(QStringLiteral("100 0025 J04 %1 粘性土 ").arg(c.field)))
            << c.na << " " << c.naMode;
    }
}

TEST_F(Writer, WriteLogRefusesALoadThatIsNotAnInteger)
{
    EXPECT_THROW(WriteLog(logOf({row("7.5", 25, "1", "無音", "")}), u' ', setting, tables),
                 EConvertError);
}

TEST_F(Writer, TransferFileSavedAsStandardKeepsItsLinesAndAddsSoil)
{
    TSoundingTest test = open(sample("sample.ktd"));
    test.NormalLog.row(3).Doshitu = QStringLiteral("砂質土*");
    const QString path = sandbox.filePath("out.kgd");
    SaveTestFile(test, path, setting, tables);

    QFile source(sample("sample.ktd"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QList<QByteArray> original = crlfLines(source.readAll());
    original.removeIf([](const QByteArray &line) { return line.startsWith("000   "); });
    const qsizetype start = original.indexOf("$T(");
    ASSERT_EQ(start, 1); // one identification line before the test is left out
    original.remove(0, start);

    const QList<QByteArray> written = crlfLines(sandbox.readFile(path));
    ASSERT_EQ(written.size(), original.size());
    int n = 0;
    bool inRows = false;
    for (qsizetype i = 0; i < written.size(); ++i) {
        const QByteArray &line = original[i];
        const bool dataRow =
            inRows && !line.isEmpty() && std::isdigit(line.front()) && !line.startsWith("999 ");
        inRows = (inRows || i == 1) && !line.startsWith('T');
        if (!dataRow) {
            EXPECT_EQ(written[i], line) << i;
            continue;
        }
        ++n;
        EXPECT_EQ(written[i], line + ' ' + cp932(test.NormalLog.row(n).Doshitu) + ' ') << i;
    }
    EXPECT_EQ(n, test.NormalLog.Count);
    EXPECT_EQ(written[2], "999 0000 J04 000");
    EXPECT_EQ(written[5], cp932("025 0024 J04 JTN 砂質土* "));
}

TEST_F(Writer, ResaveRewritesHalfTurnsInTheCurrentLayout)
{
    setting.NaMode = true;
    TSoundingTest test = open(
        write("t.ktd", {"$T(", kHeader, "100 0025 J01 010", "100 0050 J01 JTN", "T09 45", ")"}));
    const QList<QByteArray> lines = ReemitRawLines(test, setting, tables);
    EXPECT_EQ(lines[2], cp932("100 0025 J01 010.0 砂質土 "));
    EXPECT_EQ(lines[3], cp932("100 0050 J01 JTN 砂質土 "));
}

TEST_F(Writer, ReemitPairsLinesWithTheRowsTheyMade)
{
    // A skipped load takes no row; the end-time line closes the test, so the torque line after
    // it stays as it is; a second test section goes on with the next row.
    TSoundingTest test =
        open(write("t.ktd", {"$T(", kHeader, "100 0025 J01 010", "999 0030 J04 000",
                             "100 0050 J03 012", "T09 45", "$Q(", "0050 3", ")", "$T(", kHeader,
                             "100 0075 J04 004", "T09 50", ")"}));
    ASSERT_EQ(test.NormalLog.Count, 3);
    ASSERT_EQ(test.TestQuantities.size(), 1);
    test.NormalLog.row(2).Doshitu = QStringLiteral("粘性土*");

    int paired = 0;
    const QList<QByteArray> expected{"$T(",
                                     kHeader.toLatin1(),
                                     cp932("100 0025 J01 010 砂質土 "),
                                     "999 0030 J04 000",
                                     cp932("100 0050 J03 012 粘性土* "),
                                     "T09 45",
                                     "$Q(",
                                     "0050 3",
                                     ")",
                                     "$T(",
                                     kHeader.toLatin1(),
                                     cp932("100 0075 J04 004 粘性土 "),
                                     "T09 50",
                                     ")"};
    EXPECT_EQ(ReemitRawLines(test, setting, tables, &paired), expected);
    EXPECT_EQ(paired, 3);

    // A data line with no row left is copied as it is.
    test.NormalLog.setRowArrayLength(3);
    test.NormalLog.Count = 2;
    const QList<QByteArray> shorter = ReemitRawLines(test, setting, tables, &paired);
    EXPECT_EQ(shorter[11], "100 0075 J04 004");
    EXPECT_EQ(paired, 2);
}

TEST_F(Writer, RoundedFileHoldsTheRoundedLogWithTheTrueFinalDepth)
{
    TSoundingTest test = open(sample("sample.ktd"));
    const QString opened = test.CurrentFile;
    SaveTestFile(test, sandbox.filePath("out.k25"), setting, tables);

    const QList<QByteArray> lines = crlfLines(sandbox.readFile("out.k25"));
    ASSERT_EQ(lines.size(), test.RoundedLog.Count + 4);
    for (int i = 1; i <= test.RoundedLog.Count; ++i) {
        const int depth = lines[i + 1].split(' ').at(1).toInt();
        EXPECT_EQ(depth, test.RoundedLog.row(i).Depth);
        if (i < test.RoundedLog.Count) {
            EXPECT_EQ(depth % 25, 0) << i;
        }
    }
    EXPECT_TRUE(lines[test.RoundedLog.Count + 1].startsWith("100 1005 "));
    EXPECT_EQ(lines[test.RoundedLog.Count + 2], "T10 12 ");
    // The normal view stays as it was.
    EXPECT_TRUE(test.DisplayLog.sharesRowsWith(test.NormalLog));
    EXPECT_EQ(test.CurrentFile, opened);
}

TEST_F(Writer, OnlyAManualInputFileBecomesTheCurrentFile)
{
    const struct
    {
        const char *name;
        bool current;
        bool standardLayout; // written by WriteLog (header ends with a blank)
    } cases[] = {
        {"a.kmd", true, true},  {"b.kgd", false, false}, {"c.k00", false, true},
        {"d.k25", false, true}, {"e.KMD", false, true},  {"f.dat", false, false},
    };
    for (const auto &c : cases) {
        TSoundingTest test = open(sample("sample.ktd"));
        const QString path = sandbox.filePath(QString::fromLatin1(c.name));
        SaveTestFile(test, path, setting, tables);
        EXPECT_EQ(test.CurrentFile, c.current ? path : sample("sample.ktd")) << c.name;
        const QList<QByteArray> lines = crlfLines(sandbox.readFile(path));
        ASSERT_GT(lines.size(), 2) << c.name;
        EXPECT_EQ(lines[1].endsWith(' '), c.standardLayout) << c.name;
    }
}

TEST_F(Writer, SampleFileSourceIsWrittenInTheStandardLayout)
{
    TSoundingTest test = open(sample("sample.ksd"));
    SaveTestFile(test, sandbox.filePath("out.kgd"), setting, tables);
    EXPECT_EQ(crlfLines(sandbox.readFile("out.kgd")),
              WriteLog(test.NormalLog, u' ', setting, tables));
}

TEST_F(Writer, TestTypedInByHandIsNotLostWhenSavedAsStandard)
{
    TSoundingTest test;
    test.NormalLog = logOf({row("100", 25, "4", "無音", "粘性土")});
    SaveTestFile(test, sandbox.filePath("hand.kgd"), setting, tables);
    EXPECT_EQ(crlfLines(sandbox.readFile("hand.kgd")),
              WriteLog(test.NormalLog, u' ', setting, tables));
}

TEST_F(Writer, SavedFilesReadBackToTheSameTest)
{
    for (const char *source : {"sample.ktd", "sample.kgd", "sample.kmd"}) {
        for (const char *target : {"rt.kgd", "rt.kmd"}) {
            TSoundingTest test = open(sample(source));
            // A hand-chosen soil type, with its converted N as the soil editor leaves it.
            test.NormalLog.row(3).Doshitu = QStringLiteral("砂質土*");
            ComputeNValue(test.NormalLog, tables);
            const QString path = sandbox.filePath(target);
            SaveTestFile(test, path, setting, tables);

            const TSoundingTest again = open(path);
            EXPECT_EQ(again.NormalLog.info(), test.NormalLog.info()) << source << target;
            ASSERT_EQ(again.NormalLog.Count, test.NormalLog.Count) << source << target;
            for (int i = 1; i <= test.NormalLog.Count; ++i) {
                Tvt_data expected = test.NormalLog.row(i);
                Tvt_data actual = again.NormalLog.row(i);
                // The manual-input layout pads loads to three digits.
                expected.Wsw = QStringLiteral("%1").arg(expected.Wsw.toInt(), 3, 10, QChar(u'0'));
                actual.Wsw = QStringLiteral("%1").arg(actual.Wsw.toInt(), 3, 10, QChar(u'0'));
                EXPECT_EQ(actual, expected) << source << " " << target << " row " << i;
            }
            if (QByteArray(target) == "rt.kgd" && QByteArray(source) != "sample.kmd") {
                EXPECT_EQ(again.TestParams, test.TestParams);
                EXPECT_EQ(again.TestQuantities, test.TestQuantities);
                EXPECT_EQ(again.TestGps, test.TestGps);
            }
        }
    }
}

TEST_F(Writer, UnwritableTargetRaisesTheSaveMessage)
{
    sandbox.writeFile("blocker", "not a folder");
    TSoundingTest test = open(sample("sample.kmd"));
    try {
        SaveTestFile(test, sandbox.filePath("blocker/out.kmd"), setting, tables);
        FAIL() << "no error";
    } catch (const ECantWriteFile &e) {
        // Not the disk-space advice: the folder is the trouble, and the message says so.
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("データを保存できません\r") +
                                           sandbox.filePath("blocker/out.kmd") +
                                           QStringLiteral(": ")))
            << e.message().toStdString();
        EXPECT_FALSE(e.message().contains(QStringLiteral("空き容量")));
    }
    EXPECT_EQ(test.CurrentFile, sample("sample.kmd"));
}

TEST_F(Writer, FailedSaveKeepsTheOldFile)
{
    const QByteArray old = "$T(\r\nold content\r\n";
    const QString path = sandbox.writeFile("keep.kmd", old);

    // Building the lines fails before anything is written.
    TSoundingTest test;
    test.NormalLog = logOf({row("abc", 25, "4", "無音", "粘性土")});
    EXPECT_THROW(SaveTestFile(test, path, setting, tables), EConvertError);
    EXPECT_EQ(sandbox.readFile(path), old);

#ifdef Q_OS_UNIX
    // The disk fills up while writing: a file size limit stands in for a full disk.
    QList<QByteArray> big(20000, QByteArray(60, '1'));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        WriteLinesAtomically(path, big);
    } catch (const ECantWriteFile &) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(raised);
    EXPECT_EQ(sandbox.readFile(path), old);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(sandbox.path()).entryList({"keep*"}, QDir::Files), QStringList{"keep.kmd"});
#endif
}

} // namespace
