// Pixel rounding and anchored text placement.
#include "drawtext.h"
#include "recordingdevice.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

TEST(GraphsRounding, NearestTiesToEvenAndTruncTowardZero)
{
    struct Case
    {
        double X;
        int Nearest;
        int Trunc;
    };
    const Case cases[] = {
        {2.5, 2, 2},    {3.5, 4, 3},    {52.5, 52, 52},
        {67.5, 68, 67}, {-2.5, -2, -2}, {-1.6, -2, -1},
        {8.52, 9, 8},   {0.49, 0, 0},   {1e30, 1000000000, 1000000000},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Nearest(c.X), c.Nearest) << c.X;
        EXPECT_EQ(Trunc(c.X), c.Trunc) << c.X;
    }
    EXPECT_EQ(Nearest(std::nan("")), 0);
}

TEST(GraphsDrawText, AnchorPutsTheRightPointOfTheBoxAtTheGivenPlace)
{
    RecordingDevice device(QSize(400, 400));
    QPainter painter(&device);
    painter.setFont(GothicFont(false, 15));
    const QString text = QStringLiteral("Abc");
    const QFontMetrics metrics = painter.fontMetrics();
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();

    // Multiples of a half width / half height taken off the anchor point.
    struct Case
    {
        int Anchor;
        int HalvesLeft;
        int HalvesUp;
    };
    const Case cases[] = {{0, 0, 0},  {1, 1, 0},  {2, 2, 0},  {3, 0, 1},  {4, 1, 1},
                          {5, 2, 1},  {6, 0, 2},  {7, 1, 2},  {8, 2, 2},  {9, 0, 0},
                          {10, 1, 0}, {11, 2, 0}, {12, 1, 1}, {13, 0, 0}, {99, 0, 0}};
    for (const Case &c : cases) {
        device.Texts.clear();
        DrawTextAnchored(painter, 200, 150, c.Anchor, text);
        ASSERT_EQ(device.Texts.size(), 1) << c.Anchor;
        const int dx = c.HalvesLeft == 2 ? w : c.HalvesLeft * (w / 2);
        const int dy = c.HalvesUp == 2 ? h : c.HalvesUp * (h / 2);
        EXPECT_EQ(device.Texts[0].TopLeft, QPoint(200 - dx, 150 - dy)) << "anchor " << c.Anchor;
    }
}

TEST(GraphsDrawText, FontsAskForTheGothicFamiliesFirst)
{
    EXPECT_EQ(GraphFont(TPaintTarget::Window).families().value(0),
              QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(GraphFont(TPaintTarget::Printer).families().value(0),
              QStringLiteral("ＭＳ ゴシック"));
    EXPECT_TRUE(GothicFamilies(false).contains(QStringLiteral("IPAGothic")));
    // A degenerate height never asks for a font of no size.
    EXPECT_EQ(GothicFont(false, 0).pixelSize(), 1);
}
