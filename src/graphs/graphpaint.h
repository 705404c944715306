// Drawing targets: the depth axis, the frame and the soil-coloured bars of a graph, on the
// graph window or on a printer page.
#pragma once

#include "graphstyle.h"

#include <QBrush>
#include <QList>
#include <QPoint>
#include <QRegion>

class QPainter;
class TReferenceTables;

// Soil colour groups: a soil type's group is its place in the soil-type list modulo 7.
constexpr int kSoilGroups = 7;

// The brush of a soil colour group: its colour, or (monochrome printing) a black hatch.
QBrush SoilBrush(int group, bool colour);

// Fills `region` as the bars of a soil colour group are filled (its colour, or its black hatch
// at the printout's spacing) and outlines it one pixel inside: for the bars and for a legend.
void PaintSoilFill(QPainter &canvas, const QRegion &region, int group, bool colour);

// The colour group of a soil-type text: its place in SoilTypes (one trailing "*" ignored)
// modulo 7; a type that is not in the list belongs to group 0.
int SoilGroupOf(const QString &soil, const TReferenceTables &tables);

// Base of the drawing targets. The caller sets the depth window and the grid spacing before
// DrawAxes and DrawData.
class TObject_Paint
{
public:
    virtual ~TObject_Paint();

    int FirstRow = 0;        // first point drawn as a bar by the last DrawData
    int LastRow = 0;         // last point drawn as a bar by the last DrawData
    int DepthLabels = 1;     // 1: depth labels, caption and value labels at the plot edges
    int MajorEvery = 5;      // every MajorEvery-th depth grid line is solid
    int MinorEvery = 4;      // a depth grid line at every MinorEvery-th quarter-metre tick
    int DepthFrom = 0;       // metres at the plot's top edge
    int DepthTo = 0;         // metres at the plot's bottom edge
    bool ColorPrint = false; // printer only: colours instead of black hatches

    // The plot of a drawing area with this target's margin rounding.
    virtual PlotRect PlotLayoutOf(const QRect &area) const = 0;
    // Readies the plot before drawing (the window paints it white; paper is white already).
    virtual void PreparePlot(const PlotRect &plot, QPainter &canvas) const;

    // The bars of `style`: scales = (pixels per value unit, pixels per cm); origin = (plot
    // left, plot top). The row before the first point deeper than DepthTo is stretched down
    // to DepthTo in the style's points, so the next depth window starts there.
    virtual void DrawData(TGraphStyle &style, TGraphScales scales, QPoint origin, QPainter &canvas,
                          const TReferenceTables &tables, bool wswMode) = 0;
    // The depth axis (ticks, labels, caption) and the frame; the targets add the value axis.
    virtual void DrawAxes(const TGraphStyle &style, const PlotRect &plot, TGraphScales scales,
                          QPainter &canvas);

    // The bar shapes DrawData fills, one merged region per soil colour group (kSoilGroups
    // entries). Sets FirstRow and LastRow and stretches the points as DrawData does.
    QList<QRegion> BuildSoilRegions(TGraphStyle &style, TGraphScales scales, QPoint origin,
                                    const TReferenceTables &tables, bool wswMode);

protected:
    // Fills every group region with its brush and outlines it once, one pixel inside.
    static void PaintSoilRegions(const QList<QRegion> &regions, QPainter &canvas, bool colour);
};

// The graph window's target: margins to the nearest pixel, colours.
class TForm_Paint : public TObject_Paint
{
public:
    PlotRect PlotLayoutOf(const QRect &area) const override;
    void PreparePlot(const PlotRect &plot, QPainter &canvas) const override;
    void DrawData(TGraphStyle &style, TGraphScales scales, QPoint origin, QPainter &canvas,
                  const TReferenceTables &tables, bool wswMode) override;
    void DrawAxes(const TGraphStyle &style, const PlotRect &plot, TGraphScales scales,
                  QPainter &canvas) override;
};

// The printer's target: margins truncated, colours or black hatches (ColorPrint).
class TPrint_Paint : public TObject_Paint
{
public:
    PlotRect PlotLayoutOf(const QRect &area) const override;
    void DrawData(TGraphStyle &style, TGraphScales scales, QPoint origin, QPainter &canvas,
                  const TReferenceTables &tables, bool wswMode) override;
    void DrawAxes(const TGraphStyle &style, const PlotRect &plot, TGraphScales scales,
                  QPainter &canvas) override;
};

// The one-pixel border just inside `region`: its pixels that touch the outside.
QRegion RegionFrame(const QRegion &region);
