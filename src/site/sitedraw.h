// What the site's drawings share: how they look on their device, the texts they write beside
// the points, and the steps of their scales.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QPainter;

// How a site drawing looks on its device.
struct TSiteDrawStyle
{
    bool Color = true;   // colours, else black, white and greys that print on any printer
    int TextHeight = 12; // pixels of an ordinary label; lines and marks scale with it
    bool Caption = true; // a line naming the drawing and the site (pictures standing alone)
};

// The text height of a plan or section picture of `size` pixels standing alone.
int SitePictureTextHeight(const QSize &size);

// The drawings' font: the printouts' Gothic at `pixelHeight`.
QFont SiteFont(int pixelHeight);
// The width of a thin line for a drawing of this text height.
int SiteLineWidth(const TSiteDrawStyle &style);
// The colour of a mark that is red in colour (the base, self-sinking) and black otherwise.
QColor SiteAccent(const TSiteDrawStyle &style);

// A ground level as written beside a point: "GL+0.30", "GL±0.00", "GL -".
QString GroundLevelText(const std::optional<double> &metres);

// The round step (1, 2 or 5 times a power of ten) nearest above `span` / `count`.
double RoundStep(double span, int count);
// The largest round length (1, 2 or 5 times a power of ten metres) at most `maxMetres`.
double RoundLengthAtMost(double maxMetres);
// A length of a scale bar as written under it: "5", "2.5", "0.5".
QString ScaleLengthText(double metres);

// Draws a scale bar `lengthPixels` long for `metres`, its left end at (x, y) (the bar's top),
// in two halves, black and white, labelled 0, the middle and the end with "m".
void DrawScaleBar(QPainter &canvas, int x, int y, int lengthPixels, double metres,
                  const TSiteDrawStyle &style);

// Places boxes one by one where they overlap no box placed before: each is tried at its
// candidate places in order, the first free one taken (the first one when none is free).
class TLabelPlacer
{
public:
    explicit TLabelPlacer(const QRect &bounds) : m_bounds(bounds) {}
    // A box that labels must keep clear of, such as a point's mark.
    void Block(const QRect &box) { m_taken.append(box); }
    // An outline whose edges labels should not cross nor come within `clearance` pixels of
    // (they may lie inside or outside it).
    void Avoid(const QPolygonF &outline, int clearance);
    QRect Place(const QList<QRect> &candidates);

private:
    QRect m_bounds;
    QList<QRect> m_taken;
    QPainterPath m_outline;
    int m_clearance = 0;
};
