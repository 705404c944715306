#include "sitereport.h"

#include "drawtext.h"
#include "errors.h"
#include "evaluationmarks.h"
#include "graphdraw.h"
#include "printgeometry.h"
#include "settings.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <memory>
#include <numeric>

namespace {

QString defaultTitle()
{
    return QStringLiteral("地盤評価（スクリューウェイト貫入試験）");
}

QString baseLine(int baseDepthCm)
{
    return QStringLiteral("基礎底面の深さ B = %1 m").arg(MetresText(baseDepthCm));
}

// Text in a cell, shortened with an ellipsis rather than running into the next one.
void cellText(QPainter &canvas, const QRect &cell, const QString &text, Qt::Alignment align)
{
    const int pad = cell.height() / 5;
    const QRect inner = cell.adjusted(pad, 0, -pad, 0);
    const QString shown = canvas.fontMetrics().elidedText(text, Qt::ElideRight, inner.width());
    canvas.drawText(inner, int(align | Qt::AlignVCenter), shown);
}

class TSiteReport
{
public:
    TSiteReport(QPagedPaintDevice &device, const TSiteReportInput &input, const TSetting &setting,
                const TReferenceTables &tables)
        : m_device(device), m_input(input), m_setting(setting), m_tables(tables)
    {}

    int Run();

private:
    void startPage();
    int pageTitle(const QString &subtitle);
    void summaryPages();
    void graphPages();

    QPagedPaintDevice &m_device;
    const TSiteReportInput &m_input;
    const TSetting &m_setting;
    const TReferenceTables &m_tables;
    QPainter m_painter;
    TPageGeometry m_page;
    int m_pages = 0;
};

void TSiteReport::startPage()
{
    if (!m_painter.isActive()) {
        if (!m_painter.begin(&m_device))
            throw ETessmarkError(QStringLiteral("印刷を開始できません"));
    } else if (!m_device.newPage()) {
        throw ETessmarkError(QStringLiteral("印刷を続けられません"));
    }
    ++m_pages;
    m_page = PageGeometry(m_device.width(), m_device.height());
    m_painter.fillRect(QRect(0, 0, m_page.PageWidth, m_page.PageHeight), Qt::white);
}

// The title, the base depth and the page number across the top of the area; answers the y
// below them.
int TSiteReport::pageTitle(const QString &subtitle)
{
    const TBlock &area = m_page.Area;
    const int line = area.Width / 40;
    m_painter.setFont(GothicFont(false, line));
    SetPen(m_painter, 1, Qt::SolidLine);
    const QString title = m_input.Title.isEmpty() ? defaultTitle() : m_input.Title;
    const QRect titleRect(area.Left, area.Top, area.Width, 2 * line);
    const QString page = QStringLiteral("%1 ページ").arg(m_pages);
    const int pageWidth = m_painter.fontMetrics().horizontalAdvance(page) + line;
    // A long title is set smaller (down to half the height) before it is shortened.
    const QRect titleRoom = titleRect.adjusted(0, 0, -pageWidth - line, 0);
    for (int height = line; height > line / 2; height = height * 9 / 10) {
        m_painter.setFont(GothicFont(false, height));
        if (m_painter.fontMetrics().horizontalAdvance(title) <= titleRoom.width())
            break;
    }
    cellText(m_painter, titleRoom, title, Qt::AlignLeft);
    m_painter.setFont(GothicFont(false, line * 2 / 3));
    m_painter.drawText(titleRect, int(Qt::AlignRight | Qt::AlignVCenter), page);
    const QRect sub(area.Left, titleRect.bottom() + line / 2, area.Width, line);
    cellText(m_painter, sub, baseLine(m_input.BaseDepth) + QStringLiteral("　　") + subtitle,
             Qt::AlignLeft);
    return sub.bottom() + line;
}

void TSiteReport::summaryPages()
{
    const TBlock &area = m_page.Area;
    const int rowHeight = area.Width / 28;
    QList<QStringList> cells;
    for (const TSitePoint &point : m_input.Points)
        cells.append(SiteSummaryCells(point));
    const QStringList headings = SiteSummaryHeadings();
    const qsizetype columnCount = headings.size();

    // Columns as wide as their longest text; the font shrinks until the table fits the width.
    QList<int> widths(columnCount, 0);
    int fontHeight = rowHeight / 2;
    for (;;) {
        m_painter.setFont(GothicFont(false, fontHeight));
        const QFontMetrics metrics = m_painter.fontMetrics();
        const int pad = 2 * (rowHeight / 5) + metrics.averageCharWidth();
        int total = 0;
        for (qsizetype c = 0; c < columnCount; ++c) {
            widths[c] = metrics.horizontalAdvance(headings.at(c)) + pad;
            for (const QStringList &line : cells)
                widths[c] = std::max(widths[c], metrics.horizontalAdvance(line.value(c)) + pad);
            total += widths[c];
        }
        if (total <= area.Width || fontHeight <= rowHeight / 5) {
            const int spare = std::max(0, area.Width - total);
            for (qsizetype c = 0; c < columnCount; ++c)
                widths[c] += spare / int(columnCount);
            break;
        }
        fontHeight = fontHeight * 9 / 10;
    }
    const QFont font = GothicFont(false, fontHeight);

    qsizetype next = 0;
    for (;;) {
        int y = pageTitle(QStringLiteral("測点一覧"));
        const auto drawRow = [&](const QStringList &texts, bool heading) {
            m_painter.setFont(font);
            if (heading)
                m_painter.fillRect(QRect(area.Left, y, area.Width, rowHeight),
                                   QColor(230, 230, 230));
            int left = area.Left;
            for (qsizetype c = 0; c < columnCount; ++c) {
                const QRect cell(left, y, widths[c], rowHeight);
                const bool numeric = !heading && c >= 3 && c <= 8;
                cellText(m_painter, cell, texts.value(c),
                         heading   ? Qt::AlignHCenter
                         : numeric ? Qt::AlignRight
                                   : Qt::AlignLeft);
                m_painter.drawRect(cell);
                left += widths[c];
            }
            y += rowHeight;
        };
        SetPen(m_painter, 2, Qt::SolidLine);
        drawRow(headings, true);
        while (next < cells.size() && y + 2 * rowHeight <= area.Bottom())
            drawRow(cells.at(next++), false);
        if (next >= cells.size()) {
            y += rowHeight / 2;
            m_painter.setFont(GothicFont(false, rowHeight * 45 / 100));
            const int flags = int(Qt::AlignLeft | Qt::AlignTop);
            for (const QString &formula : SiteFormulaLines(m_input.BaseDepth)) {
                const auto needed = [&]() {
                    const QStringList lines =
                        WrapReportText(formula, m_painter.fontMetrics(), area.Width);
                    return std::pair(lines.join(u'\n'),
                                     int(lines.size()) * m_painter.fontMetrics().lineSpacing());
                };
                auto [text, height] = needed();
                if (y + height > area.Bottom()) {
                    // The table filled the page: the rest of the formulas go on the next.
                    startPage();
                    y = pageTitle(QStringLiteral("計算方法"));
                    m_painter.setFont(GothicFont(false, rowHeight * 45 / 100));
                    std::tie(text, height) = needed();
                }
                m_painter.drawText(QRect(area.Left, y, area.Width, height), flags, text);
                y += height + rowHeight / 5;
            }
            return;
        }
        startPage();
    }
}

void TSiteReport::graphPages()
{
    // One depth scale for every point: the deepest test, in steps of the solid 5 m lines.
    int deepest = 0;
    for (const TSitePoint &point : m_input.Points)
        deepest = std::max(deepest, point.Test.RoundedLog.FinalDepth);
    const int range = GraphDepthRange(deepest, 5);
    const int perPage = SiteGraphsPerPage(m_page.Area.Width, m_device.logicalDpiX());

    TPrint_Paint paint;
    paint.ColorPrint = m_input.Color;
    for (qsizetype first = 0; first < m_input.Points.size(); first += perPage) {
        startPage();
        const int titleBottom = pageTitle(QStringLiteral("Nsw 分布図（25cmまるめ）"));
        const int top =
            titleBottom + DrawEvaluationLegend(m_painter, QPoint(m_page.Area.Left, titleBottom),
                                               m_page.Area.Width / 60, m_tables, m_input.Color);
        const TBlock &area = m_page.Area;
        const int width = area.Width / perPage;
        const int nameHeight = area.Width / 45;
        for (int k = 0; k < perPage && first + k < m_input.Points.size(); ++k) {
            const TSitePoint &point = m_input.Points.at(first + k);
            const int left = area.Left + k * width;
            // The point's name sits in the plot's upper margin, above the value axis.
            const QRect graphArea(left, top, width, area.Bottom() - top);
            const PlotRect layout = paint.PlotLayoutOf(graphArea);
            m_painter.setFont(GothicFont(false, nameHeight));
            SetPen(m_painter, 1, Qt::SolidLine);
            cellText(m_painter, QRect(layout.Left, top, layout.Width(), nameHeight * 3 / 2),
                     point.Name, Qt::AlignHCenter);
            m_painter.setFont(GothicFont(false, nameHeight * 3 / 4));
            const QString figure =
                point.Result.Covered
                    ? QStringLiteral("qa %1 kN/m²").arg(TenthsText(point.Result.QaTenths))
                    : QStringLiteral("qa －");
            cellText(m_painter,
                     QRect(layout.Left, top + nameHeight * 3 / 2, layout.Width(), nameHeight),
                     figure, Qt::AlignHCenter);

            const std::unique_ptr<TGraphStyle> style = MakeGraphStyle(TGraphKind::Nsw, m_setting);
            style->LoadPoints(point.Test.RoundedLog, m_setting);
            m_painter.setFont(GothicFont(false, nameHeight));
            const PlotRect plot = PaintGraph(m_painter, graphArea, *style, paint, range, nullptr,
                                             m_setting, m_tables);
            if (range > 0) {
                DrawSelfSinkingMarks(m_painter, plot, range,
                                     SelfSinkingStretches(point.Test.RoundedLog), m_input.Color);
                DrawBaseLines(m_painter, plot, range, m_input.BaseDepth, m_input.Color);
            }
        }
    }
}

int TSiteReport::Run()
{
    startPage();
    summaryPages();
    graphPages();
    if (m_input.AppendPages)
        m_input.AppendPages(m_painter, [this](const QString &subtitle) {
            startPage();
            const int top = pageTitle(subtitle);
            const TBlock &area = m_page.Area;
            return QRect(area.Left, top, area.Width, area.Bottom() - top);
        });
    m_painter.end();
    return m_pages;
}

} // namespace

QStringList WrapReportText(const QString &text, const QFontMetrics &metrics, int width)
{
    // Units that a line never breaks: a bracketed aside whole, a run of Latin letters, digits
    // and their marks ("0.50", "kN/m²"), and a mark that may not start a line with what stands
    // before it.
    const auto isWordChar = [](QChar c) {
        return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == u'.' || c == u'/' || c == u'²';
    };
    static const QString noLineStart = QStringLiteral("、。，．・）」』)");
    QStringList units;
    int depth = 0;
    QChar previous;
    for (const QChar c : text) {
        const bool joins = !units.isEmpty() && (depth > 0 || noLineStart.contains(c) ||
                                                (isWordChar(c) && isWordChar(previous)));
        if (joins)
            units.last() += c;
        else
            units.append(QString(c));
        if (c == u'（' || c == u'(')
            ++depth;
        else if ((c == u'）' || c == u')') && depth > 0)
            --depth;
        previous = c;
    }

    QStringList lines;
    QString line;
    const auto fits = [&](const QString &candidate) {
        return metrics.horizontalAdvance(candidate) <= width;
    };
    for (const QString &unit : units) {
        if (fits(line + unit)) {
            line += unit;
            continue;
        }
        if (!line.isEmpty())
            lines.append(line);
        line = unit.trimmed().isEmpty() ? QString() : unit;
        // A unit wider than a whole line is broken where it must be.
        while (!fits(line)) {
            qsizetype n = line.size() - 1;
            while (n > 1 && !fits(line.left(n)))
                --n;
            lines.append(line.left(n));
            line = line.mid(n);
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

int SiteGraphsPerPage(int areaWidth, int dotsPerInch)
{
    // The value labels are a fortieth of a graph's width; they should stay 1.8 mm high.
    const int minimumWidth = 40 * 18 * dotsPerInch / 254;
    return std::max(1, areaWidth / std::max(1, minimumWidth));
}

QStringList SiteSummaryHeadings()
{
    return {QStringLiteral("測点"),          QStringLiteral("試験コード"),
            QStringLiteral("試験日"),        QStringLiteral("最終深さ(m)"),
            QStringLiteral("平均Nsw"),       QStringLiteral("qa長期(kN/m²)"),
            QStringLiteral("qa短期(kN/m²)"), QStringLiteral("自沈層"),
            QStringLiteral("確認深さ(m)"),   QStringLiteral("判定")};
}

QStringList SiteSummaryCells(const TSitePoint &point)
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

QStringList SiteFormulaLines(int baseDepthCm)
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

int PrintSiteReport(QPagedPaintDevice &device, const TSiteReportInput &input,
                    const TSetting &setting, const TReferenceTables &tables)
{
    // Every graph is loaded once before the document begins, so a bad value leaves no half
    // report behind.
    for (const TSitePoint &point : input.Points)
        MakeGraphStyle(TGraphKind::Nsw, setting)->LoadPoints(point.Test.RoundedLog, setting);
    if (auto *pdf = dynamic_cast<QPdfWriter *>(&device))
        pdf->setTitle(input.Title.isEmpty() ? defaultTitle() : input.Title);
    TSiteReport report(device, input, setting, tables);
    return report.Run();
}
