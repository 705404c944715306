#include "sitedraw.h"

#include "drawtext.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

int SitePictureTextHeight(const QSize &size)
{
    return std::max(11, std::min(size.width(), size.height()) / 55);
}

QFont SiteFont(int pixelHeight)
{
    return ProportionalGothicFont(pixelHeight);
}

int SiteLineWidth(const TSiteDrawStyle &style)
{
    return std::max(1, style.TextHeight / 10);
}

QColor SiteAccent(const TSiteDrawStyle &style)
{
    return style.Color ? QColor(210, 0, 0) : QColor(Qt::black);
}

QString OmittedDistancesNote()
{
    return QStringLiteral("込み合う所の測点間の距離は省略");
}

QString GroundLevelText(const std::optional<double> &metres)
{
    if (!metres)
        return QStringLiteral("GL -");
    const QString text = QString::asprintf("%+.2f", *metres);
    if (text == u"+0.00" || text == u"-0.00")
        return QStringLiteral("GL±0.00");
    return QStringLiteral("GL") + text;
}

double RoundStep(double span, int count)
{
    const double raw = span / std::max(1, count);
    if (!(raw > 0))
        return 1;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

double RoundLengthAtMost(double maxMetres)
{
    if (!(maxMetres > 0))
        return 0;
    const double power = std::pow(10, std::floor(std::log10(maxMetres)));
    for (const double factor : {5.0, 2.0, 1.0}) {
        if (factor * power <= maxMetres * (1 + 1e-9))
            return factor * power;
    }
    return power;
}

QString ScaleLengthText(double metres)
{
    QString text = QString::number(metres, 'f', 3);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

void DrawScaleBar(QPainter &canvas, int x, int y, int lengthPixels, double metres,
                  const TSiteDrawStyle &style)
{
    const int th = style.TextHeight;
    const int height = std::max(2, th / 2);
    const int half = lengthPixels / 2;
    canvas.save();
    SetPen(canvas, SiteLineWidth(style), Qt::SolidLine);
    canvas.setBrush(Qt::black);
    canvas.drawRect(x, y, half, height);
    canvas.setBrush(Qt::white);
    canvas.drawRect(x + half, y, lengthPixels - half, height);
    canvas.setFont(SiteFont(th * 85 / 100));
    const int below = y + height + th / 5;
    DrawTextAnchored(canvas, x, below, 10, QStringLiteral("0"));
    DrawTextAnchored(canvas, x + half, below, 10, ScaleLengthText(metres / 2));
    DrawTextAnchored(canvas, x + lengthPixels, below, 10,
                     ScaleLengthText(metres) + QStringLiteral(" m"));
    canvas.restore();
}

void DrawNorthArrow(QPainter &canvas, const QPoint &tip, int height, const TSiteDrawStyle &style)
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

QRect BoxAround(TAround place, const QPointF &at, int away, const QSize &size)
{
    const int x = int(at.x());
    const int y = int(at.y());
    const int w = size.width();
    const int h = size.height();
    const auto box = [&](int left, int top) {
        return QRect(QPoint(left, top), size);
    };
    switch (place) {
    case TAround::RightUp:
        return box(x + away, y - h);
    case TAround::RightDown:
        return box(x + away, y);
    case TAround::LeftUp:
        return box(x - away - w, y - h);
    case TAround::LeftDown:
        return box(x - away - w, y);
    case TAround::Top:
        return box(x - w / 2, y - away - h);
    case TAround::Bottom:
        return box(x - w / 2, y + away);
    case TAround::Right:
        return box(x + away, y - h / 2);
    case TAround::Left:
        return box(x - away - w, y - h / 2);
    case TAround::TopRight:
        return box(x + away, y - away - h);
    case TAround::TopLeft:
        return box(x - away - w, y - away - h);
    case TAround::BottomRight:
        return box(x + away, y + away);
    case TAround::BottomLeft:
        break;
    }
    return box(x - away - w, y + away);
}

void TLabelPlacer::Avoid(const QPolygonF &outline, int clearance)
{
    m_outline.addPolygon(outline);
    m_outline.closeSubpath();
    m_clearance = clearance;
}

bool TLabelPlacer::IsFree(const QRect &box) const
{
    if (!m_bounds.contains(box))
        return false;
    const QRectF clear = QRectF(box).adjusted(-m_clearance, -m_clearance, m_clearance, m_clearance);
    if (!m_outline.isEmpty() && m_outline.intersects(clear) && !m_outline.contains(clear))
        return false;
    const auto overlaps = [&](const QRect &taken) {
        return taken.intersects(box);
    };
    const auto crosses = [&](const QLineF &line) {
        return LineCrossesBox(line, box);
    };
    return std::none_of(m_taken.cbegin(), m_taken.cend(), overlaps) &&
           std::none_of(m_lines.cbegin(), m_lines.cend(), crosses);
}

bool TLabelPlacer::leaderIsFree(const QLineF &leader) const
{
    return std::none_of(m_taken.cbegin(), m_taken.cend(),
                        [&](const QRect &taken) { return LineCrossesBox(leader, taken); });
}

qsizetype TLabelPlacer::Place(const QList<TLabelCandidate> &candidates)
{
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const TLabelCandidate &candidate = candidates.at(i);
        if (!IsFree(candidate.Box) || (candidate.Leader && !leaderIsFree(*candidate.Leader)))
            continue;
        m_taken.append(candidate.Box);
        if (candidate.Leader)
            m_lines.append(*candidate.Leader);
        return i;
    }
    return -1;
}

std::optional<QRect> TLabelPlacer::Place(const QList<QRect> &candidates)
{
    QList<TLabelCandidate> plain;
    for (const QRect &box : candidates)
        plain.append({box, std::nullopt});
    const qsizetype taken = Place(plain);
    return taken < 0 ? std::nullopt : std::optional<QRect>(candidates.at(taken));
}

bool LineCrossesBox(const QLineF &line, const QRectF &box)
{
    // The box as Qt covers it in pixels: its right and bottom edges lie one pixel inside.
    const QRectF area = box.adjusted(0, 0, -1, -1);
    if (area.contains(line.p1()) || area.contains(line.p2()))
        return true;
    const QLineF edges[] = {{area.topLeft(), area.topRight()},
                            {area.topRight(), area.bottomRight()},
                            {area.bottomRight(), area.bottomLeft()},
                            {area.bottomLeft(), area.topLeft()}};
    return std::any_of(std::begin(edges), std::end(edges), [&](const QLineF &edge) {
        return line.intersects(edge, nullptr) == QLineF::BoundedIntersection;
    });
}

std::optional<QLineF> LeaderTo(const QPointF &centre, double radius, const QRect &box, int reach)
{
    const QRectF area = QRectF(box).adjusted(0, 0, -1, -1);
    const QPointF nearest(std::clamp(centre.x(), area.left(), area.right()),
                          std::clamp(centre.y(), area.top(), area.bottom()));
    const QPointF towards = nearest - centre;
    const double length = std::hypot(towards.x(), towards.y());
    if (length <= reach)
        return std::nullopt;
    // From just outside the mark's square, so it does not count as crossing its own mark.
    const double start = radius * 1.5 + 1;
    return QLineF(centre + towards * (start / length), nearest);
}
