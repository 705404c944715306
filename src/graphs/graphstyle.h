// Graph styles: a test turned into bar points against depth, the value axis and the torque
// curve of the Nsw graph and the converted-N graph.
#pragma once

#include "record.h"

#include <QList>
#include <QRect>
#include <QString>

class QPainter;
struct TSetting;

// One bar: its length in value-axis units from the zero line (negative: to the left), the
// depth of its lower end in cm and the soil type that chooses its colour.
struct TTDrawdata
{
    double Value = 0;
    int Depth = 0;
    QString Doshitu;
};

// The points of a style. Points[0] is the origin; 1 .. Count are the rows.
struct Tdraw_data
{
    QList<TTDrawdata> Points;
    double ValueScale = 0; // multiplies every Value and the value-axis grid step
    int Origin = 0;        // zero line, in value-axis units from the plot's left edge
    double LoadScale = 0;  // value-axis units per hundredth of a kN (Nsw graph)
    int Count = 0;
};

// The plot rectangle in device pixels.
struct PlotRect
{
    int Top = 0;
    int Bottom = 0;
    int Right = 0;
    int Left = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const PlotRect &) const = default;
};

// Pixels per value-axis unit, and a second factor: the depth multiplier (1.0) for the axes and
// the torque curve, pixels per cm of depth for the bars.
struct TGraphScales
{
    double X = 0;
    double Y = 1.0;
};

// Depth range of a graph in whole metres: `depth1` (the Depth1 option) or the smallest multiple
// of it that reaches the final depth. A non-positive step counts as 1 m; the step is at most
// 100 m and the final depth at most the depth field's 99.99 m.
int GraphDepthRange(int finalDepthCm, int depth1);

// How the margins of the plot layout are rounded: to the nearest pixel on the window,
// truncated on the printer.
enum class TMarginRounding { Nearest, Trunc };

// The plot inside a drawing area: margins of 15 % above, 5 % below, 20 % left and 5 % right.
PlotRect PlotLayout(const QRect &area, TMarginRounding rounding);

// Base of the two graph kinds. AxisMax (value-axis units across the plot) is set by the creator:
// NswMax for the Nsw graph, NMax for the converted-N graph.
class TGraphStyle
{
public:
    virtual ~TGraphStyle();

    Tdraw_data Data;
    int AxisMax = 0;

    // Rebuilds the points from the rows of `test`. Raises EConvertError on a value text that is
    // not a number; the points stay as they were then.
    virtual void LoadPoints(const Tkannyu &test, const TSetting &setting) = 0;
    // The horizontal axis: zero line, grid lines, labels and title above the plot.
    // `depthLabels` 0 (table pages) leaves out the labels at the last grid line and the edge.
    virtual void DrawValueAxis(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                               int depthLabels) const = 0;
    // The torque curve right of the zero line, with its axis labels below the plot.
    // `depthRange` is the graph's depth range in metres.
    virtual void DrawTorque(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                            const QList<TTorquePair> &pairs, int torqueMax, int depthRange) const;
};

// Half-turns per metre, with the load of self-sinking rows left of the zero line.
class TNswGraph : public TGraphStyle
{
public:
    void LoadPoints(const Tkannyu &test, const TSetting &setting) override;
    void DrawValueAxis(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                       int depthLabels) const override;
};

// Converted N value (換算N値) over the whole width.
class TNGraph : public TGraphStyle
{
public:
    void LoadPoints(const Tkannyu &test, const TSetting &setting) override;
    void DrawValueAxis(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                       int depthLabels) const override;
};
