#include "errors.h"
#include "presentation.h"

#include <gtest/gtest.h>

namespace {

Tvt_data row(int depth, const char *wsw, const QString &na)
{
    Tvt_data r;
    r.Depth = depth;
    r.Wsw = QString::fromLatin1(wsw);
    r.Na = na;
    r.Nsw = QStringLiteral("28");
    r.NValue = 3.876;
    r.Obs = QStringLiteral("ｼﾞｬﾘｼﾞｬﾘ");
    r.Doshitu = QStringLiteral("砂質土*");
    return r;
}

TEST(GridRowTexts, FormatsEveryColumn)
{
    const QStringList cells = GridRowTexts(row(1025, "075", QStringLiteral("7")), false);
    EXPECT_EQ(cells, (QStringList{"10.25", "0.75", "7", "28", QStringLiteral("ｼﾞｬﾘｼﾞｬﾘ"),
                                  QStringLiteral("砂質土*"), "3.9"}));
}

TEST(GridRowTexts, LoadsAndHalfTurns)
{
    EXPECT_EQ(GridRowTexts(row(25, "75", QStringLiteral("12.7")), false).mid(1, 2),
              (QStringList{"0.75", "12"}));
    EXPECT_EQ(GridRowTexts(row(25, "100", QStringLiteral("12.7")), true).mid(1, 2),
              (QStringList{"1.00", "12.7"}));
    EXPECT_EQ(GridRowTexts(row(5, "5", kSelfSinking), true).mid(0, 3),
              (QStringList{"0.05", "0.05", QStringLiteral("自沈")}));
}

TEST(GridRowTexts, NonNumericLoadOrHalfTurnRaises)
{
    EXPECT_THROW(GridRowTexts(row(25, "x", QStringLiteral("1")), false), EConvertError);
    EXPECT_THROW(GridRowTexts(row(25, "100", QStringLiteral("abc")), false), EConvertError);
}

// The shown line is built straight from the numbers where their digits are known; it must be
// the grid's cells as the print makes them, also where the print must round or keep a sign.
TEST(GridRowTexts, LineIsTheCellsJoined)
{
    struct Case
    {
        int depth;
        const char *wsw;
        double nValue;
    };
    const Case cases[] = {{1025, "075", 3.876}, {-5, "12.5", -0.0}, {0, "100", 0.05},
                          {9999, "5", -1.25},   {7, "1e2", 1e300},  {30, "0.001", 12.3}};
    for (const bool naMode : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << c.depth << ' ' << c.wsw << ' ' << naMode);
            Tvt_data r = row(c.depth, c.wsw, QStringLiteral("12.7"));
            r.NValue = c.nValue;
            QString line = QStringLiteral("before\n");
            AppendGridRowLine(line, r, naMode);
            EXPECT_EQ(line,
                      QStringLiteral("before\n") + GridRowTexts(r, naMode).join(u'\t') + u'\n');
            EXPECT_EQ(GridRowTexts(r, naMode).first(), QString::asprintf("%2.2f", c.depth / 100.0));
            EXPECT_EQ(GridRowTexts(r, naMode).at(1),
                      QString::asprintf("%4.2f", QString::fromLatin1(c.wsw).toDouble() / 100));
            EXPECT_EQ(GridRowTexts(r, naMode).last(), QString::asprintf("%2.1f", c.nValue));
        }
    }
}

TEST(HeaderTexts, TestInformationLabels)
{
    TTestInfo info;
    info.Code1 = 1;
    info.Code2 = 22;
    info.Code3 = 333;
    info.Code4 = 44;
    info.PointNo = 3;
    info.Year = 5;
    info.Month = 4;
    info.Day = 9;
    info.StartHour = 8;
    info.StartMin = 5;
    info.EndHour = 10;
    info.EndMin = 30;
    info.FinalDepth = 1025;
    EXPECT_EQ(TestCodeText(info), QStringLiteral("試験コード  001-022-333-0044"));
    EXPECT_EQ(PointNoText(info), QStringLiteral("測点番号 03"));
    EXPECT_EQ(TestTimeText(info),
              QStringLiteral("試験時間       2005年  4月  9日 08時05分～10時30分"));
    EXPECT_EQ(FinalDepthText(info), QStringLiteral("最終貫入深さ   10.25 m"));
    info.Year = 99;
    EXPECT_TRUE(TestTimeText(info).contains(QStringLiteral("1999年")));
}

TEST(HeaderTexts, GpsLine)
{
    TGPSData gps;
    EXPECT_EQ(GpsText(gps), QStringLiteral("GPS未測位"));
    gps.Status = QString();
    EXPECT_EQ(GpsText(gps), QStringLiteral("GPS未測位"));
    gps = {QStringLiteral("1"),        QStringLiteral("35.6812"), QStringLiteral("N"),
           QStringLiteral("139.7671"), QStringLiteral("E"),       QStringLiteral("40"),
           QStringLiteral("m"),        QStringLiteral("x"),       QStringLiteral("y")};
    EXPECT_EQ(GpsText(gps), QStringLiteral("GPS測位  緯度 35.6812N 経度139.7671E 海抜高度40m"));
}

} // namespace
