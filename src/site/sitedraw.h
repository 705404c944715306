// What the site's drawings share: how they look on their device, the texts they write beside
// the points, and the steps of their scales.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPainterPath>
#include <QPoint>
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

// The drawings' font: a proportional Gothic at `pixelHeight`, legible at small sizes.
QFont SiteFont(int pixelHeight);
// The width of a thin line for a drawing of this text height.
int SiteLineWidth(const TSiteDrawStyle &style);
// The colour of a mark that is red in colour (the base, self-sinking) and black otherwise.
QColor SiteAccent(const TSiteDrawStyle &style);

// The note under a drawing that left out distances between points it had no room for.
QString OmittedDistancesNote();

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

// Draws the north arrow, its tip at `tip`, `height` pixels long.
void DrawNorthArrow(QPainter &canvas, const QPoint &tip, int height, const TSiteDrawStyle &style);

// Where a label may go: its box, and the leader that ties it to its mark when it stands off.
struct TLabelCandidate
{
    QRect Box;
    std::optional<QLineF> Leader;
};

// Where a text may stand around a mark.
enum class TAround {
    RightUp,
    RightDown,
    LeftUp,
    LeftDown,
    Top,
    Bottom,
    Right,
    Left,
    TopRight,
    TopLeft,
    BottomRight,
    BottomLeft
};

// The box of `size` in `place` around the mark at `at` (taken to its pixel), `away` pixels from
// it: a candidate place of the mark's label.
QRect BoxAround(TAround place, const QPointF &at, int away, const QSize &size);

// Places boxes one by one where they overlap no box placed before and cross no line kept clear,
// their leaders crossing no box: each is tried at its candidate places in order, the first free
// one taken. A label with no free place is left for the caller to drop, thin or number: a
// label drawn over another would hide both.
class TLabelPlacer
{
public:
    explicit TLabelPlacer(const QRect &bounds) : m_bounds(bounds) {}
    // A box that labels must keep clear of, such as a point's mark.
    void Block(const QRect &box) { m_taken.append(box); }
    // A line that labels must not lie across, such as a dimension line.
    void BlockLine(const QLineF &line) { m_lines.append(line); }
    // An outline whose edges labels should not cross nor come within `clearance` pixels of
    // (they may lie inside or outside it).
    void Avoid(const QPolygonF &outline, int clearance);
    // True when `box` lies within the bounds and clear of everything placed.
    bool IsFree(const QRect &box) const;
    // The index of the candidate taken (its box and leader then kept clear of), or -1.
    qsizetype Place(const QList<TLabelCandidate> &candidates);
    // The box taken among plain boxes, or none.
    std::optional<QRect> Place(const QList<QRect> &candidates);

private:
    bool leaderIsFree(const QLineF &leader) const;

    QRect m_bounds;
    QList<QRect> m_taken;
    QList<QLineF> m_lines;
    QPainterPath m_outline;
    int m_clearance = 0;
};

// True when the segment `line` runs through `box` (or ends inside it).
bool LineCrossesBox(const QLineF &line, const QRectF &box);
// The leader from a round mark of `radius` at `centre` to the nearest point of `box`; none when
// the box lies within `reach` of the mark, so that it reads as the mark's own without one.
std::optional<QLineF> LeaderTo(const QPointF &centre, double radius, const QRect &box, int reach);
