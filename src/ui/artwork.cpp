#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The application's face, which the program sets to a Japanese one before any window exists.
QFont pictureFont(int pixelSize, bool bold)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Sky above, soil layers below `groundTop`, and the rod with its weights and screw point
// driven down to `tip` at horizontal position `x`.
void paintSounding(QPainter &p, const QRect &area, int groundTop, int x, int tip)
{
    QLinearGradient sky(area.topLeft(), QPoint(area.left(), groundTop));
    sky.setColorAt(0, QColor(70, 120, 190));
    sky.setColorAt(1, QColor(185, 215, 240));
    p.fillRect(QRect(area.left(), area.top(), area.width(), groundTop - area.top()), sky);

    const QColor layers[] = {QColor(150, 110, 70), QColor(196, 160, 105), QColor(120, 95, 70),
                             QColor(175, 140, 95)};
    const int layerHeight = (area.bottom() - groundTop) / int(std::size(layers)) + 1;
    for (int i = 0; i < int(std::size(layers)); ++i) {
        const QRect layer(area.left(), groundTop + i * layerHeight, area.width(), layerHeight);
        p.fillRect(layer, layers[i]);
        p.fillRect(layer,
                   QBrush(layers[i].darker(125), i % 2 ? Qt::Dense6Pattern : Qt::BDiagPattern));
    }

    // The rod, the clamp and the stacked weights.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 95));
    p.drawRect(x - 2, groundTop - 34, 4, tip - groundTop + 34);
    QPainterPath point;
    point.moveTo(x - 4, tip);
    point.lineTo(x + 4, tip);
    point.lineTo(x, tip + 10);
    point.closeSubpath();
    p.drawPath(point);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i % 2 ? QColor(60, 60, 70) : QColor(110, 110, 125));
        p.drawRoundedRect(QRect(x - 13, groundTop - 30 + i * 6, 26, 5), 2, 2);
    }
    p.setBrush(QColor(200, 60, 40));
    p.drawRect(x - 16, groundTop - 36, 32, 4);
}

QPixmap blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    return pixmap;
}

} // namespace

QPixmap SplashPicture()
{
    QPixmap pixmap = blank(273, 153);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paintSounding(p, pixmap.rect(), 92, 226, 140);

    p.setPen(QColor(255, 255, 255));
    p.setFont(pictureFont(34, true));
    p.drawText(QRect(12, 14, 200, 44), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tessmark"));
    p.setFont(pictureFont(12, false));
    p.setPen(QColor(20, 40, 80));
    p.drawText(QRect(14, 58, 200, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("スクリューウェイト貫入試験"));
    p.setPen(Qt::white);
    p.drawText(QRect(0, 130, 200, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("   Korvath"));
    return pixmap;
}

QPixmap AboutPicture()
{
    QPixmap pixmap = blank(273, 173);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The picture on the left; the right keeps white for the product name and version.
    paintSounding(p, QRect(0, 0, 96, 173), 70, 48, 150);

    p.setPen(QColor(20, 40, 80));
    p.setFont(pictureFont(24, true));
    p.drawText(QRect(104, 20, 165, 34), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Tessmark"));
    p.setFont(pictureFont(12, false));
    p.drawText(QRect(104, 56, 165, 18), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("SWS試験データ処理"));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRect(104, 122, 165, 18), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("© Korvath"));
    return pixmap;
}
