#include "evaluationreport.h"

#include "drawtext.h"
#include "evaluationmarks.h"
#include "graphdraw.h"
#include "reporttext.h"
#include "settings.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <memory>

namespace {

QString defaultTitle()
{
    return QStringLiteral("地盤評価（スクリューウェイト貫入試験）");
}

QString baseLine(int baseDepthCm)
{
    return QStringLiteral("基礎底面の深さ B = %1 m").arg(MetresText(baseDepthCm));
}

// The graphs draw every self-sinking load as a bar growing from the load part's left edge, so
// one of 1.00 kN fills it rather than drawing nothing.
TSetting graphSetting(const TSetting &setting)
{
    TSetting drawn = setting;
    drawn.WswMode = true;
    return drawn;
}

// Text in a box, shortened with an ellipsis rather than running into the next one.
void boxText(QPainter &canvas, const QRect &box, const QString &text)
{
    const QString shown = canvas.fontMetrics().elidedText(text, Qt::ElideRight, box.width());
    canvas.drawText(box, int(Qt::AlignHCenter | Qt::AlignVCenter), shown);
}

class TSummaryPart : public TReportPart
{
public:
    explicit TSummaryPart(const TEvaluationReportInput &input) : m_input(input) {}

    void Lay(TReportLayout &layout) const override
    {
        TReportText text(layout, 9);
        text.Paragraph(baseLine(m_input.BaseDepth), 10);
        QList<TReportColumn> columns;
        const QStringList headings = EvaluationSummaryHeadings();
        static const double widths[] = {9, 15, 11, 8, 7, 8.5, 8.5, 6, 8, 19};
        for (qsizetype c = 0; c < headings.size(); ++c)
            columns.append({headings.at(c), widths[c], c >= 3 && c <= 8});
        QList<QStringList> rows;
        for (const TEvaluationPoint &point : m_input.Points)
            rows.append(EvaluationSummaryCells(point));
        text.Table(columns, rows);
        text.Space(3);
        text.Heading(QStringLiteral("計算方法"), 11);
        for (const QString &line : EvaluationFormulaLines(m_input.BaseDepth))
            text.Paragraph(line);
        AddTextPart(layout, QStringLiteral("測点一覧"), text);
    }

private:
    const TEvaluationReportInput &m_input;
};

class TGraphsPart : public TReportPart
{
public:
    TGraphsPart(const TEvaluationReportInput &input, const TSetting &setting,
                const TReferenceTables &tables)
        : m_input(input), m_setting(graphSetting(setting)), m_tables(tables)
    {}

    void Lay(TReportLayout &layout) const override
    {
        // Every graph is loaded once before the document begins, so a bad value leaves no
        // half report behind.
        int deepest = 0;
        for (const TEvaluationPoint &point : m_input.Points) {
            MakeGraphStyle(TGraphKind::Nsw, m_setting)
                ->LoadPoints(point.Test.RoundedLog, m_setting);
            deepest = std::max(deepest, point.Test.RoundedLog.FinalDepth);
        }
        const int range = EvaluationDepthRange(deepest);
        const int perPage =
            EvaluationGraphsPerPage(layout.Frame().Body.width(), layout.Device().logicalDpiX());
        const QString title = QStringLiteral("Nsw 分布図（25cmまるめ）");
        layout.AddEntry(title);
        for (qsizetype first = 0; first < m_input.Points.size(); first += perPage) {
            const qsizetype count = std::min<qsizetype>(perPage, m_input.Points.size() - first);
            layout.AddPage(
                title, [this, first, count, perPage, range](QPainter &painter, const QRect &body) {
                    paintPage(painter, body, first, count, perPage, range);
                });
        }
    }

private:
    void paintPage(QPainter &painter, const QRect &body, qsizetype first, qsizetype count,
                   int perPage, int range) const
    {
        const int line = body.width() / 40;
        painter.setFont(ProportionalGothicFont(line * 2 / 3));
        SetPen(painter, 1, Qt::SolidLine);
        painter.drawText(QRect(body.left(), body.top(), body.width(), line),
                         int(Qt::AlignLeft | Qt::AlignVCenter), baseLine(m_input.BaseDepth));
        const int legendTop = body.top() + line * 3 / 2;
        const int top =
            legendTop + DrawEvaluationLegend(painter, QPoint(body.left(), legendTop),
                                             body.width() / 60, m_tables, m_input.Color);
        const int width = body.width() / perPage;
        for (qsizetype k = 0; k < count; ++k)
            DrawEvaluationGraph(
                painter, QRect(body.left() + int(k) * width, top, width, body.bottom() - top),
                m_input.Points.at(first + k), range, m_input.BaseDepth, m_input.Color, m_setting,
                m_tables);
    }

    const TEvaluationReportInput &m_input;
    const TSetting m_setting;
    const TReferenceTables &m_tables;
};

} // namespace

int EvaluationGraphsPerPage(int areaWidth, int dotsPerInch)
{
    // The value labels are a fortieth of a graph's width; they should stay 1.8 mm high.
    const int minimumWidth = 40 * 18 * dotsPerInch / 254;
    return std::max(1, areaWidth / std::max(1, minimumWidth));
}

int EvaluationDepthRange(int deepestCm)
{
    return std::max(5, (std::max(0, deepestCm) + 99) / 100);
}

PlotRect DrawEvaluationGraph(QPainter &canvas, const QRect &area, const TEvaluationPoint &point,
                             int rangeMetres, int baseDepthCm, bool colour, const TSetting &setting,
                             const TReferenceTables &tables)
{
    const TSetting drawn = graphSetting(setting);
    TPrint_Paint paint;
    paint.ColorPrint = colour;
    const int nameHeight = std::max(1, area.width() * 4 / 90);
    // The point's name and qa sit in the plot's upper margin, above the value axis.
    const PlotRect layout = paint.PlotLayoutOf(area);
    canvas.save();
    canvas.setFont(ProportionalGothicFont(nameHeight));
    SetPen(canvas, 1, Qt::SolidLine);
    boxText(canvas, QRect(layout.Left, area.top(), layout.Width(), nameHeight * 3 / 2), point.Name);
    canvas.setFont(ProportionalGothicFont(nameHeight * 3 / 4));
    const QString figure =
        point.Result.Covered ? QStringLiteral("qa %1 kN/m²").arg(TenthsText(point.Result.QaTenths))
                             : QStringLiteral("qa －");
    boxText(canvas, QRect(layout.Left, area.top() + nameHeight * 3 / 2, layout.Width(), nameHeight),
            figure);
    canvas.restore();

    const std::unique_ptr<TGraphStyle> style = MakeGraphStyle(TGraphKind::Nsw, drawn);
    style->LoadPoints(point.Test.RoundedLog, drawn);
    canvas.setFont(GothicFont(false, nameHeight));
    const PlotRect plot =
        PaintGraph(canvas, area, *style, paint, rangeMetres, nullptr, drawn, tables);
    if (rangeMetres > 0) {
        const QList<QRect> labels = DrawSelfSinkingMarks(
            canvas, plot, rangeMetres, SelfSinkingStretches(point.Test.RoundedLog), colour);
        DrawBaseLines(canvas, plot, rangeMetres, baseDepthCm, colour, labels);
    }
    return plot;
}

QStringList EvaluationSummaryHeadings()
{
    return {QStringLiteral("測点"),          QStringLiteral("試験コード"),
            QStringLiteral("試験日"),        QStringLiteral("最終深さ(m)"),
            QStringLiteral("平均Nsw"),       QStringLiteral("qa長期(kN/m²)"),
            QStringLiteral("qa短期(kN/m²)"), QStringLiteral("自沈層"),
            QStringLiteral("確認深さ(m)"),   QStringLiteral("判定")};
}

QStringList EvaluationSummaryCells(const TEvaluationPoint &point)
{
    const TTestInfo &info = point.Test.NormalLog.info();
    const TBearingResult &r = point.Result;
    const auto figure = [&](int tenths) {
        return r.Covered ? TenthsText(tenths) : QStringLiteral("－");
    };
    // How deep the check went stands in its own column; the verdict only says it was partial.
    QString verdict = r.SettlementStudyNeeded() || !CheckIsPartial(r)
                          ? VerdictText(r)
                          : QStringLiteral("該当する自沈層なし（一部確認）");
    if (!r.Covered)
        verdict = QStringLiteral("qa不明（深さ不足）・") + verdict;
    return {
        point.Name,
        QString::asprintf("%.3d-%.3d-%.3d-%.4d", info.Code1, info.Code2, info.Code3, info.Code4),
        QString::asprintf("%.4d/%.2d/%.2d", info.fullYear(), info.Month, info.Day),
        MetresText(r.Reached),
        figure(r.MeanNswTenths),
        figure(r.QaTenths),
        figure(r.QaShortTenths),
        r.Layers.isEmpty() ? QStringLiteral("なし") : QString::number(r.Layers.size()),
        MetresText(r.CheckedTo),
        verdict};
}

QStringList EvaluationFormulaLines(int baseDepthCm)
{
    const QString base = MetresText(baseDepthCm);
    return {
        QStringLiteral(
            "平均Nsw：基礎底面（%1 m）から下 2.00 m の範囲で、25cmまるめの各行をその前の行の"
            "深さから自分の深さまでの区間として、Nswを範囲内の長さで重み付けした平均"
            "（Nswは150を上限、自沈は0）")
            .arg(base),
        QStringLiteral("長期許容支持力 qa = 30 + 0.6 × 平均Nsw（kN/m²）、短期許容支持力 = 2 × qa"
                       "（平成13年国土交通省告示第1113号）"),
        QStringLiteral("自沈層：基礎底面下 2 m 以内の荷重 1.00 kN 以下の自沈、2～5 m の荷重 "
                       "0.50 kN 以下の自沈があれば「沈下の検討が必要」"),
        QStringLiteral("数値は小数第1位未満を切り捨て。試験が基礎底面下 2 m に達しない測点は "
                       "qa を求めない。基礎底面下 5 m に達しない測点の自沈層の確認は確認深さまで"
                       "（一部確認）。"),
        QStringLiteral("この表は計算の結果であり、地盤の判定と基礎の設計は技術者が行う。"),
    };
}

TReportParts EvaluationReportParts(const TEvaluationReportInput &input, const TSetting &setting,
                                   const TReferenceTables &tables)
{
    TReportParts parts;
    parts.push_back(std::make_unique<TSummaryPart>(input));
    parts.push_back(std::make_unique<TGraphsPart>(input, setting, tables));
    return parts;
}

TReportFurniture EvaluationReportFurniture(const TEvaluationReportInput &input)
{
    const QString title = input.Title.isEmpty() ? defaultTitle() : input.Title;
    return {title, QString(), title};
}

int PrintEvaluationReport(QPagedPaintDevice &device, const TEvaluationReportInput &input,
                          const TSetting &setting, const TReferenceTables &tables)
{
    return PrintReport(device, EvaluationReportParts(input, setting, tables),
                       EvaluationReportFurniture(input), input.Color);
}
