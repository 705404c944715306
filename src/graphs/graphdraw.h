// One whole graph of a test on a canvas: the entry the graph window, the printout, the
// command-line tool and the tests share.
#pragma once

#include "drawtext.h"
#include "graphpaint.h"
#include "graphstyle.h"

#include <QList>
#include <QRect>
#include <memory>

class QPainter;
class TReferenceTables;
struct TSetting;

// The two graph kinds, numbered as the automation interface numbers them.
enum class TGraphKind { Nsw = 0, N = 1 };

// A fresh style of `kind` with its axis range from the settings (NswMax or NMax), no points yet.
std::unique_ptr<TGraphStyle> MakeGraphStyle(TGraphKind kind, const TSetting &setting);
// A fresh drawing target for `target`.
std::unique_ptr<TObject_Paint> MakeGraphPaint(TPaintTarget target);

// The drawing sequence of one graph whose style already holds its points: plot layout inside
// `area` with the target's margin rounding, the plot readied (white on the window), depth
// window 0 .. `depthRange` m with labels, solid metre lines every 5 m and dotted ones between,
// the axes, the torque curve when `torque` is given, and the bars last. The canvas font family
// is kept; heights are set per text. Returns the plot.
PlotRect PaintGraph(QPainter &canvas, const QRect &area, TGraphStyle &style, TObject_Paint &paint,
                    int depthRange, const QList<TTorquePair> *torque, const TSetting &setting,
                    const TReferenceTables &tables);

// What to draw with DrawGraph.
struct TGraphRequest
{
    TGraphKind Kind = TGraphKind::Nsw;
    TPaintTarget Target = TPaintTarget::Window;
    bool Torque = false;    // lay the torque curve over the graph
    bool ColorPrint = true; // printer target: colours (true) or black hatches (false)
};

// Draws `log` as a whole graph into `area` of `canvas`: a style of the wanted kind is loaded
// from the log, the depth range follows the log's final depth and the Depth1 option, the
// text uses the target's Gothic font. `torque` is the test's torque list (TestQuantities).
// Raises EConvertError when a value text of the log is not a number; nothing is drawn then.
PlotRect DrawGraph(QPainter &canvas, const QRect &area, const Tkannyu &log,
                   const QList<TTorquePair> &torque, const TSetting &setting,
                   const TReferenceTables &tables, const TGraphRequest &request);
