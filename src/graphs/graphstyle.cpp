#include "graphstyle.h"

#include "drawtext.h"
#include "errors.h"
#include "fieldlimits.h"
#include "settings.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Grid steps of the value axes in value-axis units (Nsw, converted N) and in load units.
constexpr double kNswStep = 20;
constexpr double kNStep = 2;
constexpr double kLoadStep = 25;
// The load part of the Nsw axis: 50 units from 0 kN at the left edge to 1.00 kN at zero.
constexpr int kNswOrigin = 50;
constexpr double kNswLoadScale = 0.5;
constexpr int kFullLoad = 100;

int RoundMargin(long double margin, TMarginRounding rounding)
{
    // The margin factors are applied in extended precision, as the printout's page geometry is.
    return int(rounding == TMarginRounding::Nearest ? std::nearbyintl(margin)
                                                    : std::truncl(margin));
}

// Rows a log really holds: Count, but never past the end of its row array.
int RowsOf(const Tkannyu &test)
{
    return std::clamp(test.Count, 0, std::max(0, test.rowArrayLength() - 1));
}

void VerticalLine(QPainter &canvas, int x, const PlotRect &plot)
{
    canvas.drawLine(QPoint(x, plot.Top), QPoint(x, plot.Bottom));
}

// The dotted value lines from x0 to the right edge, one every `step`; `place` rounds a line's
// position (the two graphs round differently). Answers the last line drawn.
template<typename Place>
int DottedValueLines(QPainter &canvas, const PlotRect &plot, int x0, double step, Place place)
{
    SetPen(canvas, 1, Qt::DotLine);
    int last = x0;
    for (int k = 0;; ++k) {
        last = place(x0 + step * k);
        VerticalLine(canvas, last, plot);
        if (step <= 0 || place(x0 + step * k + step) >= plot.Right)
            break;
    }
    return last;
}

// The solid value lines every fifth step with their labels (`perStep` times the step count) in
// a font of height f. A label that would stand on the last dotted line or the right edge is left
// out on a table page (`depthLabels` 0), where the table's own texts stand there.
template<typename Place>
void SolidValueLines(QPainter &canvas, const PlotRect &plot, int x0, double step, Place place,
                     int f, int perStep, int lastDotted, int depthLabels)
{
    SetPen(canvas, 1, Qt::SolidLine);
    for (int k = 0;; k += 5) {
        const int x = place(x0 + step * k);
        if (x > plot.Right)
            break;
        VerticalLine(canvas, x, plot);
        if (depthLabels != 0 || (x != lastDotted && x != plot.Right))
            TextOut(canvas, Nearest(x - f / 2.0), Nearest(plot.Top - 1.25 * f),
                    QString::asprintf("%2d", perStep * k));
        if (step <= 0)
            break;
    }
}

} // namespace

int GraphDepthRange(int finalDepthCm, int depth1)
{
    // A step beyond the deepest depth a data file holds, or a final depth beyond it, comes only
    // from a garbled settings file or log; the plot is drawn a quarter metre at a time, so such a
    // range would take the program's time and overflow the arithmetic.
    constexpr int kMaxStepMetres = kMaxDepthCm / 100 + 1;
    const int d = std::clamp(depth1, 1, kMaxStepMetres);
    finalDepthCm = std::min(finalDepthCm, kMaxDepthCm);
    const int step = d * 100;
    if (finalDepthCm <= step)
        return d;
    return d * (finalDepthCm / step + (finalDepthCm % step != 0 ? 1 : 0));
}

PlotRect PlotLayout(const QRect &area, TMarginRounding rounding)
{
    const long double h = area.height();
    const long double w = area.width();
    const int topMargin = RoundMargin(0.15L * h, rounding);
    const int bottomMargin = RoundMargin(0.05L * h, rounding);
    const int leftMargin = RoundMargin(0.20L * w, rounding);
    const int rightMargin = RoundMargin(0.05L * w, rounding);
    PlotRect plot;
    plot.Top = area.top() + topMargin;
    plot.Left = area.left() + leftMargin;
    plot.Bottom = plot.Top + (area.height() - topMargin - bottomMargin);
    plot.Right = plot.Left + (area.width() - leftMargin - rightMargin);
    return plot;
}

TGraphStyle::~TGraphStyle() = default;

void TGraphStyle::DrawTorque(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                             const QList<TTorquePair> &pairs, int torqueMax, int depthRange) const
{
    // Without positive scales there is nothing to measure the curve against.
    if (torqueMax <= 0 || AxisMax <= 0 || depthRange <= 0)
        return;
    const int top = plot.Top;
    const int right = plot.Right;
    const int xt = Trunc(double(plot.Width()) * Data.Origin / AxisMax) + plot.Left;
    const int w = right - xt;
    const double px = double(w) / torqueMax;
    const int r = std::max(1, Trunc(w / 200.0));
    const double d = depthRange * 100.0;
    const double h = plot.Height();

    canvas.save();
    SetPen(canvas, Trunc(w / 1000.0), Qt::SolidLine);
    canvas.setBrush(Qt::white);
    QPoint at(xt, top);
    for (const TTorquePair &pair : pairs) {
        int x = Trunc(pair.Torque * px) + xt;
        const int y = Trunc(pair.Depth * scales.Y / d * h) + top;
        if (x >= right) {
            // Beyond the axis: pinned to the edge, without a marker.
            x = right;
        } else if (pair.Torque != 0) {
            canvas.drawEllipse(QRect(x - r, y - r, 2 * r, 2 * r));
        }
        const QPoint next(x, y);
        canvas.drawLine(at, next);
        at = next;
    }

    const int f = std::min(Nearest(h / 30), Nearest((right - xt) / 25.0));
    SetFontHeight(canvas, f);
    const int labelTop = plot.Bottom + f / 2;
    DrawTextAnchored(canvas, xt, labelTop, 1, QStringLiteral("0"));
    DrawTextAnchored(canvas, right, labelTop, 1, QString::number(torqueMax));
    SetCaptionFontHeight(canvas, f);
    DrawTextAnchored(canvas, (xt + right) / 2, labelTop, 1, QStringLiteral("トルク(N･m)"));
    canvas.restore();
}

void TNswGraph::LoadPoints(const Tkannyu &test, const TSetting &setting)
{
    Tdraw_data data;
    data.LoadScale = kNswLoadScale;
    const int count = RowsOf(test);
    data.Points.resize(count + 1);
    for (int r = 1; r <= count; ++r) {
        const Tvt_data &row = test.row(r);
        const bool selfSinking = row.Nsw == kSelfSinking || NaValue(row.Nsw, setting.NaMode) == 0;
        TTDrawdata &point = data.Points[r];
        if (!setting.WswMode) {
            // The load reads leftwards from the zero line (1.00 kN) to the left edge (0 kN).
            point.Value = selfSinking ? (StrToInt(row.Wsw) - kFullLoad) * data.LoadScale
                                      : std::min(StrToFloat(row.Nsw), double(setting.NswMax - 50));
        } else {
            // Self-sinking bars grow from the left edge; Nsw bars start behind the full load.
            point.Value = selfSinking ? StrToInt(row.Wsw) * data.LoadScale
                                      : std::min(50 + StrToFloat(row.Nsw), double(setting.NswMax));
        }
        point.Depth = row.Depth;
        point.Doshitu = row.Doshitu;
    }
    data.Origin = kNswOrigin;
    data.ValueScale = 1.0;
    data.Count = count;
    Data = std::move(data);
}

void TNswGraph::DrawValueAxis(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                              int depthLabels) const
{
    const double xs = scales.X;
    const double origin = Data.Origin;
    const double nswStep = kNswStep * Data.ValueScale * xs;
    const double loadStep = kLoadStep * Data.ValueScale * Data.LoadScale * xs;
    const int top = plot.Top;
    const int left = plot.Left;
    const int x0 = left + Trunc(origin * xs);

    canvas.save();
    SetPen(canvas, 1, Qt::SolidLine);
    VerticalLine(canvas, x0, plot);

    const auto nearest = [](double x) {
        return Nearest(x);
    };
    const int lastMinor = DottedValueLines(canvas, plot, x0, nswStep, nearest);
    for (int k = 0;; ++k) {
        VerticalLine(canvas, Nearest(x0 - loadStep * k), plot);
        if (loadStep <= 0 || Nearest(x0 - loadStep * k - loadStep) <= left)
            break;
    }

    const int f = std::min(Nearest(plot.Height() / 50.0), Nearest(plot.Width() / 30.0));
    SetFontHeight(canvas, f);
    SolidValueLines(canvas, plot, x0, nswStep, nearest, f, 20, lastMinor, depthLabels);

    for (int k = 0;; k += 2) {
        const double xf = x0 - loadStep * k;
        const int x = Trunc(xf);
        TextOut(canvas, x, Nearest(top - 3.25 * f), QString::asprintf("%-4.2f", 1 - 0.25 * k));
        TextOut(canvas, x, Nearest(top - 2.25 * f), QString::asprintf("%-3d", 100 - 25 * k));
        if (loadStep <= 0 || Trunc(xf - loadStep) <= left)
            break;
    }

    SetCaptionFontHeight(canvas, f);
    TextOut(canvas, Nearest(x0 + 2.0 * f), Nearest(top - 3.25 * f), QStringLiteral("(kN)"));
    TextOut(canvas, Nearest(x0 + 1.5 * f), Nearest(top - 2.25 * f), QStringLiteral("(kgf)"));
    TextOut(canvas, Nearest(left + 0.75 * f), Nearest(top - 4.5 * f), QStringLiteral("荷重"));
    TextOut(canvas, Nearest(left + origin * xs + 3.0 * f), Nearest(top - 4.5 * f),
            QStringLiteral("1mあたりの半回転数(Nsw)"));
    canvas.restore();
}

void TNGraph::LoadPoints(const Tkannyu &test, const TSetting &setting)
{
    Tdraw_data data;
    const int count = RowsOf(test);
    data.Points.resize(count + 1);
    for (int r = 1; r <= count; ++r) {
        const Tvt_data &row = test.row(r);
        TTDrawdata &point = data.Points[r];
        point.Value = std::min(row.NValue, double(setting.NMax));
        point.Depth = row.Depth;
        point.Doshitu = row.Doshitu;
    }
    data.Origin = 0;
    data.ValueScale = 1.0;
    data.Count = count;
    Data = std::move(data);
}

void TNGraph::DrawValueAxis(const PlotRect &plot, TGraphScales scales, QPainter &canvas,
                            int depthLabels) const
{
    const double xs = scales.X;
    const double step = kNStep * Data.ValueScale * xs;
    const int top = plot.Top;
    const int x0 = plot.Left + Trunc(Data.Origin * xs);

    canvas.save();
    SetPen(canvas, 1, Qt::SolidLine);
    VerticalLine(canvas, x0, plot);

    const auto trunc = [](double x) {
        return Trunc(x);
    };
    const int lastMinor = DottedValueLines(canvas, plot, x0, step, trunc);

    const int f = std::min(Nearest(plot.Height() / 40.0), Nearest(plot.Width() / 25.0));
    SetFontHeight(canvas, f);
    SolidValueLines(canvas, plot, x0, step, trunc, f, 2, lastMinor, depthLabels);

    const int f3 = std::min(Nearest(plot.Height() / 30.0), Nearest(plot.Width() / 25.0));
    SetCaptionFontHeight(canvas, f3);
    TextOut(canvas, Nearest(plot.Left + Data.Origin * xs + 8.0 * f3), Nearest(top - 3.0 * f3),
            QStringLiteral("換算N値"));
    canvas.restore();
}
