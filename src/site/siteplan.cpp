#include "siteplan.h"

#include "drawtext.h"
#include "site.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace {

// The smallest stretch a plan shows, so one point or points in a line do not blow up the scale.
constexpr double kLeastSpanMetres = 5;

// What the plan is drawn from: the points it places, and the notes under it.
struct TPlanContent
{
    QList<qsizetype> Drawn;    // points with a position near the others
    QList<qsizetype> Unplaced; // no position
    QStringList Notes;
};

// One dimension line between neighbouring points, with its distance when there is room.
struct TDimension
{
    QLineF Line;
    QLineF Ticks[2];
    QString Text;
    std::optional<QRect> TextBox;
};

// One point's text beside its mark: the label and level, or its number.
struct TPointLabel
{
    QRect Box;
    std::optional<QLineF> Leader;
};

// Where everything stands, worked out before anything is drawn.
struct TPlanPlacement
{
    TSitePlanLayout Layout;
    QList<TDimension> Dimensions;
    QList<TPointLabel> Labels; // one per drawn point
    bool AllPlaced = true;
    qsizetype Leaders = 0; // labels that stand off their marks
    qsizetype DroppedDistances = 0;
};

// Sizes that follow from the text height.
struct TPlanMetrics
{
    int Th = 12;
    int Line = 1;
    int Radius = 3;
    int Gap = 3; // between a mark and a text that reads as its own
    QFont LabelFont;
    QFont SmallFont;

    explicit TPlanMetrics(const TSiteDrawStyle &style)
        : Th(style.TextHeight), Line(SiteLineWidth(style)),
          Radius(std::max(3, style.TextHeight * 45 / 100)), Gap(Radius + style.TextHeight / 4),
          LabelFont(SiteFont(style.TextHeight)), SmallFont(SiteFont(style.TextHeight * 85 / 100))
    {}
};

QStringList namesOf(const TSiteData &data, const QList<qsizetype> &indexes)
{
    QStringList names;
    for (const qsizetype i : indexes)
        names.append(data.Site.Points.at(i).Label);
    return names;
}

TPlanContent planContent(const TSiteData &data)
{
    TPlanContent content;
    QStringList far;
    for (qsizetype i = 0; i < data.Figures.Points.size(); ++i) {
        if (!data.Figures.Points.at(i).Position)
            content.Unplaced.append(i);
        else if (const std::optional<TSiteFarPoint> point = data.Figures.FarPoint(i))
            far.append(QStringLiteral("%1（%2 km）")
                           .arg(data.Site.Points.at(i).Label,
                                QString::number(point->Distance / 1000, 'f', 1)));
        else
            content.Drawn.append(i);
    }
    if (!content.Unplaced.isEmpty())
        content.Notes.append(QStringLiteral("位置なし（図に示さない）: ") +
                             namesOf(data, content.Unplaced).join(QStringLiteral("、")));
    if (!far.isEmpty())
        content.Notes.append(QStringLiteral("ほかの測点から離れすぎ（図に示さない、位置の誤りの"
                                            "おそれ）: ") +
                             far.join(QStringLiteral("、")));
    if (data.Figures.PositionOrigin >= 0)
        content.Notes.append(QStringLiteral("GPSの位置は %1 からの東西・南北の距離")
                                 .arg(data.Site.Points.at(data.Figures.PositionOrigin).Label));
    return content;
}

// Scales the drawn points and the outline into the plot, with room around them for labels.
void fitScale(TSitePlanLayout &layout, const TSiteData &data, const TPlanContent &content, int th)
{
    QList<QPointF> extent = data.Site.Outline;
    for (const qsizetype i : content.Drawn)
        extent.append(*data.Figures.Points.at(i).Position);
    double west = extent.first().x(), east = west, south = extent.first().y(), north = south;
    for (const QPointF &p : extent) {
        west = std::min(west, p.x());
        east = std::max(east, p.x());
        south = std::min(south, p.y());
        north = std::max(north, p.y());
    }
    const double span = std::max({east - west, north - south, kLeastSpanMetres});
    const double width = std::max(east - west, span / 4);
    const double height = std::max(north - south, span / 4);
    const QRect room = layout.Plot.adjusted(5 * th, 2 * th, -5 * th, -2 * th);
    layout.PixelsPerMetre = std::max(1e-6, std::min(room.width() / width, room.height() / height));
    layout.Middle = QPointF((west + east) / 2, (south + north) / 2);
    layout.Centre = QPointF(room.center()) + QPointF(0.5, 0.5);
}

QRect markBox(const QPointF &at, int radius)
{
    return QRect(QPoint(int(at.x()) - radius, int(at.y()) - radius),
                 QSize(2 * radius + 1, 2 * radius + 1));
}

// Boxes of `size` around the mark at `at`, on rings `rings` away from it, in the order of
// `places`; those that stand off are tied to the mark by a leader.
QList<TLabelCandidate> candidatesAround(const QPointF &at, const QSize &size, const TPlanMetrics &m,
                                        const QList<int> &rings, const QList<TAround> &places)
{
    QList<TLabelCandidate> candidates;
    for (const int away : rings) {
        for (const TAround place : places) {
            const QRect box = BoxAround(place, at, away, size);
            candidates.append({box, LeaderTo(at, m.Radius, box, m.Gap + 2)});
        }
    }
    return candidates;
}

// A label and level of two lines reads best off the mark's upper right, as on drawings.
const QList<TAround> kLabelPlaces{TAround::RightUp,  TAround::RightDown, TAround::LeftUp,
                                  TAround::LeftDown, TAround::Top,       TAround::Bottom,
                                  TAround::Right,    TAround::Left};
// A number is narrow: straight above or below first, so marks in a row take turns.
const QList<TAround> kNumberPlaces{TAround::Top,         TAround::Bottom,     TAround::Right,
                                   TAround::Left,        TAround::TopRight,   TAround::TopLeft,
                                   TAround::BottomRight, TAround::BottomLeft, TAround::RightUp,
                                   TAround::LeftUp,      TAround::RightDown,  TAround::LeftDown};

// The dimension lines between neighbouring drawn points, kept clear of by every label.
QList<TDimension> dimensionLines(const TSiteData &data, const TSitePlanLayout &layout,
                                 const TPlanMetrics &m, qsizetype &tooShort)
{
    QList<TDimension> dimensions;
    const TSiteFigures &figures = data.Figures;
    for (qsizetype i = 0; i < figures.Pairs.size(); ++i) {
        const std::optional<double> distance = figures.Pairs.at(i).Distance;
        if (!distance || figures.FarPoint(i) || figures.FarPoint(i + 1))
            continue;
        const QPointF a = layout.Map(*figures.Points.at(i).Position);
        const QPointF b = layout.Map(*figures.Points.at(i + 1).Position);
        const QLineF between(a, b);
        const double clear = m.Radius + m.Th / 4.0;
        if (between.length() < 2 * clear + m.Th) {
            ++tooShort;
            continue;
        }
        const QPointF along = (b - a) / between.length();
        const QPointF across(-along.y(), along.x());
        TDimension dimension;
        dimension.Line = QLineF(a + along * clear, b - along * clear);
        const double tick = m.Th / 3.0;
        dimension.Ticks[0] =
            QLineF(dimension.Line.p1() - across * tick, dimension.Line.p1() + across * tick);
        dimension.Ticks[1] =
            QLineF(dimension.Line.p2() - across * tick, dimension.Line.p2() + across * tick);
        dimension.Text = SiteMetresText(*distance) + QStringLiteral(" m");
        dimensions.append(dimension);
    }
    return dimensions;
}

// The distance beside the middle of its line, on either side; none when both sides are taken.
void placeDistance(TLabelPlacer &placer, TDimension &dimension, const TPlanMetrics &m)
{
    const QFontMetrics metrics(m.SmallFont);
    const QSize size(metrics.horizontalAdvance(dimension.Text) + 2, metrics.height());
    const QLineF &line = dimension.Line;
    const QPointF along = (line.p2() - line.p1()) / std::max(1.0, line.length());
    const QPointF across(-along.y(), along.x());
    const double reach = std::abs(across.x()) * size.width() / 2 +
                         std::abs(across.y()) * size.height() / 2 + m.Th / 5.0;
    QList<QRect> candidates;
    for (const double shift : {0.5, 0.3, 0.7}) {
        const QPointF at = line.pointAt(shift);
        for (const double side : {-1.0, 1.0}) {
            const QPointF centre = at + across * (side * reach);
            candidates.append(QRect(QPoint(int(std::lround(centre.x() - size.width() / 2.0)),
                                           int(std::lround(centre.y() - size.height() / 2.0))),
                                    size));
        }
    }
    dimension.TextBox = placer.Place(candidates);
}

QSize labelSize(const TSiteData &data, qsizetype i, const TPlanMetrics &m)
{
    const int width =
        std::max(QFontMetrics(m.LabelFont).horizontalAdvance(data.Site.Points.at(i).Label),
                 QFontMetrics(m.SmallFont)
                     .horizontalAdvance(GroundLevelText(data.Figures.Points.at(i).Ground)));
    return {width, m.Th * 21 / 10};
}

QSize numberSize(qsizetype i, const TPlanMetrics &m)
{
    const QFontMetrics metrics(m.SmallFont);
    return {metrics.horizontalAdvance(QString::number(i + 1)) + 2, metrics.height()};
}

// Places marks, dimension lines, the points' texts (labels, or numbers when `numbered`) and
// the distances in `plot`, in that order of precedence.
TPlanPlacement placePlan(const TSiteData &data, const TPlanContent &content, const QRect &plot,
                         bool numbered, const TPlanMetrics &m)
{
    TPlanPlacement placement;
    TSitePlanLayout &layout = placement.Layout;
    layout.Plot = plot;
    layout.Drawn = content.Drawn;
    layout.Numbered = numbered;
    fitScale(layout, data, content, m.Th);

    TLabelPlacer placer(plot);
    if (data.Site.Outline.size() >= 3) {
        QPolygonF outline;
        for (const QPointF &corner : data.Site.Outline)
            outline.append(layout.Map(corner));
        placer.Avoid(outline, m.Th / 3 + 2 * m.Line);
    }
    for (const qsizetype i : content.Drawn)
        placer.Block(markBox(layout.Map(*data.Figures.Points.at(i).Position), m.Radius));
    placement.Dimensions = dimensionLines(data, layout, m, placement.DroppedDistances);
    for (const TDimension &dimension : placement.Dimensions) {
        placer.BlockLine(dimension.Line);
        placer.BlockLine(dimension.Ticks[0]);
        placer.BlockLine(dimension.Ticks[1]);
    }

    const int th = m.Th;
    const QList<int> labelRings{m.Gap, m.Gap + th, m.Gap + 5 * th / 2, m.Gap + 4 * th};
    QList<int> numberRings;
    for (int ring = 0; ring < 14; ++ring)
        numberRings.append(m.Gap + ring * th * 7 / 10);
    for (const qsizetype i : content.Drawn) {
        const QPointF at = layout.Map(*data.Figures.Points.at(i).Position);
        const QList<TLabelCandidate> candidates =
            numbered ? candidatesAround(at, numberSize(i, m), m, numberRings, kNumberPlaces)
                     : candidatesAround(at, labelSize(data, i, m), m, labelRings, kLabelPlaces);
        const qsizetype taken = placer.Place(candidates);
        if (taken < 0) {
            placement.AllPlaced = false;
            if (!numbered)
                return placement; // numbers take the labels' place
            // Over everything rather than nowhere: the number is also in the list.
            placement.Labels.append({candidates.first().Box, std::nullopt});
            layout.LabelBoxes.append(candidates.first().Box);
            continue;
        }
        placement.Labels.append({candidates.at(taken).Box, candidates.at(taken).Leader});
        placement.Leaders += candidates.at(taken).Leader ? 1 : 0;
        layout.LabelBoxes.append(candidates.at(taken).Box);
    }
    for (TDimension &dimension : placement.Dimensions) {
        placeDistance(placer, dimension, m);
        placement.DroppedDistances += dimension.TextBox ? 0 : 1;
    }
    return placement;
}

// The list of numbered points, in columns of `Rows` lines each.
struct TNumberList
{
    QRect Plot; // what the list leaves of the plan's area
    QRect Box;
    int Rows = 1;
    int NumberWidth = 0;
    int LabelWidth = 0;
    int ColumnWidth = 0;
    int LineHeight = 0;
};

// The list beside the plot in `area`, right of it or under it: the side that leaves the plan
// the larger scale (under a row of points, right of a column of them).
TNumberList numberList(const TSiteData &data, const TPlanContent &content, const QRect &area,
                       const TPlanMetrics &m)
{
    TNumberList list;
    const QFontMetrics metrics(m.SmallFont);
    list.LineHeight = metrics.height() + m.Th / 5;
    int levelWidth = 0;
    for (const qsizetype i : content.Drawn) {
        list.NumberWidth =
            std::max(list.NumberWidth, metrics.horizontalAdvance(QString::number(i + 1)));
        list.LabelWidth =
            std::max(list.LabelWidth, metrics.horizontalAdvance(data.Site.Points.at(i).Label));
        levelWidth =
            std::max(levelWidth,
                     metrics.horizontalAdvance(GroundLevelText(data.Figures.Points.at(i).Ground)));
    }
    list.ColumnWidth = list.NumberWidth + list.LabelWidth + levelWidth + 3 * m.Th / 2;
    const int count = int(content.Drawn.size());

    const int rowsRight = std::max(1, area.height() / list.LineHeight);
    const int widthRight = (count + rowsRight - 1) / rowsRight * list.ColumnWidth;
    const QRect plotRight = area.adjusted(0, 0, -widthRight - m.Th, 0);
    const int columnsUnder = std::max(1, area.width() / list.ColumnWidth);
    const int rowsUnder = (count + columnsUnder - 1) / columnsUnder;
    const int heightUnder = rowsUnder * list.LineHeight;
    const QRect plotUnder = area.adjusted(0, 0, 0, -heightUnder - m.Th / 2);

    const auto scaleIn = [&](const QRect &plot) {
        TSitePlanLayout layout;
        layout.Plot = plot;
        fitScale(layout, data, content, m.Th);
        return plot.width() > 0 && plot.height() > 0 ? layout.PixelsPerMetre : 0.0;
    };
    if (scaleIn(plotUnder) > scaleIn(plotRight)) {
        list.Plot = plotUnder;
        list.Rows = rowsUnder;
        list.Box = QRect(area.left(), plotUnder.bottom() + m.Th / 2, area.width(), heightUnder);
    } else {
        list.Plot = plotRight;
        list.Rows = rowsRight;
        list.Box = QRect(plotRight.right() + m.Th, area.top(), widthRight, area.height());
    }
    return list;
}

void drawOutline(QPainter &canvas, const TSiteData &data, const TSitePlanLayout &layout,
                 const TSiteDrawStyle &style, const TPlanMetrics &m)
{
    if (data.Site.Outline.size() < 3)
        return;
    QPolygonF outline;
    for (const QPointF &corner : data.Site.Outline)
        outline.append(layout.Map(corner));
    QPen pen(Qt::black, 2 * m.Line);
    pen.setJoinStyle(Qt::MiterJoin);
    canvas.setPen(pen);
    canvas.setBrush(style.Color ? QColor(255, 244, 214) : QColor(235, 235, 235));
    canvas.drawPolygon(outline);
}

void drawDimensions(QPainter &canvas, const QList<TDimension> &dimensions, const TPlanMetrics &m)
{
    canvas.setPen(QPen(QColor(90, 90, 90), m.Line));
    for (const TDimension &dimension : dimensions) {
        canvas.drawLine(dimension.Line);
        canvas.drawLine(dimension.Ticks[0]);
        canvas.drawLine(dimension.Ticks[1]);
    }
    canvas.setFont(m.SmallFont);
    SetPen(canvas, m.Line, Qt::SolidLine);
    for (const TDimension &dimension : dimensions) {
        if (dimension.TextBox)
            canvas.drawText(*dimension.TextBox, Qt::AlignCenter, dimension.Text);
    }
}

void drawMarks(QPainter &canvas, const TSiteData &data, const TSitePlanLayout &layout,
               const TSiteDrawStyle &style, const TPlanMetrics &m)
{
    canvas.setPen(QPen(SiteAccent(style), 2 * m.Line));
    canvas.setBrush(Qt::white);
    for (const qsizetype i : layout.Drawn) {
        const QPointF at = layout.Map(*data.Figures.Points.at(i).Position);
        const double r = m.Radius;
        canvas.drawEllipse(at, r, r);
        canvas.drawLine(at - QPointF(r, 0), at + QPointF(r, 0));
        canvas.drawLine(at - QPointF(0, r), at + QPointF(0, r));
    }
    canvas.setBrush(Qt::NoBrush);
}

void drawPointTexts(QPainter &canvas, const TSiteData &data, const TPlanPlacement &placement,
                    const TPlanMetrics &m)
{
    const TSitePlanLayout &layout = placement.Layout;
    SetPen(canvas, m.Line, Qt::SolidLine);
    for (qsizetype k = 0; k < placement.Labels.size(); ++k) {
        if (placement.Labels.at(k).Leader)
            canvas.drawLine(*placement.Labels.at(k).Leader);
    }
    for (qsizetype k = 0; k < placement.Labels.size(); ++k) {
        const qsizetype i = layout.Drawn.at(k);
        const QRect box = placement.Labels.at(k).Box;
        // White behind the text, should it have to lie across a line.
        canvas.fillRect(box, Qt::white);
        if (layout.Numbered) {
            canvas.setFont(m.SmallFont);
            canvas.drawText(box, Qt::AlignCenter, QString::number(i + 1));
            continue;
        }
        canvas.setFont(m.LabelFont);
        TextOut(canvas, box.left(), box.top(), data.Site.Points.at(i).Label);
        canvas.setFont(m.SmallFont);
        TextOut(canvas, box.left(), box.top() + m.Th * 11 / 10,
                GroundLevelText(data.Figures.Points.at(i).Ground));
    }
}

void drawNumberList(QPainter &canvas, const TSiteData &data, const TSitePlanLayout &layout,
                    const TNumberList &list, const TPlanMetrics &m)
{
    canvas.setFont(m.SmallFont);
    SetPen(canvas, m.Line, Qt::SolidLine);
    for (qsizetype k = 0; k < layout.Drawn.size(); ++k) {
        const qsizetype i = layout.Drawn.at(k);
        const int x = layout.List.left() + int(k / list.Rows) * list.ColumnWidth;
        const int y = layout.List.top() + int(k % list.Rows) * list.LineHeight;
        DrawTextAnchored(canvas, x + list.NumberWidth, y, 2, QString::number(i + 1));
        const int labelX = x + list.NumberWidth + m.Th / 2;
        TextOut(canvas, labelX, y, data.Site.Points.at(i).Label);
        TextOut(canvas, labelX + list.LabelWidth + m.Th / 2, y,
                GroundLevelText(data.Figures.Points.at(i).Ground));
    }
}

} // namespace

TSitePlanLayout DrawSitePlan(QPainter &canvas, const QRect &area, const TSiteData &data,
                             const TSiteDrawStyle &style)
{
    const TPlanMetrics m(style);
    const int th = m.Th;
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.fillRect(area, Qt::white);
    SetPen(canvas, m.Line, Qt::SolidLine);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(area.adjusted(0, 0, -1, -1));
    const QRect inner = area.adjusted(th, th / 2, -th, -th / 2);

    // Across the top the caption and the north arrow; across the bottom the scale bar and the
    // notes.
    const int arrowHeight = 3 * th;
    const int top = inner.top() + th + arrowHeight;
    canvas.setFont(m.LabelFont);
    DrawTextAnchored(canvas, inner.right() - th, inner.top(), 1, QStringLiteral("N"));
    DrawNorthArrow(canvas, QPoint(inner.right() - th, inner.top() + th * 6 / 5), arrowHeight - th,
                   style);
    if (style.Caption) {
        canvas.setFont(SiteFont(th * 6 / 5));
        const QString name = data.Site.Name.isEmpty() ? QString() : u"　" + data.Site.Name;
        TextOut(canvas, inner.left(), inner.top(), QStringLiteral("試験位置図") + name);
    }

    TPlanContent content = planContent(data);
    const int noteHeight = th * 6 / 5;
    const auto bottomFor = [&](qsizetype notes) {
        return inner.bottom() - 3 * th - int(notes) * noteHeight;
    };
    const auto plotFor = [&](qsizetype notes) {
        return QRect(inner.left(), top, inner.width(), std::max(th, bottomFor(notes) - top));
    };

    TSitePlanLayout layout;
    TPlanPlacement placement;
    TNumberList list;
    if (content.Drawn.isEmpty()) {
        layout.Plot = plotFor(content.Notes.size());
    } else {
        // Labels beside their marks where they all find room, few of them on leaders; else
        // numbers, listed beside.
        bool numbered = false;
        bool distanceNote = false;
        for (;;) {
            const qsizetype notes = content.Notes.size() + (distanceNote ? 1 : 0);
            QRect plot = plotFor(notes);
            if (numbered) {
                list = numberList(data, content, plot, m);
                plot = list.Plot;
            }
            placement = placePlan(data, content, plot, numbered, m);
            // Labels a row of leaders away from their marks no longer tell which is which.
            const bool tangled =
                placement.Leaders > std::max<qsizetype>(2, content.Drawn.size() / 4);
            if (!numbered && (!placement.AllPlaced || tangled)) {
                numbered = true;
                continue;
            }
            if (placement.DroppedDistances > 0 && !distanceNote) {
                distanceNote = true;
                continue;
            }
            break;
        }
        if (distanceNote)
            content.Notes.append(OmittedDistancesNote());
        layout = placement.Layout;
        if (numbered)
            layout.List = list.Box;
    }

    const int bottom = bottomFor(content.Notes.size());
    canvas.setFont(m.SmallFont);
    for (qsizetype n = 0; n < content.Notes.size(); ++n)
        TextOut(canvas, inner.left(), bottom + 3 * th + int(n) * noteHeight,
                QFontMetrics(canvas.font())
                    .elidedText(content.Notes.at(n), Qt::ElideRight, inner.width()));

    if (content.Drawn.isEmpty()) {
        canvas.setFont(m.LabelFont);
        canvas.drawText(layout.Plot, Qt::AlignCenter, QStringLiteral("位置のある測点がありません"));
        canvas.restore();
        return layout;
    }

    drawOutline(canvas, data, layout, style, m);
    drawDimensions(canvas, placement.Dimensions, m);
    drawMarks(canvas, data, layout, style, m);
    drawPointTexts(canvas, data, placement, m);
    if (layout.Numbered)
        drawNumberList(canvas, data, layout, list, m);

    // The scale bar: a round length about a quarter of the plan's width.
    layout.ScaleMetres = RoundLengthAtMost(layout.Plot.width() / 4.0 / layout.PixelsPerMetre);
    const int barPixels = int(std::lround(layout.ScaleMetres * layout.PixelsPerMetre));
    DrawScaleBar(canvas, inner.left() + th / 2, bottom + th / 2, barPixels, layout.ScaleMetres,
                 style);
    canvas.restore();
    return layout;
}
