#include "graphpaint.h"

#include "drawtext.h"
#include "reftables.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {

// The rectangle between two corners given in either order; right and bottom edges excluded,
// so a bar of zero length or height covers no pixel.
QRect RectBetween(int x1, int y1, int x2, int y2)
{
    return QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
}

// Union of many rectangles, merged pairwise so the cost stays n log n on long tests.
QRegion UniteAll(const QList<QRect> &rects)
{
    QList<QRegion> level;
    level.reserve(rects.size());
    for (const QRect &rect : rects)
        level.append(QRegion(rect));
    while (level.size() > 1) {
        QList<QRegion> next;
        next.reserve((level.size() + 1) / 2);
        for (qsizetype i = 0; i < level.size(); i += 2)
            next.append(i + 1 < level.size() ? level[i].united(level[i + 1]) : level[i]);
        level = std::move(next);
    }
    return level.isEmpty() ? QRegion() : level.first();
}

void FillRegion(QPainter &canvas, const QRegion &region, const QBrush &brush)
{
    QPainterPath path;
    path.addRegion(region);
    canvas.fillPath(path, brush);
}

// The toolkit's hatch patterns repeat every 8 device pixels.
constexpr int kPatternPixels = 8;

// Device pixels between the hatch lines of a monochrome printout: the toolkit's own pattern
// while that is about a millimetre or more apart, else one millimetre, so the groups' hatches
// stay apart on a fine printer instead of all reading as the same grey.
int HatchSpacing(const QPainter &canvas)
{
    const QPaintDevice *device = canvas.device();
    const int dpi = device ? std::max(device->logicalDpiX(), device->logicalDpiY()) : 0;
    return std::max(kPatternPixels, int(std::lround(dpi / 25.4)));
}

// The first multiple of `spacing` at or after `from`.
int FirstMultipleFrom(int from, int spacing)
{
    const int rest = ((from % spacing) + spacing) % spacing;
    return rest == 0 ? from : from + spacing - rest;
}

// The lines of a hatch `style` `spacing` pixels apart, their width scaled with them, drawn
// inside `region` only. Like the pattern brush they leave the gaps between them unpainted.
void DrawHatchLines(QPainter &canvas, const QRegion &region, Qt::BrushStyle style, int spacing)
{
    const bool across = style == Qt::HorPattern || style == Qt::CrossPattern;
    const bool down = style == Qt::VerPattern || style == Qt::CrossPattern;
    const bool rising = style == Qt::BDiagPattern || style == Qt::DiagCrossPattern;
    const bool falling = style == Qt::FDiagPattern || style == Qt::DiagCrossPattern;
    const QRect box = region.boundingRect();
    QList<QLine> lines;
    if (across)
        for (int y = FirstMultipleFrom(box.top(), spacing); y <= box.bottom(); y += spacing)
            lines.append(QLine(box.left(), y, box.right(), y));
    if (down)
        for (int x = FirstMultipleFrom(box.left(), spacing); x <= box.right(); x += spacing)
            lines.append(QLine(x, box.top(), x, box.bottom()));
    // Rising lines are x + y = c, falling ones x - y = c.
    if (rising)
        for (int c = FirstMultipleFrom(box.left() + box.top(), spacing);
             c <= box.right() + box.bottom(); c += spacing)
            lines.append(QLine(c - box.top(), box.top(), c - box.bottom(), box.bottom()));
    if (falling)
        for (int c = FirstMultipleFrom(box.left() - box.bottom(), spacing);
             c <= box.right() - box.top(); c += spacing)
            lines.append(QLine(c + box.top(), box.top(), c + box.bottom(), box.bottom()));
    const int width = std::max(1, int(std::lround(double(spacing) / kPatternPixels)));
    canvas.save();
    canvas.setClipRegion(region, Qt::IntersectClip);
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
    canvas.drawLines(lines);
    canvas.restore();
}

} // namespace

QBrush SoilBrush(int group, bool colour)
{
    struct Entry
    {
        QColor Colour;
        Qt::BrushStyle Hatch;
    };
    static const Entry kTable[kSoilGroups] = {
        {QColor(255, 0, 0), Qt::DiagCrossPattern}, {QColor(0, 0, 255), Qt::BDiagPattern},
        {QColor(255, 255, 0), Qt::VerPattern},     {QColor(0, 128, 0), Qt::HorPattern},
        {QColor(0, 255, 255), Qt::CrossPattern},   {QColor(128, 0, 128), Qt::FDiagPattern},
        {QColor(0, 0, 0), Qt::SolidPattern},
    };
    const Entry &entry = kTable[((group % kSoilGroups) + kSoilGroups) % kSoilGroups];
    return colour ? QBrush(entry.Colour, Qt::SolidPattern) : QBrush(Qt::black, entry.Hatch);
}

int SoilGroupOf(const QString &soil, const TReferenceTables &tables)
{
    const int index = tables.SoilIndexOf(soil);
    return index < 0 ? 0 : index % kSoilGroups;
}

QRegion RegionFrame(const QRegion &region)
{
    const QRegion inner = region.intersected(region.translated(1, 0))
                              .intersected(region.translated(-1, 0))
                              .intersected(region.translated(0, 1))
                              .intersected(region.translated(0, -1));
    return region.subtracted(inner);
}

TObject_Paint::~TObject_Paint() = default;

void TObject_Paint::PreparePlot(const PlotRect &, QPainter &) const {}

void TObject_Paint::DrawAxes(const TGraphStyle &, const PlotRect &plot, TGraphScales scales,
                             QPainter &canvas)
{
    const int top = plot.Top;
    const int bottom = plot.Bottom;
    const int left = plot.Left;
    const int right = plot.Right;
    const double h = plot.Height();
    const double w = plot.Width();
    const int range = DepthTo - DepthFrom;
    const double m = scales.Y;

    canvas.save();
    const int f1 = std::min(Nearest(h / 40), Nearest(w / 25));
    SetFontHeight(canvas, f1);
    SetPen(canvas, 1, Qt::SolidLine);
    const int labelX = Nearest(left - 2.5 * f1);
    if (DepthLabels != 0)
        TextOut(canvas, labelX, Nearest(top - f1 / 2.0), QString::asprintf("%2d", DepthFrom));

    if (range > 0 && m > 0) {
        const double tick = h / range * m / 4; // one quarter metre
        for (int i = 1;; ++i) {
            const int y = Trunc(h * i / range * m / 4 + top);
            if (DepthLabels != 0 && i % 4 == 0)
                TextOut(canvas, labelX, Nearest(y - f1 / 2.0),
                        QString::asprintf("%2d", DepthFrom + Nearest(i / 4.0)));
            if (MinorEvery > 0 && i % MinorEvery == 0) {
                const bool major = MajorEvery > 0 && i % (MajorEvery * MinorEvery) == 0;
                SetPen(canvas, 1, major ? Qt::SolidLine : Qt::DotLine);
                canvas.drawLine(QPoint(left, y), QPoint(right, y));
            }
            // A plot without height has room for the first tick only.
            if (tick <= 0 || Nearest(h * (i + 1) / range * m / 4 + top) > bottom)
                break;
        }
    }

    SetPen(canvas, 1, Qt::SolidLine);
    canvas.drawLine(QPoint(left, top), QPoint(left, bottom));
    canvas.drawLine(QPoint(left, bottom), QPoint(right, bottom));
    canvas.drawLine(QPoint(right, bottom), QPoint(right, top));
    canvas.drawLine(QPoint(right, top), QPoint(left, top));

    const int f2 = std::min(Nearest(h / 30), Nearest(w / 25));
    SetCaptionFontHeight(canvas, f2);
    if (DepthLabels != 0) {
        static const QString kCaption[] = {QStringLiteral("貫"), QStringLiteral("入"),
                                           QStringLiteral("深"), QStringLiteral("さ"),
                                           QStringLiteral("(m)")};
        const int x = left - 4 * f2;
        for (int k = 1; k <= 5; ++k)
            DrawTextAnchored(canvas, x, Nearest(h / 6 * k + top), 4, kCaption[k - 1]);
    }
    canvas.restore();
}

QList<QRegion> TObject_Paint::BuildSoilRegions(TGraphStyle &style, TGraphScales scales,
                                               QPoint origin, const TReferenceTables &tables,
                                               bool wswMode)
{
    QList<QRegion> soilRegions(kSoilGroups);
    FirstRow = 0;
    LastRow = 0;
    QList<TTDrawdata> &points = style.Data.Points;
    if (points.isEmpty())
        return soilRegions;
    points[0] = TTDrawdata();
    const int count = std::clamp(style.Data.Count, 0, int(points.size()) - 1);
    const int fromCm = DepthFrom * 100;
    const int toCm = DepthTo * 100;
    if (toCm < fromCm)
        return soilRegions;

    int first = 0;
    for (int k = 1; k <= count; ++k) {
        if (points[k].Depth > fromCm) {
            first = k;
            break;
        }
    }
    if (first == 0)
        return soilRegions;
    int last = count;
    for (int k = first + 1; k <= count; ++k) {
        if (points[k].Depth > toCm) {
            points[k - 1].Depth = toCm;
            last = k - 1;
            break;
        }
    }
    FirstRow = first;
    LastRow = last;

    // With WswMode every bar starts at the left edge, the load part included.
    const double zero = wswMode ? 0 : style.Data.Origin;
    const int xStart = origin.x() + Nearest(scales.X * zero);
    QList<QRect> groupRects[kSoilGroups];
    for (int k = first; k <= last; ++k) {
        // A bar never reaches outside the depth window, even when one step spans it.
        const int upper = std::clamp(points[k - 1].Depth, fromCm, toCm);
        const int lower = std::clamp(points[k].Depth, fromCm, toCm);
        const QRect bar = RectBetween(
            xStart, origin.y() + Nearest(scales.Y * (upper - fromCm)),
            origin.x() + Nearest(scales.X * (points[k].Value * style.Data.ValueScale + zero)),
            origin.y() + Nearest(scales.Y * (lower - fromCm)));
        if (!bar.isEmpty())
            groupRects[SoilGroupOf(points[k].Doshitu, tables)].append(bar);
    }
    for (int g = 0; g < kSoilGroups; ++g)
        soilRegions[g] = UniteAll(groupRects[g]);
    return soilRegions;
}

void PaintSoilFill(QPainter &canvas, const QRegion &region, int group, bool colour)
{
    const QBrush brush = SoilBrush(group, colour);
    const int spacing = colour ? kPatternPixels : HatchSpacing(canvas);
    if (spacing > kPatternPixels && brush.style() != Qt::SolidPattern)
        DrawHatchLines(canvas, region, brush.style(), spacing);
    else
        FillRegion(canvas, region, brush);
    FillRegion(canvas, RegionFrame(region), QBrush(Qt::black));
}

void TObject_Paint::PaintSoilRegions(const QList<QRegion> &regions, QPainter &canvas, bool colour)
{
    for (int j = 0; j < int(regions.size()); ++j) {
        if (!regions[j].isEmpty())
            PaintSoilFill(canvas, regions[j], j, colour);
    }
}

PlotRect TForm_Paint::PlotLayoutOf(const QRect &area) const
{
    return PlotLayout(area, TMarginRounding::Nearest);
}

void TForm_Paint::PreparePlot(const PlotRect &plot, QPainter &canvas) const
{
    canvas.fillRect(QRect(plot.Left, plot.Top, plot.Width(), plot.Height()), Qt::white);
}

void TForm_Paint::DrawData(TGraphStyle &style, TGraphScales scales, QPoint origin, QPainter &canvas,
                           const TReferenceTables &tables, bool wswMode)
{
    PaintSoilRegions(BuildSoilRegions(style, scales, origin, tables, wswMode), canvas, true);
}

void TForm_Paint::DrawAxes(const TGraphStyle &style, const PlotRect &plot, TGraphScales scales,
                           QPainter &canvas)
{
    TObject_Paint::DrawAxes(style, plot, scales, canvas);
    style.DrawValueAxis(plot, scales, canvas, DepthLabels);
}

PlotRect TPrint_Paint::PlotLayoutOf(const QRect &area) const
{
    return PlotLayout(area, TMarginRounding::Trunc);
}

void TPrint_Paint::DrawData(TGraphStyle &style, TGraphScales scales, QPoint origin,
                            QPainter &canvas, const TReferenceTables &tables, bool wswMode)
{
    PaintSoilRegions(BuildSoilRegions(style, scales, origin, tables, wswMode), canvas, ColorPrint);
}

void TPrint_Paint::DrawAxes(const TGraphStyle &style, const PlotRect &plot, TGraphScales scales,
                            QPainter &canvas)
{
    TObject_Paint::DrawAxes(style, plot, scales, canvas);
    style.DrawValueAxis(plot, scales, canvas, DepthLabels);
}
