// Pixel rounding, the Gothic fonts and text placed by an anchor point, shared by every graph
// and printout drawing.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPainter;

// x taken to the nearest integer, ties to even. Values beyond the int range (an empty plot
// dividing by zero) are clamped so a degenerate drawing never overflows.
int Nearest(double x);
// x with its fraction dropped toward zero, clamped like Nearest.
int Trunc(double x);

// Which canvas a graph is drawn on: the graph window or a printer page.
enum class TPaintTarget { Window, Printer };

// The font families in the order asked for: the fixed-pitch Gothic of printouts or the
// proportional Gothic of the graph window, then what a machine without them has.
QStringList GothicFamilies(bool proportional);
// A regular Gothic font of `pixelHeight` pixels; proportional for the window.
QFont GothicFont(bool proportional, int pixelHeight);
// The proportional Gothic families of measured texts and the reports: "ＭＳ Ｐゴシック", else
// the IPA or Noto proportional face, the fixed-pitch IPA Gothic last.
QStringList ProportionalGothicFamilies();
// A proportional Gothic of `pixelHeight` pixels for texts that are measured where they are
// placed (the site drawings, the graph window's captions): "ＭＳ Ｐゴシック", else the IPA or
// Noto proportional face. At a few pixels a fixed-pitch face's narrow "B" reads as "8".
QFont ProportionalGothicFont(int pixelHeight);
// The font a graph starts from on its target (the window's "ＭＳ Ｐゴシック" 12 px, the
// printout's "ＭＳ ゴシック").
QFont GraphFont(TPaintTarget target);

// Sets the canvas font height in pixels, keeping its family (at least 1 pixel).
void SetFontHeight(QPainter &canvas, int pixelHeight);
// Sets the font of a caption (a word, not a figure) of `pixelHeight` pixels. On the graph
// window's font the caption takes ProportionalGothicFont, legible at the few pixels the graph
// gives it; the window's figures keep their font, placed for half-width digits. On the
// printout's font this is SetFontHeight.
void SetCaptionFontHeight(QPainter &canvas, int pixelHeight);

// Writes `text` with the top-left corner of its box at (x, y).
void TextOut(QPainter &canvas, int x, int y, const QString &text);

// Writes `text` so that the anchor point of its box lies at (x, y):
//   0, 9, >12: top-left      1, 10: top-centre      2, 11: top-right
//   3: middle-left           4, 12: centre          5: middle-right
//   6: bottom-left           7: bottom-centre       8: bottom-right
// Half widths and heights are integer halves.
void DrawTextAnchored(QPainter &canvas, int x, int y, int anchor, const QString &text);

// A black pen of `width` device pixels (at least 1) in `style`.
void SetPen(QPainter &canvas, int width, Qt::PenStyle style);
