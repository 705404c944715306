#include "graphdraw.h"

#include "settings.h"

#include <QPainter>

std::unique_ptr<TGraphStyle> MakeGraphStyle(TGraphKind kind, const TSetting &setting)
{
    std::unique_ptr<TGraphStyle> style;
    if (kind == TGraphKind::Nsw) {
        style = std::make_unique<TNswGraph>();
        style->AxisMax = setting.NswMax;
    } else {
        style = std::make_unique<TNGraph>();
        style->AxisMax = setting.NMax;
    }
    return style;
}

std::unique_ptr<TObject_Paint> MakeGraphPaint(TPaintTarget target)
{
    if (target == TPaintTarget::Window)
        return std::make_unique<TForm_Paint>();
    return std::make_unique<TPrint_Paint>();
}

PlotRect PaintGraph(QPainter &canvas, const QRect &area, TGraphStyle &style, TObject_Paint &paint,
                    int depthRange, const QList<TTorquePair> *torque, const TSetting &setting,
                    const TReferenceTables &tables)
{
    const PlotRect plot = paint.PlotLayoutOf(area);
    paint.PreparePlot(plot, canvas);
    paint.DepthFrom = 0;
    paint.DepthTo = depthRange;
    paint.DepthLabels = 1;
    paint.MajorEvery = 5;
    paint.MinorEvery = 4;
    const double xs = style.AxisMax > 0 ? double(plot.Width()) / style.AxisMax : 0;
    const TGraphScales axisScales{xs, 1.0};
    paint.DrawAxes(style, plot, axisScales, canvas);
    if (torque != nullptr)
        style.DrawTorque(plot, axisScales, canvas, *torque, setting.TorqueMax, depthRange);
    const int spanCm = (paint.DepthTo - paint.DepthFrom) * 100;
    const double ys = spanCm > 0 ? double(plot.Height()) / spanCm : 0;
    paint.DrawData(style, {xs, ys}, QPoint(plot.Left, plot.Top), canvas, tables, setting.WswMode);
    return plot;
}

PlotRect DrawGraph(QPainter &canvas, const QRect &area, const Tkannyu &log,
                   const QList<TTorquePair> &torque, const TSetting &setting,
                   const TReferenceTables &tables, const TGraphRequest &request)
{
    const std::unique_ptr<TGraphStyle> style = MakeGraphStyle(request.Kind, setting);
    style->LoadPoints(log, setting);
    const std::unique_ptr<TObject_Paint> paint = MakeGraphPaint(request.Target);
    paint->ColorPrint = request.ColorPrint;

    canvas.save();
    canvas.setFont(GraphFont(request.Target));
    const PlotRect plot =
        PaintGraph(canvas, area, *style, *paint, GraphDepthRange(log.FinalDepth, setting.Depth1),
                   request.Torque ? &torque : nullptr, setting, tables);
    canvas.restore();
    return plot;
}
