// Graph styles: depth range, plot layout, points of both kinds and the value axes.
#include "errors.h"
#include "graphstyle.h"
#include "graphtestlog.h"
#include "recordingdevice.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace {

// The window's 340 x 400 client area.
const PlotRect kWindowPlot{60, 380, 323, 68};

std::set<int> VerticalXs(const RecordingDevice &device, Qt::PenStyle style)
{
    std::set<int> xs;
    for (const RecordedLine &line : device.VerticalLines(kWindowPlot.Top, kWindowPlot.Bottom))
        if (line.Style == style)
            xs.insert(line.Line.x1());
    return xs;
}

// The one recorded text run starting with `prefix`; fails the test when there is not exactly one.
QPoint PlaceOf(const RecordingDevice &device, const QString &prefix)
{
    const QList<RecordedText> found = device.TextsStartingWith(prefix);
    EXPECT_EQ(found.size(), 1) << prefix.toStdString();
    return found.isEmpty() ? QPoint(-1, -1) : found.first().TopLeft;
}

// Where the texts that are exactly `text` were written.
std::set<std::pair<int, int>> PlacesOf(const RecordingDevice &device, const QString &text)
{
    std::set<std::pair<int, int>> places;
    for (const RecordedText &recorded : device.Texts)
        if (recorded.Text == text)
            places.insert({recorded.TopLeft.x(), recorded.TopLeft.y()});
    return places;
}

} // namespace

TEST(GraphsDepthRange, WholeStepsOfDepth1ThatReachTheFinalDepth)
{
    struct Case
    {
        int FinalDepth;
        int Depth1;
        int Range;
    };
    const Case cases[] = {{1000, 10, 10},
                          {1001, 10, 20},
                          {2500, 10, 30},
                          {0, 10, 10},
                          {3000, 10, 30},
                          {3001, 10, 40},
                          {550, 5, 10},
                          {-20, 10, 10},
                          // A step that is not positive counts as one metre, never divides by 0.
                          {1050, 0, 11},
                          {300, -5, 3},
                          // Garbled settings or a log the reader never saw stay within 100 m.
                          {9999, 10, 100},
                          {555800555, 10, 100},
                          {1000, 2000000000, 100},
                          {INT_MAX, INT_MAX, 100}};
    for (const Case &c : cases)
        EXPECT_EQ(GraphDepthRange(c.FinalDepth, c.Depth1), c.Range)
            << c.FinalDepth << " cm, Depth1 " << c.Depth1;
}

TEST(GraphsPlotLayout, MarginsRoundedForTheWindowAndTruncatedForThePrinter)
{
    EXPECT_EQ(PlotLayout(QRect(0, 0, 340, 400), TMarginRounding::Nearest), kWindowPlot);
    EXPECT_EQ(PlotLayout(QRect(0, 0, 340, 400), TMarginRounding::Trunc), kWindowPlot);
    // 410 high: top margin 61.5 (62 / 61), bottom 20.5 (20 / 20); 343 wide: left 68.6 (69 / 68),
    // right 17.15 (17 / 17). The area's own place is added.
    EXPECT_EQ(PlotLayout(QRect(5, 10, 343, 410), TMarginRounding::Nearest),
              (PlotRect{72, 400, 331, 74}));
    EXPECT_EQ(PlotLayout(QRect(5, 10, 343, 410), TMarginRounding::Trunc),
              (PlotRect{71, 400, 331, 73}));
}

TEST(GraphsNswPoints, ValuesOfSelfSinkingAndTurningRows)
{
    struct Case
    {
        const char *What;
        QString Wsw;
        QString Nsw;
        bool WswMode;
        bool NaMode;
        double Value;
    };
    const QString zero = QStringLiteral("0");
    const Case cases[] = {
        {"0.25 kN sinking", QStringLiteral("25"), kSelfSinking, false, false, -37.5},
        {"0.25 kN sinking, WswMode", QStringLiteral("25"), kSelfSinking, true, false, 12.5},
        {"0.50 kN as read from a file", QStringLiteral("050"), zero, false, false, -25},
        {"0.50 kN, WswMode", QStringLiteral("050"), zero, true, false, 25},
        {"Nsw 0 under 1.00 kN", QStringLiteral("100"), zero, false, false, 0},
        {"Nsw 0 under 1.00 kN, WswMode", QStringLiteral("100"), zero, true, false, 50},
        {"Nsw 56", QStringLiteral("100"), QStringLiteral("56"), false, false, 56},
        {"Nsw 56, WswMode", QStringLiteral("100"), QStringLiteral("56"), true, false, 106},
        {"Nsw 400 capped", QStringLiteral("100"), QStringLiteral("400"), false, false, 250},
        {"Nsw 400 capped, WswMode", QStringLiteral("100"), QStringLiteral("400"), true, false, 300},
        // Below one half-turn per metre counts as sinking unless half-turns carry a decimal.
        {"Nsw 0.5", QStringLiteral("75"), QStringLiteral("0.5"), false, false, -12.5},
        {"Nsw 0.5, NaMode", QStringLiteral("75"), QStringLiteral("0.5"), false, true, 0.5},
    };
    for (const Case &c : cases) {
        TSetting setting;
        setting.NswMax = 300;
        setting.WswMode = c.WswMode;
        setting.NaMode = c.NaMode;
        TNswGraph style;
        style.LoadPoints(MakeLog({{150, c.Wsw, c.Nsw, 0, kSand}}), setting);
        ASSERT_EQ(style.Data.Points.size(), 2) << c.What;
        EXPECT_DOUBLE_EQ(style.Data.Points[1].Value, c.Value) << c.What;
    }
}

TEST(GraphsNswPoints, KeepsDepthSoilAndScales)
{
    TSetting setting;
    TNswGraph style;
    style.LoadPoints(MakeLog({{25, QStringLiteral("100"), QStringLiteral("8"), 0, kClay},
                              {50, QStringLiteral("100"), QStringLiteral("12"), 0, kSand}}),
                     setting);
    EXPECT_EQ(style.Data.Count, 2);
    EXPECT_EQ(style.Data.Origin, 50);
    EXPECT_DOUBLE_EQ(style.Data.ValueScale, 1.0);
    EXPECT_DOUBLE_EQ(style.Data.LoadScale, 0.5);
    EXPECT_EQ(style.Data.Points[0].Depth, 0);
    EXPECT_EQ(style.Data.Points[2].Depth, 50);
    EXPECT_EQ(style.Data.Points[2].Doshitu, kSand);
}

TEST(GraphsNswPoints, NonNumericTextRaisesAndKeepsThePreviousPoints)
{
    TSetting setting;
    TNswGraph style;
    style.LoadPoints(MakeLog({{25, QStringLiteral("100"), QStringLiteral("8"), 0, kClay}}),
                     setting);
    EXPECT_THROW(
        style.LoadPoints(MakeLog({{25, QStringLiteral("100"), QStringLiteral("8"), 0, kClay},
                                  {50, QStringLiteral("100"), QStringLiteral("x"), 0, kClay}}),
                         setting),
        EConvertError);
    EXPECT_THROW(
        style.LoadPoints(MakeLog({{25, QStringLiteral("1.0kN"), kSelfSinking, 0, kClay}}), setting),
        EConvertError);
    EXPECT_EQ(style.Data.Count, 1);
    EXPECT_DOUBLE_EQ(style.Data.Points[1].Value, 8);
}

TEST(GraphsNPoints, ConvertedNCappedAtNMax)
{
    TSetting setting;
    setting.NMax = 25;
    TNGraph style;
    style.LoadPoints(MakeLog({{25, QStringLiteral("100"), QStringLiteral("8"), 30, kClay},
                              {50, QStringLiteral("100"), QStringLiteral("8"), 12.3, kClay}}),
                     setting);
    EXPECT_EQ(style.Data.Origin, 0);
    EXPECT_DOUBLE_EQ(style.Data.Points[1].Value, 25);
    EXPECT_DOUBLE_EQ(style.Data.Points[2].Value, 12.3);

    // An empty (reset) log has no rows at all; the points hold just the origin.
    Tkannyu empty;
    empty.reset();
    style.LoadPoints(empty, setting);
    EXPECT_EQ(style.Data.Count, 0);
    EXPECT_EQ(style.Data.Points.size(), 1);
}

TEST(GraphsNswAxis, GridLinesAndLabelsOfTheWindowPlot)
{
    TSetting setting;
    TNswGraph style;
    style.AxisMax = 300;
    style.LoadPoints(Tkannyu(), setting);
    RecordingDevice device(QSize(340, 400));
    QPainter painter(&device);
    style.DrawValueAxis(kWindowPlot, {255.0 / 300, 1.0}, painter, 1);

    // Zero line at 110 and the major lines 0, 100, 200.
    EXPECT_EQ(VerticalXs(device, Qt::SolidLine), (std::set<int>{110, 195, 280}));
    std::set<int> dotted{99, 89, 78}; // every 0.25 kN left of the zero line
    for (int k = 0; k <= 12; ++k)
        dotted.insert(110 + 17 * k); // every 20 Nsw, the last before the right edge
    EXPECT_EQ(VerticalXs(device, Qt::DotLine), dotted);

    EXPECT_EQ(PlaceOf(device, QStringLiteral(" 0")), QPoint(107, 52));
    // "100" twice: the Nsw label and the load in kgf at the zero line.
    EXPECT_EQ(PlacesOf(device, QStringLiteral("100")),
              (std::set<std::pair<int, int>>{{192, 52}, {110, 46}}));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("200")), QPoint(277, 52));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("1.00")), QPoint(110, 40));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("0.50")), QPoint(88, 40));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("0.00")), QPoint(67, 40));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("50 ")), QPoint(88, 46));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("0  ")), QPoint(67, 46));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("(kN)")), QPoint(122, 40));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("(kgf)")), QPoint(119, 46));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("荷重")), QPoint(72, 33));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("1m")), QPoint(128, 33));
    for (const RecordedText &text : device.Texts)
        EXPECT_EQ(text.PixelSize, 6) << text.Text.toStdString();
}

TEST(GraphsNswAxis, TablePagesLeaveOutTheLabelAtTheEdge)
{
    // NswMax 250 puts the 200 line on the right edge of the plot.
    TSetting setting;
    TNswGraph style;
    style.AxisMax = 250;
    style.LoadPoints(Tkannyu(), setting);
    for (int depthLabels : {1, 0}) {
        RecordingDevice device(QSize(340, 400));
        QPainter painter(&device);
        style.DrawValueAxis(kWindowPlot, {255.0 / 250, 1.0}, painter, depthLabels);
        EXPECT_EQ(VerticalXs(device, Qt::SolidLine).count(323), 1u);
        EXPECT_EQ(device.TextsStartingWith(QStringLiteral("200")).size(), depthLabels)
            << depthLabels;
        EXPECT_EQ(device.TextsStartingWith(QStringLiteral("100")).size(), 2); // Nsw and kgf
    }
}

TEST(GraphsNAxis, GridLinesLabelsAndTitleOfTheWindowPlot)
{
    TSetting setting;
    TNGraph style;
    style.AxisMax = 25;
    style.LoadPoints(Tkannyu(), setting);
    RecordingDevice device(QSize(340, 400));
    QPainter painter(&device);
    style.DrawValueAxis(kWindowPlot, {255.0 / 25, 1.0}, painter, 1);

    EXPECT_EQ(VerticalXs(device, Qt::SolidLine), (std::set<int>{68, 170, 272}));
    EXPECT_EQ(VerticalXs(device, Qt::DotLine),
              (std::set<int>{68, 88, 108, 129, 149, 170, 190, 210, 231, 251, 272, 292, 312}));
    EXPECT_EQ(PlaceOf(device, QStringLiteral(" 0")), QPoint(64, 50));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("10")), QPoint(166, 50));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("20")), QPoint(268, 50));
    EXPECT_EQ(PlaceOf(device, QStringLiteral("換算")), QPoint(148, 30));
}
