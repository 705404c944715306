// Drawing targets: the depth axis, the bars and their soil shapes, the torque curve and the
// whole graph.
#include "graphdraw.h"
#include "graphpaint.h"
#include "graphtestlog.h"
#include "recordingdevice.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

const PlotRect kWindowPlot{60, 380, 323, 68};
const QPoint kWindowOrigin(68, 60);
// Pixels per Nsw unit (NswMax 300), per N unit (NMax 25) and per cm over 10 m.
constexpr double kNswXs = 255.0 / 300;
constexpr double kNXs = 255.0 / 25;
constexpr double kYs = 320.0 / 1000;

QString Number(int n)
{
    return QString::number(n);
}

// The loaded style of `kind` for `log` with the default options plus `wswMode`.
std::unique_ptr<TGraphStyle> Loaded(TGraphKind kind, const Tkannyu &log, bool wswMode = false)
{
    TSetting setting;
    setting.WswMode = wswMode;
    std::unique_ptr<TGraphStyle> style = MakeGraphStyle(kind, setting);
    style->LoadPoints(log, setting);
    return style;
}

// Everything the bars of one DrawData cover, over all soil groups.
QRegion BarsOf(TGraphStyle &style, double xs, bool wswMode, int depthFrom = 0, int depthTo = 10)
{
    TForm_Paint paint;
    paint.DepthFrom = depthFrom;
    paint.DepthTo = depthTo;
    QRegion all;
    for (const QRegion &region :
         paint.BuildSoilRegions(style, {xs, kYs}, kWindowOrigin, MakeTables(), wswMode))
        all += region;
    return all;
}

// The pixel rows of column `x` between `top` and `bottom` that are black.
std::set<int> BlackRowsOfColumn(const QImage &image, int x, int top, int bottom)
{
    std::set<int> rows;
    for (int y = top; y <= bottom; ++y)
        if (image.pixelColor(x, y) == QColor(Qt::black))
            rows.insert(y);
    return rows;
}

QImage DrawBars(TGraphStyle &style, const TReferenceTables &tables)
{
    QImage image(340, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TForm_Paint paint;
    paint.DepthTo = 10;
    paint.DrawData(style, {kNswXs, kYs}, kWindowOrigin, painter, tables, false);
    return image;
}

} // namespace

TEST(GraphsDepthAxis, TicksLabelsFrameAndCaptionOfTheWindowPlot)
{
    TForm_Paint paint;
    paint.DepthTo = 10;
    const auto style = Loaded(TGraphKind::Nsw, Tkannyu());
    RecordingDevice device(QSize(340, 400));
    QPainter painter(&device);
    painter.setFont(GraphFont(TPaintTarget::Window));
    paint.TObject_Paint::DrawAxes(*style, kWindowPlot, {kNswXs, 1.0}, painter);

    // A grid line every metre (y = 60 + 8 i for every fourth tick i), solid at 5 m and 10 m;
    // the frame adds the top and bottom edges.
    std::map<int, std::multiset<Qt::PenStyle>> rows;
    for (const RecordedLine &line : device.HorizontalLines(68, 323))
        rows[line.Line.y1()].insert(line.Style);
    std::map<int, std::multiset<Qt::PenStyle>> expected;
    expected[60] = {Qt::SolidLine};
    for (int i = 4; i <= 40; i += 4)
        expected[60 + 8 * i].insert(i % 20 == 0 ? Qt::SolidLine : Qt::DotLine);
    expected[380].insert(Qt::SolidLine);
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(device.VerticalLines(60, 380).size(), 2); // frame sides

    // Labels 0 .. 10 at x 48, centred on their line, in an 8-pixel font.
    for (int metre = 0; metre <= 10; ++metre) {
        const QList<RecordedText> label = device.TextsStartingWith(QString::asprintf("%2d", metre));
        ASSERT_FALSE(label.isEmpty()) << metre;
        EXPECT_EQ(label.first().TopLeft, QPoint(48, 60 + 32 * metre - 4)) << metre;
        EXPECT_EQ(label.first().PixelSize, 8);
    }

    // The caption pieces are centred on x 28 at a sixth of the height apart, in the caption font.
    const QFontMetrics metrics(ProportionalGothicFont(10), &device);
    const QString pieces[] = {QStringLiteral("貫"), QStringLiteral("入"), QStringLiteral("深"),
                              QStringLiteral("さ"), QStringLiteral("(m)")};
    const int centres[] = {113, 167, 220, 273, 327};
    for (int k = 0; k < 5; ++k) {
        const QList<RecordedText> piece = device.TextsStartingWith(pieces[k]);
        ASSERT_EQ(piece.size(), 1) << k;
        const QPoint expectedTopLeft(28 - metrics.horizontalAdvance(pieces[k]) / 2,
                                     centres[k] - metrics.height() / 2);
        EXPECT_EQ(piece.first().TopLeft, expectedTopLeft) << k;
    }
}

TEST(GraphsDepthAxis, TablePagesDrawEveryTickWithoutLabels)
{
    TPrint_Paint paint;
    paint.DepthFrom = 10;
    paint.DepthTo = 20;
    paint.DepthLabels = 0;
    paint.MajorEvery = 4;
    paint.MinorEvery = 1;
    const auto style = Loaded(TGraphKind::Nsw, Tkannyu());
    RecordingDevice device(QSize(340, 400));
    QPainter painter(&device);
    paint.DrawAxes(*style, kWindowPlot, {kNswXs, 1.0}, painter);

    int solid = 0;
    int dotted = 0;
    for (const RecordedLine &line : device.HorizontalLines(68, 323))
        (line.Style == Qt::SolidLine ? solid : dotted) += 1;
    EXPECT_EQ(dotted, 30);
    EXPECT_EQ(solid, 10 + 2); // every metre, and the frame's top and bottom
    for (const RecordedText &text : device.Texts) {
        EXPECT_NE(text.Text, QStringLiteral("貫"));
        EXPECT_LT(text.TopLeft.y(), 60) << text.Text.toStdString(); // value axis only, above
    }
}

TEST(GraphsBars, ExtentOfSingleRowsOnTheWindowPlot)
{
    const QString full = QStringLiteral("100");
    struct Case
    {
        const char *What;
        TGraphKind Kind;
        TestRow Row;
        bool WswMode;
        QRect Bar;
    };
    const Case cases[] = {
        {"0.25 kN sinking",
         TGraphKind::Nsw,
         {100, QStringLiteral("25"), kSelfSinking, 0, kSand},
         false,
         QRect(79, 60, 31, 32)},
        {"0.25 kN sinking, WswMode",
         TGraphKind::Nsw,
         {100, QStringLiteral("25"), kSelfSinking, 0, kSand},
         true,
         QRect(68, 60, 11, 32)},
        {"Nsw 0 at 1.00 kN",
         TGraphKind::Nsw,
         {100, full, QStringLiteral("0"), 0, kSand},
         false,
         QRect()},
        {"Nsw 0 at 1.00 kN, WswMode",
         TGraphKind::Nsw,
         {100, full, QStringLiteral("0"), 0, kSand},
         true,
         QRect(68, 60, 42, 32)},
        {"Nsw 400 capped",
         TGraphKind::Nsw,
         {100, full, QStringLiteral("400"), 0, kSand},
         false,
         QRect(110, 60, 213, 32)},
        {"Nsw 400 capped, WswMode",
         TGraphKind::Nsw,
         {100, full, QStringLiteral("400"), 0, kSand},
         true,
         QRect(68, 60, 255, 32)},
        {"N 30 capped",
         TGraphKind::N,
         {100, full, QStringLiteral("40"), 30, kSand},
         false,
         QRect(68, 60, 255, 32)},
    };
    for (const Case &c : cases) {
        const auto style = Loaded(c.Kind, MakeLog({c.Row}), c.WswMode);
        const double xs = c.Kind == TGraphKind::Nsw ? kNswXs : kNXs;
        EXPECT_EQ(BarsOf(*style, xs, c.WswMode), QRegion(c.Bar)) << c.What;
        // WswMode moves the bars only, never the zero line kept in the points.
        EXPECT_EQ(style->Data.Origin, c.Kind == TGraphKind::Nsw ? 50 : 0);
    }
}

TEST(GraphsBars, ConsecutiveRowsOfOneSoilGroupAreOutlinedOnce)
{
    const QString full = QStringLiteral("100");
    const auto style =
        Loaded(TGraphKind::Nsw, MakeLog({{25, full, QStringLiteral("20"), 0, kSand},
                                         {50, full, QStringLiteral("40"), 0, kSand},
                                         {75, full, QStringLiteral("30"), 0, kSand},
                                         {100, full, QStringLiteral("10"), 0, kClay}}));
    const QImage image = DrawBars(*style, MakeTables());
    // Rows end at y 68, 76, 84, 92: a sand shape over the first three rows, a clay shape below.
    EXPECT_EQ(BlackRowsOfColumn(image, 115, 55, 100), (std::set<int>{60, 83, 84, 91}));
    EXPECT_EQ(image.pixelColor(115, 70), QColor(0, 0, 255)); // sand, group 1
    EXPECT_EQ(image.pixelColor(115, 88), QColor(255, 0, 0)); // clay, group 0
}

TEST(GraphsBars, SoilGroupsSevenApartAndUnknownSoilsShareOneShape)
{
    TReferenceTables tables;
    tables.SoilTypes.clear();
    for (int i = 0; i < 9; ++i)
        tables.SoilTypes.append(QStringLiteral("土%1").arg(i));
    const QString full = QStringLiteral("100");
    const auto style = Loaded(
        TGraphKind::Nsw, MakeLog({{25, full, QStringLiteral("20"), 0, QStringLiteral("土0")},
                                  {50, full, QStringLiteral("20"), 0, QStringLiteral("土7")},
                                  {75, full, QStringLiteral("20"), 0, QStringLiteral("土7*")},
                                  {100, full, QStringLiteral("20"), 0, QStringLiteral("砂")},
                                  {125, full, QStringLiteral("20"), 0, QStringLiteral("土8")}}));
    TForm_Paint paint;
    paint.DepthTo = 10;
    const QList<QRegion> regions =
        paint.BuildSoilRegions(*style, {kNswXs, kYs}, kWindowOrigin, tables, false);
    ASSERT_EQ(regions.size(), kSoilGroups);
    EXPECT_EQ(regions[0], QRegion(110, 60, 18, 32));
    EXPECT_EQ(regions[1], QRegion(110, 92, 18, 8)); // 土8 is group 1

    const QImage image = DrawBars(*style, tables);
    EXPECT_EQ(BlackRowsOfColumn(image, 115, 55, 105), (std::set<int>{60, 91, 92, 99}));
}

TEST(GraphsBars, SoilBrushesByGroup)
{
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 0, 255),   QColor(255, 255, 0),
                              QColor(0, 128, 0), QColor(0, 255, 255), QColor(128, 0, 128),
                              QColor(0, 0, 0)};
    const Qt::BrushStyle hatches[] = {Qt::DiagCrossPattern, Qt::BDiagPattern, Qt::VerPattern,
                                      Qt::HorPattern,       Qt::CrossPattern, Qt::FDiagPattern,
                                      Qt::SolidPattern};
    for (int group = 0; group < kSoilGroups; ++group) {
        EXPECT_EQ(SoilBrush(group, true), QBrush(colours[group])) << group;
        EXPECT_EQ(SoilBrush(group, false), QBrush(Qt::black, hatches[group])) << group;
    }
}

// The printer target with its region painting open to the test.
struct HatchPainter : TPrint_Paint
{
    using TObject_Paint::PaintSoilRegions;
};

// The shortest shift after which the dark pixels of a scan line repeat: the hatch spacing
// along that line (1 when the line meets no hatch line).
int RepeatOf(const QList<bool> &dark)
{
    const int n = int(dark.size());
    for (int p = 1; p < n / 2; ++p) {
        bool repeats = true;
        for (int i = 0; i + p < n && repeats; ++i)
            repeats = dark[i] == dark[i + p];
        if (repeats)
            return p;
    }
    return n;
}

// A black-and-white printout keeps the toolkit's 8-pixel hatches on a screen-like device and
// spaces them about 1 mm apart at 600 dpi, where 8 pixels would print as one even grey. The
// gaps stay unpainted, so what lies under a bar shows through.
TEST(GraphsBars, MonochromeHatchesScaleWithTheDeviceResolution)
{
    const QRect bar(101, 97, 200, 200);
    const QColor under(200, 200, 200);
    for (int dpi : {96, 600}) {
        for (int group = 0; group < kSoilGroups - 1; ++group) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, group " << group);
            QImage image(400, 400, QImage::Format_RGB32);
            image.setDotsPerMeterX(qRound(dpi / 0.0254));
            image.setDotsPerMeterY(qRound(dpi / 0.0254));
            image.fill(under);
            QList<QRegion> regions(kSoilGroups);
            regions[group] = QRegion(bar);
            {
                QPainter painter(&image);
                HatchPainter().PaintSoilRegions(regions, painter, false);
            }
            QList<bool> down, across;
            int gaps = 0;
            for (int i = 10; i < 190; ++i) {
                down.append(qGray(image.pixel(bar.left() + 100, bar.top() + i)) < 100);
                across.append(qGray(image.pixel(bar.left() + i, bar.top() + 100)) < 100);
                gaps += image.pixelColor(bar.left() + i, bar.top() + 100) == under;
            }
            const int spacing = std::max(RepeatOf(down), RepeatOf(across));
            EXPECT_GT(gaps, 0);
            if (dpi == 600) {
                EXPECT_GE(spacing, 20);
                EXPECT_LE(spacing, 30);
                continue;
            }
            EXPECT_EQ(spacing, 8);
            QImage pattern(image.size(), QImage::Format_RGB32);
            pattern.fill(under);
            {
                QPainter painter(&pattern);
                painter.fillRect(bar.adjusted(1, 1, -1, -1), SoilBrush(group, false));
            }
            const QRect inside = bar.adjusted(1, 1, -1, -1);
            EXPECT_EQ(image.copy(inside), pattern.copy(inside));
        }
    }
}

TEST(GraphsBars, DepthWindowStretchesTheRowBeforeTheFirstDeeperOne)
{
    const QString full = QStringLiteral("100");
    const auto style =
        Loaded(TGraphKind::Nsw, MakeLog({{400, full, QStringLiteral("20"), 0, kSand},
                                         {900, full, QStringLiteral("20"), 0, kSand},
                                         {1100, full, QStringLiteral("20"), 0, kSand}}));
    TPrint_Paint paint;
    paint.DepthTo = 10;
    QRegion first;
    for (const QRegion &r :
         paint.BuildSoilRegions(*style, {kNswXs, kYs}, kWindowOrigin, MakeTables(), false))
        first += r;
    EXPECT_EQ(paint.FirstRow, 1);
    EXPECT_EQ(paint.LastRow, 2);
    EXPECT_EQ(style->Data.Points[2].Depth, 1000);
    EXPECT_EQ(first, QRegion(110, 60, 18, 320));

    // The next window starts where the stretched row ended.
    EXPECT_EQ(BarsOf(*style, kNswXs, false, 10, 20), QRegion(110, 60, 18, 32));
}

TEST(GraphsBars, ARowSpanningTheWholeWindowStaysInsideThePlot)
{
    const QString full = QStringLiteral("100");
    const auto style =
        Loaded(TGraphKind::Nsw, MakeLog({{500, full, QStringLiteral("20"), 0, kSand},
                                         {2500, full, QStringLiteral("20"), 0, kSand}}));
    EXPECT_EQ(BarsOf(*style, kNswXs, false, 10, 20), QRegion(110, 60, 18, 320));
}

TEST(GraphsBars, NoRowsOrNothingBelowTheWindowDrawsNoBars)
{
    const auto empty = Loaded(TGraphKind::Nsw, Tkannyu());
    EXPECT_TRUE(BarsOf(*empty, kNswXs, false).isEmpty());
    const auto shallow = Loaded(
        TGraphKind::N, MakeLog({{300, QStringLiteral("100"), QStringLiteral("5"), 3, kSand}}));
    TForm_Paint paint;
    paint.DepthFrom = 10;
    paint.DepthTo = 20;
    EXPECT_TRUE(paint.BuildSoilRegions(*shallow, {kNXs, kYs}, kWindowOrigin, MakeTables(), false)
                    .value(0)
                    .isEmpty());
    EXPECT_EQ(paint.FirstRow, 0);
}

TEST(GraphsTorque, CurveMarkersAndLabels)
{
    struct Case
    {
        TGraphKind Kind;
        int DepthRange;
        QList<QPoint> Path; // from the zero line's top
        QList<QRect> Markers;
        int Zero;
        int LabelHeight; // min(nearest(320 / 30), nearest(axis width / 25))
    };
    const QList<TTorquePair> pairs{{100, 50}, {200, 0}, {300, 150}};
    const Case cases[] = {
        // Nsw: the curve starts at the zero line (110) and spans 213 pixels for 100 N·m.
        {TGraphKind::Nsw,
         10,
         {{110, 60}, {216, 92}, {110, 124}, {323, 156}},
         {QRect(215, 91, 2, 2)},
         110,
         9},
        // Converted N: the whole width, 255 pixels for 100 N·m.
        {TGraphKind::N,
         10,
         {{68, 60}, {195, 92}, {68, 124}, {323, 156}},
         {QRect(194, 91, 2, 2)},
         68,
         10},
        // A 20 m range halves the depth scale.
        {TGraphKind::Nsw,
         20,
         {{110, 60}, {216, 76}, {110, 92}, {323, 108}},
         {QRect(215, 75, 2, 2)},
         110,
         9},
    };
    for (const Case &c : cases) {
        const auto style = Loaded(c.Kind, Tkannyu());
        RecordingDevice device(QSize(340, 400));
        QPainter painter(&device);
        painter.setFont(GraphFont(TPaintTarget::Window));
        style->DrawTorque(kWindowPlot, {style->AxisMax == 300 ? kNswXs : kNXs, 1.0}, painter, pairs,
                          100, c.DepthRange);
        QList<QPoint> path;
        for (const RecordedLine &line : device.Lines) {
            if (path.isEmpty())
                path.append(line.Line.p1());
            EXPECT_EQ(line.Line.p1(), path.last());
            path.append(line.Line.p2());
        }
        EXPECT_EQ(path, c.Path);
        EXPECT_EQ(device.Ellipses, c.Markers);

        // Labels centred under the plot, their tops half a font height below it; the figures in
        // the window's font, the caption in the caption font.
        QFont font = GraphFont(TPaintTarget::Window);
        font.setPixelSize(c.LabelHeight);
        const QFontMetrics figures(font, &device);
        const QFontMetrics caption(ProportionalGothicFont(c.LabelHeight), &device);
        const std::pair<QString, int> labels[] = {{QStringLiteral("0"), c.Zero},
                                                  {QStringLiteral("100"), 323},
                                                  {QStringLiteral("トルク"), (c.Zero + 323) / 2}};
        for (const auto &[text, centre] : labels) {
            const QList<RecordedText> found = device.TextsStartingWith(text);
            ASSERT_EQ(found.size(), 1) << text.toStdString();
            EXPECT_EQ(found.first().TopLeft.y(), 380 + c.LabelHeight / 2);
            EXPECT_EQ(found.first().PixelSize, c.LabelHeight);
            const bool isCaption = text == u"トルク";
            const QString whole = isCaption ? QStringLiteral("トルク(N･m)") : text;
            const int width = (isCaption ? caption : figures).horizontalAdvance(whole);
            EXPECT_EQ(found.first().TopLeft.x(), centre - width / 2) << text.toStdString();
        }
    }
}

TEST(GraphsWholeGraph, WindowAreaGivesThePlotAndDrawsEveryPart)
{
    TSetting setting;
    const Tkannyu log = MakeLog({{100, QStringLiteral("50"), kSelfSinking, 0, kClay},
                                 {200, QStringLiteral("100"), QStringLiteral("40"), 5, kSand}});
    for (TPaintTarget target : {TPaintTarget::Window, TPaintTarget::Printer}) {
        RecordingDevice device(QSize(340, 400));
        QPainter painter(&device);
        TGraphRequest request;
        request.Target = target;
        request.Torque = true;
        const PlotRect plot = DrawGraph(painter, QRect(0, 0, 340, 400), log, {{100, 20}, {200, 40}},
                                        setting, MakeTables(), request);
        EXPECT_EQ(plot, kWindowPlot);
        EXPECT_EQ(device.Ellipses.size(), 2);
        EXPECT_FALSE(device.TextsStartingWith(QStringLiteral("1m")).isEmpty());
        // The window paints its plot white first; both then fill two soil shapes and outlines.
        const bool window = target == TPaintTarget::Window;
        ASSERT_EQ(device.Fills.size(), (window ? 1 : 0) + 4);
        if (window) {
            EXPECT_EQ(device.Fills.first().Path.boundingRect(), QRectF(68, 60, 255, 320));
        }
    }
}

TEST(GraphsWholeGraph, EmptyTestDrawsAxesWithoutBars)
{
    TSetting setting;
    Tkannyu empty;
    empty.reset();
    RecordingDevice device(QSize(340, 400));
    QPainter painter(&device);
    TGraphRequest request;
    request.Kind = TGraphKind::N;
    request.Target = TPaintTarget::Printer;
    DrawGraph(painter, QRect(0, 0, 340, 400), empty, {}, setting, MakeTables(), request);
    EXPECT_TRUE(device.Fills.isEmpty());
    EXPECT_EQ(device.VerticalLines(60, 380).size(), 2 + 1 + 13 + 3); // frame, zero, grid, major
    EXPECT_FALSE(device.TextsStartingWith(QStringLiteral("換算")).isEmpty());
}

TEST(GraphsWholeGraph, DegenerateAreaAndOptionsFinish)
{
    TSetting setting;
    setting.NswMax = 0;
    setting.Depth1 = 0;
    setting.TorqueMax = 0;
    const Tkannyu log = MakeLog({{100, QStringLiteral("100"), QStringLiteral("40"), 5, kSand}});
    RecordingDevice device(QSize(10, 10));
    QPainter painter(&device);
    TGraphRequest request;
    request.Torque = true;
    DrawGraph(painter, QRect(0, 0, 0, 0), log, {{100, 20}}, setting, MakeTables(), request);
    DrawGraph(painter, QRect(0, 0, 3, 2), log, {{100, 20}}, setting, MakeTables(), request);
    SUCCEED();
}

TEST(GraphsWholeGraph, LongTestDrawsInLinearishTime)
{
    // 20000 rows of alternating soil groups: every bar is its own outlined shape.
    Tkannyu log;
    log.startRows();
    const QString soils[] = {kClay, kSand, QStringLiteral("礫質土")};
    for (int i = 1; i <= 20000; ++i) {
        Tvt_data row;
        row.Depth = i * 5;
        row.Wsw = QStringLiteral("100");
        row.Na = Number(i % 40);
        row.Nsw = Number((i * 7) % 260);
        row.NValue = (i % 30);
        row.Doshitu = soils[(i / 3) % 3];
        log.appendRow(row);
    }
    log.Count = 20000;
    log.FinalDepth = 100000;
    QImage image(800, 4000, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QElapsedTimer timer;
    timer.start();
    DrawGraph(painter, image.rect(), log, {}, TSetting(), MakeTables(), TGraphRequest());
    EXPECT_LT(timer.elapsed(), 20000);
}
