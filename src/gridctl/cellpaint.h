// Drawing of the grid's cells that the toolkit does not offer: aligned cell text, push-button
// cells, toggle boxes and the drop-down button of the in-place editor.
#pragma once

#include <QRect>
#include <QString>

class QColor;
class QFontMetrics;
class QPainter;
class QPalette;
class TCellKind;

namespace cellpaint {

// Where a text of the given size lands in `cell` for the alignment flags: margin from the left
// (or right) edge, vertically centred, 2 pixels from the top, or at the bottom (2 pixels above it
// in fixed cells).
QRect TextBox(const QRect &cell, quint8 align, int margin, int textWidth, int textHeight,
              bool fixedCell);

// Writes `text` into `cell` at its aligned place, clipped to the cell. The background is the
// caller's.
void DrawCellText(QPainter &painter, const QRect &cell, const QString &text, quint8 align,
                  int margin, bool fixedCell, const QColor &color);

// A raised (or, when down, sunken) push-button face with a bevel of `bevel` pixels, square
// corners, and a focus rectangle when focused. Answers the inner face rectangle.
QRect DrawButtonFace(QPainter &painter, const QRect &rect, int bevel, bool down, bool focused,
                     const QPalette &palette);

// A button cell: face with a 3-pixel bevel, the text centred on it, a highlight line along the
// left and top edge of the cell.
void DrawButtonCell(QPainter &painter, const QRect &cell, const QString &text, bool pressed,
                    bool focused, const QPalette &palette);

// The 13 × 13 box of a toggle cell, centred in the cell.
QRect ToggleBoxRect(const QRect &cell);

// A toggle cell: framed cell face with the box in the middle; a grey box for a text that is not
// among the kind's states, a crossed box for a state of value 0, an empty box otherwise.
void DrawToggleCell(QPainter &painter, const QRect &cell, const TCellKind &kind,
                    const QString &text, bool pressed, const QPalette &palette);

// The drop-down button of the in-place editor, at its right edge, with the arrow.
QRect DropDownButtonRect(int editorWidth, int editorHeight, int buttonWidth);
void DrawDropDownButton(QPainter &painter, int editorWidth, int editorHeight, int buttonWidth,
                        bool pressed, const QPalette &palette);

// The colours the drawing uses, taken from the palette.
QColor ButtonFaceColor(const QPalette &palette);
QColor GrayTextColor(const QPalette &palette);
QColor WindowColor(const QPalette &palette);

} // namespace cellpaint
