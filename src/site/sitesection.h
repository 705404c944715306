// The cross-section of a site (推定断面図): the points in list order at their distances (or
// evenly spaced), each a column of its rounded Nsw at its ground level on one elevation axis,
// the self-sinking stretches, the base and 2 m below it, and the soft layers' bottoms of
// neighbouring points joined with the slope written on the line.
#pragma once

#include "sitedraw.h"

#include <QList>
#include <QRect>

class QPainter;
struct TSiteData;

// Nsw at which a column's bar reaches its half width (more is drawn as this).
inline constexpr int kSectionNswFull = 150;

// Which points a section shows and at what horizontal scale.
struct TSiteSectionRange
{
    qsizetype First = 0;
    qsizetype Last = -1; // -1: to the last point
    // Pixels per metre (per step when evenly spaced); 0 fits the points into the area.
    double PixelsPerUnit = 0;
};

// Where the section put things, for callers and tests.
struct TSiteSectionLayout
{
    QRect Plot;                // the columns' area
    QList<double> ColumnX;     // centre of each shown point's column
    int HalfWidth = 0;         // of a column
    double PixelsPerUnit = 0;  // horizontally
    double PixelsPerMetre = 0; // vertically (elevation)
    double TopLevel = 0;       // the elevation at Plot's top (metres)

    double YOf(double level) const { return Plot.top() + (TopLevel - level) * PixelsPerMetre; }
};

// Left and right of the columns' area, in text heights: the elevation axis and the room the
// outer points' labels need. Callers that share one horizontal scale over several pages work
// with the width that remains.
inline constexpr int kSectionSideRoom = 15;

// The ranges of points for pages `areaWidth` wide: as many points on each as keep their labels
// legible, neighbouring pages sharing a point so every joining line appears, and one
// horizontal scale for all of them (in each range's PixelsPerUnit).
QList<TSiteSectionRange> SiteSectionPages(const TSiteData &data, int areaWidth, int textHeight);

// Draws the section of the points in `range` into `area`. The elevation axis covers every
// point of the site, so pages of one site share it.
TSiteSectionLayout DrawSiteSection(QPainter &canvas, const QRect &area, const TSiteData &data,
                                   const TSiteDrawStyle &style, TSiteSectionRange range = {});
