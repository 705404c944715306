#include "sitesection.h"

#include "drawtext.h"
#include "errors.h"
#include "site.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Text heights left of the columns (the elevation axis, then room for the first labels) and
// right of them; together kSectionSideRoom.
constexpr int kAxisRoom = 5;
constexpr int kLeftRoom = 5;
constexpr int kRightRoom = kSectionSideRoom - kAxisRoom - kLeftRoom;
// The least average room of a point on a report page, in text heights.
constexpr int kPagePointRoom = 5;
// Rows of distances under the columns before the ones that still find no room are left out.
constexpr int kDistanceRows = 2;

// Everything the pieces of the drawing share, worked out before anything is drawn, so that a
// text that finds no room is left out rather than drawn over another.
struct TSectionGeometry
{
    TSiteSectionLayout Layout;
    qsizetype First = 0;
    qsizetype Last = -1;
    bool TrueSpacing = false;
    int Th = 12;
    int Line = 1;
    QFont LabelFont;
    QFont SmallFont;
    QRect Inner;
    int CaptionTop = 0;
    int Usable = 1; // width the points are spread over

    // Labels and levels above the columns: each column's row, -1 when left out.
    QList<int> LabelRow;
    int LabelRows = 1;
    int LabelTop = 0;
    int LabelRowHeight = 0;
    // Distances under the columns, one per neighbouring pair: text, box and row (-1: left out).
    QStringList DistanceTexts;
    QList<QRect> DistanceBoxes;
    QList<int> DistanceRow;
    int DistanceRows = 1;
    int DistanceTop = 0;
    int ScaleTop = 0;
    int LegendTop = 0;
    int NotesTop = 0;
    QStringList Notes;
    bool Water = false; // a point has a measured water level, which the legend names

    // The elevation axis.
    double Highest = 0;
    double Lowest = 0;
    double Step = 1;
    // "B" and "B+2m" beside the first column: the x of their anchor and its kind, or none.
    std::optional<std::pair<int, int>> BaseLabels;
    // Each neighbouring pair's slope: its text and box, none when left out or not known.
    QStringList SlopeTexts;
    QList<std::optional<QRect>> SlopeBoxes;
    bool SlopesLeftOut = false;

    double yOf(double level) const { return Layout.YOf(level); }
    qsizetype count() const { return Last - First + 1; }
};

double groundOf(const TSiteData &data, qsizetype i)
{
    return data.Figures.Points.at(i).Ground.value_or(0);
}

// Horizontal place of each point in metres along the section (or in steps), from the first.
QList<double> stations(const TSiteData &data, qsizetype first, qsizetype last)
{
    const bool trueSpacing = data.Figures.TrueSpacing();
    QList<double> at{0};
    for (qsizetype i = first; i < last; ++i)
        at.append(at.last() + (trueSpacing ? *data.Figures.Pairs.at(i).Distance : 1.0));
    return at;
}

// Puts boxes into at most `maxRows` rows so none comes within `gap` of the one before it in its
// row; answers each box's row, -1 for a box that fits in none, and the rows used.
QList<int> stagger(const QList<QRect> &boxes, int gap, int maxRows, int &rows)
{
    QList<int> rightEnds;
    QList<int> rowOf;
    for (const QRect &box : boxes) {
        if (box.width() <= 0) {
            rowOf.append(-1);
            continue;
        }
        int row = 0;
        while (row < int(rightEnds.size()) && box.left() <= rightEnds.at(row) + gap)
            ++row;
        if (row >= maxRows) {
            rowOf.append(-1);
            continue;
        }
        if (row >= int(rightEnds.size()))
            rightEnds.append(box.right());
        else
            rightEnds[row] = box.right();
        rowOf.append(row);
    }
    rows = std::max(1, int(rightEnds.size()));
    return rowOf;
}

QString levelAxisText(double level, double step)
{
    const int decimals = step < 1 ? 1 : 0;
    QString text = QString::number(level, 'f', decimals);
    if (text.startsWith(u"-0") && text.toDouble() == 0)
        text.remove(0, 1);
    return level > 1e-9 ? u'+' + text : text;
}

struct TLegendItem
{
    QBrush Brush;
    QPen Pen;
    bool LineSwatch = false;
    QString Text;
};

struct TSectionColours
{
    QColor Accent;
    QBrush Sinking;
    QBrush Turning;
    QColor Bottom;
    QColor Water;

    explicit TSectionColours(const TSiteDrawStyle &style)
        : Accent(SiteAccent(style)),
          Sinking(style.Color ? QBrush(QColor(220, 30, 30)) : QBrush(Qt::black)),
          Turning(style.Color ? QBrush(QColor(90, 140, 220)) : QBrush(QColor(170, 170, 170))),
          Bottom(style.Color ? QColor(0, 90, 0) : QColor(Qt::black)),
          Water(style.Color ? QColor(0, 90, 200) : QColor(Qt::black))
    {}
};

QList<TLegendItem> legendItems(const TSectionColours &colours, int line, bool water)
{
    QList<TLegendItem> items{
        {colours.Sinking, {}, false, QStringLiteral("自沈（幅：荷重、1.00 kNで半幅）")},
        {colours.Turning, {}, false, QStringLiteral("Nsw（%1で半幅）").arg(kSectionNswFull)},
        {{}, QPen(colours.Bottom, 3 * line), true, QStringLiteral("自沈層の下端")},
        {{},
         QPen(colours.Bottom, 2 * line, Qt::DashLine),
         true,
         QStringLiteral("下端を結ぶ線と勾配")},
        {{}, QPen(colours.Accent, line, Qt::DashLine), true, QStringLiteral("基礎底面 B と B+2m")},
    };
    if (water)
        items.append({{}, QPen(colours.Water, line), true, QStringLiteral("孔内水位 ▽")});
    return items;
}

int legendItemWidth(const TLegendItem &item, const QFontMetrics &metrics, int th)
{
    return th * 3 / 2 + th / 3 + metrics.horizontalAdvance(item.Text) + th;
}

// The legend's rows when it wraps to stay within `width`.
int legendRows(const QList<TLegendItem> &items, const QFontMetrics &metrics, int th, int width)
{
    int rows = 1;
    int x = 0;
    for (const TLegendItem &item : items) {
        const int w = legendItemWidth(item, metrics, th);
        if (x > 0 && x + w > width) {
            ++rows;
            x = 0;
        }
        x += w;
    }
    return rows;
}

// The points' horizontal places, the columns' width and the texts above them.
void placeColumns(TSectionGeometry &g, const TSiteData &data, const TSiteSectionRange &range)
{
    const int th = g.Th;
    TSiteSectionLayout &layout = g.Layout;
    const QList<double> at = stations(data, g.First, g.Last);
    const int x0 = g.Inner.left() + (kAxisRoom + kLeftRoom) * th;
    g.Usable = std::max(1, g.Inner.width() - kSectionSideRoom * th);
    layout.PixelsPerUnit = range.PixelsPerUnit > 0 ? range.PixelsPerUnit
                           : at.last() > 0         ? g.Usable / at.last()
                                                   : 0;
    double narrowest = g.Usable;
    for (qsizetype k = 0; k < at.size(); ++k) {
        layout.ColumnX.append(at.last() > 0 ? x0 + at.at(k) * layout.PixelsPerUnit
                                            : x0 + g.Usable / 2.0);
        if (k > 0)
            narrowest = std::min(narrowest, layout.ColumnX.at(k) - layout.ColumnX.at(k - 1));
    }
    layout.HalfWidth = std::clamp(int(narrowest * 0.3), th * 6 / 10, th * 3);

    // Labels and ground levels in as many rows as they need, up to a quarter of the height.
    QList<QRect> boxes;
    for (qsizetype k = 0; k < at.size(); ++k) {
        const qsizetype i = g.First + k;
        const int width =
            std::max(QFontMetrics(g.LabelFont).horizontalAdvance(data.Site.Points.at(i).Label),
                     QFontMetrics(g.SmallFont)
                         .horizontalAdvance(GroundLevelText(data.Figures.Points.at(i).Ground)));
        boxes.append(QRect(int(layout.ColumnX.at(k)) - width / 2, 0, width, 1));
    }
    g.LabelRowHeight = th * 23 / 10;
    const int maxRows = std::max(2, g.Inner.height() / 4 / g.LabelRowHeight);
    g.LabelRow = stagger(boxes, th / 2, maxRows, g.LabelRows);
    g.LabelTop = g.CaptionTop;
    if (g.LabelRow.contains(-1))
        g.Notes.append(QStringLiteral("込み合う所の測点名は省略"));
}

// The distances between neighbours under the columns, in up to two rows.
void placeDistances(TSectionGeometry &g, const TSiteData &data)
{
    const QFontMetrics metrics(g.SmallFont);
    for (qsizetype k = 0; k + 1 < g.count(); ++k) {
        const std::optional<double> distance = data.Figures.Pairs.at(g.First + k).Distance;
        g.DistanceTexts.append(distance ? SiteMetresText(*distance) + QStringLiteral(" m")
                                        : QString());
        const int width = metrics.horizontalAdvance(g.DistanceTexts.last());
        const int middle = int((g.Layout.ColumnX.at(k) + g.Layout.ColumnX.at(k + 1)) / 2);
        g.DistanceBoxes.append(QRect(middle - width / 2, 0, width, 1));
    }
    g.DistanceRow = stagger(g.DistanceBoxes, g.Th / 2, kDistanceRows, g.DistanceRows);
    for (qsizetype k = 0; k < g.DistanceRow.size(); ++k) {
        if (g.DistanceRow.at(k) < 0 && !g.DistanceTexts.at(k).isEmpty()) {
            g.Notes.append(OmittedDistancesNote());
            break;
        }
    }
}

// The elevation scale: every point of the site, so the pages of one site share it.
void placeElevations(TSectionGeometry &g, const TSiteData &data)
{
    TSiteSectionLayout &layout = g.Layout;
    double highest = -1e9;
    double lowest = 1e9;
    for (qsizetype i = 0; i < data.Site.Points.size(); ++i) {
        const double ground = groundOf(data, i);
        highest = std::max(highest, ground);
        lowest = std::min(lowest, ground);
        if (const TSitePointTest &test = data.Tests.value(i); test.Test)
            lowest = std::min(lowest, ground - test.Test->RoundedLog.FinalDepth / 100.0);
    }
    if (highest - lowest < 1)
        lowest = highest - 1;
    const int padTop = g.Th * 3 / 2;
    const int padBottom = g.Th / 2;
    layout.PixelsPerMetre = (layout.Plot.height() - padTop - padBottom) / (highest - lowest);
    layout.TopLevel = highest + padTop / layout.PixelsPerMetre;
    g.Highest = highest;
    g.Lowest = lowest;
    g.Step = RoundStep(highest - lowest, std::max(2, layout.Plot.height() / (3 * g.Th)));
}

// "B" and "B+2m" beside the first column: right of it when the next column leaves room, else
// left of it, else not at all (the legend names the lines).
void placeBaseLabels(TSectionGeometry &g)
{
    const QList<double> &x = g.Layout.ColumnX;
    const int reach = g.Layout.HalfWidth * 12 / 10 + g.Th / 4;
    const int width = QFontMetrics(g.SmallFont).horizontalAdvance(QStringLiteral("B+2m"));
    const int right = int(x.first()) + reach;
    const int nextLeft = x.size() > 1 ? int(x.at(1)) - reach : g.Inner.right();
    const int left = int(x.first()) - reach;
    if (right + width < nextLeft)
        g.BaseLabels = std::pair(right, 3);
    else if (left - width > g.Layout.Plot.left() + g.Th / 3)
        g.BaseLabels = std::pair(left, 5);
}

// The bars of one test's rounded rows, each from the row before down to its own depth:
// self-sinking left of the rod (width ∝ load), the others right of it (width ∝ Nsw).
struct TColumnBars
{
    QList<QRectF> Sinking;
    QList<QRectF> Turning;
};

TColumnBars columnBars(const TSectionGeometry &g, const Tkannyu &log, double cx, double ground)
{
    const int hw = g.Layout.HalfWidth;
    TColumnBars bars;
    ForEachRoundedStretch(log, [&](int from, int to, const Tvt_data &row) {
        if (to <= from)
            return;
        const double y0 = g.yOf(ground - from / 100.0);
        const double y1 = g.yOf(ground - to / 100.0);
        if (row.Na == kSelfSinking) {
            const double load = std::clamp(StrToIntDef(row.Wsw, 100), 0, 100) / 100.0;
            bars.Sinking.append(QRectF(cx - hw * load, y0, hw * load, y1 - y0));
            return;
        }
        double nsw = 0;
        if (!TryStrToFloat(row.Nsw, nsw))
            return;
        const double part = std::clamp(nsw / kSectionNswFull, 0.0, 1.0);
        bars.Turning.append(QRectF(cx, y0, hw * part, y1 - y0));
    });
    return bars;
}

// What a column draws, as boxes a text must keep clear of: its bars, its rod, and the lines
// across it (the ground with its mark, B and B + 2 m, the soft layer's bottom).
void blockColumn(TLabelPlacer &placer, const TSectionGeometry &g, const TSiteData &data,
                 qsizetype k)
{
    const qsizetype i = g.First + k;
    const TSitePointTest &test = data.Tests.value(i);
    if (!test.Test)
        return;
    const Tkannyu &log = test.Test->RoundedLog;
    const double cx = g.Layout.ColumnX.at(k);
    const double ground = groundOf(data, i);
    const TColumnBars bars = columnBars(g, log, cx, ground);
    for (const QList<QRectF> &kind : {bars.Sinking, bars.Turning}) {
        for (const QRectF &bar : kind)
            placer.Block(bar.toAlignedRect());
    }
    const int hw = g.Layout.HalfWidth;
    const int thick = std::max(2, 2 * g.Line);
    const auto across = [&](double y, int half) {
        placer.Block(QRect(int(cx) - half, int(y) - thick, 2 * half + 1, 2 * thick + 1));
    };
    const double yGround = g.yOf(ground);
    placer.Block(QRect(int(cx) - g.Th / 2, int(yGround) - g.Th / 2, g.Th + 1, g.Th / 2 + 1));
    across(yGround, hw * 13 / 10);
    for (const int depth : {data.Site.BaseDepth, data.Site.BaseDepth + kMeanRangeCm})
        across(g.yOf(ground - depth / 100.0), hw * 12 / 10);
    if (const std::optional<int> bottom = data.Figures.Points.at(i).SoftBottom)
        across(g.yOf(ground - *bottom / 100.0), hw * 12 / 10);
    placer.Block(QRect(int(cx) - thick, int(yGround), 2 * thick + 1,
                       int(g.yOf(ground - log.FinalDepth / 100.0) - yGround)));
}

// The slope (or, without distances, the difference) beside the middle of each line joining
// neighbouring bottoms, clear of the columns and of each other; left out where there is none.
void placeSlopes(TSectionGeometry &g, const TSiteData &data)
{
    const TSiteFigures &figures = data.Figures;
    TLabelPlacer placer(g.Layout.Plot);
    for (qsizetype k = 0; k < g.count(); ++k)
        blockColumn(placer, g, data, k);
    const QFontMetrics metrics(g.SmallFont);
    const int hw = g.Layout.HalfWidth;
    for (qsizetype k = 0; k + 1 < g.count(); ++k) {
        const TSitePairFigures &pair = figures.Pairs.at(g.First + k);
        const std::optional<double> a = figures.Points.at(g.First + k).SoftBottomLevel();
        const std::optional<double> b = figures.Points.at(g.First + k + 1).SoftBottomLevel();
        if (!pair.BottomDifference || !a || !b) {
            g.SlopeTexts.append(QString());
            g.SlopeBoxes.append(std::nullopt);
            continue;
        }
        g.SlopeTexts.append(
            pair.SlopePermille ? QString(SitePermilleText(pair.SlopePermille) + QStringLiteral("‰"))
                               : QStringLiteral("差 ") + SiteMetresText(*pair.BottomDifference) +
                                     QStringLiteral(" m"));
        const QPointF from(g.Layout.ColumnX.at(k) + hw * 12 / 10, g.yOf(*a));
        const QPointF to(g.Layout.ColumnX.at(k + 1) - hw * 12 / 10, g.yOf(*b));
        const QPointF middle = (from + to) / 2;
        const QSize size(metrics.horizontalAdvance(g.SlopeTexts.last()) + g.Th / 2,
                         metrics.height());
        const auto around = [&](double rise) {
            return QRect(
                (middle - QPointF(size.width() / 2.0, size.height() / 2.0 + rise)).toPoint(), size);
        };
        const double th = g.Th;
        g.SlopeBoxes.append(placer.Place({around(th * 0.8), around(-th * 0.8), around(th * 2),
                                          around(-th * 2), around(th * 3.2), around(-th * 3.2)}));
        g.SlopesLeftOut = g.SlopesLeftOut || !g.SlopeBoxes.last();
    }
}

// The whole geometry, top to bottom: caption, labels, columns, distances, scale bar, legend,
// notes.
TSectionGeometry sectionGeometry(const QRect &area, const TSiteData &data,
                                 const TSiteDrawStyle &style, const TSiteSectionRange &range,
                                 bool slopeNote)
{
    TSectionGeometry g;
    g.Th = style.TextHeight;
    g.Line = SiteLineWidth(style);
    g.LabelFont = SiteFont(g.Th);
    g.SmallFont = SiteFont(g.Th * 85 / 100);
    g.Inner = area.adjusted(g.Th, g.Th / 2, -g.Th, -g.Th / 2);
    g.CaptionTop = g.Inner.top() + (style.Caption ? g.Th * 2 : 0);
    const qsizetype count = data.Site.Points.size();
    g.First = std::clamp<qsizetype>(range.First, 0, std::max<qsizetype>(0, count - 1));
    g.Last = range.Last < 0 ? count - 1 : std::min(range.Last, count - 1);
    if (count == 0 || g.Last < g.First)
        return g;
    g.TrueSpacing = data.Figures.TrueSpacing();
    const int th = g.Th;

    if (!g.TrueSpacing && count > 1)
        g.Notes.append(data.Figures.FarPoints.isEmpty()
                           ? QStringLiteral("位置のない測点があるため、測点を等間隔に並べています")
                           : QStringLiteral("ほかから離れすぎた位置の測点があるため、測点を等間隔に"
                                            "並べています"));
    QStringList levelless;
    for (qsizetype i = g.First; i <= g.Last; ++i) {
        if (!data.Figures.Points.at(i).Ground)
            levelless.append(data.Site.Points.at(i).Label);
    }
    if (!levelless.isEmpty())
        g.Notes.append(QStringLiteral("地盤高なし（0 m として表示）: ") +
                       levelless.join(QStringLiteral("、")));

    placeColumns(g, data, range);
    placeDistances(g, data);
    if (slopeNote)
        g.Notes.append(QStringLiteral("込み合う所の勾配は省略"));

    const int noteHeight = th * 6 / 5;
    g.NotesTop = g.Inner.bottom() - int(g.Notes.size()) * noteHeight;
    g.Water = std::any_of(data.Site.Points.cbegin(), data.Site.Points.cend(),
                          [](const TSiteTestPoint &point) {
                              return point.Survey.Water.Kind == TWaterLevelKind::Measured;
                          });
    const int rows = legendRows(legendItems(TSectionColours(style), g.Line, g.Water),
                                QFontMetrics(g.SmallFont), th, g.Inner.width());
    g.LegendTop = g.NotesTop - rows * th * 8 / 5;
    g.ScaleTop = g.LegendTop - (g.TrueSpacing ? th * 12 / 5 : 0);
    g.DistanceTop = g.ScaleTop - g.DistanceRows * th * 7 / 5;
    const int top = g.LabelTop + g.LabelRows * g.LabelRowHeight;
    g.Layout.Plot = QRect(g.Inner.left() + kAxisRoom * th, top,
                          g.Inner.right() - g.Inner.left() - kAxisRoom * th,
                          std::max(th, g.DistanceTop - th / 2 - top));
    placeElevations(g, data);
    placeBaseLabels(g);
    placeSlopes(g, data);
    return g;
}

void drawElevationAxis(QPainter &canvas, const TSectionGeometry &g)
{
    const QRect &plot = g.Layout.Plot;
    canvas.setFont(g.SmallFont);
    const QPen grid(QColor(150, 150, 150), g.Line, Qt::DotLine);
    for (double level = std::ceil(g.Lowest / g.Step) * g.Step; level <= g.Highest + 1e-9;
         level += g.Step) {
        const int y = int(std::lround(g.yOf(level)));
        canvas.setPen(grid);
        canvas.drawLine(plot.left(), y, plot.right(), y);
        SetPen(canvas, g.Line, Qt::SolidLine);
        DrawTextAnchored(canvas, plot.left() - g.Th / 3, y, 5, levelAxisText(level, g.Step));
    }
    SetPen(canvas, g.Line, Qt::SolidLine);
    canvas.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());
    DrawTextAnchored(canvas, g.Inner.left(), g.LabelTop, 0, QStringLiteral("標高(m)"));
}

void drawRows(QPainter &canvas, const TSectionGeometry &g, const Tkannyu &log, double cx,
              double ground, const TSectionColours &colours)
{
    const TColumnBars bars = columnBars(g, log, cx, ground);
    canvas.setPen(Qt::NoPen);
    canvas.setBrush(colours.Turning);
    canvas.drawRects(bars.Turning);
    canvas.setBrush(colours.Sinking);
    canvas.drawRects(bars.Sinking);
    canvas.setBrush(Qt::NoBrush);
}

// One point: its label and level above, its rows, the rod, the ground mark, the base and 2 m
// below it, and the soft layer's bottom.
// A measured water level at `y`: a short line right of the rod with ▽ standing on it, open
// where the ground's is filled.
void drawWaterLevel(QPainter &canvas, const TSectionGeometry &g, double cx, double y,
                    const QColor &colour)
{
    const int hw = g.Layout.HalfWidth;
    const double mark = g.Th * 0.4;
    const double x = cx + hw * 0.6;
    canvas.save();
    canvas.setPen(QPen(colour, g.Line));
    canvas.drawLine(QPointF(cx, y), QPointF(cx + hw * 1.2, y));
    canvas.setBrush(Qt::white);
    canvas.drawPolygon(QPolygonF{QPointF(x - mark, y - 1.4 * mark),
                                 QPointF(x + mark, y - 1.4 * mark), QPointF(x, y)});
    canvas.restore();
}

void drawColumn(QPainter &canvas, const TSectionGeometry &g, const TSiteData &data, qsizetype k,
                const TSectionColours &colours)
{
    const qsizetype i = g.First + k;
    const int th = g.Th;
    const int hw = g.Layout.HalfWidth;
    const double cx = g.Layout.ColumnX.at(k);
    const double ground = groundOf(data, i);
    const TSitePointFigures &point = data.Figures.Points.at(i);
    const int base = data.Site.BaseDepth;

    SetPen(canvas, g.Line, Qt::SolidLine);
    if (g.LabelRow.at(k) >= 0) {
        const int labelY = g.LabelTop + g.LabelRow.at(k) * g.LabelRowHeight;
        canvas.setFont(g.LabelFont);
        DrawTextAnchored(canvas, int(cx), labelY, 1, data.Site.Points.at(i).Label);
        canvas.setFont(g.SmallFont);
        DrawTextAnchored(canvas, int(cx), labelY + th * 11 / 10, 1, GroundLevelText(point.Ground));
    }

    const TSitePointTest &test = data.Tests.value(i);
    if (!test.Test) {
        canvas.setFont(g.SmallFont);
        DrawTextAnchored(canvas, int(cx), int(g.yOf(ground)) + th / 3, 1,
                         QStringLiteral("データなし"));
        return;
    }
    const Tkannyu &log = test.Test->RoundedLog;
    drawRows(canvas, g, log, cx, ground, colours);

    SetPen(canvas, g.Line, Qt::SolidLine);
    const double yGround = g.yOf(ground);
    canvas.drawLine(QPointF(cx, yGround), QPointF(cx, g.yOf(ground - log.FinalDepth / 100.0)));
    canvas.setPen(QPen(Qt::black, 2 * g.Line));
    canvas.drawLine(QPointF(cx - hw * 13 / 10, yGround), QPointF(cx + hw * 13 / 10, yGround));
    canvas.setBrush(Qt::black);
    const double mark = th * 0.45;
    canvas.drawPolygon(QPolygonF{QPointF(cx, yGround), QPointF(cx - mark, yGround - mark),
                                 QPointF(cx + mark, yGround - mark)});
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(QPen(colours.Accent, g.Line, Qt::DashLine));
    for (const int depth : {base, base + kMeanRangeCm}) {
        const double y = g.yOf(ground - depth / 100.0);
        canvas.drawLine(QPointF(cx - hw * 12 / 10, y), QPointF(cx + hw * 12 / 10, y));
    }
    if (const TWaterLevel &water = data.Site.Points.at(i).Survey.Water;
        water.Kind == TWaterLevelKind::Measured)
        drawWaterLevel(canvas, g, cx, g.yOf(ground - water.Depth), colours.Water);
    if (k == 0 && g.BaseLabels) {
        // Named once, beside the first column.
        canvas.setPen(colours.Accent);
        canvas.setFont(g.SmallFont);
        const auto [x, anchor] = *g.BaseLabels;
        DrawTextAnchored(canvas, x, int(g.yOf(ground - base / 100.0)), anchor, QStringLiteral("B"));
        DrawTextAnchored(canvas, x, int(g.yOf(ground - (base + kMeanRangeCm) / 100.0)), anchor,
                         QStringLiteral("B+2m"));
    }
    if (point.SoftBottom) {
        const double y = g.yOf(ground - *point.SoftBottom / 100.0);
        canvas.setPen(QPen(colours.Bottom, 3 * g.Line, Qt::SolidLine, Qt::FlatCap));
        canvas.drawLine(QPointF(cx - hw * 12 / 10, y), QPointF(cx + hw * 12 / 10, y));
    }
}

// The soft layers' bottoms of neighbours joined, with the slope placed beside the line.
void drawBottomLines(QPainter &canvas, const TSectionGeometry &g, const TSiteData &data,
                     const TSectionColours &colours)
{
    const TSiteFigures &figures = data.Figures;
    const int hw = g.Layout.HalfWidth;
    canvas.setFont(g.SmallFont);
    for (qsizetype k = 0; k + 1 < g.count(); ++k) {
        const std::optional<double> a = figures.Points.at(g.First + k).SoftBottomLevel();
        const std::optional<double> b = figures.Points.at(g.First + k + 1).SoftBottomLevel();
        if (!figures.Pairs.at(g.First + k).BottomDifference || !a || !b)
            continue;
        canvas.setPen(QPen(colours.Bottom, 2 * g.Line, Qt::DashLine));
        canvas.drawLine(QPointF(g.Layout.ColumnX.at(k) + hw * 12 / 10, g.yOf(*a)),
                        QPointF(g.Layout.ColumnX.at(k + 1) - hw * 12 / 10, g.yOf(*b)));
        if (const std::optional<QRect> &box = g.SlopeBoxes.at(k)) {
            canvas.fillRect(*box, Qt::white);
            canvas.setPen(colours.Bottom);
            canvas.drawText(*box, Qt::AlignCenter, g.SlopeTexts.at(k));
        }
    }
}

// Distances between neighbours along a line under the columns, and the scale bar.
void drawDistances(QPainter &canvas, const TSectionGeometry &g, const TSiteDrawStyle &style)
{
    const QList<double> &x = g.Layout.ColumnX;
    const int th = g.Th;
    SetPen(canvas, g.Line, Qt::SolidLine);
    canvas.drawLine(int(x.first()), g.DistanceTop, int(x.last()), g.DistanceTop);
    for (const double cx : x)
        canvas.drawLine(int(cx), g.DistanceTop - th / 3, int(cx), g.DistanceTop + th / 3);
    canvas.setFont(g.SmallFont);
    for (qsizetype k = 0; k < g.DistanceTexts.size(); ++k) {
        if (g.DistanceRow.at(k) >= 0)
            DrawTextAnchored(canvas, g.DistanceBoxes.at(k).center().x(),
                             g.DistanceTop + th / 2 + g.DistanceRow.at(k) * th * 7 / 5, 1,
                             g.DistanceTexts.at(k));
    }
    if (g.TrueSpacing && g.Layout.PixelsPerUnit > 0) {
        const double metres = RoundLengthAtMost(g.Usable / 4.0 / g.Layout.PixelsPerUnit);
        DrawScaleBar(canvas, g.Inner.left() + th, g.ScaleTop + th / 3,
                     int(std::lround(metres * g.Layout.PixelsPerUnit)), metres, style);
    }
}

void drawLegendAndNotes(QPainter &canvas, const TSectionGeometry &g, const TSectionColours &colours)
{
    const int th = g.Th;
    canvas.setFont(g.SmallFont);
    const QFontMetrics metrics = canvas.fontMetrics();
    SetPen(canvas, g.Line, Qt::SolidLine);
    int x = g.Inner.left();
    int y = g.LegendTop;
    for (const TLegendItem &item : legendItems(colours, g.Line, g.Water)) {
        const int width = legendItemWidth(item, metrics, th);
        if (x > g.Inner.left() && x + width > g.Inner.right()) {
            x = g.Inner.left();
            y += th * 8 / 5;
        }
        const QRect swatch(x, y + th / 5, th * 3 / 2, th * 7 / 10);
        canvas.save();
        if (item.LineSwatch) {
            canvas.setPen(item.Pen);
            canvas.drawLine(swatch.left(), swatch.center().y(), swatch.right(),
                            swatch.center().y());
        } else {
            canvas.setPen(Qt::NoPen);
            canvas.setBrush(item.Brush);
            canvas.drawRect(swatch);
        }
        canvas.restore();
        TextOut(canvas, swatch.right() + th / 3, y, item.Text);
        x += width;
    }
    const int noteHeight = th * 6 / 5;
    for (qsizetype n = 0; n < g.Notes.size(); ++n)
        TextOut(canvas, g.Inner.left(), g.NotesTop + int(n) * noteHeight,
                metrics.elidedText(g.Notes.at(n), Qt::ElideRight, g.Inner.width()));
}

void drawCaption(QPainter &canvas, const TSectionGeometry &g, const TSite &site)
{
    canvas.setFont(SiteFont(g.Th * 6 / 5));
    QString caption = QStringLiteral("推定断面図");
    if (!site.Name.isEmpty())
        caption += u"　" + site.Name;
    caption += QStringLiteral("　基礎底面 B = %1 m").arg(MetresText(site.BaseDepth));
    TextOut(canvas, g.Inner.left(), g.Inner.top(), caption);
}

} // namespace

QList<TSiteSectionRange> SiteSectionPages(const TSiteData &data, int areaWidth, int textHeight)
{
    const qsizetype count = data.Site.Points.size();
    const int usable = std::max(1, areaWidth - 2 * textHeight - kSectionSideRoom * textHeight);
    const qsizetype perPage =
        std::max<qsizetype>(2, usable / std::max(1, kPagePointRoom * textHeight) + 1);
    QList<TSiteSectionRange> pages;
    if (count <= perPage) {
        pages.append({0, count - 1, 0});
        return pages;
    }
    // Pages of about equal numbers of points, each starting where the one before ended.
    const qsizetype pageCount = (count - 1 + perPage - 2) / (perPage - 1);
    const qsizetype step = (count - 1 + pageCount - 1) / pageCount;
    for (qsizetype first = 0; first < count - 1; first += step)
        pages.append({first, std::min(first + step, count - 1), 0});
    // One scale: the longest page fills its width.
    double longest = 0;
    for (const TSiteSectionRange &page : pages)
        longest = std::max(longest, stations(data, page.First, page.Last).last());
    for (TSiteSectionRange &page : pages)
        page.PixelsPerUnit = longest > 0 ? usable / longest : 0;
    return pages;
}

TSiteSectionLayout DrawSiteSection(QPainter &canvas, const QRect &area, const TSiteData &data,
                                   const TSiteDrawStyle &style, TSiteSectionRange range)
{
    TSectionGeometry g = sectionGeometry(area, data, style, range, false);
    // Slopes left out for want of room are said so under the drawing, which takes a line of it.
    if (g.SlopesLeftOut)
        g = sectionGeometry(area, data, style, range, true);

    canvas.save();
    canvas.fillRect(area, Qt::white);
    SetPen(canvas, g.Line, Qt::SolidLine);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(area.adjusted(0, 0, -1, -1));
    if (style.Caption)
        drawCaption(canvas, g, data.Site);
    if (g.Layout.ColumnX.isEmpty()) {
        canvas.setFont(g.LabelFont);
        canvas.drawText(g.Inner, Qt::AlignCenter, QStringLiteral("測点がありません"));
        canvas.restore();
        return g.Layout;
    }
    const TSectionColours colours(style);
    drawElevationAxis(canvas, g);
    for (qsizetype k = 0; k < g.count(); ++k)
        drawColumn(canvas, g, data, k, colours);
    drawBottomLines(canvas, g, data, colours);
    drawDistances(canvas, g, style);
    drawLegendAndNotes(canvas, g, colours);
    canvas.restore();
    return g.Layout;
}
