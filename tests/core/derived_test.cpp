// Nsw, converted N, the 25 cm rounded log and the model side of the view switch.
#include "derived.h"

#include "errors.h"
#include "reftables.h"
#include "settings.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <initializer_list>

namespace {

const QString kSandy = QStringLiteral("砂質土");
const QString kClayey = QStringLiteral("粘性土");

TReferenceTables makeTables()
{
    TReferenceTables tables;
    tables.HammerPattern = QStringLiteral("打撃00回");
    tables.HammerPrefix = QStringLiteral("打撃");
    tables.HammerSuffix = QStringLiteral("回");
    tables.CalcTable = {{kSandy, 1}, {kClayey, 0}};
    tables.ObsTable = {{QStringLiteral("J05"), QStringLiteral("空転"), kClayey},
                       {QStringLiteral("D00"), QStringLiteral("打撃00回"), QString()},
                       {QStringLiteral("Default"), QString(), kClayey}};
    tables.SoilTypes = {kClayey, kSandy};
    return tables;
}

struct RowSpec
{
    int depth;
    QString na;
    QString wsw = QStringLiteral("100");
    QString obs = QString();
    QString soil = kClayey;
    QString code = QString();
    double nValue = 0;
};

Tvt_data makeRow(const RowSpec &wanted)
{
    Tvt_data row;
    row.Depth = wanted.depth;
    row.Na = wanted.na;
    row.Wsw = wanted.wsw;
    row.Obs = wanted.obs;
    row.Doshitu = wanted.soil;
    row.ObsCode = wanted.code;
    row.NValue = wanted.nValue;
    return row;
}

void fillLog(Tkannyu &log, std::initializer_list<RowSpec> rows)
{
    log.startRows();
    for (const RowSpec &wanted : rows)
        log.appendRow(makeRow(wanted));
    log.Count = log.rowArrayLength() - 1;
    log.FinalDepth = log.row(log.Count).Depth;
}

QStringList naOf(const Tkannyu &log)
{
    QStringList result;
    for (int i = 1; i <= log.Count; ++i)
        result << log.row(i).Na;
    return result;
}

QList<int> depthsOf(const Tkannyu &log)
{
    QList<int> result;
    for (int i = 1; i <= log.Count; ++i)
        result << log.row(i).Depth;
    return result;
}

double naTotal(const Tkannyu &log)
{
    double total = 0;
    for (int i = 1; i <= log.Count; ++i)
        total += NaValue(log.row(i).Na, false);
    return total;
}

Tvt_data part(int length, const QString &na, const QString &wsw = QStringLiteral("100"),
              const QString &obs = QString(), const QString &soil = kClayey)
{
    return makeRow({length, na, wsw, obs, soil});
}

std::optional<Tvt_data> reduce(const QList<Tvt_data> &parts)
{
    const TReferenceTables tables = makeTables();
    TRoundBucket bucket;
    for (const Tvt_data &p : parts)
        AddToBucket(bucket, p, tables, false);
    return ReduceBucket(bucket, tables, false);
}

} // namespace

TEST(DerivedNsw, FollowsStepLengthRowKindAndTruncates)
{
    const QString hammered = QStringLiteral("打撃05回");
    struct Case
    {
        const char *name;
        int previousDepth; // 0: the row is row 1
        int depth;
        QString na;
        QString obs;
        bool naMode;
        bool roundedLog;
        QString expected;
    };
    const Case cases[] = {
        {"7 over 25 cm", 0, 25, "7", "", false, false, "28"},
        {"7 over 25 cm, decimals", 0, 25, "7", "", true, false, "28.0"},
        {"1 over 3 cm", 22, 25, "1", "", false, false, "33"},
        {"1 over 3 cm, decimals", 22, 25, "1", "", true, false, "33.3"},
        {"same depth as the row before", 25, 25, "3", "", false, false, "3000"},
        {"self-sinking", 0, 25, kSelfSinking, "", false, false, "0"},
        {"self-sinking, decimals", 0, 25, kSelfSinking, "", true, false, "0.0"},
        {"hammered in the normal log", 0, 25, "7", hammered, false, false, "250"},
        {"hammered in the rounded log", 0, 25, "7", hammered, false, true, "28"},
    };
    const TReferenceTables tables = makeTables();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TSetting setting;
        setting.NaMode = c.naMode;
        Tkannyu log;
        if (c.previousDepth > 0)
            fillLog(log, {{c.previousDepth, "1"}, {c.depth, c.na, "100", c.obs}});
        else
            fillLog(log, {{c.depth, c.na, "100", c.obs}});
        ComputeNsw(log, c.roundedLog, setting, tables);
        EXPECT_EQ(log.row(log.Count).Nsw, c.expected);
        EXPECT_TRUE(log.row(0).Nsw.isEmpty());
    }
}

TEST(DerivedNValue, TruncatesToOneDecimalBySoilKind)
{
    struct Case
    {
        const char *name;
        QString nsw;
        QString wsw;
        QString soil;
        double expected;
    };
    const Case cases[] = {
        {"sandy", "28", "100", kSandy, 3.8},
        {"hand-chosen sandy", "28", "100", kSandy + "*", 3.8},
        {"clayey", "28", "100", kClayey, 4.4},
        {"unknown soil counts as clayey", "28", "100", "ローム", 4.4},
        {"self-sinking text counts as 0", kSelfSinking, "50", kClayey, 1.5},
        {"decimal Nsw and a file load text", "28.0", "075", kSandy, 3.3},
        // 16.45 + 0.15 is 16.6 exactly; binary arithmetic alone would give 16.5.
        {"exact decimal result is kept", "329", "5", kClayey, 16.6},
    };
    const TReferenceTables tables = makeTables();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Tkannyu log;
        fillLog(log, {{25, "1", c.wsw, "", c.soil}});
        log.row(1).Nsw = c.nsw;
        ComputeNValue(log, tables);
        EXPECT_DOUBLE_EQ(log.row(1).NValue, c.expected);
    }

    Tkannyu bad;
    fillLog(bad, {{25, "1", "abc"}});
    bad.row(1).Nsw = "4";
    EXPECT_THROW(ComputeNValue(bad, tables), EConvertError);
}

TEST(DerivedRounding, SplitsACrossingRowAndCarriesTheRest)
{
    // 12 -> 37 with Na 10 gives 10 x 13 / 25 = 5.2 to the first interval (truncated to 5 without
    // decimals); the rest goes to the next interval's first part. The self-sinking row 1 loses
    // the first interval to the longer rotation part.
    struct Case
    {
        bool naMode;
        QString na;
        QStringList expected;
    };
    const Case cases[] = {{false, "10", {"5", "9"}}, {true, "10.0", {"5.2", "8.8"}}};
    const TReferenceTables tables = makeTables();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.naMode);
        TSetting setting;
        setting.NaMode = c.naMode;
        TSoundingTest test;
        fillLog(test.NormalLog, {{12, kSelfSinking, "50"}, {37, c.na}, {50, "4"}});
        BuildRoundedLog(test, setting, tables);
        EXPECT_EQ(depthsOf(test.RoundedLog), (QList<int>{25, 50}));
        EXPECT_EQ(naOf(test.RoundedLog), c.expected);
    }
}

TEST(DerivedRounding, LastRowKeepsTheFinalDepthAndHalfTurnsAreKept)
{
    const TReferenceTables tables = makeTables();
    TSoundingTest test;
    fillLog(test.NormalLog, {{100, "40"}, {200, "40"}, {300, "40"}, {337, "15"}});
    BuildRoundedLog(test, TSetting{}, tables);

    const Tkannyu &rounded = test.RoundedLog;
    ASSERT_EQ(rounded.Count, 14);
    for (int i = 1; i <= 13; ++i)
        EXPECT_EQ(rounded.row(i).Depth, 25 * i);
    EXPECT_EQ(rounded.row(14).Depth, 337);
    EXPECT_EQ(rounded.FinalDepth, 337);
    EXPECT_EQ(naTotal(rounded), 135);
    EXPECT_EQ(rounded.row(1).Wsw, "100");
}

TEST(DerivedRounding, ZeroLengthRowAtTheBoundaryJoinsTheInterval)
{
    const TReferenceTables tables = makeTables();
    TSoundingTest test;
    fillLog(test.NormalLog, {{10, "1"}, {25, "2"}, {25, "3"}, {50, "4"}});
    BuildRoundedLog(test, TSetting{}, tables);
    EXPECT_EQ(depthsOf(test.RoundedLog), (QList<int>{25, 50}));
    EXPECT_EQ(naOf(test.RoundedLog), (QStringList{"6", "4"}));
}

TEST(DerivedRounding, FirstIntervalWithoutObservationOrSoilKeepsItsHalfTurns)
{
    // The origin row shares the empty observation and soil type of such rows; it must not take
    // the place of the measured half-turns.
    const TReferenceTables tables = makeTables();
    TSoundingTest test;
    fillLog(test.NormalLog, {{50, "10", "100", "", ""}, {75, "6", "100", "", ""}});
    BuildRoundedLog(test, TSetting{}, tables);
    EXPECT_EQ(depthsOf(test.RoundedLog), (QList<int>{25, 50, 75}));
    EXPECT_EQ(naOf(test.RoundedLog), (QStringList{"5", "5", "6"}));
    EXPECT_EQ(test.RoundedLog.row(1).Wsw, "100");
}

TEST(DerivedRounding, SmallAndEmptyTests)
{
    const TReferenceTables tables = makeTables();

    TSoundingTest empty;
    fillLog(empty.NormalLog, {});
    empty.NormalLog.FinalDepth = 0;
    BuildRoundedView(empty, TSetting{}, tables);
    EXPECT_EQ(empty.RoundedLog.Count, 0);
    EXPECT_LE(empty.RoundedLog.rowArrayLength(), 1);
    EXPECT_EQ(empty.NormalLog.row(0).Na, "0");

    TSoundingTest reset; // never filled: not even the origin row
    reset.NormalLog.reset();
    BuildRoundedView(reset, TSetting{}, tables);
    EXPECT_EQ(reset.RoundedLog.Count, 0);

    TSoundingTest single;
    fillLog(single.NormalLog, {{12, "3", "100", "ｼﾞｬﾘｼﾞｬﾘ"}});
    single.NormalLog.row(1).Nsw = "x";
    BuildRoundedLog(single, TSetting{}, tables);
    ASSERT_EQ(single.RoundedLog.Count, 1);
    EXPECT_EQ(single.RoundedLog.row(1), single.NormalLog.row(1));
    EXPECT_EQ(single.RoundedLog.FinalDepth, 12);
}

TEST(DerivedRounding, IdleRotationRemovalDropsShortStiffPartsAndJ05)
{
    // Depth 2 (1 cm, N 25) and the J05 row are idle rotation. Kept: the first row (it starts the
    // interval), the 1 cm hammered row and the 2 cm stiff row.
    struct Case
    {
        bool removal;
        QString na;
    };
    const Case cases[] = {{false, "15"}, {true, "7"}};
    const TReferenceTables tables = makeTables();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.removal);
        TSetting setting;
        setting.KutenFlag = c.removal;
        TSoundingTest test;
        fillLog(test.NormalLog, {{1, "2", "100", "", kClayey, "", 25},
                                 {2, "5", "100", "", kClayey, "", 25},
                                 {3, "0", "100", "打撃03回", kClayey, "D03", 30},
                                 {5, "1", "100", "", kClayey, "", 25},
                                 {6, "3", "100", "空転", kClayey, "J05", 2},
                                 {25, "4", "100", "", kClayey, "", 4}});
        BuildRoundedLog(test, setting, tables);
        ASSERT_EQ(test.RoundedLog.Count, 1);
        EXPECT_EQ(test.RoundedLog.row(1).Na, c.na);
        EXPECT_EQ(test.RoundedLog.row(1).Obs, "打撃03回");
    }
}

TEST(DerivedRounding, HammeredRowOverTwoIntervalsCountsItsBlowsOnce)
{
    const TReferenceTables tables = makeTables();
    TSoundingTest test;
    fillLog(test.NormalLog, {{10, "2"}, {40, "0", "100", "打撃05回", kClayey, "D05"}, {50, "4"}});
    BuildRoundedLog(test, TSetting{}, tables);
    ASSERT_EQ(test.RoundedLog.Count, 2);
    EXPECT_EQ(test.RoundedLog.row(1).Obs, "打撃05回");
    EXPECT_EQ(test.RoundedLog.row(2).Obs, "");
    EXPECT_EQ(naOf(test.RoundedLog), (QStringList{"2", "4"}));
}

TEST(DerivedRounding, NeverChangesNormalRowsButTheOriginHalfTurns)
{
    const TReferenceTables tables = makeTables();
    TSetting setting;
    setting.KutenFlag = true;
    TSoundingTest test;
    fillLog(test.NormalLog, {{12, kSelfSinking, "50"},
                             {37, "10", "100", "", kSandy + "*"},
                             {38, "4", "100", "", kClayey, "", 30},
                             {60, "6", "100", "打撃07回", kClayey, "D07"},
                             {60, "2", "100", "空転", kClayey, "J05"},
                             {140, "30"}});
    ComputeNsw(test.NormalLog, false, setting, tables);
    ComputeNValue(test.NormalLog, tables);
    const QList<Tvt_data> before = test.NormalLog.rows();

    BuildRoundedView(test, setting, tables);

    const QList<Tvt_data> &after = test.NormalLog.rows();
    ASSERT_EQ(after.size(), before.size());
    Tvt_data origin = before.first();
    origin.Na = "0";
    EXPECT_EQ(after.first(), origin);
    for (qsizetype i = 1; i < before.size(); ++i)
        EXPECT_EQ(after.at(i), before.at(i)) << "row " << i;
    EXPECT_EQ(test.RoundedLog.FinalDepth, 140);
}

TEST(DerivedBucket, SelfSinkingIntervalTakesTheLongestThenSmallestLoad)
{
    struct Case
    {
        const char *name;
        QList<Tvt_data> parts;
        QString load;
    };
    const Case cases[] = {
        {"equal lengths: the smaller load",
         {part(10, kSelfSinking, "50"), part(10, kSelfSinking, "75")},
         "50"},
        {"equal lengths, other order",
         {part(10, kSelfSinking, "75"), part(10, kSelfSinking, "50")},
         "50"},
        {"the longer load", {part(15, kSelfSinking, "75"), part(10, kSelfSinking, "50")}, "75"},
        {"self-sinking wins a tie with rotation",
         {part(10, "3"), part(10, kSelfSinking, "50")},
         "50"},
        {"shorter rotation is dropped",
         {part(5, "3"), part(10, kSelfSinking, "50"), part(10, kSelfSinking, "75")},
         "50"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Tvt_data> row = reduce(c.parts);
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->Na, kSelfSinking);
        EXPECT_EQ(row->Wsw, c.load);
    }
}

TEST(DerivedBucket, HandChosenSoilJoinsItsTypeAndHalfTurnsAreSummed)
{
    struct Case
    {
        const char *name;
        QList<Tvt_data> parts;
        QString soil;
    };
    const QString marked = kSandy + "*";
    const Case cases[] = {
        {"both marked",
         {part(10, "1", "100", "", marked), part(10, "2", "75", "", marked),
          part(15, "3", "100", "", kClayey)},
         marked},
        {"marked and unmarked",
         {part(10, "1", "100", "", kSandy), part(10, "2", "75", "", marked),
          part(15, "3", "100", "", kClayey)},
         kSandy},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Tvt_data> row = reduce(c.parts);
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->Doshitu, c.soil);
        EXPECT_EQ(row->Na, "6");
        EXPECT_EQ(row->Wsw, "100");
    }
}

TEST(DerivedBucket, HammeredPartsBecomeOneBlowTotal)
{
    const QString hammer5 = QStringLiteral("打撃05回");
    struct Case
    {
        const char *name;
        QList<Tvt_data> parts;
        std::optional<QString> obs; // nullopt: no row
    };
    const Case cases[] = {
        {"5 + 7 beside rotation",
         {part(10, "2"), part(5, "0", "100", hammer5), part(10, "0", "100", "打撃07回")},
         QStringLiteral("打撃12回")},
        {"capped at 99",
         {part(10, "2"), part(5, "0", "100", "打撃60回"), part(10, "0", "100", "打撃70回")},
         QStringLiteral("打撃99回")},
        {"a lone hammered part is the row", {part(25, "0", "100", hammer5)}, hammer5},
        {"only hammered parts give no row",
         {part(10, "0", "100", hammer5), part(15, "0", "100", hammer5)},
         std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Tvt_data> row = reduce(c.parts);
        ASSERT_EQ(row.has_value(), c.obs.has_value());
        if (row) {
            EXPECT_EQ(row->Obs, *c.obs);
        }
    }
}

TEST(DerivedBucket, ManyDistinctTextsInOneIntervalAreAllCounted)
{
    // More observations (and loads) than a small fixed table would hold; the longest comes last.
    const TReferenceTables tables = makeTables();
    TRoundBucket rotation;
    TRoundBucket sinking;
    for (int i = 1; i <= 15; ++i) {
        AddToBucket(rotation, part(i, "1", "100", QStringLiteral("観察%1").arg(i)), tables, false);
        AddToBucket(sinking, part(i, kSelfSinking, QString::number(i)), tables, false);
    }
    EXPECT_EQ(rotation.entries().size(), 15);

    const std::optional<Tvt_data> rotationRow = ReduceBucket(rotation, tables, false);
    ASSERT_TRUE(rotationRow.has_value());
    EXPECT_EQ(rotationRow->Obs, "観察15");
    EXPECT_EQ(rotationRow->Na, "15");
    EXPECT_TRUE(rotation.isEmpty());

    const std::optional<Tvt_data> sinkingRow = ReduceBucket(sinking, tables, false);
    ASSERT_TRUE(sinkingRow.has_value());
    EXPECT_EQ(sinkingRow->Wsw, "15");
}

TEST(DerivedRounding, RoundedViewCountsBlowsAndUsesOrdinaryNsw)
{
    const TReferenceTables tables = makeTables();
    TSetting setting;
    TSoundingTest test;
    fillLog(test.NormalLog, {{10, "2"}, {25, "7", "100", "打撃05回", kClayey, "D05"}, {50, "4"}});
    ComputeNsw(test.NormalLog, false, setting, tables);
    EXPECT_EQ(test.NormalLog.row(2).Nsw, "250");

    BuildRoundedView(test, setting, tables);
    const Tkannyu &rounded = test.RoundedLog;
    ASSERT_EQ(rounded.Count, 2);
    EXPECT_EQ(rounded.row(1).Obs, "打撃05回");
    EXPECT_EQ(rounded.row(1).Na, "2");
    EXPECT_EQ(rounded.row(1).Nsw, "8");
    EXPECT_DOUBLE_EQ(rounded.row(1).NValue, 3.4); // clayey: 0.4 + 3
    EXPECT_EQ(rounded.row(2).Nsw, "16");
}

TEST(DerivedView, SwitchSharesRowsWithTheShownLog)
{
    const TReferenceTables tables = makeTables();
    TSetting setting;
    TSoundingTest test;
    fillLog(test.NormalLog, {{20, "2"}, {45, "7"}, {60, "3"}});
    ComputeNsw(test.NormalLog, false, setting, tables);

    ShowRoundedView(test, setting, tables);
    EXPECT_TRUE(test.DisplayLog.sharesRowsWith(test.RoundedLog));
    EXPECT_EQ(test.DisplayLog.Count, test.RoundedLog.Count);
    EXPECT_EQ(test.DisplayLog.FinalDepth, 60);

    // A later rounding (as before saving) must not empty the rows still on show.
    const QList<Tvt_data> shown = test.DisplayLog.rows();
    test.NormalLog.row(3).Na = "30";
    BuildRoundedLog(test, setting, tables);
    EXPECT_FALSE(test.DisplayLog.sharesRowsWith(test.RoundedLog));
    EXPECT_EQ(test.DisplayLog.rows(), shown);

    ShowNormalView(test, tables);
    EXPECT_TRUE(test.DisplayLog.sharesRowsWith(test.NormalLog));
    EXPECT_EQ(test.DisplayLog.Count, 3);
    EXPECT_DOUBLE_EQ(test.NormalLog.row(1).NValue, 3.5); // Nsw 10, clayey
}

TEST(DerivedView, CaptionSuffixes)
{
    TSetting setting;
    EXPECT_EQ(NormalViewSuffix(), QStringLiteral("  [標準データ]"));
    EXPECT_EQ(RoundedViewSuffix(setting), QStringLiteral("  [25cmまるめ ]"));
    setting.KutenFlag = true;
    setting.KutenMinN = 20;
    setting.KutenMaxD = 1;
    EXPECT_EQ(RoundedViewSuffix(setting), QStringLiteral("  [25cmまるめ  空転除去 N20-1C]"));
}

TEST(DerivedRounding, LargeTestRounds)
{
    const TReferenceTables tables = makeTables();
    TSoundingTest test;
    test.NormalLog.startRows();
    for (int i = 1; i <= 10000; ++i)
        test.NormalLog.appendRow(makeRow({5 * i, i % 3 == 0 ? kSelfSinking : "3",
                                          i % 2 ? "100" : "75", i % 7 ? "" : "ｼﾞｬﾘｼﾞｬﾘ"}));
    test.NormalLog.Count = 10000;
    ComputeNsw(test.NormalLog, false, TSetting{}, tables);
    ComputeNValue(test.NormalLog, tables);
    BuildRoundedView(test, TSetting{}, tables);
    EXPECT_EQ(test.RoundedLog.Count, 2000);
    EXPECT_EQ(test.RoundedLog.FinalDepth, 50000);
}
