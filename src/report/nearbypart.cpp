// The survey report's nearby tests (近隣データ): the archived tests of other surveys within the
// radius of the site, nearest first, each marked as reference data. They were looked up before
// the report was laid out; this part only sets them.
#include "surveyparts.h"

#include "archiveentry.h"
#include "reporttext.h"
#include "surveyreport.h"

namespace {

// More would turn a survey report into an archive listing; the rest are a search away.
constexpr qsizetype kMostRows = 50;

QString dateOf(const TArchiveFigures &figures)
{
    return figures.TestedAt.isEmpty() ? QStringLiteral("-") : figures.TestedAt.left(10);
}

class TNearbyPart : public TReportPart
{
public:
    explicit TNearbyPart(TNearbyTests nearby) : m_nearby(std::move(nearby)) {}

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
        AddTextPages(layout, title, text.Take());
    }

private:
    const TNearbyTests m_nearby;
};

} // namespace

std::unique_ptr<TReportPart> NearbyPart(const TNearbyTests &nearby)
{
    return std::make_unique<TNearbyPart>(nearby);
}
