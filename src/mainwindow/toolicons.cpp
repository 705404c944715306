#include "toolicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

// Every picture is drawn on a 24 x 24 grid and scaled to the pixmap's size.
constexpr qreal kGrid = 24.0;

void drawOpen(QPainter &p)
{
    p.setPen(QPen(QColor(150, 110, 20), 1.0));
    p.setBrush(QColor(235, 190, 70));
    QPainterPath back;
    back.moveTo(2.5, 5.5);
    back.lineTo(9.5, 5.5);
    back.lineTo(11.5, 7.5);
    back.lineTo(20.5, 7.5);
    back.lineTo(20.5, 19.5);
    back.lineTo(2.5, 19.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 215, 110));
    p.drawPolygon(QPolygonF({{5.5, 10.5}, {22.5, 10.5}, {20.5, 19.5}, {2.5, 19.5}}));
}

void drawSave(QPainter &p)
{
    p.setPen(QPen(QColor(30, 50, 110), 1.0));
    p.setBrush(QColor(60, 100, 190));
    p.drawPolygon(QPolygonF({{3.5, 3.5}, {18.5, 3.5}, {20.5, 5.5}, {20.5, 20.5}, {3.5, 20.5}}));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 3.5, 11, 7));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(7.5, 14.5, 9, 6));
    p.setBrush(QColor(30, 50, 110));
    p.drawRect(QRectF(13.5, 4.5, 2, 4));
}

void drawPrint(QPainter &p)
{
    p.setPen(QPen(QColor(70, 70, 70), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 2.5, 11, 8));
    p.setBrush(QColor(150, 150, 155));
    p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 14.5, 11, 7));
    p.setPen(QPen(QColor(120, 120, 120), 1.0));
    p.drawLine(QPointF(8.5, 17), QPointF(15.5, 17));
    p.drawLine(QPointF(8.5, 19), QPointF(15.5, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 180, 60));
    p.drawEllipse(QPointF(18.5, 12), 1, 1);
}

void drawArrow(QPainter &p, QPointF from, QPointF to, const QColor &color)
{
    p.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const qreal direction = to.x() > from.x() ? -1.0 : 1.0;
    p.drawLine(to, to + QPointF(3.0 * direction, -3.0));
    p.drawLine(to, to + QPointF(3.0 * direction, 3.0));
}

void drawTransfer(QPainter &p)
{
    // The instrument on the left, the computer's file on the right, the data moving between.
    p.setPen(QPen(QColor(30, 70, 40), 1.0));
    p.setBrush(QColor(60, 130, 80));
    p.drawRoundedRect(QRectF(1.5, 4.5, 7, 15), 1.5, 1.5);
    p.setBrush(QColor(200, 240, 200));
    p.drawRect(QRectF(3.0, 6.5, 4, 4));
    p.setPen(QPen(QColor(70, 70, 70), 1.0));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{15.5, 4.5}, {20.5, 4.5}, {22.5, 6.5}, {22.5, 19.5}, {15.5, 19.5}}));
    drawArrow(p, {9.5, 9.5}, {14.0, 9.5}, QColor(200, 60, 40));
    drawArrow(p, {14.0, 15.0}, {9.5, 15.0}, QColor(40, 90, 200));
}

void drawGraph(QPainter &p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 19, 19));
    // Depth runs downwards, as in the program's graphs.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 140, 220));
    p.drawRect(QRectF(3.5, 4.0, 6, 3));
    p.drawRect(QRectF(3.5, 8.0, 11, 3));
    p.drawRect(QRectF(3.5, 12.0, 8, 3));
    p.drawRect(QRectF(3.5, 16.0, 15, 3));
    p.setPen(QPen(QColor(210, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{7, 5.5}, {13, 9.5}, {10, 13.5}, {18, 17.5}}));
}

void drawRounding(QPainter &p)
{
    // A measured profile and the same profile in equal steps.
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 19, 19));
    p.setPen(QPen(QColor(150, 150, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({{6, 4}, {9, 6}, {7, 8}, {12, 10}, {10, 13}, {15, 15}, {17, 18}, {19, 20}}));
    p.setPen(QPen(QColor(200, 90, 20), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({{7.5, 3.5},
                              {7.5, 8},
                              {11, 8},
                              {11, 12.5},
                              {14.5, 12.5},
                              {14.5, 17},
                              {18, 17},
                              {18, 20.5}}));
}

QPixmap drawn(TToolIcon kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);
    switch (kind) {
    case TToolIcon::Open:
        drawOpen(p);
        break;
    case TToolIcon::Save:
        drawSave(p);
        break;
    case TToolIcon::Print:
        drawPrint(p);
        break;
    case TToolIcon::Transfer:
        drawTransfer(p);
        break;
    case TToolIcon::Graph:
        drawGraph(p);
        break;
    case TToolIcon::Rounding:
        drawRounding(p);
        break;
    }
    return pixmap;
}

} // namespace

QIcon ToolIcon(TToolIcon kind)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(drawn(kind, size));
    return icon;
}
