#include "filetestutil.h"

#include "derived.h"

#include <QFile>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kHeader = QStringLiteral("102 004 017 0025 03 24 05 17 09 30");

// ---- the shipped samples ----

struct SampleCase
{
    const char *file;
    int count;
    int finalDepth;
    TTestInfo head; // header fields to compare (FinalDepth checked separately)
    int depth;      // one row to compare
    const char *wsw;
    const char *na;
    const char *obs;
    const char *soil;
    const char *code;
};

void PrintTo(const SampleCase &c, std::ostream *out)
{
    *out << c.file;
}

class Samples : public FilesTest, public ::testing::WithParamInterface<SampleCase>
{};

TEST_P(Samples, OpenWithTheValuesWrittenInTheFile)
{
    const SampleCase c = GetParam();
    const QString path = sample(QString::fromLatin1(c.file));
    const TSoundingTest test = open(path);

    EXPECT_EQ(test.CurrentFile, path);
    EXPECT_EQ(test.NormalLog.Count, c.count);
    EXPECT_EQ(test.NormalLog.rowArrayLength(), c.count + 1);
    EXPECT_EQ(test.NormalLog.FinalDepth, c.finalDepth);
    TTestInfo head = test.NormalLog.info();
    head.FinalDepth = 0;
    EXPECT_EQ(head, c.head);

    const Tvt_data &row = rowAtDepth(test.NormalLog, c.depth);
    EXPECT_EQ(row.Wsw, QString::fromUtf8(c.wsw));
    EXPECT_EQ(row.Na, QString::fromUtf8(c.na));
    EXPECT_EQ(row.Obs, QString::fromUtf8(c.obs));
    EXPECT_EQ(row.Doshitu, QString::fromUtf8(c.soil));
    EXPECT_EQ(row.ObsCode, QString::fromUtf8(c.code));

    // Depths only grow, the window's copy shares the rows and the rounded view is ready.
    for (int i = 2; i <= test.NormalLog.Count; ++i)
        EXPECT_GT(test.NormalLog.row(i).Depth, test.NormalLog.row(i - 1).Depth) << i;
    EXPECT_TRUE(test.DisplayLog.sharesRowsWith(test.NormalLog));
    EXPECT_EQ(test.DisplayLog.info(), test.NormalLog.info());
    EXPECT_GT(test.RoundedLog.Count, 0);
    EXPECT_EQ(test.RoundedLog.FinalDepth, c.finalDepth);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Samples,
    ::testing::Values(SampleCase{"sample.ktd",
                                 50,
                                 1005,
                                 {102, 4, 17, 25, 3, 24, 5, 17, 9, 30, 10, 12, 0},
                                 470,
                                 "100",
                                 "000",
                                 "打撃05回",
                                 "粘性土",
                                 "D05"},
                      SampleCase{"sample.kgd",
                                 28,
                                 600,
                                 {102, 4, 17, 26, 4, 24, 5, 17, 10, 40, 11, 5, 0},
                                 200,
                                 "100",
                                 "006",
                                 "無音",
                                 "砂質土*",
                                 "J04"},
                      SampleCase{"sample.kmd",
                                 14,
                                 300,
                                 {103, 11, 2, 7, 1, 24, 6, 3, 14, 5, 14, 30, 0},
                                 150,
                                 "100",
                                 "006",
                                 "不明",
                                 "粘性土",
                                 "J99"},
                      SampleCase{"sample.ksd",
                                 18,
                                 400,
                                 {102, 4, 17, 31, 2, 24, 6, 10, 13, 20, 13, 41, 0},
                                 325,
                                 "100",
                                 "019",
                                 "ｻﾞﾗｻﾞﾗ",
                                 "砂質土",
                                 "P05"}),
    [](const auto &info) {
        return QString::fromLatin1(info.param.file).section(u'.', 1).toStdString();
    });

using Reader = FilesTest;

TEST_F(Reader, TransferSampleCarriesItsSectionsAndKeepsItsLines)
{
    const TSoundingTest test = open(sample("sample.ktd"));
    const QList<TTestParam> params{{"P00", 1}, {"P01", 100}, {"P02", 25}, {"P03", 0}};
    EXPECT_EQ(test.TestParams, params);
    ASSERT_EQ(test.TestQuantities.size(), 20);
    EXPECT_EQ(test.TestQuantities.first(), (TTorquePair{50, 3}));
    EXPECT_EQ(test.TestQuantities.last(), (TTorquePair{1000, 45}));
    const TGPSData gps{"1", "35.6812", "N", "139.7671", "E", "40", "m", "08", "1.2"};
    EXPECT_EQ(test.TestGps, gps);

    // Every line but the two filler lines, byte for byte.
    QFile file(sample("sample.ktd"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> expected = crlfLines(file.readAll());
    expected.removeIf([](const QByteArray &line) { return line.startsWith("000   "); });
    EXPECT_EQ(test.RawLines, expected);

    const Tvt_data &first = test.NormalLog.row(1);
    EXPECT_EQ(first.Wsw, "005");
    EXPECT_EQ(first.Depth, 8);
    EXPECT_EQ(first.Na, kSelfSinking);
    EXPECT_EQ(first.Nsw, "0");
    EXPECT_EQ(rowAtDepth(test.NormalLog, 984).Obs, "打撃15回");
    EXPECT_EQ(rowAtDepth(test.NormalLog, 984).Nsw, "250");
    EXPECT_EQ(rowAtDepth(test.NormalLog, 1005).Obs, "空転");
}

TEST_F(Reader, SelfSinkingHammeringAndTheDefaultEntry)
{
    setting.NaMode = true;
    const TSoundingTest test =
        open(write("t.ktd", {"$T(", kHeader, "050 0020 J04 JTN 砂質土", "100 0025 D07 003",
                             "100 0050 J77 004", "100 0075 J01 005", "T09 45"}));
    ASSERT_EQ(test.NormalLog.Count, 4);
    const Tvt_data &sinking = test.NormalLog.row(1);
    EXPECT_EQ(sinking.Na, kSelfSinking);
    EXPECT_EQ(sinking.Nsw, "0.0");
    // A transfer file takes soil types from the table, whatever a fifth field says.
    EXPECT_EQ(sinking.Doshitu, "粘性土");

    const Tvt_data &hammered = test.NormalLog.row(2);
    EXPECT_EQ(hammered.Obs, "打撃07回");
    EXPECT_EQ(hammered.ObsCode, "D07");
    EXPECT_EQ(hammered.Na, "003");
    EXPECT_EQ(hammered.Nsw, "250.0");

    const Tvt_data &unknown = test.NormalLog.row(3);
    EXPECT_EQ(unknown.Obs, "不明");
    EXPECT_EQ(unknown.Doshitu, "粘性土");
    EXPECT_EQ(unknown.ObsCode, "J77");

    EXPECT_EQ(test.NormalLog.row(4).Obs, "ｼﾞｬﾘｼﾞｬﾘ");
    EXPECT_EQ(test.NormalLog.row(4).Doshitu, "砂質土");
    EXPECT_EQ(test.NormalLog.EndHour, 9);
    EXPECT_EQ(test.NormalLog.EndMin, 45);
}

TEST_F(Reader, FillerLinesAreDroppedInsideEverySection)
{
    const TSoundingTest test = open(write("t.ktd", {"$T(",
                                                    "000   ",
                                                    kHeader,
                                                    "100 0025 J01 010",
                                                    "000   000 000 000",
                                                    "100 0050 J01 012",
                                                    "T09 45",
                                                    ")",
                                                    "$P(",
                                                    "000   x",
                                                    "P00 02",
                                                    ")",
                                                    "$Q(",
                                                    "000   ",
                                                    "0025 7",
                                                    ")",
                                                    "$G(",
                                                    "000   0 0 0",
                                                    "2 35.1 N 139.2 E 12 m 05 0.9",
                                                    ")"}));
    EXPECT_EQ(test.NormalLog.Count, 2);
    EXPECT_EQ(test.TestParams, (QList<TTestParam>{{"P00", 2}}));
    EXPECT_EQ(test.TestQuantities, (QList<TTorquePair>{{25, 7}}));
    EXPECT_EQ(test.TestGps.Status, "2");
    EXPECT_EQ(test.RawLines.size(), 15);

    // The comma form of filler lines in a sample file.
    const TSoundingTest ksd = open(write(
        "t.ksd", {"102,004,017,0031,02,24,06,10,13,20", "000,,,", "100,0025,J01,010", "T13,41"}));
    EXPECT_EQ(ksd.NormalLog.Count, 1);
    EXPECT_EQ(ksd.NormalLog.EndMin, 41);
}

TEST_F(Reader, SkippedLoadLeavesNoRowAndKeepsTheFinalDepth)
{
    const TSoundingTest test =
        open(write("t.ktd", {"$T(", kHeader, "999 0000 J04 000", "100 0025 J01 010",
                             "100 0050 J01 012", "999 0900 J04", "T09 45"}));
    ASSERT_EQ(test.NormalLog.Count, 2);
    EXPECT_EQ(test.NormalLog.row(1).Depth, 25);
    EXPECT_EQ(test.NormalLog.FinalDepth, 50);
}

// A GPS line too short to hold a position costs the test only its position: the rows are read,
// the line is named in a note and kept for a re-save.
TEST_F(Reader, AShortGpsLineCostsOnlyThePosition)
{
    const TSoundingTest test = open(write(
        "short.ktd", {"$T(", kHeader, "100 0025 J01 010", "T09 45", ")", "$G(", "1 35.6 N", ")"}));
    EXPECT_EQ(test.NormalLog.Count, 1);
    EXPECT_FALSE(test.TestGps.hasPosition());
    EXPECT_EQ(test.ReadNotes, QStringList{QStringLiteral(
                                  "GPSの行（7 行目）は項目が 3 つしかないため、位置を読みません")});
    EXPECT_EQ(test.RawLines.value(6), QByteArray("1 35.6 N"));
}

TEST_F(Reader, TestSectionWithoutEndTimeHidesLaterSections)
{
    const TSoundingTest test =
        open(write("t.ktd", {"$T(", kHeader, "100 0025 J01 010", ")", "$P(", "P00 01", ")", "$G(",
                             "1 35 N 139 E 40 m 0 0", ")"}));
    // The position line starts with a digit, so it is read as one more data row.
    EXPECT_EQ(test.NormalLog.Count, 2);
    EXPECT_EQ(test.NormalLog.FinalDepth, 35);
    EXPECT_TRUE(test.TestParams.isEmpty());
    EXPECT_EQ(test.TestGps, TGPSData{});
    EXPECT_EQ(test.NormalLog.EndHour, 0);
    EXPECT_EQ(test.NormalLog.EndMin, 0);
}

TEST_F(Reader, SecondTestSectionReadsANewHeaderAndAppends)
{
    const TSoundingTest test =
        open(write("t.ktd", {"$T(", kHeader, "100 0025 J01 010", "T09 45", "$T(",
                             "102 004 017 0026 04 24 05 18 10 00", "100 0050 J03 012", "T10 20"}));
    ASSERT_EQ(test.NormalLog.Count, 2);
    EXPECT_EQ(test.NormalLog.row(2).Depth, 50);
    EXPECT_EQ(test.NormalLog.Code4, 26);
    EXPECT_EQ(test.NormalLog.Day, 18);
    EXPECT_EQ(test.NormalLog.EndHour, 10);
    EXPECT_EQ(test.NormalLog.FinalDepth, 50);
}

TEST_F(Reader, StandardFilesTakeSoilFromTheFifthFieldWhateverTheCase)
{
    for (const char *name : {"t.kgd", "t.KgD", "t.kmd"}) {
        const TSoundingTest test = open(write(
            name, {"$T(", kHeader, "100 0025 J01 010 粘性土* ", "100 0050 J01 012", "T09 45"}));
        ASSERT_EQ(test.NormalLog.Count, 2) << name;
        EXPECT_EQ(test.NormalLog.row(1).Doshitu, "粘性土*") << name;
        EXPECT_EQ(test.NormalLog.row(2).Doshitu, "") << name;
    }
}

struct MalformedCase
{
    const char *name;
    int line; // the bad line, counted in the file (the filler line included)
    const char *text;
    const char *reason;
};

void PrintTo(const MalformedCase &c, std::ostream *out)
{
    *out << c.name;
}

class Malformed : public FilesTest, public ::testing::WithParamInterface<MalformedCase>
{};

// The bad text replaces line `line` of a good transfer file.
TEST_P(Malformed, NamesFileAndLineAndLeavesTheOpenTestAlone)
{
    const MalformedCase c = GetParam();
    QStringList lines{"$T(",
                      kHeader,
                      "000   ",
                      "100 0025 J01 010",
                      "100 0050 J01 012",
                      "T09 45",
                      ")",
                      "$P(",
                      "P00 01",
                      ")",
                      "$Q(",
                      "0025 3",
                      ")",
                      "$G(",
                      "1 35.6 N 139.7 E 40 m 0 0",
                      ")"};
    lines[c.line - 1] = QString::fromUtf8(c.text);
    const QString bad = write("bad.ktd", lines);

    const QString goodPath = sample("sample.kgd");
    TSoundingTest test = open(goodPath);
    const TSoundingTest reference = open(goodPath);
    try {
        test = open(bad);
        FAIL() << "no error";
    } catch (const EDataFileError &e) {
        EXPECT_EQ(e.reason(), EDataFileError::Malformed);
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("ファイル bad.ktd の %1 行目が読めません: ").arg(c.line)))
            << e.message();
        EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.reason))) << e.message();
    }
    EXPECT_EQ(test.CurrentFile, goodPath);
    EXPECT_EQ(test.NormalLog.rows(), reference.NormalLog.rows());
    EXPECT_EQ(test.NormalLog.info(), reference.NormalLog.info());
    EXPECT_EQ(test.RawLines, reference.RawLines);
    EXPECT_EQ(test.TestGps, reference.TestGps);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Malformed,
    ::testing::Values(
        MalformedCase{"MissingHalfTurns", 5, "100 0050 J01", "4 番目の項目がありません"},
        MalformedCase{"DepthNotANumber", 5, "100 00x0 J01 012", "'00x0' は整数ではありません"},
        MalformedCase{"HalfTurnsNotANumber", 4, "100 0025 J01 abc", "半回転数 'abc'"},
        MalformedCase{"DepthBeyondItsField", 5, "100 10000 J01 012", "貫入深さ '10000'"},
        MalformedCase{"NegativeDepth", 5, "100 -025 J01 012", "貫入深さ '-025'"},
        MalformedCase{"HalfTurnsBeyondTheirField", 4, "100 0025 J01 1000", "半回転数 '1000'"},
        MalformedCase{"NegativeHalfTurns", 4, "100 0025 J01 -1", "半回転数 '-1'"},
        MalformedCase{"HammeringCountNotANumber", 5, "100 0050 DX1 000", "打撃回数 'X1'"},
        // A damaged first character would otherwise drop the row and change the next one's step.
        MalformedCase{"LoadWithASign", 5, "-50 0050 J01 012", "荷重 '-50'"},
        MalformedCase{"LoadWithALetter", 4, "l00 0025 J01 010", "荷重 'l00'"},
        MalformedCase{"HammeringWithoutCount", 5, "100 0050 D 000", "打撃回数"},
        MalformedCase{"ShortHeader", 2, "102 004 017 0025 03 24 05 17 09",
                      "10 番目の項目がありません"},
        MalformedCase{"EndTimeNotANumber", 6, "T0x 45", "'0x' は整数ではありません"},
        MalformedCase{"ParameterNotANumber", 9, "P00 zz", "'zz' は整数ではありません"},
        MalformedCase{"TorqueMissing", 12, "0025", "2 番目の項目がありません"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Reader, RefusesOtherTypesAndUnreadableFiles)
{
    for (const char *name : {"t.txt", "t.k25", "t", "-EMBEDDING"}) {
        try {
            open(write(name, {"$T(", kHeader}));
            ADD_FAILURE() << name;
        } catch (const EDataFileError &e) {
            EXPECT_EQ(e.reason(), EDataFileError::UnsupportedType) << name;
            EXPECT_EQ(e.message(), "このファイルタイプには対応していません");
        }
    }
    try {
        open(sandbox.filePath("missing.kgd"));
        ADD_FAILURE();
    } catch (const EDataFileError &e) {
        EXPECT_EQ(e.reason(), EDataFileError::ReadFailed);
        EXPECT_EQ(e.message(), "ファイルエラー");
    }
    EXPECT_EQ(DataKindOfFile("a/b.KMD"), DataKindManual);
    EXPECT_EQ(DataKindOfFile("a/b.ksd"), DataKindMeasured);
    EXPECT_EQ(DataKindOfFile("a.kmd/b"), DataKindNone);
}

TEST_F(Reader, ReadsEveryLineEndAndKeepsTheBytes)
{
    const QByteArray japanese = cp932(QStringLiteral("100 0025 J01 010 砂質土*"));
    const QString path =
        sandbox.writeFile("t.ktd", "a\r\n000   x\nb\rc\r\n\r\n" + japanese + "\r\n000,,,\r\nlast");
    QList<int> numbers;
    const QList<QByteArray> lines = ReadDataLines(path, &numbers);
    EXPECT_EQ(lines, (QList<QByteArray>{"a", "b", "c", "", japanese, "last"}));
    EXPECT_EQ(numbers, (QList<int>{1, 3, 4, 5, 6, 8}));
}

TEST_F(Reader, OpensTenThousandRows)
{
    // Depths 0..9999 cm: the whole range the depth field can hold.
    QByteArray bytes = "$T(\r\n" + kHeader.toLatin1() + "\r\n";
    for (int i = 1; i <= 10000; ++i)
        bytes += QString::asprintf("100 %04d J0%d %03d\r\n", i - 1, 1 + i % 8, i % 40).toLatin1();
    bytes += "T11 00\r\n)\r\n";
    const TSoundingTest test = open(sandbox.writeFile("big.ktd", bytes));
    EXPECT_EQ(test.NormalLog.Count, 10000);
    EXPECT_EQ(test.NormalLog.FinalDepth, 9999);
    EXPECT_EQ(test.RoundedLog.FinalDepth, 9999);
}

// A damaged digit once turned this 128-byte file into a depth of 5.5 million metres, and the
// rounded log sized by it took gigabytes: such a depth is a malformed line, refused before anything
// is sized by it.
TEST_F(Reader, DepthBeyondItsFieldIsRefusedBeforeAnythingIsSizedByIt)
{
    const QByteArray bytes = "102,004,017,0031,02,24,06,10,13,20\r\n005,0010,J04,JTN\r\n"
                             "025,0021,J04,JTN\r\n050,0000555800555,J04,JTN\r\n"
                             "075,0055,J07,JTN\r\nT13,41\r\n)\r\n";
    ASSERT_EQ(bytes.size(), 128);
    try {
        open(sandbox.writeFile("huge.ksd", bytes));
        FAIL() << "no error";
    } catch (const EDataFileError &e) {
        EXPECT_EQ(e.reason(), EDataFileError::Malformed);
        EXPECT_EQ(e.message(), QStringLiteral("ファイル huge.ksd の 4 行目が読めません: 貫入深さ "
                                              "'0000555800555' は 0～9999 cm の範囲にありません"));
    }
}

// Found by fuzzing: a load of thirty digits is a number, but no integer holds it. Two loads cover
// the first interval equally, so the smaller one must be chosen.
TEST_F(Reader, HugeLoadLosesTheTieToTheSmallerLoad)
{
    const QString huge(30, u'9');
    const TSoundingTest test =
        open(write("t.ktd", {"$T(", kHeader, huge + " 0010 J04 JTN", "050 0020 J04 JTN",
                             "100 0050 J04 JTN", "T09 45"}));
    ASSERT_GE(test.RoundedLog.Count, 1);
    EXPECT_EQ(test.RoundedLog.row(1).Wsw, "050");
}

// A pipe named like a test kept the whole program waiting and a link to /dev/zero read without
// end: only regular files are read, and only up to the limit. (A link to /dev/null stands for
// every device here: without the rule it is read as an empty test instead of without end.)
TEST_F(Reader, OpensOnlyRegularFilesWithinTheSizeLimit)
{
    const QString pipe = sandbox.filePath("pipe.ktd");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString device = sandbox.filePath("device.ktd");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    const QString folder = sandbox.filePath("folder.kgd");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString large = sandbox.writeFile("large.kgd", "$T(\r\n");
    {
        QFile grow(large); // sparse: nothing is written to disk
        ASSERT_TRUE(grow.open(QIODevice::ReadWrite) && grow.resize(kMaxDataFileBytes + 1));
    }
    // Should the pipe be opened after all, a writer that comes and goes lets the test fail
    // instead of hanging.
    std::atomic<bool> done = false;
    std::thread unblock([&] {
        for (int i = 0; i < 100 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!done)
            ::close(::open(QFile::encodeName(pipe).constData(), O_WRONLY));
    });
    const struct
    {
        QString path;
        QString why;
    } cases[] = {
        {pipe, QStringLiteral(" は通常のファイルではありません")},
        {device, QStringLiteral(" は通常のファイルではありません")},
        {folder, QStringLiteral(" は通常のファイルではありません")},
        {large, QStringLiteral(" は大きすぎるため開けません（上限 64 MiB）")},
    };
    for (const auto &c : cases) {
        try {
            open(c.path);
            ADD_FAILURE() << c.path.toStdString();
        } catch (const EDataFileError &e) {
            EXPECT_EQ(e.reason(), EDataFileError::ReadFailed);
            EXPECT_EQ(e.message(), QStringLiteral("ファイルエラー\r") + c.path + c.why);
        }
    }
    done = true;
    unblock.join();
}

} // namespace

// A manual-input file is read by the rules the switch to edit mode applies to typed rows, with
// its messages; the rows stay with the refusal, so the window can show them for mending.
TEST_F(Reader, ManualInputFilesFollowTheRulesOfTypedRows)
{
    struct Case
    {
        const char *row2;
        int row;
        TTypedField field;
        const char *message;
    };
    const Case cases[] = {
        {"1000 0100 J01 010", 2, TTypedField::Load, "2 行目の荷重が範囲外です"},
        {"033.3 0100 J01 010", 2, TTypedField::Load, "2 行目の荷重が範囲外です"},
        {"100 0040 J01 010", 2, TTypedField::Depth,
         "2 行目の貫入深さが上の行（0.50 m）より浅くなっています"},
        {"100 0100 J01 abc", 2, TTypedField::HalfTurns, "2 行目の半回転数が数値ではありません"},
        {"100 0100 J01 1000", 2, TTypedField::HalfTurns, "2 行目の半回転数が範囲外です"},
    };
    for (const Case &c : cases) {
        const QString path =
            write(QStringLiteral("typed.kmd"),
                  {"$T(", kHeader, "100 0050 J01 010", QString::fromUtf8(c.row2),
                   "100 0150 J01 012", "T09 45", ")", "$G(", "1 35.6 N 139.7 E 40 m 0 0", ")"});
        try {
            open(path);
            ADD_FAILURE() << c.row2 << ": opened";
        } catch (const ETypedFileError &e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(c.message))) << e.message();
            EXPECT_EQ(e.Row, c.row) << c.row2;
            EXPECT_EQ(e.Field, c.field) << c.row2;
            EXPECT_EQ(e.Test.NormalLog.Count, 3) << c.row2;
            EXPECT_EQ(e.Test.TestGps.Latitude, QString()) << c.row2;
        }
    }
}
