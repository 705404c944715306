// The survey report's data sheets: one per point, continued over as many pages as the test
// needs. A header block of the point's particulars; the table of measured rows; beside it, on
// the table's own depth scale, the load and Nsw bars, the estimated soil column, the water
// level, the base and B + 2 m; under them the point's figures and a legend.
#include "surveyparts.h"

#include "bearing.h"
#include "drawtext.h"
#include "errors.h"
#include "graphpaint.h"
#include "reftables.h"
#include "reporttext.h"
#include "sheetlayout.h"
#include "site.h"
#include "surveyreport.h"
#include "surveytexts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <QTextDocument>
#include <algorithm>

namespace {

// Column widths of the sheet on a body 180 mm wide (mm); the Nsw bars take what is left.
struct TColumnSpec
{
    const char *Heading; // lines separated by "\n"
    double Mm;
    bool Figure;
};
const TColumnSpec kTableColumns[] = {
    {"荷重\nWsw\n(kN)", 11, true},
    {"半回転数\nNa\n(回)", 11, true},
    {"貫入長\n\n(m)", 11.5, true},
    {"貫入量\n\n(cm)", 10.5, true},
    {"1mあたりの\n半回転数\nNsw(回/m)", 15, true},
    {"記事\n(音・感触)", 20, false},
    {"推定土質", 15, false},
    {"換算\nN値", 10, true},
};
constexpr double kDesignWidthMm = 180;
constexpr double kGapMm = 1.5;
constexpr double kDepthAxisMm = 7;
constexpr double kWswBarsMm = 15;
constexpr double kSoilMm = 14;
constexpr double kLineMm = 4.2;
constexpr double kHeadingsMm = 13;
constexpr double kCellPoints = 7.5;
constexpr double kSmallPoints = 6.5;

// Where a sheet page puts things (device pixels).
struct TSheetGeometry
{
    QRect Block;
    QRect Headings;    // the column headings, across table and graphs
    QRect Lines;       // the table's lines and the graphs beside them
    QRect Bottom;      // figures and legend
    QList<int> TableX; // the table's column edges, left to right
    QRect DepthAxis;
    QRect WswBars;
    QRect NswBars;
    QRect Soil;
    int LineHeight = 1;
    int LineCount = 1;
};

struct TPointSheet
{
    qsizetype Point = 0;
    std::shared_ptr<QTextDocument> Block;   // the particulars
    std::shared_ptr<QTextDocument> Figures; // N̄sw, qa, thicknesses
    TSheetGeometry Geometry;
    QList<TSheetPageRows> Pages;
};

// The rows' loads, texts and the like as the table writes them.
QString loadText(const Tvt_data &row)
{
    const int load = StrToIntDef(row.Wsw, -1);
    return load < 0 ? row.Wsw : MetresText(load);
}

bool isSelfSinking(const Tvt_data &row)
{
    return row.Na == kSelfSinking;
}

// `text` in a cell at `points`, set smaller (down to 70 %) before it is shortened.
void cellText(QPainter &painter, const QRect &box, const QString &text, Qt::Alignment align,
              double points)
{
    DrawFittedText(painter, box, align, text, points, 0.7, 0.25);
}

// Lines of a heading, each fitted into its share of `box`.
void headingText(QPainter &painter, const QRect &box, const QString &heading)
{
    const QStringList lines = heading.split(u'\n');
    const int each = box.height() / int(lines.size());
    for (qsizetype l = 0; l < lines.size(); ++l)
        cellText(painter, QRect(box.left(), box.top() + int(l) * each, box.width(), each),
                 lines.at(l), Qt::AlignHCenter, kSmallPoints);
}

// The sheet's colours, the same on the graphs and in the legend; greys and black when printing
// in black.
struct TSheetColours
{
    QColor Sinking; // a self-sinking row's load
    QColor Turning; // a turning row's load
    QColor Nsw;
    QColor Marks; // the base and B + 2 m
    QColor Water;
};

TSheetColours sheetColours(bool colour)
{
    if (colour)
        return {QColor(220, 40, 40), QColor(250, 195, 120), QColor(70, 120, 210), QColor(210, 0, 0),
                QColor(0, 90, 200)};
    return {QColor(40, 40, 40), QColor(205, 205, 205), QColor(120, 120, 120), QColor(Qt::black),
            QColor(Qt::black)};
}

// A soil kind's place in the column: its pattern, which any printer keeps, over a pale tint of
// its colour when printing in colour (full colours would read as the red of self-sinking).
void paintSoil(QPainter &painter, const QRect &box, int group, bool colour)
{
    if (colour) {
        const QColor full = SoilBrush(group, true).color();
        painter.fillRect(box, QColor((full.red() + 3 * 255) / 4, (full.green() + 3 * 255) / 4,
                                     (full.blue() + 3 * 255) / 4));
    }
    PaintSoilFill(painter, QRegion(box), group, false);
}

TSheetGeometry sheetGeometry(const QRect &body, const TReportFrame &frame, int blockHeight,
                             int bottomHeight)
{
    TSheetGeometry g;
    const double scale = body.width() / (kDesignWidthMm * frame.PixelsPerMm);
    const auto mm = [&](double value) {
        return int(value * frame.PixelsPerMm * scale + 0.5);
    };
    g.Block = QRect(body.left(), body.top(), body.width(), blockHeight);
    g.Headings =
        QRect(body.left(), g.Block.bottom() + 1 + frame.Mm(2), body.width(), frame.Mm(kHeadingsMm));
    g.LineHeight = std::max(1, frame.Mm(kLineMm));
    const int linesTop = g.Headings.bottom() + 1;
    const int room = body.bottom() - bottomHeight - frame.Mm(2) - linesTop;
    g.LineCount = std::max(4, room / g.LineHeight);
    g.Lines = QRect(body.left(), linesTop, body.width(), g.LineCount * g.LineHeight);
    g.Bottom = QRect(body.left(), g.Lines.bottom() + 1 + frame.Mm(2), body.width(),
                     body.bottom() - g.Lines.bottom() - frame.Mm(2));
    int x = body.left();
    g.TableX.append(x);
    for (const TColumnSpec &column : kTableColumns) {
        x += mm(column.Mm);
        g.TableX.append(x);
    }
    x += mm(kGapMm);
    g.DepthAxis = QRect(x, g.Lines.top(), mm(kDepthAxisMm), g.Lines.height());
    x = g.DepthAxis.right() + 1;
    g.WswBars = QRect(x, g.Lines.top(), mm(kWswBarsMm), g.Lines.height());
    const int soilLeft = body.right() + 1 - mm(kSoilMm);
    g.Soil = QRect(soilLeft, g.Lines.top(), mm(kSoilMm), g.Lines.height());
    const int nswLeft = g.WswBars.right() + 1 + mm(kGapMm);
    g.NswBars = QRect(nswLeft, g.Lines.top(), soilLeft - mm(kGapMm) - nswLeft, g.Lines.height());
    return g;
}

class TSheetsPart : public TReportPart
{
public:
    explicit TSheetsPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const TSiteData &data = m_context.Data;
        data.RequireEveryTest();
        QList<const Tkannyu *> logs;
        for (const TSitePointTest &test : data.Tests)
            logs.append(&test.Test->NormalLog);
        const int nswScale = SheetNswScale(logs);
        const QString title = QStringLiteral("データシート");
        layout.AddEntry(title);
        for (qsizetype i = 0; i < data.Site.Points.size(); ++i) {
            auto sheet = std::make_shared<TPointSheet>();
            sheet->Point = i;
            sheet->Block = blockText(layout, i);
            sheet->Figures = figuresText(layout, i);
            const int bottomHeight = TextHeight(*sheet->Figures) + layout.Frame().Mm(12);
            sheet->Geometry = sheetGeometry(layout.Frame().Body, layout.Frame(),
                                            TextHeight(*sheet->Block), bottomHeight);
            sheet->Pages = SheetPages(data.Tests.at(i).Test->NormalLog, sheet->Geometry.LineCount);
            const QString label = data.Site.Points.at(i).Label;
            layout.AddEntry(label, 1);
            const qsizetype pages = sheet->Pages.size();
            for (qsizetype page = 0; page < pages; ++page) {
                layout.AddPage(PageTitle(title + QStringLiteral("　") + label, page, pages),
                               [this, sheet, page, nswScale, colour = layout.Colour(),
                                frame = layout.Frame()](QPainter &painter, const QRect &) {
                                   paintPage(painter, *sheet, page, nswScale, colour, frame);
                               });
            }
        }
    }

private:
    std::shared_ptr<QTextDocument> blockText(const TReportLayout &layout, qsizetype i) const
    {
        const TSiteData &data = m_context.Data;
        const TSiteTestPoint &point = data.Site.Points.at(i);
        const TSitePointFigures &figures = data.Figures.Points.at(i);
        const Tkannyu &log = data.Tests.at(i).Test->NormalLog;
        const QDate date = TestDate(log.info());
        QString when = JapaneseDate(date);
        if (date.isValid() && (log.StartHour || log.StartMin || log.EndHour || log.EndMin))
            when += QString::asprintf("　%d:%02d～%d:%02d", log.StartHour, log.StartMin,
                                      log.EndHour, log.EndMin);
        const int finalDepth =
            log.FinalDepth > 0 ? log.FinalDepth : (log.Count > 0 ? log.row(log.Count).Depth : 0);
        TReportFields fields{
            {QStringLiteral("件名"), OrDash(data.Site.Name)},
            {QStringLiteral("測点"), point.Label},
            {QStringLiteral("試験日"), OrDash(when)},
            {QStringLiteral("天候"), OrDash(point.Survey.Weather)},
            {QStringLiteral("試験者"), OrDash(point.Survey.Tester)},
            {QStringLiteral("地盤高"), figures.Ground
                                           ? SiteMetresText(figures.Ground) + QStringLiteral(" m")
                                           : QStringLiteral("－")},
            {QStringLiteral("孔内水位"), WaterLevelText(point.Survey.Water)},
            {QStringLiteral("試験装置"), OrDash(EquipmentText(data.Site.Survey))},
            {QStringLiteral("最終貫入長"), MetresText(finalDepth) + QStringLiteral(" m")},
            {QStringLiteral("試験終了の理由"), OrDash(EndOfTestText(point.Survey))},
        };
        if (!point.Survey.Note.trimmed().isEmpty())
            fields.append({QStringLiteral("記事"), point.Survey.Note});
        TReportText text(layout.Device(), layout.Frame().Body.width(), 8.5);
        text.Fields(fields, 2, 14);
        return text.Take();
    }

    std::shared_ptr<QTextDocument> figuresText(const TReportLayout &layout, qsizetype i) const
    {
        const TSitePointFigures &f = m_context.Data.Figures.Points.at(i);
        const std::optional<TBearingResult> &r = f.Result;
        const auto qa = [&](int tenths) {
            return r && r->Covered ? TenthsText(tenths) : QStringLiteral("－（B+2 m に達しない）");
        };
        TReportText text(layout.Device(), layout.Frame().Body.width(), 8);
        text.Fields(
            {
                {QStringLiteral("平均Nsw（B～B+2 m）"), r ? qa(r->MeanNswTenths) : qa(0)},
                {QStringLiteral("qa 長期 (kN/m²)"), r ? qa(r->QaTenths) : qa(0)},
                {QStringLiteral("qa 短期 (kN/m²)"), r ? qa(r->QaShortTenths) : qa(0)},
                {QStringLiteral("自沈層の厚さ B～B+2 m（1.00 kN 以下）"),
                 MetresText(f.UpperThickness) + QStringLiteral(" m")},
                {QStringLiteral("自沈層の厚さ B+2～B+5 m（0.50 kN 以下）"),
                 MetresText(f.LowerThickness) + QStringLiteral(" m")},
                {QStringLiteral("確認範囲"), r ? CheckedRangeText(*r) : QStringLiteral("－")},
            },
            3, 20);
        return text.Take();
    }

    void paintPage(QPainter &painter, const TPointSheet &sheet, qsizetype pageIndex, int nswScale,
                   bool colour, const TReportFrame &frame) const
    {
        const TSheetGeometry &g = sheet.Geometry;
        const TSheetPageRows &page = sheet.Pages.at(pageIndex);
        const TSiteData &data = m_context.Data;
        const Tkannyu &log = data.Tests.at(sheet.Point).Test->NormalLog;
        const int thin = std::max(1, frame.Mm(0.12));
        const int line = std::max(1, frame.Mm(0.25));
        const QPen gridPen(QColor(150, 150, 150), thin);
        const QPen framePen(Qt::black, line);
        const int from = page.FromCm;
        const int to = page.ToCm(g.LineCount);
        const auto yOf = [&](int cm) {
            return g.Lines.top() +
                   int(qint64(std::clamp(cm, from, to) - from) * g.Lines.height() / (to - from));
        };

        PaintTextPage(painter, *sheet.Block, g.Block, 0);

        // Headings.
        painter.setPen(framePen);
        painter.fillRect(QRect(g.Headings.left(), g.Headings.top(),
                               g.TableX.last() - g.Headings.left(), g.Headings.height()),
                         QColor(232, 232, 232));
        for (int c = 0; c + 1 < int(g.TableX.size()); ++c)
            headingText(painter,
                        QRect(g.TableX.at(c), g.Headings.top() + frame.Mm(0.5),
                              g.TableX.at(c + 1) - g.TableX.at(c),
                              g.Headings.height() - frame.Mm(1)),
                        QString::fromUtf8(kTableColumns[c].Heading));
        const int scaleRow = g.Headings.bottom() - frame.Mm(3.2);
        const QRect upper(0, g.Headings.top() + frame.Mm(0.5), 0, scaleRow - g.Headings.top());
        headingText(painter,
                    QRect(g.DepthAxis.left(), upper.top(), g.DepthAxis.width(), upper.height()),
                    QStringLiteral("深さ\n(m)"));
        headingText(painter,
                    QRect(g.WswBars.left(), upper.top(), g.WswBars.width(), upper.height()),
                    QStringLiteral("荷重 Wsw\n(kN)"));
        headingText(painter,
                    QRect(g.NswBars.left(), upper.top(), g.NswBars.width(), upper.height()),
                    QStringLiteral("1mあたりの半回転数\nNsw (回/m)"));
        headingText(painter, QRect(g.Soil.left(), upper.top(), g.Soil.width(), upper.height()),
                    QStringLiteral("推定\n柱状図"));
        // The value scales under the headings.
        painter.setFont(ReportFont(kSmallPoints));
        const auto tick = [&](int x, const QString &text, int anchor) {
            painter.drawLine(x, g.Headings.bottom() - frame.Mm(0.8), x, g.Headings.bottom());
            DrawTextAnchored(painter, x, scaleRow, anchor, text);
        };
        tick(g.WswBars.left(), QStringLiteral("0"), 0);
        tick(g.WswBars.center().x(), QStringLiteral("0.5"), 1);
        tick(g.WswBars.right(), QStringLiteral("1.0"), 2);
        for (int value = 0; value <= nswScale; value += 50) {
            const int x = g.NswBars.left() + int(qint64(g.NswBars.width()) * value / nswScale);
            if (value == 0 || value == nswScale || value % 100 == 0)
                tick(std::min(x, g.NswBars.right()), QString::number(value),
                     value == 0          ? 0
                     : value == nswScale ? 2
                                         : 1);
        }

        // Lines, the metre grid and the value grid.
        painter.setPen(gridPen);
        for (int l = 1; l < g.LineCount; ++l) {
            const int y = g.Lines.top() + l * g.LineHeight;
            painter.drawLine(g.TableX.first(), y, g.TableX.last(), y);
        }
        QPen dotted(QColor(150, 150, 150), thin, Qt::DotLine);
        painter.setPen(dotted);
        for (const double part : {0.25, 0.5, 0.75})
            painter.drawLine(g.WswBars.left() + int(g.WswBars.width() * part), g.Lines.top(),
                             g.WswBars.left() + int(g.WswBars.width() * part), g.Lines.bottom());
        for (int value = 50; value < nswScale; value += 50) {
            const int x = g.NswBars.left() + int(qint64(g.NswBars.width()) * value / nswScale);
            painter.drawLine(x, g.Lines.top(), x, g.Lines.bottom());
        }
        painter.setFont(ReportFont(kSmallPoints));
        for (int metre = (from + 99) / 100; metre * 100 <= to; ++metre) {
            const int y = yOf(metre * 100);
            painter.setPen(dotted);
            painter.drawLine(g.WswBars.left(), y, g.Soil.right(), y);
            painter.setPen(QPen(Qt::black, thin));
            painter.drawLine(g.DepthAxis.right() - frame.Mm(1.2), y, g.DepthAxis.right(), y);
            if (metre * 100 > from && metre * 100 < to)
                DrawTextAnchored(painter, g.DepthAxis.right() - frame.Mm(1.6), y, 5,
                                 QString::number(metre));
        }

        // The rows: their texts in the table, their bars and soils beside it.
        const TSheetColours colours = sheetColours(colour);
        struct TSoilRun
        {
            int Top;
            int Bottom;
            QString Soil;
        };
        QList<TSoilRun> soils;
        for (const TSheetRowPlace &place : page.Rows) {
            const Tvt_data &row = log.row(place.Row);
            const int previous = place.Row > 1 ? log.row(place.Row - 1).Depth : 0;
            const int top = g.Lines.top() + place.Line * g.LineHeight;
            const QStringList cells{loadText(row),
                                    row.Na,
                                    MetresText(row.Depth),
                                    QString::number(row.Depth - previous),
                                    row.Nsw,
                                    row.Obs,
                                    row.Doshitu,
                                    QString::number(row.NValue, 'f', 1)};
            painter.setPen(Qt::black);
            const int pad = frame.Mm(0.8);
            for (int c = 0; c < int(cells.size()); ++c)
                cellText(painter,
                         QRect(g.TableX.at(c) + pad, top,
                               g.TableX.at(c + 1) - g.TableX.at(c) - 2 * pad, g.LineHeight),
                         cells.at(c), kTableColumns[c].Figure ? Qt::AlignRight : Qt::AlignLeft,
                         kCellPoints);

            const int y0 = yOf(std::max(previous, from));
            const int y1 = yOf(row.Depth);
            if (y1 <= y0)
                continue;
            const double load = std::clamp(StrToIntDef(row.Wsw, 0), 0, 100) / 100.0;
            painter.fillRect(QRect(g.WswBars.left(), y0, int(g.WswBars.width() * load), y1 - y0),
                             isSelfSinking(row) ? colours.Sinking : colours.Turning);
            double nsw = 0;
            if (!isSelfSinking(row) && TryStrToFloat(row.Nsw, nsw) && nsw > 0)
                painter.fillRect(QRect(g.NswBars.left(), y0,
                                       int(g.NswBars.width() * std::min(1.0, nsw / nswScale)),
                                       y1 - y0),
                                 colours.Nsw);
            const QString soil = SoilWithoutMark(row.Doshitu);
            if (!soils.isEmpty() && soils.last().Soil == soil && soils.last().Bottom == y0)
                soils.last().Bottom = y1;
            else
                soils.append({y0, y1, soil});
        }
        for (const TSoilRun &run : soils) {
            if (run.Soil.isEmpty())
                continue;
            paintSoil(painter, QRect(g.Soil.left(), run.Top, g.Soil.width(), run.Bottom - run.Top),
                      SoilGroupOf(run.Soil, m_context.Tables), colour);
        }

        // Frames.
        painter.setPen(framePen);
        painter.setBrush(Qt::NoBrush);
        for (const int x : g.TableX)
            painter.drawLine(x, g.Headings.top(), x, g.Lines.bottom());
        painter.drawLine(g.TableX.first(), g.Headings.top(), g.TableX.last(), g.Headings.top());
        painter.drawLine(g.Headings.left(), g.Headings.bottom(), g.Soil.right(),
                         g.Headings.bottom());
        painter.drawLine(g.TableX.first(), g.Lines.bottom(), g.TableX.last(), g.Lines.bottom());
        for (const QRect &box : {g.WswBars, g.NswBars, g.Soil})
            painter.drawRect(box);
        painter.drawLine(g.DepthAxis.topRight(), g.DepthAxis.bottomRight());

        paintMarks(painter, sheet, page, g, frame, colour, from, to, yOf);
        paintBottom(painter, sheet, pageIndex, g, frame, colour);
    }

    template<typename YOf>
    void paintMarks(QPainter &painter, const TPointSheet &sheet, const TSheetPageRows &,
                    const TSheetGeometry &g, const TReportFrame &frame, bool colour, int from,
                    int to, YOf yOf) const
    {
        const TSiteData &data = m_context.Data;
        const int base = data.Site.BaseDepth;
        const QColor accent = sheetColours(colour).Marks;
        painter.setFont(ReportFont(kSmallPoints));
        const QFontMetrics metrics(painter.font(), painter.device());
        // The base and B + 2 m across the graphs, named at the right of the Nsw bars.
        for (const auto &[cm, name] : {std::pair(base, QStringLiteral("B")),
                                       std::pair(base + kMeanRangeCm, QStringLiteral("B+2m"))}) {
            if (cm < from || cm > to)
                continue;
            const int y = yOf(cm);
            painter.setPen(QPen(accent, std::max(1, frame.Mm(0.3)), Qt::DashLine, Qt::FlatCap));
            painter.drawLine(g.WswBars.left(), y, g.Soil.right(), y);
            const int width = metrics.horizontalAdvance(name) + frame.Mm(1);
            const QRect label(g.NswBars.right() - width - frame.Mm(0.5), y - metrics.height(),
                              width, metrics.height());
            painter.fillRect(label, Qt::white);
            painter.setPen(accent);
            painter.drawText(label, int(Qt::AlignCenter), name);
        }
        // The water level: ▽ on the soil column with its depth.
        const TWaterLevel &water = data.Site.Points.at(sheet.Point).Survey.Water;
        const int waterCm = qRound(water.Depth * 100);
        if (water.Kind == TWaterLevelKind::Measured && waterCm >= from && waterCm <= to) {
            const int y = yOf(waterCm);
            const QColor blue = sheetColours(colour).Water;
            painter.setPen(QPen(blue, std::max(1, frame.Mm(0.3)), Qt::DashDotLine));
            painter.drawLine(g.WswBars.left(), y, g.Soil.right(), y);
            const int mark = frame.Mm(1.6);
            const QRect label(g.Soil.left() + mark + frame.Mm(0.8), y - metrics.height(),
                              metrics.horizontalAdvance(MetresText(waterCm)) + frame.Mm(1),
                              metrics.height());
            painter.fillRect(
                QRect(g.Soil.left(), label.top(), label.right() - g.Soil.left(), label.height()),
                Qt::white);
            painter.setPen(QPen(blue, std::max(1, frame.Mm(0.2))));
            painter.setBrush(Qt::white);
            const double x = g.Soil.left() + frame.Mm(0.4) + mark / 2.0;
            painter.drawPolygon(QPolygonF{QPointF(x - mark / 2.0, y - mark),
                                          QPointF(x + mark / 2.0, y - mark), QPointF(x, y)});
            painter.setBrush(Qt::NoBrush);
            painter.drawText(label, int(Qt::AlignCenter), MetresText(waterCm));
        }
    }

    void paintBottom(QPainter &painter, const TPointSheet &sheet, qsizetype pageIndex,
                     const TSheetGeometry &g, const TReportFrame &frame, bool colour) const
    {
        int y = g.Bottom.top();
        if (pageIndex + 1 == sheet.Pages.size()) {
            PaintTextPage(painter, *sheet.Figures,
                          QRect(g.Bottom.left(), y, g.Bottom.width(), TextHeight(*sheet.Figures)),
                          0);
            y += TextHeight(*sheet.Figures) + frame.Mm(2);
        } else {
            painter.setFont(ReportFont(8));
            painter.setPen(Qt::black);
            painter.drawText(QRect(g.Bottom.left(), y, g.Bottom.width(), frame.Mm(5)),
                             int(Qt::AlignRight | Qt::AlignVCenter),
                             QStringLiteral("次のページに続く"));
            y += frame.Mm(6);
        }
        paintLegend(painter, sheet,
                    QRect(g.Bottom.left(), y, g.Bottom.width(), g.Bottom.bottom() - y), frame,
                    colour);
    }

    // One swatch and its name after another, on as many lines as they need.
    void paintLegend(QPainter &painter, const TPointSheet &sheet, const QRect &box,
                     const TReportFrame &frame, bool colour) const
    {
        painter.setFont(ReportFont(kSmallPoints + 0.5));
        const QFontMetrics metrics(painter.font(), painter.device());
        const int height = metrics.height();
        const int swatch = frame.Mm(5);
        int x = box.left();
        int y = box.top();
        const auto item = [&](const QString &name, const std::function<void(const QRect &)> &draw) {
            const int width = swatch + frame.Mm(1) + metrics.horizontalAdvance(name) + frame.Mm(3);
            if (x > box.left() && x + width > box.right()) {
                x = box.left();
                y += height + frame.Mm(1);
            }
            draw(QRect(x, y + height / 5, swatch, height * 3 / 5));
            painter.setPen(Qt::black);
            painter.drawText(QRect(x + swatch + frame.Mm(1), y, width, height),
                             int(Qt::AlignLeft | Qt::AlignVCenter), name);
            x += width;
        };
        QStringList soils;
        const Tkannyu &log = m_context.Data.Tests.at(sheet.Point).Test->NormalLog;
        for (int r = 1; r <= log.Count && r < log.rowArrayLength(); ++r) {
            const QString soil = SoilWithoutMark(log.row(r).Doshitu);
            if (!soil.isEmpty() && !soils.contains(soil))
                soils.append(soil);
        }
        for (const QString &soil : soils)
            item(soil, [&](const QRect &r) {
                paintSoil(painter, r, SoilGroupOf(soil, m_context.Tables), colour);
            });
        const TSheetColours colours = sheetColours(colour);
        item(QStringLiteral("自沈（荷重）"),
             [&](const QRect &r) { painter.fillRect(r, colours.Sinking); });
        item(QStringLiteral("回転貫入（荷重 1.00 kN）"),
             [&](const QRect &r) { painter.fillRect(r, colours.Turning); });
        item(QStringLiteral("基礎底面 B と B+2 m"), [&](const QRect &r) {
            painter.setPen(QPen(colours.Marks, std::max(1, frame.Mm(0.3)), Qt::DashLine));
            painter.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
        });
        item(QStringLiteral("孔内水位 ▽"), [&](const QRect &r) {
            painter.setPen(QPen(colours.Water, std::max(1, frame.Mm(0.3)), Qt::DashDotLine));
            painter.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
        });
    }

    const TSurveyContext m_context;
};

} // namespace

std::unique_ptr<TReportPart> SheetsPart(const TSurveyContext &context)
{
    return std::make_unique<TSheetsPart>(context);
}
