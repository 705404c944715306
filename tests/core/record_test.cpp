#include "errors.h"
#include "record.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

Tkannyu logWithDepths(std::initializer_list<int> depths)
{
    Tkannyu log;
    log.startRows();
    for (int depth : depths) {
        Tvt_data row;
        row.Depth = depth;
        row.Na = QStringLiteral("5");
        log.appendRow(row);
        ++log.Count;
    }
    return log;
}

TEST(CopyLog, SharesRowsSoAFieldChangeIsSeenThroughBoth)
{
    Tkannyu normal = logWithDepths({25, 50});
    normal.Code1 = 7;
    Tkannyu display;
    CopyLog(normal, display);

    EXPECT_EQ(display.Count, 2);
    EXPECT_EQ(display.Code1, 7);
    EXPECT_TRUE(display.sharesRowsWith(normal));

    display.row(1).Doshitu = QStringLiteral("砂質土*");
    EXPECT_EQ(normal.row(1).Doshitu, QStringLiteral("砂質土*"));
    normal.row(2).NValue = 3.5;
    EXPECT_EQ(display.row(2).NValue, 3.5);
}

TEST(CopyLog, HeaderIsCopiedByValue)
{
    Tkannyu normal = logWithDepths({25});
    Tkannyu display;
    CopyLog(normal, display);
    display.FinalDepth = 999;
    EXPECT_EQ(normal.FinalDepth, 0);
}

TEST(CopyLog, ALogThatChangesItsRowCountTakesRowsOfItsOwn)
{
    Tkannyu normal = logWithDepths({25, 50});
    Tkannyu display;
    CopyLog(normal, display);

    normal.startRows(); // a reader refilling the log
    normal.appendRow().Depth = 10;
    normal.Count = 1;

    EXPECT_FALSE(display.sharesRowsWith(normal));
    ASSERT_EQ(display.rowArrayLength(), 3);
    EXPECT_EQ(display.row(2).Depth, 50);

    CopyLog(normal, display);
    display.appendRow().Depth = 20; // growing through the other log
    EXPECT_EQ(normal.rowArrayLength(), 2);
    EXPECT_EQ(display.rowArrayLength(), 3);
}

TEST(CopyLog, ResetLeavesTheOtherLogItsRows)
{
    Tkannyu normal = logWithDepths({25});
    Tkannyu rounded;
    CopyLog(normal, rounded);
    rounded.reset();
    EXPECT_EQ(rounded.rowArrayLength(), 0);
    EXPECT_EQ(rounded.Count, 0);
    EXPECT_EQ(normal.rowArrayLength(), 2);
}

TEST(TestInfo, FourDigitYear)
{
    TTestInfo info;
    for (auto [year, full] : {std::pair{90, 2090}, {91, 1991}, {0, 2000}, {5, 2005}, {99, 1999}}) {
        info.Year = year;
        EXPECT_EQ(info.fullYear(), full) << year;
    }
}

TEST(GpsRecord, ClearLeavesNoPosition)
{
    TGPSData gps;
    gps.Status = QStringLiteral("2");
    gps.Latitude = QStringLiteral("35.1");
    EXPECT_TRUE(gps.hasPosition());
    Clear_GPS(gps);
    EXPECT_FALSE(gps.hasPosition());
    EXPECT_EQ(gps.Status, QStringLiteral("0"));
    EXPECT_TRUE(gps.Latitude.isEmpty());
}

struct HalfTurnCase
{
    double value;
    bool naMode;
    const char *na;
    const char *nsw;
    const char *file;
};

TEST(HalfTurnConversions, TextsInBothModes)
{
    const HalfTurnCase cases[] = {
        {7, false, "7", "7", "007"},
        {7.5, true, "7.5", "7.5", "007.5"},
        {12.7, false, "12", "12", "012"},
        {28.0, true, "28.0", "28.0", "028.0"},
        {33.333332f, true, "33.3", "33.3", "033.3"},
        {33.333332f, false, "33", "33", "033"},
        {0, false, "0", "0", "000"},
        {0, true, "0.0", "0.0", "000.0"},
        {250, false, "250", "250", "250"},
        // 0.3 is held as 0.29999…: the small offsets keep it from dropping a tenth.
        {0.3, true, "0.3", "0.3", "000.3"},
    };
    for (const HalfTurnCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << (c.naMode ? " on" : " off"));
        EXPECT_EQ(NaText(c.value, c.naMode), QString::fromLatin1(c.na));
        EXPECT_EQ(NswText(c.value, c.naMode), QString::fromLatin1(c.nsw));
        EXPECT_EQ(NaFileText(c.value, c.naMode), QString::fromLatin1(c.file));
    }
}

// The texts are built without a formatted print where the digits are known; they must be what
// the print gives for every value, the awkward ones included.
TEST(HalfTurnConversions, TextsAreThoseOfTheFormattedPrint)
{
    const double values[] = {0.0,   -0.0, 0.04,  -0.04, 0.05, -0.05,  0.1,  -0.1,
                             7,     -7,   12.25, 99.95, 999,  999.9,  1000, 1234.5,
                             3.876, 0.3,  1e12,  -1e12, 1e16, 4.99995};
    for (const double value : values) {
        SCOPED_TRACE(testing::Message() << value);
        const long long whole = static_cast<long long>(std::trunc(value));
        const double tenths = std::trunc((value + 0.001) * 10);
        EXPECT_EQ(NaText(value, true), QString::asprintf("%.1f", value + 0.0001));
        EXPECT_EQ(NaText(value, false), QString::number(whole));
        EXPECT_EQ(NswText(value, true), QString::asprintf("%.1f", tenths / 10));
        EXPECT_EQ(NswText(value, false),
                  QString::number(static_cast<long long>(std::trunc(tenths / 10))));
        if (std::fabs(value) < 1e15) {
            const long long tenth = static_cast<long long>(std::trunc(value * 10 + 0.01)) % 10;
            EXPECT_EQ(NaFileText(value, false), QString::asprintf("%.3lld", whole));
            EXPECT_EQ(NaFileText(value, true), QString::asprintf("%.3lld.%.1lld", whole, tenth));
        }
    }
}

TEST(HalfTurnConversions, NaValueTruncatesOnlyWithNaModeOff)
{
    EXPECT_EQ(NaValue(QStringLiteral("12.7"), false), 12);
    EXPECT_DOUBLE_EQ(NaValue(QStringLiteral("12.7"), true), 12.7);
    EXPECT_EQ(NaValue(QStringLiteral("007"), false), 7);
    EXPECT_THROW(NaValue(QStringLiteral("自沈"), false), EConvertError);
    EXPECT_THROW(NaValue(QString(), true), EConvertError);
}

} // namespace
