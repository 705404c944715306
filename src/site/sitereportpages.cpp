#include "sitereportpages.h"

#include "drawtext.h"
#include "errors.h"
#include "site.h"
#include "siteplan.h"
#include "sitereport.h"
#include "sitesection.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

using TStartPage = std::function<QRect(const QString &subtitle)>;

// Tables and paragraphs one below the other, on as many pages as they need.
class TFlowPages
{
public:
    TFlowPages(QPainter &painter, const TStartPage &startPage, const QString &subtitle,
               int textHeight)
        : m_painter(painter), m_startPage(startPage), m_subtitle(subtitle), m_th(textHeight)
    {
        newPage();
    }

    // `numeric`: the columns whose cells are set right.
    void Table(const QStringList &headings, const QList<QStringList> &rows,
               const QList<int> &numeric);
    void Paragraph(const QString &text);
    void Space() { m_y += m_th; }

private:
    void newPage()
    {
        m_area = m_startPage(m_subtitle);
        m_y = m_area.top();
    }
    void cell(const QRect &box, const QString &text, Qt::Alignment align);

    QPainter &m_painter;
    TStartPage m_startPage;
    QString m_subtitle;
    int m_th;
    QRect m_area;
    int m_y = 0;
};

void TFlowPages::cell(const QRect &box, const QString &text, Qt::Alignment align)
{
    const QRect inner = box.adjusted(m_th / 3, 0, -m_th / 3, 0);
    m_painter.drawText(inner, int(align | Qt::AlignVCenter),
                       m_painter.fontMetrics().elidedText(text, Qt::ElideRight, inner.width()));
    m_painter.drawRect(box);
}

void TFlowPages::Table(const QStringList &headings, const QList<QStringList> &rows,
                       const QList<int> &numeric)
{
    // Columns as wide as their longest text; the font shrinks until the table fits.
    const qsizetype columns = headings.size();
    QList<int> widths(columns, 0);
    int height = m_th;
    for (;;) {
        m_painter.setFont(SiteFont(height));
        const QFontMetrics metrics = m_painter.fontMetrics();
        int total = 0;
        for (qsizetype c = 0; c < columns; ++c) {
            widths[c] = metrics.horizontalAdvance(headings.at(c));
            for (const QStringList &row : rows)
                widths[c] = std::max(widths[c], metrics.horizontalAdvance(row.value(c)));
            widths[c] += m_th;
            total += widths[c];
        }
        if (total <= m_area.width() || height <= m_th * 6 / 10) {
            const int spare = std::max(0, m_area.width() - total);
            for (int &width : widths)
                width += spare / int(columns);
            break;
        }
        height = height * 9 / 10;
    }
    const int rowHeight = height * 18 / 10;
    const auto drawRow = [&](const QStringList &texts, bool heading) {
        if (heading)
            m_painter.fillRect(QRect(m_area.left(), m_y, m_area.width(), rowHeight),
                               QColor(230, 230, 230));
        int left = m_area.left();
        for (qsizetype c = 0; c < columns; ++c) {
            const Qt::Alignment align = heading                    ? Qt::AlignHCenter
                                        : numeric.contains(int(c)) ? Qt::AlignRight
                                                                   : Qt::AlignLeft;
            cell(QRect(left, m_y, widths[c], rowHeight), texts.value(c), align);
            left += widths[c];
        }
        m_y += rowHeight;
    };
    SetPen(m_painter, std::max(1, m_th / 12), Qt::SolidLine);
    m_painter.setBrush(Qt::NoBrush);
    // A heading never stands alone at the foot of a page.
    if (m_y + 2 * rowHeight > m_area.bottom())
        newPage();
    m_painter.setFont(SiteFont(height));
    drawRow(headings, true);
    for (const QStringList &row : rows) {
        // A table that goes on over the page shows its headings again.
        if (m_y + rowHeight > m_area.bottom()) {
            newPage();
            SetPen(m_painter, std::max(1, m_th / 12), Qt::SolidLine);
            m_painter.setFont(SiteFont(height));
            drawRow(headings, true);
        }
        drawRow(row, false);
    }
}

void TFlowPages::Paragraph(const QString &text)
{
    // Broken as the report's own notes are: never inside a bracketed aside or a number.
    const auto lines = [&]() {
        m_painter.setFont(SiteFont(m_th * 9 / 10));
        return WrapReportText(text, m_painter.fontMetrics(), m_area.width());
    };
    QStringList wrapped = lines();
    int height = int(wrapped.size()) * m_painter.fontMetrics().lineSpacing();
    if (m_y + height > m_area.bottom()) {
        newPage();
        wrapped = lines();
        height = int(wrapped.size()) * m_painter.fontMetrics().lineSpacing();
    }
    SetPen(m_painter, 1, Qt::SolidLine);
    m_painter.drawText(QRect(m_area.left(), m_y, m_area.width(), height),
                       int(Qt::AlignLeft | Qt::AlignTop), wrapped.join(u'\n'));
    m_y += height + m_th / 3;
}

QString sourceText(TValueSource source)
{
    switch (source) {
    case TValueSource::Typed:
        return QStringLiteral("入力");
    case TValueSource::Gps:
        return QStringLiteral("GPS");
    case TValueSource::None:
        break;
    }
    return QStringLiteral("なし");
}

QString tenthsOrDash(const TSitePointFigures &point, int TBearingResult::*value)
{
    return point.Result && point.Result->Covered ? TenthsText((*point.Result).*value)
                                                 : QStringLiteral("-");
}

void comparisonPages(QPainter &painter, const TStartPage &startPage, const TSiteData &data, int th)
{
    TFlowPages flow(painter, startPage, QStringLiteral("測点の比較"), th);
    const TSite &site = data.Site;
    const TSiteFigures &figures = data.Figures;
    QList<QStringList> rows;
    for (qsizetype i = 0; i < site.Points.size(); ++i) {
        const TSitePointFigures &f = figures.Points.at(i);
        const std::optional<double> bottom =
            f.SoftBottom ? std::optional<double>(*f.SoftBottom / 100.0) : std::nullopt;
        rows.append({site.Points.at(i).Label,
                     f.Position ? SiteMetresText(f.Position->x()) : QStringLiteral("-"),
                     f.Position ? SiteMetresText(f.Position->y()) : QStringLiteral("-"),
                     sourceText(f.PositionSource), SiteMetresText(f.Ground),
                     sourceText(f.GroundSource), tenthsOrDash(f, &TBearingResult::MeanNswTenths),
                     tenthsOrDash(f, &TBearingResult::QaTenths), MetresText(f.UpperThickness),
                     MetresText(f.LowerThickness), SiteMetresText(bottom),
                     SiteMetresText(f.SoftBottomLevel())});
    }
    flow.Table({QStringLiteral("測点"), QStringLiteral("X(m)"), QStringLiteral("Y(m)"),
                QStringLiteral("位置の元"), QStringLiteral("GL(m)"), QStringLiteral("GLの元"),
                QStringLiteral("平均Nsw"), QStringLiteral("qa長期"), QStringLiteral("自沈 B～B+2m"),
                QStringLiteral("自沈 B+2～5m"), QStringLiteral("下端深さ(m)"),
                QStringLiteral("下端標高(m)")},
               rows, {1, 2, 4, 6, 7, 8, 9, 10, 11});
    flow.Space();
    QList<QStringList> pairs;
    for (qsizetype i = 0; i < figures.Pairs.size(); ++i) {
        const TSitePairFigures &pair = figures.Pairs.at(i);
        pairs.append({site.Points.at(i).Label + QStringLiteral(" → ") + site.Points.at(i + 1).Label,
                      SiteMetresText(pair.Distance), SiteMetresText(pair.BottomDifference),
                      SitePermilleText(pair.SlopePermille)});
    }
    if (!pairs.isEmpty()) {
        flow.Table({QStringLiteral("区間（断面の順）"), QStringLiteral("水平距離(m)"),
                    QStringLiteral("下端の標高差(m)"), QStringLiteral("勾配(‰)")},
                   pairs, {1, 2, 3});
        flow.Space();
    }
    for (const QString &note : SiteComparisonNotes(data))
        flow.Paragraph(note);
}

void sitePages(QPainter &painter, const TStartPage &startPage, const TSiteData &data, bool color)
{
    TSiteDrawStyle style;
    style.Color = color;
    style.Caption = false;
    QRect area = startPage(QStringLiteral("試験位置図"));
    style.TextHeight = std::max(1, area.width() / 70);
    DrawSitePlan(painter, area, data, style);

    const QList<TSiteSectionRange> pages = SiteSectionPages(data, area.width(), style.TextHeight);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        QString subtitle = QStringLiteral("推定断面図");
        if (pages.size() > 1)
            subtitle += QStringLiteral("（%1/%2）").arg(page + 1).arg(pages.size());
        area = startPage(subtitle);
        DrawSiteSection(painter, area, data, style, pages.at(page));
    }
    comparisonPages(painter, startPage, data, style.TextHeight);
}

} // namespace

int SitePictureTextHeight(const QSize &size)
{
    return std::max(11, std::min(size.width(), size.height()) / 55);
}

TSiteReportInput SiteReportInput(const TSiteData &data, bool color)
{
    TSiteReportInput input;
    input.Title = data.Site.Name;
    input.BaseDepth = data.Site.BaseDepth;
    input.Color = color;
    for (qsizetype i = 0; i < data.Site.Points.size(); ++i) {
        const TSitePointTest &test = data.Tests.value(i);
        const std::optional<TBearingResult> &result = data.Figures.Points.value(i).Result;
        if (!test.Test || !result)
            continue;
        input.Points.append({data.Site.Points.at(i).Label, *test.Test, *result});
    }
    input.AppendPages = [&data, color](QPainter &painter, const TStartPage &startPage) {
        sitePages(painter, startPage, data, color);
    };
    return input;
}

QStringList SiteComparisonNotes(const TSiteData &data)
{
    const TSiteFigures &figures = data.Figures;
    const auto labelOf = [&](qsizetype index) {
        return index >= 0 ? data.Site.Points.at(index).Label : QStringLiteral("-");
    };
    return {
        QStringLiteral("位置：入力した X（東）・Y（北）、なければ試験のGPSの緯度・経度を %1 からの"
                       "東西・南北の距離に換算した値（WGS84楕円体、両点の平均緯度での曲率半径に"
                       "よる局所平面。300 m 以内で誤差 1 cm 以下）。GPS受信機自体の誤差は数 m に"
                       "なることがある。")
            .arg(labelOf(figures.PositionOrigin)),
        QStringLiteral("地盤高（GL）：入力した値、なければGPSの海抜高度の %1 との差。地盤高のない"
                       "測点は標高差と勾配を求めない。")
            .arg(labelOf(figures.GroundOrigin)),
        QStringLiteral("自沈：基礎底面 B（%1 m）から B+2 m は荷重 1.00 kN 以下、B+2 m から B+5 m は"
                       " 0.50 kN 以下の自沈区間の厚さ（地盤評価と同じ規則）。下端：それらの最も深い"
                       "下端（B+5 m まで）。")
            .arg(MetresText(data.Site.BaseDepth)),
        QStringLiteral("標高差・勾配：断面の順に隣り合う測点の自沈層下端の標高の差（後の測点 − 前の"
                       "測点、上がれば正）と、それを水平距離で割った値（‰）。"),
        QStringLiteral(
            "この表は計算の結果であり、許容できる不同沈下や勾配を判定しない。地盤の判定と"
            "基礎の設計は技術者が行う。"),
    };
}

int PrintSiteReportWithPages(QPagedPaintDevice &device, const TSiteData &data, bool color,
                             const TSetting &setting, const TReferenceTables &tables)
{
    data.RequireEveryTest();
    return PrintSiteReport(device, SiteReportInput(data, color), setting, tables);
}
