// Mean Nsw under the base, allowable bearing capacity and the self-sinking check, against
// hand-computed values.
#include "bearing.h"

#include "errors.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct Interval
{
    QString nsw; // kSelfSinking for a self-sinking interval
    QString wsw = QStringLiteral("100");
};

// A rounded log of consecutive quarter metres from 0, optionally with a shorter last row.
Tkannyu roundedLog(std::initializer_list<Interval> intervals, int finalDepth = 0)
{
    Tkannyu log;
    log.startRows();
    int depth = 0;
    for (const Interval &interval : intervals) {
        depth += 25;
        Tvt_data row;
        row.Depth = depth;
        row.Wsw = interval.wsw;
        row.Na = interval.nsw == kSelfSinking ? kSelfSinking : QStringLiteral("10");
        row.Nsw = interval.nsw;
        log.appendRow(row);
    }
    log.Count = int(intervals.size());
    if (finalDepth > 0)
        log.row(log.Count).Depth = finalDepth;
    log.FinalDepth = log.row(log.Count).Depth;
    return log;
}

Interval nsw(int value)
{
    return {QString::number(value)};
}
Interval sinking(const char *wsw)
{
    return {kSelfSinking, QString::fromLatin1(wsw)};
}

// 0.50-2.50 m hold 40, 200 (capped to 150), self-sinking, 24, 32, 56, 64, 80; 300 around them.
Tkannyu knownLog()
{
    return roundedLog({nsw(300), nsw(300), nsw(40), nsw(200), sinking("100"), nsw(24), nsw(32),
                       nsw(56), nsw(64), nsw(80), nsw(300), nsw(300), nsw(300), nsw(300)});
}

TEST(Bearing, MeanAndCapacityFollowTheBaseDepth)
{
    struct Case
    {
        int base;
        const char *mean;
        const char *qa;
        const char *qaShort;
    };
    // B = 0.50: 446 / 8 = 55.75; qa = 30 + 33.45. B = 0.60 weighs the cut intervals by their
    // length inside: (15·40 + 25·406 + 10·150) / 200 = 61.25. B = 0 and B = 1.25 shift the window.
    const Case cases[] = {
        {50, "55.7", "63.4", "126.8"},
        {60, "61.2", "66.7", "133.4"},
        {0, "75.2", "75.1", "150.2"},
        {125, "88.2", "82.9", "165.8"},
    };
    const Tkannyu log = knownLog();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.base);
        const TBearingResult result = EvaluateBearing(log, c.base);
        ASSERT_TRUE(result.Covered);
        EXPECT_EQ(TenthsText(result.MeanNswTenths), QLatin1String(c.mean));
        EXPECT_EQ(TenthsText(result.QaTenths), QLatin1String(c.qa));
        EXPECT_EQ(TenthsText(result.QaShortTenths), QLatin1String(c.qaShort));
    }
}

TEST(Bearing, SelfSinkingLayersAreReportedByBandAndLoad)
{
    // B = 0.50. Above the base (1.00 kN) is not looked at; 1.50 m below: 0.75 kN over two
    // intervals, one layer; 3.00 m below: 0.50 kN reported, 0.75 kN at 3.50 m below is not.
    const Tkannyu log = roundedLog(
        {sinking("100"), nsw(50), nsw(50),        nsw(50),        nsw(50),        nsw(50),
         nsw(50),        nsw(50), sinking("075"), sinking("075"), nsw(50),        nsw(50),
         nsw(50),        nsw(50), sinking("050"), nsw(50),        sinking("075"), nsw(50),
         nsw(50),        nsw(50), nsw(50),        nsw(50),        nsw(50),        nsw(50)});
    const TBearingResult result = EvaluateBearing(log, 50);
    const QList<TSelfSinkingLayer> expected = {{200, 250, 75}, {350, 375, 50}};
    EXPECT_EQ(result.Layers, expected);
    EXPECT_EQ(VerdictText(result), QStringLiteral("沈下の検討が必要"));
    EXPECT_EQ(result.CheckedTo, 550);

    // The 1.00 kN interval ending exactly at the base lies above it.
    const TBearingResult clear = EvaluateBearing(knownLog(), 125);
    EXPECT_FALSE(clear.SettlementStudyNeeded()) << clear.Layers.size();
}

TEST(Bearing, ShortTestGivesNoCapacityButStillChecksWhatItReached)
{
    const Tkannyu log = roundedLog(
        {nsw(50), nsw(50), nsw(50), nsw(50), nsw(50), sinking("050"), nsw(50), nsw(50)}, 180);
    const TBearingResult result = EvaluateBearing(log, 50);
    EXPECT_FALSE(result.Covered);
    EXPECT_EQ(result.QaTenths, 0);
    EXPECT_EQ(result.Reached, 180);
    EXPECT_EQ(result.CheckedTo, 180);
    EXPECT_TRUE(NotCoveredText(result).contains(QStringLiteral("1.80")));
    EXPECT_TRUE(CheckedRangeText(result).contains(QStringLiteral("0.50～1.80")));
    const QList<TSelfSinkingLayer> expected = {{125, 150, 50}};
    EXPECT_EQ(result.Layers, expected);
    // A script sees the missing figures as "-".
    for (const auto &[key, value] : BearingFigures(result)) {
        if (key == u"qa_long" || key == u"qa_short" || key == u"nsw_mean") {
            EXPECT_EQ(value, QStringLiteral("-")) << key.toStdString();
        }
    }
}

TEST(Bearing, BadNswTextIsAConvertError)
{
    Tkannyu log = knownLog();
    log.row(4).Nsw = QStringLiteral("x");
    EXPECT_THROW(EvaluateBearing(log, 50), EConvertError);
}

TEST(Bearing, BaseDepthIsTypedInMetresWithAtMostTwoDecimals)
{
    const struct
    {
        const char *text;
        std::optional<int> cm;
    } cases[] = {{"0.5", 50},          {"1.25", 125},         {"0", 0},
                 {" 2 ", 200},         {"99.99", 9999},       {"1.255", std::nullopt},
                 {"-1", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
                 {"100", std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(ParseBaseDepth(QString::fromLatin1(c.text)), c.cm) << c.text;
}

} // namespace

// The foundation types the notice allows change at 20 and at 30 kN/m² exactly.
TEST(Bearing, FoundationsAllowedChangeAtTwentyAndThirty)
{
    const QStringList piles{QStringLiteral("基礎ぐい")};
    const QStringList mat = piles + QStringList{QStringLiteral("べた基礎")};
    const QStringList strip = mat + QStringList{QStringLiteral("布基礎")};
    const std::pair<int, QStringList> cases[] = {{0, piles}, {199, piles}, {200, mat},
                                                 {299, mat}, {300, strip}, {1200, strip}};
    for (const auto &[tenths, allowed] : cases)
        EXPECT_EQ(FoundationsAllowed(tenths), allowed) << tenths;
}
