#include "cellpaint.h"

#include "cellkind.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace cellpaint {

namespace {

// A one-pixel frame just inside `r`: top and left in one colour, bottom and right in the other
// (which also takes the two corners where they meet).
void frame3D(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.setPen(QPen(topLeft, 0));
    painter.drawLine(r.left(), r.bottom(), r.left(), r.top());
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.setPen(QPen(bottomRight, 0));
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

void focusFrame(QPainter &painter, const QRect &r, const QColor &color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.setPen(QPen(color, 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

} // namespace

QColor ButtonFaceColor(const QPalette &palette)
{
    return palette.color(QPalette::Button);
}

QColor GrayTextColor(const QPalette &palette)
{
    return palette.color(QPalette::Disabled, QPalette::WindowText);
}

QColor WindowColor(const QPalette &palette)
{
    return palette.color(QPalette::Base);
}

QRect TextBox(const QRect &cell, quint8 align, int margin, int textWidth, int textHeight,
              bool fixedCell)
{
    const int width = cell.width();
    const int height = cell.height();
    int left = margin; // reference point at the left
    int y = (height - textHeight) / 2;
    if (align & caCenter)
        left = width / 2 - textWidth / 2;
    if (align & caRight)
        left = width - margin - textWidth;
    if (align & caTop)
        y = 2;
    if (align & caBottom)
        y = fixedCell ? height - textHeight - 2 : height - textHeight;
    return QRect(cell.left() + left, cell.top() + y, textWidth, textHeight);
}

void DrawCellText(QPainter &painter, const QRect &cell, const QString &text, quint8 align,
                  int margin, bool fixedCell, const QColor &color)
{
    if (text.isEmpty() || cell.isEmpty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect box =
        TextBox(cell, align, margin, metrics.horizontalAdvance(text), metrics.height(), fixedCell);
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    painter.setPen(color);
    painter.drawText(box.left(), box.top() + metrics.ascent(), text);
    painter.restore();
}

QRect DrawButtonFace(QPainter &painter, const QRect &rect, int bevel, bool down, bool focused,
                     const QPalette &palette)
{
    painter.fillRect(rect, palette.color(QPalette::Button));
    QRect r = rect;
    QRect face;
    if (!down) {
        for (int k = 0; k < bevel; ++k) {
            frame3D(painter, r, palette.color(k == 0 ? QPalette::Light : QPalette::Midlight),
                    palette.color(k == 0 ? QPalette::Shadow : QPalette::Dark));
            r.adjust(1, 1, -1, -1);
        }
        face = r;
    } else {
        const QRect inner = rect.adjusted(1, 1, -1, -1);
        frame3D(painter, r, palette.color(QPalette::Shadow), palette.color(QPalette::Shadow));
        r = inner;
        for (int k = 1; k < bevel; ++k) {
            frame3D(painter, r, palette.color(QPalette::Dark), palette.color(QPalette::Button));
            r.adjust(1, 1, -1, -1);
        }
        // The pressed face moves one pixel down and to the right.
        face = r.translated(1, 1).intersected(inner);
    }
    if (focused)
        focusFrame(painter, face.adjusted(1, 1, -1, -1), palette.color(QPalette::ButtonText));
    return face;
}

void DrawButtonCell(QPainter &painter, const QRect &cell, const QString &text, bool pressed,
                    bool focused, const QPalette &palette)
{
    if (cell.isEmpty())
        return;
    painter.save();
    const QRect face = DrawButtonFace(painter, cell, 3, pressed, focused, palette);
    if (!text.isEmpty() && !face.isEmpty()) {
        const QFontMetrics metrics = painter.fontMetrics();
        const int width = metrics.horizontalAdvance(text);
        const int x = face.left() + face.width() / 2 - width / 2;
        const int y = face.top() + (face.height() - metrics.height()) / 2;
        painter.save();
        painter.setClipRect(face, Qt::IntersectClip);
        painter.setPen(palette.color(QPalette::ButtonText));
        painter.drawText(x, y + metrics.ascent(), text);
        painter.restore();
    }
    painter.setPen(QPen(palette.color(QPalette::Light), 0));
    painter.drawLine(cell.left(), cell.bottom(), cell.left(), cell.top());
    painter.drawLine(cell.left(), cell.top(), cell.right(), cell.top());
    painter.restore();
}

QRect ToggleBoxRect(const QRect &cell)
{
    const int left = cell.left() + cell.width() / 2 - 6;
    const int top = cell.top() + cell.height() / 2 - 6;
    return QRect(left, top, 13, 13);
}

void DrawToggleCell(QPainter &painter, const QRect &cell, const TCellKind &kind,
                    const QString &text, bool pressed, const QPalette &palette)
{
    if (cell.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(cell, ButtonFaceColor(palette));
    frame3D(painter, cell, palette.color(QPalette::Light), palette.color(QPalette::Dark));
    frame3D(painter, cell.adjusted(1, 1, -1, -1), palette.color(QPalette::Dark),
            palette.color(QPalette::Light));

    const QRect box = ToggleBoxRect(cell);
    const int index = kind.IndexOfItem(text);
    QColor fill = WindowColor(palette);
    if (pressed)
        fill = ButtonFaceColor(palette);
    else if (index < 0)
        fill = GrayTextColor(palette);
    painter.fillRect(box, fill);
    frame3D(painter, box, palette.color(QPalette::Dark), palette.color(QPalette::Light));
    frame3D(painter, box.adjusted(1, 1, -1, -1), palette.color(QPalette::Shadow),
            palette.color(QPalette::Button));

    if (index >= 0 && kind.Items().at(index).Value == 0) {
        // Exclusive corners of the box shrunk by one pixel on each side.
        const int left = box.left() + 1;
        const int top = box.top() + 1;
        const int right = box.left() + 13 - 1;
        const int bottom = box.top() + 13 - 1;
        painter.setClipRect(cell, Qt::IntersectClip);
        painter.setPen(QPen(palette.color(QPalette::ButtonText), 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(left, top, right - 1, bottom - 1);
        painter.drawLine(right - 1, top, left, bottom - 1);
    }
    painter.restore();
}

QRect DropDownButtonRect(int editorWidth, int editorHeight, int buttonWidth)
{
    return QRect(editorWidth - buttonWidth, 0, buttonWidth, editorHeight - 1);
}

void DrawDropDownButton(QPainter &painter, int editorWidth, int editorHeight, int buttonWidth,
                        bool pressed, const QPalette &palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawButtonFace(painter, DropDownButtonRect(editorWidth, editorHeight, buttonWidth), 1, pressed,
                   false, palette);
    painter.setPen(QPen(palette.color(QPalette::ButtonText), 0));
    const int x0 = editorWidth - buttonWidth / 2 - 4;
    const int y0 = editorHeight / 2 - 2;
    for (int k = 0; k < 4; ++k) {
        const int length = 7 - 2 * k;
        painter.drawLine(x0 + k, y0 + k, x0 + k + length - 1, y0 + k);
    }
    if (pressed) {
        focusFrame(painter, QRect(editorWidth - buttonWidth, 0, buttonWidth, editorHeight),
                   palette.color(QPalette::ButtonText));
    }
    painter.restore();
}

} // namespace cellpaint
