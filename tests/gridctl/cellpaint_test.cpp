#include "cellkind.h"
#include "cellpaint.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

struct BoxCase
{
    quint8 align;
    bool fixed;
    QRect expected; // for a 20 × 10 text in a cell at (100, 50) of 64 × 24, margin 2
};

class TextBoxTest : public ::testing::TestWithParam<BoxCase>
{};

TEST_P(TextBoxTest, PlacesTheTextAsTheFlagsAsk)
{
    const BoxCase &c = GetParam();
    EXPECT_EQ(cellpaint::TextBox(QRect(100, 50, 64, 24), c.align, 2, 20, 10, c.fixed), c.expected)
        << int(c.align);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, TextBoxTest,
    ::testing::Values(BoxCase{17, false, QRect(102, 57, 20, 10)},   // left, middle
                      BoxCase{0, false, QRect(102, 57, 20, 10)},    // nothing set: left, middle
                      BoxCase{18, false, QRect(122, 57, 20, 10)},   // centre: 32 − 10
                      BoxCase{20, false, QRect(142, 57, 20, 10)},   // right: 64 − 2 − 20
                      BoxCase{22, false, QRect(142, 57, 20, 10)},   // centre and right: right
                      BoxCase{9, false, QRect(102, 52, 20, 10)},    // top
                      BoxCase{33, false, QRect(102, 64, 20, 10)},   // bottom of a data cell
                      BoxCase{33, true, QRect(102, 62, 20, 10)},    // bottom of a fixed cell
                      BoxCase{41, false, QRect(102, 64, 20, 10)})); // top and bottom: bottom

TEST(TextBoxTest, HalvesAnOddRemainderTowardsZero)
{
    // (23 − 10) / 2 = 6; a text taller than the cell goes up by half the excess, truncated.
    EXPECT_EQ(cellpaint::TextBox(QRect(0, 0, 64, 23), 17, 2, 20, 10, false).top(), 6);
    EXPECT_EQ(cellpaint::TextBox(QRect(0, 0, 64, 10), 17, 2, 20, 13, false).top(), -1);
}

class ToggleDrawingTest : public ::testing::Test
{
protected:
    ToggleDrawingTest()
    {
        kind.SetKind(ckToggle);
        kind.SetItems(
            QList<TCellKindItem>{{QStringLiteral("いいえ"), 0}, {QStringLiteral("はい"), 1}});
    }

    // Draws the cell and answers the image.
    QImage draw(const QString &text, bool pressed)
    {
        QImage image(cell.size() + QSize(10, 10), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        cellpaint::DrawToggleCell(painter, cell, kind, text, pressed, palette);
        return image;
    }

    QRgb boxInside(const QImage &image) const
    {
        const QRect box = cellpaint::ToggleBoxRect(cell);
        return image.pixel(box.left() + 3, box.top() + 6); // off both diagonals
    }

    bool crossed(const QImage &image) const
    {
        const QRect box = cellpaint::ToggleBoxRect(cell);
        return image.pixel(box.center()) == palette.color(QPalette::ButtonText).rgb();
    }

    TCellKind kind;
    QRect cell{0, 0, 40, 24};
    QPalette palette = QApplication::palette();
};

TEST_F(ToggleDrawingTest, BoxIsThirteenPixelsCentredInTheCell)
{
    EXPECT_EQ(cellpaint::ToggleBoxRect(QRect(10, 20, 40, 24)), QRect(24, 26, 13, 13));
}

TEST_F(ToggleDrawingTest, StateOfValueZeroIsACrossedWhiteBox)
{
    const QImage image = draw(QStringLiteral("いいえ"), false);
    EXPECT_EQ(boxInside(image), cellpaint::WindowColor(palette).rgb());
    EXPECT_TRUE(crossed(image));
}

TEST_F(ToggleDrawingTest, StateOfValueOneIsAnEmptyWhiteBox)
{
    const QImage image = draw(QStringLiteral("はい"), false);
    EXPECT_EQ(boxInside(image), cellpaint::WindowColor(palette).rgb());
    EXPECT_FALSE(crossed(image));
}

TEST_F(ToggleDrawingTest, UnknownTextIsAGreyBoxAndLetterCaseDoesNotMatter)
{
    EXPECT_EQ(boxInside(draw(QStringLiteral("たぶん"), false)),
              cellpaint::GrayTextColor(palette).rgb());
    kind.SetItems(QList<TCellKindItem>{{QStringLiteral("off"), 0}, {QStringLiteral("on"), 1}});
    EXPECT_EQ(boxInside(draw(QStringLiteral("ON"), false)), cellpaint::WindowColor(palette).rgb());
}

TEST_F(ToggleDrawingTest, PressedBoxTakesTheButtonFace)
{
    EXPECT_EQ(boxInside(draw(QStringLiteral("はい"), true)),
              cellpaint::ButtonFaceColor(palette).rgb());
}

TEST_F(ToggleDrawingTest, DrawsNothingOutsideTheCell)
{
    const QImage image = draw(QStringLiteral("いいえ"), false);
    for (int x = 0; x < image.width(); ++x)
        ASSERT_EQ(image.pixelColor(x, cell.bottom() + 1), QColor(Qt::magenta)) << x;
    for (int y = 0; y < image.height(); ++y)
        ASSERT_EQ(image.pixelColor(cell.right() + 1, y), QColor(Qt::magenta)) << y;
}

TEST(ButtonDrawingTest, PressedFaceIsSunkenAndLeftTopEdgeIsHighlighted)
{
    const QPalette palette = QApplication::palette();
    QImage image(40, 24, QImage::Format_RGB32);
    QPainter painter(&image);
    const QRect up = cellpaint::DrawButtonFace(painter, image.rect(), 3, false, false, palette);
    EXPECT_EQ(up, QRect(3, 3, 34, 18));
    EXPECT_EQ(image.pixel(39, 23), palette.color(QPalette::Shadow).rgb());
    const QRect down = cellpaint::DrawButtonFace(painter, image.rect(), 3, true, false, palette);
    EXPECT_EQ(down.topLeft(), QPoint(4, 4)); // the pressed face moves down and right
    cellpaint::DrawButtonCell(painter, image.rect(), QString(), true, false, palette);
    EXPECT_EQ(image.pixel(0, 12), palette.color(QPalette::Light).rgb());
    EXPECT_EQ(image.pixel(20, 0), palette.color(QPalette::Light).rgb());
}

TEST(DropDownButtonTest, ArrowIsFourShrinkingLinesBelowTheMiddle)
{
    const QPalette palette = QApplication::palette();
    const int width = 60;
    const int height = 20;
    const int button = 16;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    cellpaint::DrawDropDownButton(painter, width, height, button, false, palette);
    painter.end();
    EXPECT_EQ(cellpaint::DropDownButtonRect(width, height, button), QRect(44, 0, 16, 19));
    const QColor arrow = palette.color(QPalette::ButtonText);
    const int x0 = width - button / 2 - 4;
    const int y0 = height / 2 - 2;
    for (int k = 0; k < 4; ++k) {
        const int length = 7 - 2 * k;
        EXPECT_EQ(image.pixel(x0 + k, y0 + k), arrow.rgb()) << k;
        EXPECT_EQ(image.pixel(x0 + k + length - 1, y0 + k), arrow.rgb()) << k;
        EXPECT_NE(image.pixel(x0 + k + length, y0 + k), arrow.rgb()) << k;
    }
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white)); // the edit part is left alone
}

} // namespace
