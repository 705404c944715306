// The survey report's comparison of the points: their positions, levels and figures side by
// side, the neighbouring pairs, and how each figure is found.
#include "surveyparts.h"

#include "bearing.h"
#include "reporttext.h"
#include "site.h"
#include "surveyreport.h"

namespace {

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

QStringList comparisonNotes(const TSiteData &data)
{
    const TSiteFigures &figures = data.Figures;
    const auto labelOf = [&](qsizetype index) {
        return index >= 0 ? data.Site.Points.at(index).Label : QStringLiteral("-");
    };
    // A point far from the others is first: its figures may stand at the wrong place.
    QStringList notes;
    for (const TSiteFarPoint &far : figures.FarPoints)
        notes.append(QStringLiteral("注意：%1 の%2。").arg(labelOf(far.Index), FarPointText(far)));
    return notes +
           QStringList{
               QStringLiteral(
                   "位置：入力した X（東）・Y（北）、なければ試験のGPSの緯度・経度を %1 からの"
                   "東西・南北の距離に換算した値（WGS84楕円体、両点の平均緯度での曲率半径に"
                   "よる局所平面。300 m 以内で誤差 1 cm 以下）。GPS受信機自体の誤差は数 m に"
                   "なることがある。")
                   .arg(labelOf(figures.PositionOrigin)),
               QStringLiteral(
                   "地盤高（GL）：入力した値、なければGPSの海抜高度の %1 との差。地盤高のない"
                   "測点は標高差と勾配を求めない。")
                   .arg(labelOf(figures.GroundOrigin)),
               QStringLiteral(
                   "自沈：基礎底面 B（%1 m）から B+2 m は荷重 1.00 kN 以下、B+2 m から B+5 m は"
                   " 0.50 kN 以下の自沈区間の厚さ（地盤評価と同じ規則）。下端：それらの最も深い"
                   "下端（B+5 m まで）。")
                   .arg(MetresText(data.Site.BaseDepth)),
               QStringLiteral(
                   "標高差・勾配：断面の順に隣り合う測点の自沈層下端の標高の差（後の測点 − 前の"
                   "測点、上がれば正）と、それを水平距離で割った値（‰）。"),
               QStringLiteral(
                   "この表は計算の結果であり、許容できる不同沈下や勾配を判定しない。地盤の判定と"
                   "基礎の設計は技術者が行う。"),
           };
}

class TComparisonPart : public TReportPart
{
public:
    explicit TComparisonPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const TSite &site = m_context.Data.Site;
        const TSiteFigures &figures = m_context.Data.Figures;
        TReportText text(layout, 8);
        QList<QStringList> rows;
        for (qsizetype i = 0; i < site.Points.size(); ++i) {
            const TSitePointFigures &f = figures.Points.at(i);
            const std::optional<double> bottom =
                f.SoftBottom ? std::optional<double>(*f.SoftBottom / 100.0) : std::nullopt;
            rows.append({site.Points.at(i).Label,
                         f.Position ? SiteMetresText(f.Position->x()) : QStringLiteral("-"),
                         f.Position ? SiteMetresText(f.Position->y()) : QStringLiteral("-"),
                         sourceText(f.PositionSource), SiteMetresText(f.Ground),
                         sourceText(f.GroundSource),
                         tenthsOrDash(f, &TBearingResult::MeanNswTenths),
                         tenthsOrDash(f, &TBearingResult::QaTenths), MetresText(f.UpperThickness),
                         MetresText(f.LowerThickness), SiteMetresText(bottom),
                         SiteMetresText(f.SoftBottomLevel())});
        }
        text.Heading(QStringLiteral("測点ごとの値"), 11);
        text.Table({{QStringLiteral("測点")},
                    {QStringLiteral("X (m)"), 0, true},
                    {QStringLiteral("Y (m)"), 0, true},
                    {QStringLiteral("位置の元")},
                    {QStringLiteral("GL (m)"), 0, true},
                    {QStringLiteral("GLの元")},
                    {QStringLiteral("平均Nsw"), 0, true},
                    {QStringLiteral("qa長期 (kN/m²)"), 0, true},
                    {QStringLiteral("自沈 B～B+2m (m)"), 0, true},
                    {QStringLiteral("自沈 B+2～5m (m)"), 0, true},
                    {QStringLiteral("下端深さ (m)"), 0, true},
                    {QStringLiteral("下端標高 (m)"), 0, true}},
                   rows);
        QList<QStringList> pairs;
        for (qsizetype i = 0; i < figures.Pairs.size(); ++i) {
            const TSitePairFigures &pair = figures.Pairs.at(i);
            pairs.append(
                {site.Points.at(i).Label + QStringLiteral(" → ") + site.Points.at(i + 1).Label,
                 SiteMetresText(pair.Distance), SiteMetresText(pair.BottomDifference),
                 SitePermilleText(pair.SlopePermille)});
        }
        if (!pairs.isEmpty()) {
            text.Space(3);
            text.Heading(QStringLiteral("隣り合う測点"), 11);
            text.Table({{QStringLiteral("区間（断面の順）"), 40},
                        {QStringLiteral("水平距離 (m)"), 20, true},
                        {QStringLiteral("下端の標高差 (m)"), 20, true},
                        {QStringLiteral("勾配 (‰)"), 20, true}},
                       pairs);
        }
        text.Space(3);
        for (const QString &note : comparisonNotes(m_context.Data))
            text.Paragraph(note, 8.5);
        AddTextPart(layout, QStringLiteral("測点の比較"), text);
    }

private:
    const TSurveyContext m_context;
};

} // namespace

std::unique_ptr<TReportPart> ComparisonPart(const TSurveyContext &context)
{
    return std::make_unique<TComparisonPart>(context);
}
