// The location plan of a site's test points (試験位置図): the points to scale with their labels
// and ground levels, the building outline, a north arrow and a scale bar.
#pragma once

#include "sitedraw.h"

#include <QList>
#include <QPointF>
#include <QRect>

class QPainter;
struct TSiteData;

// Where the plan put things, for callers and tests: metres map to pixels as
// (Centre.x + (x − Middle.x) · PixelsPerMetre, Centre.y − (y − Middle.y) · PixelsPerMetre).
struct TSitePlanLayout
{
    QRect Plot; // where points and outline may lie
    double PixelsPerMetre = 0;
    QPointF Middle;          // metres
    QPointF Centre;          // pixels
    double ScaleMetres = 0;  // the scale bar's length
    QList<QRect> LabelBoxes; // each placed point's label, in the order of the points

    QPointF Map(const QPointF &metres) const
    {
        return {Centre.x() + (metres.x() - Middle.x()) * PixelsPerMetre,
                Centre.y() - (metres.y() - Middle.y()) * PixelsPerMetre};
    }
};

// Draws the plan of `data` into `area`. Points without a position are named in a note under
// it; when no point has one, the plan says so.
TSitePlanLayout DrawSitePlan(QPainter &canvas, const QRect &area, const TSiteData &data,
                             const TSiteDrawStyle &style);
