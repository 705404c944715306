// The evaluation's marks on an Nsw graph, checked on pixels rather than whole pictures.
#include "evaluationmarks.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A 400 × 1000 pixel plot showing 0 .. 10 m: one pixel is one centimetre.
const PlotRect kPlot{0, 1000, 400, 0};

QImage blank()
{
    QImage image(400, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Every self-sinking stretch is marked at its depth, whatever its load (a 1.00 kN one draws no
// load bar), a 2 cm one too, and nothing is marked between them; in colour and in black.
TEST(EvaluationMarks, SelfSinkingStretchesAreMarkedAtTheirDepths)
{
    const QList<TSelfSinkingLayer> stretches = {{100, 150, 100}, {300, 302, 50}};
    for (const bool colour : {true, false}) {
        QImage image = blank();
        {
            QPainter canvas(&image);
            DrawSelfSinkingMarks(canvas, kPlot, 10, stretches, colour);
        }
        const int x = 400 - 400 / 22 / 2; // the middle of the strip at the right edge
        const QRgb mark = SelfSinkingMarkColour(colour).rgb();
        EXPECT_EQ(image.pixel(x, 125), mark) << colour;
        EXPECT_NE(image.pixel(x, 301), QColor(Qt::white).rgb()) << colour;
        for (const int y : {90, 200, 310})
            EXPECT_EQ(image.pixel(x, y), QColor(Qt::white).rgb()) << colour << " at " << y;
    }
}

// Where a dashed base line crosses a bar of its own colour, the white under the dashes shows.
TEST(EvaluationMarks, BaseLinesStayVisibleOverABarOfTheirColour)
{
    QImage image = blank();
    {
        QPainter canvas(&image);
        canvas.fillRect(QRect(0, 0, 200, 1000), Qt::red);
        DrawBaseLines(canvas, kPlot, 10, 50, true);
    }
    for (const int y : {50, 250}) {
        int white = 0;
        for (int x = 0; x < 200; ++x)
            white += image.pixel(x, y) == QColor(Qt::white).rgb();
        EXPECT_GT(white, 20) << y;
    }
}

} // namespace
