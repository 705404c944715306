#include "reftables.h"

#include "errors.h"
#include "sandbox.h"

#include <QStringList>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QString S(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Lines given as one text, separated by "|".
QStringList L(const char *utf8)
{
    return S(utf8).split(u'|');
}

// An observation table in the shipped shape with twists worth catching: a non-"J" code before
// the "J" code of the same text, a code without "obs", a flag that is not a number.
const char *const kObsLines = "[Default]|obs=不明|Doshitu=粘性土|[P07]|obs=無音|Doshitu=砂質土|"
                              "[J04]|obs=無音|Doshitu=粘性土|[J08]|obs=ｺﾞﾘｺﾞﾘ|Doshitu=礫質土|"
                              "[P05]|obs=ｻﾞﾗｻﾞﾗ|Doshitu=砂質土|[P06]|obs=ﾇﾙﾇﾙ|Doshitu=粘性土|"
                              "[X01]|Doshitu=腐植土|[D00]|obs=打撃00回|"
                              "[換算N値]|砂質土=1|粘性土=0|礫質土=2|腐植土=x";

TReferenceTables obsTables(const TestSandbox &sandbox, const QStringList &lines)
{
    TReferenceTables tables;
    tables.LoadObsTable(sandbox.writeCp932Lines(QStringLiteral("Obstbl.tbl"), lines));
    return tables;
}

TReferenceTables weightTables(const TestSandbox &sandbox, const QStringList &lines)
{
    TReferenceTables tables;
    EXPECT_TRUE(
        tables.LoadWeightTable(sandbox.writeCp932Lines(QStringLiteral("Weighttbl.tbl"), lines)));
    return tables;
}

TEST(ReferenceTables, ObsTableFollowsSectionOrderWithoutTheCalcSection)
{
    TestSandbox sandbox;
    const TReferenceTables t = obsTables(sandbox, L(kObsLines));
    QStringList codes;
    for (const TCodeData &entry : t.ObsTable)
        codes.append(entry.Code);
    EXPECT_EQ(codes, L("Default|P07|J04|J08|P05|P06|X01|D00"));
    ASSERT_EQ(t.CalcTable.size(), 4);
    EXPECT_EQ(t.CalcTable[2].SoilName, S("礫質土"));
    EXPECT_EQ(t.CalcTable[2].SandyFlag, 2);
    EXPECT_EQ(t.CalcTable[3].SandyFlag, 0);
}

TEST(ReferenceTables, CodeLookupsAreExact)
{
    TestSandbox sandbox;
    const TReferenceTables t = obsTables(sandbox, L(kObsLines));
    // code, its observation text, its soil type
    const char *const cases[][3] = {{"J08", "ｺﾞﾘｺﾞﾘ", "礫質土"},
                                    {"X01", "", "腐植土"},
                                    {"D00", "打撃00回", ""},
                                    {"j08", "", ""},
                                    {"J99", "", ""},
                                    {"", "", ""}};
    for (const auto &c : cases) {
        EXPECT_EQ(t.ObsTextOf(S(c[0])), S(c[1])) << c[0];
        EXPECT_EQ(t.SoilTextOf(S(c[0])), S(c[2])) << c[0];
    }
}

TEST(ReferenceTables, CodeOfObsTextPrefersJCodesWhateverTheOrder)
{
    TestSandbox sandbox;
    const TReferenceTables t = obsTables(sandbox, L(kObsLines));
    EXPECT_EQ(t.CodeOfObsText(S("無音")), S("J04")); // P07 comes first in the file
    EXPECT_EQ(t.CodeOfObsText(S("ｻﾞﾗｻﾞﾗ")), S("P05"));
    EXPECT_EQ(t.CodeOfObsText(S("ｻﾞﾗ")), QString());
    const TReferenceTables reversed =
        obsTables(sandbox, L("[J02]|obs=同じ|[P01]|obs=同じ|[J01]|obs=同じ"));
    EXPECT_EQ(reversed.CodeOfObsText(S("同じ")), S("J02"));
}

TEST(ReferenceTables, SoilLookupsIgnoreOneTrailingStar)
{
    TestSandbox sandbox;
    const TReferenceTables t = obsTables(sandbox, L(kObsLines));
    ASSERT_EQ(t.SoilTypes, L("粘性土|砂質土|礫質土|腐植土"));
    struct Case
    {
        const char *soil;
        int flag, index;
    };
    const Case cases[] = {{"砂質土", 1, 1},   {"砂質土*", 1, 1}, {"砂質土**", 0, -1},
                          {"*砂質土", 0, -1}, {"礫質土*", 2, 2}, {"ローム", 0, -1}};
    for (const Case &c : cases) {
        EXPECT_EQ(t.SandyFlagOf(S(c.soil)), c.flag) << c.soil;
        EXPECT_EQ(t.SoilIndexOf(S(c.soil)), c.index) << c.soil;
    }
    EXPECT_EQ(SoilWithoutMark(S("砂質土**")), S("砂質土*"));
}

TEST(ReferenceTables, SoilTypesOrder)
{
    TestSandbox sandbox;
    // table lines, expected soil types
    const char *const cases[][2] = {
        {"[J01]|Doshitu=礫質土|[P05]|Doshitu=砂質土|[P06]|Doshitu=粘性土|[J02]|Doshitu=砂質土",
         "粘性土|砂質土|礫質土"},
        {"[P06]|obs=ﾇﾙﾇﾙ|[Default]|Doshitu=ローム|[J01]|Doshitu=ローム", "ローム"},
        {"[P06]|Doshitu=粘性土|[P05]|Doshitu=粘性土", "粘性土"},
        {"[J01]|Doshitu=砂質土", "|砂質土"}, // the first entry stays, even empty
    };
    for (const auto &c : cases)
        EXPECT_EQ(obsTables(sandbox, L(c[0])).SoilTypes, L(c[1])) << c[0];
}

TEST(ReferenceTables, HammerPatternTextsAndBlowCounts)
{
    TestSandbox sandbox;
    struct Case
    {
        const char *pattern, *text;
        bool hammer;
        int blows;
        const char *fiveBlows;
    };
    const Case cases[] = {
        {"打撃00回", "打撃12回", true, 12, "打撃05回"},
        {"打撃00回", "打撃 7 回", true, 7, "打撃05回"},
        {"打撃00回", "ｼﾞｬﾘｼﾞｬﾘ", false, 0, "打撃05回"},
        {"打00撃00回", "打3撃00回", true, 3, "打05撃00回"}, // split at the first "00"
        {" 打撃 00 回 ", "打撃5回", true, 5, "打撃 05 回"}, // blanks do not take part
        {"打撃", "打撃30", true, 30, "打撃05"},             // no "00": empty suffix
        {"00回", "8回", true, 8, "05回"},                   // empty prefix: every text
        {"00回", "", true, -1, "05回"},
    };
    for (const Case &c : cases) {
        const TReferenceTables t = obsTables(sandbox, {S("[D00]"), S("obs=") + S(c.pattern)});
        EXPECT_EQ(t.IsHammerText(S(c.text)), c.hammer) << c.pattern << " " << c.text;
        if (c.blows >= 0) {
            EXPECT_EQ(t.BlowCountOf(S(c.text)), c.blows) << c.pattern << " " << c.text;
        }
        EXPECT_EQ(t.HammerText(5), S(c.fiveBlows)) << c.pattern;
    }
    EXPECT_EQ(obsTables(sandbox, {}).HammerText(123), S("打撃123回"));
}

TEST(ReferenceTables, BlowCountThatIsNotANumberRaises)
{
    TestSandbox sandbox;
    const TReferenceTables t = obsTables(sandbox, {});
    for (const char *text : {"打撃十回", "打撃回", "打撃"})
        EXPECT_THROW(t.BlowCountOf(S(text)), EConvertError) << text;
}

// A missing table, and a pipe in a table's place (which must never keep the start waiting),
// read as no table: empty tables and the defaults.
TEST(ReferenceTables, MissingObsTableGivesEmptyTablesAndDefaults)
{
    TestSandbox sandbox;
    const QString fifo = sandbox.filePath(QStringLiteral("fifo.tbl"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString &path : {sandbox.filePath(QStringLiteral("absent.tbl")), fifo}) {
        SCOPED_TRACE(path.toStdString());
        TReferenceTables t = obsTables(sandbox, L(kObsLines));
        EXPECT_FALSE(t.LoadWeightTable(path));
        t.LoadObsTable(path);
        EXPECT_TRUE(t.ObsTable.isEmpty());
        EXPECT_TRUE(t.CalcTable.isEmpty());
        EXPECT_EQ(t.SoilTypes, QStringList{QString()});
        EXPECT_EQ(t.HammerPattern, S("打撃00回"));
        EXPECT_EQ(t.HammerPrefix + u'|' + t.HammerSuffix, S("打撃|回"));
    }
}

TEST(ReferenceTables, SkippedLoadsStopAtListEnd)
{
    TestSandbox sandbox;
    const TReferenceTables t =
        weightTables(sandbox, L("999 ｷｬﾘﾌﾞﾚｰｼｮﾝ|998 |997 x y|list_end|996 after"));
    EXPECT_EQ(t.SkipLoadValues[0], S("ｷｬﾘﾌﾞﾚｰｼｮﾝ"));
    EXPECT_EQ(t.SkipLoadValues[2], S("x y"));
    EXPECT_EQ(t.SkipLoadKeys[3] + u'|' + t.SkipLoadValues[3], S("|list_end"));
    const std::pair<const char *, bool> cases[] = {
        {"999", true}, {"998", false},      {"997", true}, {"996", false},
        {"99", false}, {"list_end", false}, {"", false},
    };
    for (const auto &[code, skipped] : cases)
        EXPECT_EQ(t.IsSkippedLoad(S(code)), skipped) << code;

    EXPECT_FALSE(weightTables(sandbox, L("list_end end|999 x")).IsSkippedLoad(S("999")));
    // A line without a blank names no load code, so it must not drop rows with an empty one.
    const TReferenceTables bare = weightTables(sandbox, L("999|list_end"));
    EXPECT_FALSE(bare.IsSkippedLoad(QString()));
    EXPECT_FALSE(bare.IsSkippedLoad(S("999")));
}

TEST(ReferenceTables, LongWeightTableWithoutListEndIsReadSafely)
{
    TestSandbox sandbox;
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines.append(QStringLiteral("%1 skip").arg(100 + i));
    const TReferenceTables t = weightTables(sandbox, lines);
    EXPECT_EQ(t.SkipLoadKeys[TReferenceTables::kSkipLoadSlots - 1], S("120"));
    EXPECT_TRUE(t.IsSkippedLoad(S("120")));
    EXPECT_FALSE(t.IsSkippedLoad(S("121")));
    EXPECT_FALSE(weightTables(sandbox, L("999 x")).IsSkippedLoad(QString()));
}

TEST(ReferenceTables, MissingWeightTableFailsButObsTableIsStillRead)
{
    TestSandbox sandbox;
    sandbox.writeCp932Lines(QStringLiteral("Obstbl.tbl"), L(kObsLines));
    TReferenceTables t;
    t.SkipLoadKeys[0] = S("999");
    t.SkipLoadValues[0] = S("stale");
    EXPECT_FALSE(t.LoadFrom(sandbox.path()));
    EXPECT_FALSE(t.IsSkippedLoad(S("999")));
    EXPECT_EQ(t.ObsTextOf(S("J08")), S("ｺﾞﾘｺﾞﾘ"));

    sandbox.writeCp932Lines(QStringLiteral("Weighttbl.tbl"), L("999 x|list_end"));
    EXPECT_TRUE(t.LoadFrom(sandbox.path()));
    EXPECT_TRUE(t.IsSkippedLoad(S("999")));
}

TEST(ReferenceTables, ShippedTablesLoad)
{
    TestSandbox sandbox;
    TReferenceTables t;
    ASSERT_TRUE(t.LoadFrom(sandbox.copyShippedTables()));
    EXPECT_TRUE(t.IsSkippedLoad(S("999")));
    EXPECT_EQ(t.SkipLoadValues[0], S("ｷｬﾘﾌﾞﾚｰｼｮﾝ"));
    ASSERT_EQ(t.ObsTable.size(), 12);
    EXPECT_EQ(t.ObsTable.first().Code, S("Default"));
    EXPECT_EQ(t.ObsTable.last().Code, S("D00"));
    EXPECT_EQ(t.ObsTextOf(S("J01")), S("ｼﾞｬﾘｼﾞｬﾘ"));
    EXPECT_EQ(t.SoilTextOf(S("J08")), S("礫質土"));
    EXPECT_EQ(t.CodeOfObsText(S("空転")), S("J05"));
    EXPECT_EQ(t.SoilTypes, L("粘性土|砂質土|礫質土"));
    EXPECT_EQ(t.SandyFlagOf(S("砂質土*")), 1);
    EXPECT_EQ(t.BlowCountOf(S("打撃07回")), 7);
}

} // namespace
