#include "drawtext.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

int ClampToInt(double x)
{
    if (std::isnan(x))
        return 0;
    constexpr double kLimit = 1e9;
    if (x > kLimit)
        return int(kLimit);
    if (x < -kLimit)
        return -int(kLimit);
    return int(x);
}

} // namespace

int Nearest(double x)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even by default.
    return ClampToInt(std::nearbyint(x));
}

int Trunc(double x)
{
    return ClampToInt(std::trunc(x));
}

QStringList GothicFamilies(bool proportional)
{
    // Without the MS fonts the fixed-pitch IPA Gothic comes first even for the window: the
    // axis labels are placed for half-width digits, which IPA's proportional face widens.
    if (proportional)
        return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                QStringLiteral("Noto Sans CJK JP")};
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
            QStringLiteral("Noto Sans CJK JP")};
}

QFont GothicFont(bool proportional, int pixelHeight)
{
    QFont font;
    font.setFamilies(GothicFamilies(proportional));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, pixelHeight));
    return font;
}

QStringList ProportionalGothicFamilies()
{
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
            QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
            QStringLiteral("IPAGothic")};
}

QFont ProportionalGothicFont(int pixelHeight)
{
    QFont font;
    font.setFamilies(ProportionalGothicFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, pixelHeight));
    return font;
}

QFont GraphFont(TPaintTarget target)
{
    return target == TPaintTarget::Window ? GothicFont(true, 12) : GothicFont(false, 12);
}

void SetFontHeight(QPainter &canvas, int pixelHeight)
{
    QFont font = canvas.font();
    font.setPixelSize(qMax(1, pixelHeight));
    canvas.setFont(font);
}

void SetCaptionFontHeight(QPainter &canvas, int pixelHeight)
{
    if (canvas.font().families() == GothicFamilies(true))
        canvas.setFont(ProportionalGothicFont(pixelHeight));
    else
        SetFontHeight(canvas, pixelHeight);
}

void TextOut(QPainter &canvas, int x, int y, const QString &text)
{
    canvas.drawText(QPoint(x, y + canvas.fontMetrics().ascent()), text);
}

void DrawTextAnchored(QPainter &canvas, int x, int y, int anchor, const QString &text)
{
    const QFontMetrics metrics = canvas.fontMetrics();
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    int left = x;
    int top = y;
    switch (anchor) {
    case 1:
    case 10:
        left = x - w / 2;
        break;
    case 2:
    case 11:
        left = x - w;
        break;
    case 3:
        top = y - h / 2;
        break;
    case 4:
    case 12:
        left = x - w / 2;
        top = y - h / 2;
        break;
    case 5:
        left = x - w;
        top = y - h / 2;
        break;
    case 6:
        top = y - h;
        break;
    case 7:
        left = x - w / 2;
        top = y - h;
        break;
    case 8:
        left = x - w;
        top = y - h;
        break;
    default: // 0, 9 and anything else: the point is the top-left corner
        break;
    }
    TextOut(canvas, left, top, text);
}

void SetPen(QPainter &canvas, int width, Qt::PenStyle style)
{
    QPen pen(Qt::black);
    pen.setWidth(qMax(1, width));
    pen.setStyle(style);
    canvas.setPen(pen);
}
