#include "evaluationmarks.h"

#include "drawtext.h"
#include "graphpaint.h"
#include "reftables.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <functional>

int EvaluationDepthY(const PlotRect &plot, int rangeMetres, int cm)
{
    const int rangeCm = std::max(1, rangeMetres * 100);
    return plot.Top + int(qint64(plot.Height()) * std::clamp(cm, 0, rangeCm) / rangeCm);
}

QColor SelfSinkingMarkColour(bool colour)
{
    // Magenta is none of the soil colours.
    return colour ? QColor(255, 0, 255) : QColor(Qt::black);
}

QColor BaseLineColour(bool colour)
{
    return colour ? QColor(Qt::red) : QColor(Qt::black);
}

namespace {

void drawMark(QPainter &canvas, const QRect &mark, bool colour)
{
    canvas.fillRect(mark, SelfSinkingMarkColour(colour));
    canvas.setPen(QPen(Qt::black, 1));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(mark.adjusted(0, 0, -1, -1));
}

} // namespace

QList<QRect> DrawSelfSinkingMarks(QPainter &canvas, const PlotRect &plot, int rangeMetres,
                                  const QList<TSelfSinkingLayer> &stretches, bool colour)
{
    QList<QRect> labels;
    const int strip = std::max(3, plot.Width() / 22);
    canvas.save();
    canvas.setFont(GothicFont(false, std::max(1, plot.Width() / 28)));
    const QFontMetrics metrics = canvas.fontMetrics();
    int freeFrom = plot.Top;
    for (const TSelfSinkingLayer &stretch : stretches) {
        const int y1 = EvaluationDepthY(plot, rangeMetres, stretch.Top);
        // A short stretch still shows.
        const int y2 = std::max(y1 + 2, EvaluationDepthY(plot, rangeMetres, stretch.Bottom));
        const QRect mark(plot.Right - strip, y1, strip, y2 - y1);
        drawMark(canvas, mark, colour);

        const QString load = MetresText(stretch.Load);
        const int labelTop = std::max(y1, freeFrom);
        if (labelTop > y2 + metrics.height() || labelTop + metrics.height() > plot.Bottom)
            continue;
        const int textWidth = metrics.horizontalAdvance(load);
        const QRect label(mark.left() - textWidth - strip / 3, labelTop, textWidth + strip / 3,
                          metrics.height());
        canvas.fillRect(label, Qt::white);
        canvas.drawText(label, int(Qt::AlignLeft | Qt::AlignVCenter), load);
        labels.append(label);
        freeFrom = label.bottom() + 1;
    }
    canvas.restore();
    return labels;
}

void DrawBaseLines(QPainter &canvas, const PlotRect &plot, int rangeMetres, int baseDepthCm,
                   bool colour, const QList<QRect> &keepClear)
{
    const int penWidth = std::max(2, plot.Width() / 250);
    const QPen under(Qt::white, 3 * penWidth, Qt::SolidLine, Qt::FlatCap);
    const QPen dashes(BaseLineColour(colour), penWidth, Qt::DashLine, Qt::FlatCap);
    canvas.save();
    for (const int cm : {baseDepthCm, baseDepthCm + kMeanRangeCm}) {
        if (cm > rangeMetres * 100)
            continue;
        const int y = EvaluationDepthY(plot, rangeMetres, cm);
        // The stretches of the line left between the labels it would cross.
        QList<std::pair<int, int>> pieces{{plot.Left, plot.Right}};
        for (const QRect &box : keepClear) {
            const int reach = 3 * penWidth / 2;
            if (y < box.top() - reach || y > box.bottom() + reach)
                continue;
            QList<std::pair<int, int>> left;
            for (const auto &[from, to] : pieces) {
                if (from < box.left() - penWidth)
                    left.append({from, std::min(to, box.left() - penWidth)});
                if (to > box.right() + penWidth)
                    left.append({std::max(from, box.right() + penWidth), to});
            }
            pieces = left;
        }
        for (const QPen &pen : {under, dashes}) {
            canvas.setPen(pen);
            for (const auto &[from, to] : pieces)
                canvas.drawLine(from, y, to, y);
        }
    }
    canvas.restore();
}

int DrawEvaluationLegend(QPainter &canvas, const QPoint &at, int height,
                         const TReferenceTables &tables, bool colour)
{
    canvas.save();
    canvas.setFont(GothicFont(false, height));
    const QFontMetrics metrics = canvas.fontMetrics();
    const int swatch = 2 * height;
    int x = at.x();
    const auto entry = [&](const QString &text, const std::function<void(const QRect &)> &sample) {
        const QRect box(x, at.y(), swatch, height);
        sample(box);
        canvas.setPen(Qt::black);
        const QRect label(box.right() + height / 2, at.y() - height / 2,
                          metrics.horizontalAdvance(text), 2 * height);
        canvas.drawText(label, int(Qt::AlignLeft | Qt::AlignVCenter), text);
        x = label.right() + 2 * height;
    };
    for (const QString &soil : tables.SoilTypes)
        entry(soil, [&](const QRect &box) {
            PaintSoilFill(canvas, QRegion(box), SoilGroupOf(soil, tables), colour);
        });
    entry(QStringLiteral("自沈（数字は荷重 kN）"), [&](const QRect &box) {
        drawMark(canvas,
                 QRect(box.left() + box.width() / 3, box.top(), box.width() / 3, box.height()),
                 colour);
    });
    entry(QStringLiteral("破線：基礎底面と B+2 m（平均Nswの範囲）"), [&](const QRect &box) {
        canvas.setPen(QPen(BaseLineColour(colour), std::max(2, height / 6), Qt::DashLine));
        canvas.drawLine(box.left(), box.center().y(), box.right(), box.center().y());
    });
    canvas.restore();
    return 2 * height;
}
