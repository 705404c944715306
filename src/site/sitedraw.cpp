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
    return GothicFont(false, pixelHeight);
}

int SiteLineWidth(const TSiteDrawStyle &style)
{
    return std::max(1, style.TextHeight / 10);
}

QColor SiteAccent(const TSiteDrawStyle &style)
{
    return style.Color ? QColor(210, 0, 0) : QColor(Qt::black);
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

void TLabelPlacer::Avoid(const QPolygonF &outline, int clearance)
{
    m_outline.addPolygon(outline);
    m_outline.closeSubpath();
    m_clearance = clearance;
}

QRect TLabelPlacer::Place(const QList<QRect> &candidates)
{
    const auto free = [&](const QRect &box) {
        if (!m_bounds.contains(box))
            return false;
        const QRectF clear =
            QRectF(box).adjusted(-m_clearance, -m_clearance, m_clearance, m_clearance);
        if (!m_outline.isEmpty() && m_outline.intersects(clear) && !m_outline.contains(clear))
            return false;
        return std::none_of(m_taken.cbegin(), m_taken.cend(),
                            [&](const QRect &taken) { return taken.intersects(box); });
    };
    const auto found = std::find_if(candidates.cbegin(), candidates.cend(), free);
    const QRect chosen = found != candidates.cend() ? *found : candidates.value(0);
    m_taken.append(chosen);
    return chosen;
}
