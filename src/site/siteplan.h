// The location plan of a site's test points (試験位置図): the points to scale with their labels
// and ground levels, the distances between neighbours, the building outline, a north arrow and
// a scale bar.
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
    QPointF Middle;         // metres
    QPointF Centre;         // pixels
    double ScaleMetres = 0; // the scale bar's length
    // The points drawn (with a position, not far from the others), in the order of the points,
    // and the box of each one's label: its label and ground level, or its number when they
    // could not all be placed beside their marks.
    QList<qsizetype> Drawn;
    QList<QRect> LabelBoxes;
    bool Numbered = false;
    QRect List; // the numbered points' labels and levels beside the plan, when Numbered

    QPointF Map(const QPointF &metres) const
    {
        return {Centre.x() + (metres.x() - Middle.x()) * PixelsPerMetre,
                Centre.y() - (metres.y() - Middle.y()) * PixelsPerMetre};
    }
};

// Draws the plan of `data` into `area`, filling it. Every label stands clear of the others, of
// the marks and of the dimension lines between neighbouring points; when they cannot all, the
// marks are numbered and listed beside the plan. Points without a position, and points far
// from the others (the scale is kept for the rest), are named in notes under it; when no point
// has a position, the plan says so.
TSitePlanLayout DrawSitePlan(QPainter &canvas, const QRect &area, const TSiteData &data,
                             const TSiteDrawStyle &style);
