// The survey report's nearby tests (近隣データ): the archived tests of other surveys within the
// radius of the site, nearest first, each marked as reference data. They were looked up before
// the report was laid out; this part only sets them, and draws where they lie around the site.
#include "surveyparts.h"

#include "archiveentry.h"
#include "drawtext.h"
#include "gpsposition.h"
#include "reporttext.h"
#include "sitedraw.h"
#include "surveyreport.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <cmath>

namespace {

// More would turn a survey report into an archive listing; the rest are a search away.
constexpr qsizetype kMostRows = 50;

QString dateOf(const TArchiveFigures &figures)
{
    return figures.TestedAt.isEmpty() ? QStringLiteral("-") : figures.TestedAt.left(10);
}

// The listed tests' places around the site's, in metres east and north of it.
struct TNearbyMap
{
    int Radius = 200;
    bool Colour = false;
    QList<QPointF> Places;
    QStringList Labels; // the archive numbers, as in the table
};

// Draws the site at the middle of a circle of the radius, north up, each test a small ring
// with its archive number beside it where the number has room; answers how many numbers had
// none.
int paintNearbyMap(QPainter &painter, const QRect &box, const TNearbyMap &map, int th)
{
    const int side = std::min(box.width(), box.height() - 2 * th);
    const QRect area(box.left() + (box.width() - side) / 2, box.top(), side, side);
    TSiteDrawStyle style;
    style.Color = map.Colour;
    style.TextHeight = th;
    style.Caption = false;
    painter.save();
    painter.setClipRect(box);
    SetPen(painter, SiteLineWidth(style), Qt::SolidLine);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    const QPointF middle = QRectF(area).center();
    const double pixels = (side / 2.0 - 2.5 * th) / map.Radius;
    const auto at = [&](const QPointF &metres) {
        return QPointF(middle.x() + metres.x() * pixels, middle.y() - metres.y() * pixels);
    };
    SetPen(painter, SiteLineWidth(style), Qt::DashLine);
    painter.drawEllipse(middle, map.Radius * pixels, map.Radius * pixels);

    painter.setFont(SiteFont(th));
    TLabelPlacer placer(area.adjusted(th / 2, th / 2, -th / 2, -th / 2));
    // The caption and the north arrow at the top, the scale bar at the foot.
    const QString caption =
        QStringLiteral("近隣の試験の位置（半径 %1 m、数字は保管番号）").arg(map.Radius);
    const QRect captionBox(area.left() + th / 2, area.top() + th / 3,
                           painter.fontMetrics().horizontalAdvance(caption), th * 5 / 4);
    TextOut(painter, captionBox.left(), captionBox.top(), caption);
    placer.Block(captionBox);
    const QPoint tip(area.right() - th * 3 / 2, area.top() + th * 3 / 2);
    DrawTextAnchored(painter, tip.x(), area.top() + th / 3, 1, QStringLiteral("N"));
    DrawNorthArrow(painter, tip, 2 * th, style);
    placer.Block(QRect(tip.x() - th, area.top(), 2 * th, 4 * th));
    const double scale = RoundLengthAtMost(map.Radius / 2.0);
    const int barLength = int(scale * pixels + 0.5);
    const QPoint bar(area.left() + th, area.bottom() - 2 * th);
    DrawScaleBar(painter, bar.x(), bar.y(), barLength, scale, style);
    placer.Block(QRect(bar.x() - th, bar.y() - th / 2, barLength + 3 * th, 2 * th + th / 2));

    const double ring = std::max(2.0, th / 3.0);
    const QColor accent = SiteAccent(style);
    QList<QPointF> points;
    for (const QPointF &place : map.Places) {
        points.append(at(place));
        placer.Block(QRectF(points.last().x() - ring, points.last().y() - ring, 2 * ring, 2 * ring)
                         .toAlignedRect());
    }
    const double siteMark = ring * 1.6;
    placer.Block(QRectF(middle.x() - siteMark, middle.y() - siteMark, 2 * siteMark, 2 * siteMark)
                     .toAlignedRect());

    SetPen(painter, SiteLineWidth(style), Qt::SolidLine);
    painter.setBrush(Qt::white);
    for (const QPointF &point : std::as_const(points))
        painter.drawEllipse(point, ring, ring);
    painter.setBrush(accent);
    painter.setPen(Qt::NoPen);
    painter.drawRect(
        QRectF(middle.x() - siteMark, middle.y() - siteMark, 2 * siteMark, 2 * siteMark));

    // Labels beside their marks: the site's first, then the tests nearest first.
    int unlabelled = 0;
    painter.setPen(Qt::black);
    const auto label = [&](const QPointF &point, double reach, const QString &text) {
        const int width = painter.fontMetrics().horizontalAdvance(text);
        const int height = th * 5 / 4;
        const int gap = int(reach) + th / 4;
        QList<QRect> candidates;
        for (const TAround place :
             {TAround::Right, TAround::Left, TAround::Top, TAround::Bottom, TAround::TopRight,
              TAround::TopLeft, TAround::BottomRight, TAround::BottomLeft})
            candidates.append(BoxAround(place, point, gap, QSize(width, height)));
        const std::optional<QRect> box = placer.Place(candidates);
        if (!box)
            return false;
        TextOut(painter, box->left(), box->top(), text);
        return true;
    };
    label(middle, siteMark, QStringLiteral("現場"));
    for (qsizetype i = 0; i < points.size(); ++i)
        unlabelled += label(points.at(i), ring, map.Labels.at(i)) ? 0 : 1;
    painter.restore();
    return unlabelled;
}

// The map with its note of numbers that found no room.
void paintMapWithNote(QPainter &painter, const QRect &box, const TNearbyMap &map, int th)
{
    const int unlabelled = paintNearbyMap(painter, box, map, th);
    if (!unlabelled)
        return;
    painter.save();
    painter.setFont(SiteFont(th));
    const int side = std::min(box.width(), box.height() - 2 * th);
    TextOut(painter, box.left() + (box.width() - side) / 2, box.top() + side + th / 2,
            QStringLiteral("保管番号を書く場所のない印が %1 個ある（表の距離で見分けられる）。")
                .arg(unlabelled));
    painter.restore();
}

// Where the text of `document` ends on its last page (device pixels from the page's top).
int usedOnLastPage(const QTextDocument &document)
{
    const QRectF last = document.documentLayout()->blockBoundingRect(document.lastBlock());
    const double page = document.pageSize().height();
    const int pages = std::max(1, document.pageCount());
    return int(std::ceil(last.bottom() - (page > 0 ? (pages - 1) * page : 0)));
}

class TNearbyPart : public TReportPart
{
public:
    TNearbyPart(TNearbyTests nearby, const TSiteData &data)
        : m_nearby(std::move(nearby)), m_place(SitePlace(data))
    {}

    void Lay(TReportLayout &layout) const override
    {
        TReportText text(layout, 8);
        text.Heading(QStringLiteral("近隣の試験（参考データ）"), 11);
        text.Paragraph(
            QStringLiteral("試験アーカイブに保管された他の調査の試験のうち、現場（この報告の"
                           "試験のGPS位置の中央）から半径 %1 m 以内のもの。この現場の試験は"
                           "除く。近い順。")
                .arg(m_nearby.Radius),
            8.5);
        text.Space(2);
        const QList<TArchiveHit> &hits = m_nearby.Hits;
        if (!m_nearby.Problem.isEmpty()) {
            text.Paragraph(m_nearby.Problem, 9);
        } else if (hits.isEmpty()) {
            text.Paragraph(QStringLiteral("半径 %1 m 以内に保管された他の試験はありません。")
                               .arg(m_nearby.Radius),
                           9);
        } else {
            QList<QStringList> rows;
            for (qsizetype i = 0; i < std::min(hits.size(), kMostRows); ++i) {
                const TArchiveHit &hit = hits.at(i);
                const TArchiveFigures &f = hit.Entry.Figures;
                rows.append(
                    {QString::number(hit.Entry.Id),
                     hit.Distance ? QString::number(*hit.Distance, 'f', 1) : QStringLiteral("-"),
                     dateOf(f), f.Code.isEmpty() ? hit.Entry.FileName : f.Code,
                     QString::number(f.Point), ArchiveMetresText(f.FinalDepth),
                     ArchiveTenthsText(f.MeanNswTenths), ArchiveTenthsText(f.QaTenths),
                     ArchiveMetresText(f.UpperSinking), ArchiveMetresText(f.LowerSinking),
                     ArchiveMetresText(f.BaseDepth)});
            }
            // The code is one word: it gets the room to stand on one line.
            text.Table({{QStringLiteral("保管番号"), 8, true},
                        {QStringLiteral("距離 (m)"), 8, true},
                        {QStringLiteral("試験日"), 11},
                        {QStringLiteral("試験コード"), 17},
                        {QStringLiteral("地点"), 5, true},
                        {QStringLiteral("深さ (m)"), 8, true},
                        {QStringLiteral("平均Nsw"), 8, true},
                        {QStringLiteral("qa長期 (kN/m²)"), 11, true},
                        {QStringLiteral("自沈 B～B+2m (m)"), 9, true},
                        {QStringLiteral("自沈 B+2～5m (m)"), 9, true},
                        {QStringLiteral("B (m)"), 6, true}},
                       rows);
            if (hits.size() > kMostRows)
                text.Paragraph(QStringLiteral("近い順に %1 件を載せた（半径内に全部で %2 件）。")
                                   .arg(kMostRows)
                                   .arg(hits.size()),
                               8.5);
            text.Space(3);
            text.Paragraph(
                QStringLiteral(
                    "参考データ：他の調査で得た試験であり、この現場の地盤を示すものではない。"
                    "平均Nsw・qa・自沈の厚さは保管したときの基礎底面 B（表の B 列）で、地盤評価と"
                    "同じ規則により求めた。距離は試験のGPS位置によるもので、受信機の誤差"
                    "（数 m）を含む。"),
                8.5);
        }
        const QString title = QStringLiteral("近隣データ");
        layout.AddEntry(title);
        const std::shared_ptr<QTextDocument> document = text.Take();
        const std::shared_ptr<const TNearbyMap> map = mapOf(layout.Colour());
        // The map goes under the table when it has room there, else on a page of its own.
        const TReportFrame &frame = layout.Frame();
        const int th = frame.Mm(2.8);
        const int used = usedOnLastPage(*document) + frame.Mm(4);
        const bool below = map && frame.Body.height() - used >= frame.Mm(110);
        const int pages = std::max(1, document->pageCount());
        for (int page = 0; page < pages; ++page) {
            const bool last = page == pages - 1;
            layout.AddPage(title, [=](QPainter &painter, const QRect &body) {
                PaintTextPage(painter, *document, body, page);
                if (last && below)
                    paintMapWithNote(painter, body.adjusted(0, used, 0, 0), *map, th);
            });
        }
        if (map && !below)
            layout.AddPage(title, [=](QPainter &painter, const QRect &body) {
                paintMapWithNote(painter, body, *map, th);
            });
    }

private:
    // The listed tests that have a place, around a site that has one; none when nothing would
    // stand on the map but the site.
    std::shared_ptr<const TNearbyMap> mapOf(bool colour) const
    {
        if (!m_place || !m_nearby.Problem.isEmpty())
            return nullptr;
        auto map = std::make_shared<TNearbyMap>();
        map->Radius = m_nearby.Radius;
        map->Colour = colour;
        for (qsizetype i = 0; i < std::min(m_nearby.Hits.size(), kMostRows); ++i) {
            const TArchiveEntry &entry = m_nearby.Hits.at(i).Entry;
            if (!entry.Figures.Position)
                continue;
            map->Places.append(LocalPlaneOffset(*m_place, *entry.Figures.Position));
            map->Labels.append(QString::number(entry.Id));
        }
        return map->Places.isEmpty() ? nullptr : map;
    }

    const TNearbyTests m_nearby;
    const std::optional<TGeoPosition> m_place;
};

} // namespace

std::unique_ptr<TReportPart> NearbyPart(const TSurveyContext &context)
{
    return std::make_unique<TNearbyPart>(context.Options.Nearby.value_or(TNearbyTests{}),
                                         context.Data);
}
