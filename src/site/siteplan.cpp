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

void drawNorthArrow(QPainter &canvas, const QPoint &tip, int height, const TSiteDrawStyle &style)
{
    const int halfWidth = height / 4;
    const int bottom = tip.y() + height;
    canvas.save();
    SetPen(canvas, SiteLineWidth(style), Qt::SolidLine);
    // The classic half-filled arrow: black on the west side, white on the east.
    canvas.setBrush(Qt::black);
    canvas.drawPolygon(
        QPolygon{tip, QPoint(tip.x() - halfWidth, bottom), QPoint(tip.x(), bottom - height / 4)});
    canvas.setBrush(Qt::white);
    canvas.drawPolygon(
        QPolygon{tip, QPoint(tip.x() + halfWidth, bottom), QPoint(tip.x(), bottom - height / 4)});
    canvas.restore();
}

QStringList namesOf(const TSiteData &data, const QList<qsizetype> &indexes)
{
    QStringList names;
    for (const qsizetype i : indexes)
        names.append(data.Site.Points.at(i).Label);
    return names;
}

} // namespace

TSitePlanLayout DrawSitePlan(QPainter &canvas, const QRect &area, const TSiteData &data,
                             const TSiteDrawStyle &style)
{
    const int th = style.TextHeight;
    const int line = SiteLineWidth(style);
    TSitePlanLayout layout;
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.fillRect(area, Qt::white);
    SetPen(canvas, line, Qt::SolidLine);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(area.adjusted(0, 0, -1, -1));
    const QRect inner = area.adjusted(th, th / 2, -th, -th / 2);

    // Across the top the caption and the north arrow; across the bottom the scale bar and the
    // notes.
    const int arrowHeight = 3 * th;
    const int top = inner.top() + th + arrowHeight;
    canvas.setFont(SiteFont(th));
    DrawTextAnchored(canvas, inner.right() - th, inner.top(), 1, QStringLiteral("N"));
    drawNorthArrow(canvas, QPoint(inner.right() - th, inner.top() + th * 6 / 5), arrowHeight - th,
                   style);
    if (style.Caption) {
        canvas.setFont(SiteFont(th * 6 / 5));
        const QString name = data.Site.Name.isEmpty() ? QString() : u"　" + data.Site.Name;
        TextOut(canvas, inner.left(), inner.top(), QStringLiteral("試験位置図") + name);
    }

    QList<qsizetype> placed;
    QList<qsizetype> unplaced;
    for (qsizetype i = 0; i < data.Figures.Points.size(); ++i)
        (data.Figures.Points.at(i).Position ? placed : unplaced).append(i);
    QStringList notes;
    if (!unplaced.isEmpty())
        notes.append(QStringLiteral("位置なし（図に示さない）: ") +
                     namesOf(data, unplaced).join(QStringLiteral("、")));
    if (data.Figures.PositionOrigin >= 0)
        notes.append(QStringLiteral("GPSの位置は %1 からの東西・南北の距離")
                         .arg(data.Site.Points.at(data.Figures.PositionOrigin).Label));
    const int noteHeight = th * 6 / 5;
    const int bottom = inner.bottom() - 3 * th - int(notes.size()) * noteHeight;
    layout.Plot = QRect(inner.left(), top, inner.width(), std::max(th, bottom - top));

    canvas.setFont(SiteFont(th * 85 / 100));
    for (qsizetype n = 0; n < notes.size(); ++n)
        TextOut(canvas, inner.left(), bottom + 3 * th + int(n) * noteHeight,
                QFontMetrics(canvas.font()).elidedText(notes.at(n), Qt::ElideRight, inner.width()));

    if (placed.isEmpty()) {
        canvas.setFont(SiteFont(th));
        canvas.drawText(layout.Plot, Qt::AlignCenter, QStringLiteral("位置のある測点がありません"));
        canvas.restore();
        return layout;
    }

    // Scale: everything placed fits, with room around it for the labels.
    QList<QPointF> extent = data.Site.Outline;
    for (const qsizetype i : placed)
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

    TLabelPlacer placer(layout.Plot);
    if (data.Site.Outline.size() >= 3) {
        QPolygonF outline;
        for (const QPointF &corner : data.Site.Outline)
            outline.append(layout.Map(corner));
        placer.Avoid(outline, th / 3 + 2 * line);
        QPen pen(Qt::black, 2 * line);
        pen.setJoinStyle(Qt::MiterJoin);
        canvas.setPen(pen);
        canvas.setBrush(style.Color ? QColor(255, 244, 214) : QColor(235, 235, 235));
        canvas.drawPolygon(outline);
    }

    // Marks first, so no label covers one; then the labels around them.
    const int radius = std::max(3, th * 45 / 100);
    for (const qsizetype i : placed) {
        const QPointF at = layout.Map(*data.Figures.Points.at(i).Position);
        placer.Block(QRect(QPoint(int(at.x()) - radius, int(at.y()) - radius),
                           QSize(2 * radius + 1, 2 * radius + 1)));
    }
    const QFont labelFont = SiteFont(th);
    const QFont levelFont = SiteFont(th * 85 / 100);
    for (const qsizetype i : placed) {
        const TSitePointFigures &figures = data.Figures.Points.at(i);
        const QPointF at = layout.Map(*figures.Position);
        canvas.setPen(QPen(SiteAccent(style), 2 * line));
        canvas.setBrush(Qt::white);
        canvas.drawEllipse(at, radius, radius);
        canvas.drawLine(at - QPointF(radius, 0), at + QPointF(radius, 0));
        canvas.drawLine(at - QPointF(0, radius), at + QPointF(0, radius));

        const QString label = data.Site.Points.at(i).Label;
        const QString level = GroundLevelText(figures.Ground);
        const int textWidth = std::max(QFontMetrics(labelFont).horizontalAdvance(label),
                                       QFontMetrics(levelFont).horizontalAdvance(level));
        const int textHeight = th * 21 / 10;
        const int x = int(at.x());
        const int y = int(at.y());
        const int gap = radius + th / 4;
        const QSize size(textWidth, textHeight);
        // Beside the mark first, then in rings further out, tied to the mark by a leader.
        QList<QRect> candidates;
        for (const int away : {gap, gap + th, gap + 5 * th / 2, gap + 4 * th}) {
            const int w = textWidth;
            const int h = textHeight;
            candidates << QRect(QPoint(x + away, y - h), size) << QRect(QPoint(x + away, y), size)
                       << QRect(QPoint(x - away - w, y - h), size)
                       << QRect(QPoint(x - away - w, y), size)
                       << QRect(QPoint(x - w / 2, y - away - h), size)
                       << QRect(QPoint(x - w / 2, y + away), size)
                       << QRect(QPoint(x + away, y - h / 2), size)
                       << QRect(QPoint(x - away - w, y - h / 2), size);
        }
        const QRect box = placer.Place(candidates);
        if (!box.adjusted(-gap, -gap, gap, gap).contains(QPoint(x, y))) {
            const QPointF nearest(std::clamp(x, box.left(), box.right()),
                                  std::clamp(y, box.top(), box.bottom()));
            const QPointF towards = nearest - at;
            const double length = std::hypot(towards.x(), towards.y());
            SetPen(canvas, line, Qt::SolidLine);
            canvas.drawLine(at + towards * (radius / length), nearest);
        }
        layout.LabelBoxes.append(box);
        // White behind the text, should it have to lie across a line.
        canvas.fillRect(box, Qt::white);
        SetPen(canvas, line, Qt::SolidLine);
        canvas.setFont(labelFont);
        TextOut(canvas, box.left(), box.top(), label);
        canvas.setFont(levelFont);
        TextOut(canvas, box.left(), box.top() + th * 11 / 10, level);
    }

    // The scale bar: a round length about a quarter of the plan's width.
    layout.ScaleMetres = RoundLengthAtMost(layout.Plot.width() / 4.0 / layout.PixelsPerMetre);
    const int barPixels = int(std::lround(layout.ScaleMetres * layout.PixelsPerMetre));
    DrawScaleBar(canvas, inner.left() + th / 2, bottom + th / 2, barPixels, layout.ScaleMetres,
                 style);
    canvas.restore();
    return layout;
}
