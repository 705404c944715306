#include "sitesection.h"

#include "drawtext.h"
#include "errors.h"
#include "site.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Text heights left of the columns (the elevation axis, then room for the first labels) and
// right of them; together kSectionSideRoom.
constexpr int kAxisRoom = 5;
constexpr int kLeftRoom = 5;
constexpr int kRightRoom = kSectionSideRoom - kAxisRoom - kLeftRoom;
// The least average room of a point on a report page, in text heights.
constexpr int kPagePointRoom = 5;

double groundOf(const TSiteData &data, qsizetype i)
{
    return data.Figures.Points.at(i).Ground.value_or(0);
}

// Horizontal place of each point in metres along the section (or in steps), from the first.
QList<double> stations(const TSiteData &data, qsizetype first, qsizetype last)
{
    const bool trueSpacing = data.Figures.TrueSpacing();
    QList<double> at{0};
    for (qsizetype i = first; i < last; ++i)
        at.append(at.last() + (trueSpacing ? *data.Figures.Pairs.at(i).Distance : 1.0));
    return at;
}

// Puts boxes into rows so none overlaps the one before it in its row; answers each box's row.
QList<int> stagger(const QList<QRect> &boxes, int gap, int maxRows, int &rows)
{
    QList<int> rightEnds;
    QList<int> rowOf;
    for (const QRect &box : boxes) {
        int row = 0;
        while (row < int(rightEnds.size()) && box.left() <= rightEnds.at(row) + gap)
            ++row;
        if (row >= maxRows)
            row = int(std::min_element(rightEnds.cbegin(), rightEnds.cend()) - rightEnds.cbegin());
        if (row >= int(rightEnds.size()))
            rightEnds.append(box.right());
        else
            rightEnds[row] = box.right();
        rowOf.append(row);
    }
    rows = std::max(1, int(rightEnds.size()));
    return rowOf;
}

QString levelAxisText(double level, double step)
{
    const int decimals = step < 1 ? 1 : 0;
    QString text = QString::number(level, 'f', decimals);
    if (text.startsWith(u"-0") && text.toDouble() == 0)
        text.remove(0, 1);
    return level > 1e-9 ? u'+' + text : text;
}

// A filled swatch and its text in the legend; answers the x after it.
int legendItem(QPainter &canvas, int x, int y, int th, const QBrush &brush, const QPen &pen,
               bool lineSwatch, const QString &text)
{
    const QRect swatch(x, y + th / 5, th * 3 / 2, th * 7 / 10);
    canvas.save();
    if (lineSwatch) {
        canvas.setPen(pen);
        canvas.drawLine(swatch.left(), swatch.center().y(), swatch.right(), swatch.center().y());
    } else {
        canvas.setPen(Qt::NoPen);
        canvas.setBrush(brush);
        canvas.drawRect(swatch);
    }
    canvas.restore();
    TextOut(canvas, swatch.right() + th / 3, y, text);
    return swatch.right() + th / 3 + canvas.fontMetrics().horizontalAdvance(text) + th;
}

} // namespace

QList<TSiteSectionRange> SiteSectionPages(const TSiteData &data, int areaWidth, int textHeight)
{
    const qsizetype count = data.Site.Points.size();
    const int usable = std::max(1, areaWidth - 2 * textHeight - kSectionSideRoom * textHeight);
    const qsizetype perPage =
        std::max<qsizetype>(2, usable / std::max(1, kPagePointRoom * textHeight) + 1);
    QList<TSiteSectionRange> pages;
    if (count <= perPage) {
        pages.append({0, count - 1, 0});
        return pages;
    }
    // Pages of about equal numbers of points, each starting where the one before ended.
    const qsizetype pageCount = (count - 1 + perPage - 2) / (perPage - 1);
    const qsizetype step = (count - 1 + pageCount - 1) / pageCount;
    for (qsizetype first = 0; first < count - 1; first += step)
        pages.append({first, std::min(first + step, count - 1), 0});
    // One scale: the longest page fills its width.
    double longest = 0;
    for (const TSiteSectionRange &page : pages)
        longest = std::max(longest, stations(data, page.First, page.Last).last());
    for (TSiteSectionRange &page : pages)
        page.PixelsPerUnit = longest > 0 ? usable / longest : 0;
    return pages;
}

TSiteSectionLayout DrawSiteSection(QPainter &canvas, const QRect &area, const TSiteData &data,
                                   const TSiteDrawStyle &style, TSiteSectionRange range)
{
    const int th = style.TextHeight;
    const int line = SiteLineWidth(style);
    const TSite &site = data.Site;
    const TSiteFigures &figures = data.Figures;
    TSiteSectionLayout layout;
    canvas.save();
    canvas.fillRect(area, Qt::white);
    SetPen(canvas, line, Qt::SolidLine);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(area.adjusted(0, 0, -1, -1));
    const QRect inner = area.adjusted(th, th / 2, -th, -th / 2);
    int top = inner.top();
    if (style.Caption) {
        canvas.setFont(SiteFont(th * 6 / 5));
        QString caption = QStringLiteral("推定断面図");
        if (!site.Name.isEmpty())
            caption += u"　" + site.Name;
        caption += QStringLiteral("　基礎底面 B = %1 m").arg(MetresText(site.BaseDepth));
        TextOut(canvas, inner.left(), top, caption);
        top += th * 2;
    }
    const qsizetype count = site.Points.size();
    const qsizetype first =
        std::clamp<qsizetype>(range.First, 0, std::max<qsizetype>(0, count - 1));
    const qsizetype last = range.Last < 0 ? count - 1 : std::min(range.Last, count - 1);
    if (count == 0 || last < first) {
        canvas.setFont(SiteFont(th));
        canvas.drawText(inner, Qt::AlignCenter, QStringLiteral("測点がありません"));
        canvas.restore();
        return layout;
    }
    const bool trueSpacing = figures.TrueSpacing();

    // Horizontal places.
    const QList<double> at = stations(data, first, last);
    const int x0 = inner.left() + (kAxisRoom + kLeftRoom) * th;
    const int usable = std::max(1, inner.width() - kSectionSideRoom * th);
    layout.PixelsPerUnit = range.PixelsPerUnit > 0 ? range.PixelsPerUnit
                           : at.last() > 0         ? usable / at.last()
                                                   : 0;
    double narrowest = usable;
    for (qsizetype k = 0; k < at.size(); ++k) {
        layout.ColumnX.append(at.last() > 0 ? x0 + at.at(k) * layout.PixelsPerUnit
                                            : x0 + usable / 2.0);
        if (k > 0)
            narrowest = std::min(narrowest, layout.ColumnX.at(k) - layout.ColumnX.at(k - 1));
    }
    layout.HalfWidth = std::clamp(int(narrowest * 0.3), th * 6 / 10, th * 3);
    const int hw = layout.HalfWidth;

    // Labels and ground levels above the columns, in as many rows as they need.
    const QFont labelFont = SiteFont(th);
    const QFont smallFont = SiteFont(th * 85 / 100);
    QList<QRect> labelBoxes;
    for (qsizetype k = 0; k < at.size(); ++k) {
        const qsizetype i = first + k;
        const int width =
            std::max(QFontMetrics(labelFont).horizontalAdvance(site.Points.at(i).Label),
                     QFontMetrics(smallFont).horizontalAdvance(
                         GroundLevelText(figures.Points.at(i).Ground)));
        labelBoxes.append(QRect(int(layout.ColumnX.at(k)) - width / 2, 0, width, 1));
    }
    int labelRows = 1;
    const QList<int> labelRow = stagger(labelBoxes, th / 2, 4, labelRows);
    const int labelRowHeight = th * 23 / 10;
    const int labelTop = top;
    top += labelRows * labelRowHeight;

    // Under the columns: distances, the scale bar, the legend and the notes.
    QStringList notes;
    if (!trueSpacing && count > 1)
        notes.append(QStringLiteral("位置のない測点があるため、測点を等間隔に並べています"));
    QStringList levelless;
    for (qsizetype i = first; i <= last; ++i) {
        if (!figures.Points.at(i).Ground)
            levelless.append(site.Points.at(i).Label);
    }
    if (!levelless.isEmpty())
        notes.append(QStringLiteral("地盤高なし（0 m として表示）: ") +
                     levelless.join(QStringLiteral("、")));
    QList<QRect> distanceBoxes;
    QStringList distanceTexts;
    for (qsizetype k = 0; k + 1 < at.size(); ++k) {
        const std::optional<double> distance = figures.Pairs.at(first + k).Distance;
        distanceTexts.append(distance ? SiteMetresText(*distance) + QStringLiteral(" m")
                                      : QString());
        const int width = QFontMetrics(smallFont).horizontalAdvance(distanceTexts.last());
        const int middle = int((layout.ColumnX.at(k) + layout.ColumnX.at(k + 1)) / 2);
        distanceBoxes.append(QRect(middle - width / 2, 0, width, 1));
    }
    int distanceRows = 1;
    const QList<int> distanceRow = stagger(distanceBoxes, th / 2, 2, distanceRows);
    const int noteHeight = th * 6 / 5;
    int bottom = inner.bottom() - int(notes.size()) * noteHeight;
    const int legendTop = bottom - th * 8 / 5;
    const int scaleTop = legendTop - (trueSpacing ? th * 12 / 5 : 0);
    const int distanceTop = scaleTop - distanceRows * th * 7 / 5;
    layout.Plot =
        QRect(inner.left() + kAxisRoom * th, top, inner.right() - inner.left() - kAxisRoom * th,
              std::max(th, distanceTop - th / 2 - top));

    // One elevation scale for the whole site.
    double highest = -1e9;
    double lowest = 1e9;
    for (qsizetype i = 0; i < count; ++i) {
        const double ground = groundOf(data, i);
        highest = std::max(highest, ground);
        lowest = std::min(lowest, ground);
        if (const TSitePointTest &test = data.Tests.value(i); test.Test)
            lowest = std::min(lowest, ground - test.Test->RoundedLog.FinalDepth / 100.0);
    }
    if (highest - lowest < 1)
        lowest = highest - 1;
    const int padTop = th * 3 / 2;
    const int padBottom = th / 2;
    layout.PixelsPerMetre = (layout.Plot.height() - padTop - padBottom) / (highest - lowest);
    layout.TopLevel = highest + padTop / layout.PixelsPerMetre;
    const auto yOf = [&](double level) {
        return layout.YOf(level);
    };

    // Elevation grid and axis.
    const double step = RoundStep(highest - lowest, std::max(2, layout.Plot.height() / (3 * th)));
    canvas.setFont(smallFont);
    QPen grid(QColor(150, 150, 150), line, Qt::DotLine);
    for (double level = std::ceil(lowest / step) * step; level <= highest + 1e-9; level += step) {
        const int y = int(std::lround(yOf(level)));
        canvas.setPen(grid);
        canvas.drawLine(layout.Plot.left(), y, layout.Plot.right(), y);
        SetPen(canvas, line, Qt::SolidLine);
        DrawTextAnchored(canvas, layout.Plot.left() - th / 3, y, 5, levelAxisText(level, step));
    }
    SetPen(canvas, line, Qt::SolidLine);
    canvas.drawLine(layout.Plot.left(), layout.Plot.top(), layout.Plot.left(),
                    layout.Plot.bottom());
    DrawTextAnchored(canvas, inner.left(), labelTop, 0, QStringLiteral("標高(m)"));

    const QColor accent = SiteAccent(style);
    const QBrush sinkBrush = style.Color ? QBrush(QColor(220, 30, 30)) : QBrush(Qt::black);
    const QBrush nswBrush =
        style.Color ? QBrush(QColor(90, 140, 220)) : QBrush(QColor(170, 170, 170));
    const QColor bottomColour = style.Color ? QColor(0, 90, 0) : QColor(Qt::black);

    for (qsizetype k = 0; k < at.size(); ++k) {
        const qsizetype i = first + k;
        const double cx = layout.ColumnX.at(k);
        const double ground = groundOf(data, i);
        const TSitePointFigures &point = figures.Points.at(i);

        const int labelY = labelTop + labelRow.at(k) * labelRowHeight;
        SetPen(canvas, line, Qt::SolidLine);
        canvas.setFont(labelFont);
        DrawTextAnchored(canvas, int(cx), labelY, 1, site.Points.at(i).Label);
        canvas.setFont(smallFont);
        DrawTextAnchored(canvas, int(cx), labelY + th * 11 / 10, 1, GroundLevelText(point.Ground));

        const TSitePointTest &test = data.Tests.value(i);
        if (!test.Test) {
            DrawTextAnchored(canvas, int(cx), int(yOf(ground)) + th / 3, 1,
                             QStringLiteral("データなし"));
            continue;
        }
        // The rounded rows, each from the row before down to its own depth.
        const Tkannyu &log = test.Test->RoundedLog;
        QList<QRectF> sinking;
        QList<QRectF> turning;
        ForEachRoundedStretch(log, [&](int from, int to, const Tvt_data &row) {
            if (to <= from)
                return;
            const double y0 = yOf(ground - from / 100.0);
            const double y1 = yOf(ground - to / 100.0);
            if (row.Na == kSelfSinking) {
                const double load = std::clamp(StrToIntDef(row.Wsw, 100), 0, 100) / 100.0;
                sinking.append(QRectF(cx - hw * load, y0, hw * load, y1 - y0));
                return;
            }
            double nsw = 0;
            if (!TryStrToFloat(row.Nsw, nsw))
                return;
            const double part = std::clamp(nsw / kSectionNswFull, 0.0, 1.0);
            turning.append(QRectF(cx, y0, hw * part, y1 - y0));
        });
        canvas.setPen(Qt::NoPen);
        canvas.setBrush(nswBrush);
        canvas.drawRects(turning);
        canvas.setBrush(sinkBrush);
        canvas.drawRects(sinking);
        canvas.setBrush(Qt::NoBrush);

        // The rod down to the final depth, the ground mark, the base and 2 m below it.
        SetPen(canvas, line, Qt::SolidLine);
        const double yGround = yOf(ground);
        canvas.drawLine(QPointF(cx, yGround), QPointF(cx, yOf(ground - log.FinalDepth / 100.0)));
        canvas.setPen(QPen(Qt::black, 2 * line));
        canvas.drawLine(QPointF(cx - hw * 13 / 10, yGround), QPointF(cx + hw * 13 / 10, yGround));
        canvas.setBrush(Qt::black);
        const double mark = th * 0.45;
        canvas.drawPolygon(QPolygonF{QPointF(cx, yGround), QPointF(cx - mark, yGround - mark),
                                     QPointF(cx + mark, yGround - mark)});
        canvas.setBrush(Qt::NoBrush);
        canvas.setPen(QPen(accent, line, Qt::DashLine));
        for (const int depth : {site.BaseDepth, site.BaseDepth + kMeanRangeCm}) {
            const double y = yOf(ground - depth / 100.0);
            canvas.drawLine(QPointF(cx - hw * 12 / 10, y), QPointF(cx + hw * 12 / 10, y));
        }
        if (k == 0) {
            // Named once, beside the first column, where the axis labels cannot meet them.
            canvas.setPen(accent);
            canvas.setFont(smallFont);
            const int x = int(cx + hw * 12 / 10 + th / 4);
            DrawTextAnchored(canvas, x, int(yOf(ground - site.BaseDepth / 100.0)), 3,
                             QStringLiteral("B"));
            DrawTextAnchored(canvas, x, int(yOf(ground - (site.BaseDepth + kMeanRangeCm) / 100.0)),
                             3, QStringLiteral("B+2m"));
        }
        if (point.SoftBottom) {
            const double y = yOf(ground - *point.SoftBottom / 100.0);
            canvas.setPen(QPen(bottomColour, 3 * line, Qt::SolidLine, Qt::FlatCap));
            canvas.drawLine(QPointF(cx - hw * 12 / 10, y), QPointF(cx + hw * 12 / 10, y));
        }
    }

    // The soft layers' bottoms of neighbours joined, with the slope (or, without distances,
    // the difference) on the line.
    canvas.setFont(smallFont);
    TLabelPlacer slopes(layout.Plot);
    for (qsizetype k = 0; k + 1 < at.size(); ++k) {
        const TSitePairFigures &pair = figures.Pairs.at(first + k);
        const std::optional<double> a = figures.Points.at(first + k).SoftBottomLevel();
        const std::optional<double> b = figures.Points.at(first + k + 1).SoftBottomLevel();
        if (!pair.BottomDifference || !a || !b)
            continue;
        const QPointF from(layout.ColumnX.at(k) + hw * 12 / 10, yOf(*a));
        const QPointF to(layout.ColumnX.at(k + 1) - hw * 12 / 10, yOf(*b));
        canvas.setPen(QPen(bottomColour, 2 * line, Qt::DashLine));
        canvas.drawLine(from, to);
        const QString text =
            pair.SlopePermille ? QString(SitePermilleText(pair.SlopePermille) + QStringLiteral("‰"))
                               : QStringLiteral("差 ") + SiteMetresText(*pair.BottomDifference) +
                                     QStringLiteral(" m");
        const QPointF middle = (from + to) / 2;
        const QFontMetrics metrics = canvas.fontMetrics();
        const QSize size(metrics.horizontalAdvance(text) + th / 2, metrics.height());
        const auto around = [&](double rise) {
            return QRect(
                (middle - QPointF(size.width() / 2.0, size.height() / 2.0 + rise)).toPoint(), size);
        };
        const QRect box = slopes.Place({around(th * 0.8), around(-th * 0.8), around(th * 2),
                                        around(-th * 2), around(th * 3.2), around(-th * 3.2)});
        canvas.fillRect(box, Qt::white);
        canvas.setPen(bottomColour);
        canvas.drawText(box, Qt::AlignCenter, text);
    }

    // Distances between neighbours along a line under the columns.
    SetPen(canvas, line, Qt::SolidLine);
    canvas.drawLine(int(layout.ColumnX.first()), distanceTop, int(layout.ColumnX.last()),
                    distanceTop);
    for (const double cx : layout.ColumnX)
        canvas.drawLine(int(cx), distanceTop - th / 3, int(cx), distanceTop + th / 3);
    for (qsizetype k = 0; k < distanceTexts.size(); ++k)
        DrawTextAnchored(canvas, distanceBoxes.at(k).center().x(),
                         distanceTop + th / 5 + distanceRow.at(k) * th * 7 / 5, 1,
                         distanceTexts.at(k));
    if (trueSpacing && layout.PixelsPerUnit > 0) {
        const double metres = RoundLengthAtMost(usable / 4.0 / layout.PixelsPerUnit);
        DrawScaleBar(canvas, inner.left() + th, scaleTop + th / 3,
                     int(std::lround(metres * layout.PixelsPerUnit)), metres, style);
    }

    // Legend and notes.
    canvas.setFont(smallFont);
    SetPen(canvas, line, Qt::SolidLine);
    int x = inner.left();
    x = legendItem(canvas, x, legendTop, th, sinkBrush, {}, false,
                   QStringLiteral("自沈（幅：荷重、1.00 kNで半幅）"));
    x = legendItem(canvas, x, legendTop, th, nswBrush, {}, false,
                   QStringLiteral("Nsw（%1で半幅）").arg(kSectionNswFull));
    x = legendItem(canvas, x, legendTop, th, {}, QPen(bottomColour, 3 * line), true,
                   QStringLiteral("自沈層の下端"));
    x = legendItem(canvas, x, legendTop, th, {}, QPen(bottomColour, 2 * line, Qt::DashLine), true,
                   QStringLiteral("下端を結ぶ線と勾配"));
    legendItem(canvas, x, legendTop, th, {}, QPen(accent, line, Qt::DashLine), true,
               QStringLiteral("基礎底面 B と B+2m"));
    for (qsizetype n = 0; n < notes.size(); ++n)
        TextOut(canvas, inner.left(), bottom + int(n) * noteHeight, notes.at(n));
    canvas.restore();
    return layout;
}
