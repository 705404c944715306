// The survey report's findings: the facts that bear on the foundation, each with the rule it
// comes from, then the engineer's own words. The program states and cites; it does not judge
// whether the ground needs improving.
#include "surveyparts.h"

#include "bearing.h"
#include "reporttext.h"
#include "site.h"
#include "sitefindings.h"
#include "surveyreport.h"
#include "surveytexts.h"

namespace {

const QString kNotice1347 = QStringLiteral("平成12年建設省告示第1347号");
const QString kNotice1113 = QStringLiteral("平成13年国土交通省告示第1113号");

QString labelsOf(const TSite &site, const QList<qsizetype> &points)
{
    QStringList labels;
    for (const qsizetype i : points)
        labels.append(site.Points.at(i).Label);
    return labels.join(QStringLiteral("、"));
}

// Which of the notice's three ranges a qa falls in, as the notice words it: the range is told
// by how many foundation types it allows.
QString rangeText(int qaTenths)
{
    switch (FoundationsAllowed(qaTenths).size()) {
    case 1:
        return QStringLiteral("20 kN/m² 未満");
    case 2:
        return QStringLiteral("20 kN/m² 以上 30 kN/m² 未満");
    default:
        return QStringLiteral("30 kN/m² 以上");
    }
}

QString stretchesText(const QList<TSelfSinkingLayer> &stretches)
{
    QStringList parts;
    for (const TSelfSinkingLayer &s : stretches)
        parts.append(QStringLiteral("深さ %1～%2 m（%3 kN）")
                         .arg(MetresText(s.Top), MetresText(s.Bottom), MetresText(s.Load)));
    return parts.join(QStringLiteral("、"));
}

class TFindingsPart : public TReportPart
{
public:
    explicit TFindingsPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const TSiteData &data = m_context.Data;
        const TSite &site = data.Site;
        const TSiteFindings findings = FindSiteFindings(data);
        TReportText text(layout, 10);

        text.Heading(QStringLiteral("1. 許容応力度と基礎の構造（%1）").arg(kNotice1347), 11.5);
        if (findings.WeakestPoint >= 0) {
            const int qa = findings.WeakestQaTenths;
            text.Paragraph(
                QStringLiteral("各測点の長期許容支持力 qa（%1 の式による）の最小は "
                               "%2 の %3 kN/m² である。")
                    .arg(kNotice1113, site.Points.at(findings.WeakestPoint).Label, TenthsText(qa)));
            text.Paragraph(QStringLiteral("%1 は、地盤の長期に生ずる力に対する許容応力度が %2 の"
                                          "場合に用いることのできる基礎の構造を %3 としている。")
                               .arg(kNotice1347, rangeText(qa),
                                    FoundationsAllowed(qa).join(QStringLiteral("、"))));
            text.Paragraph(QStringLiteral("（20 kN/m² 未満：基礎ぐい、20 kN/m² 以上 30 kN/m² "
                                          "未満：基礎ぐい又はべた基礎、30 kN/m² 以上：基礎ぐい、"
                                          "べた基礎又は布基礎）"),
                           9);
        } else {
            text.Paragraph(QStringLiteral("qa を求められた測点はない。"));
        }
        if (!findings.WithoutQa.isEmpty())
            text.Paragraph(QStringLiteral("%1 は試験が基礎底面下 2 m に達しないため qa を求めて"
                                          "いない。")
                               .arg(labelsOf(site, findings.WithoutQa)));

        text.Heading(QStringLiteral("2. 自沈層（%1）").arg(kNotice1113), 11.5);
        text.Paragraph(QStringLiteral("基礎底面から下方 2 m 以内に荷重 1 kN 以下で自沈する層、又は"
                                      "下方 2 m を超え 5 m 以内に荷重 500 N 以下で自沈する層が"
                                      "存在する測点："));
        if (findings.SettlementPoints.isEmpty()) {
            text.Paragraph(QStringLiteral("該当する測点はない。"));
        } else {
            for (const qsizetype i : findings.SettlementPoints) {
                const TSitePointFigures &f = data.Figures.Points.at(i);
                QStringList bands;
                if (!f.UpperStretches.isEmpty())
                    bands.append(
                        QStringLiteral("B～B+2 m に %1").arg(stretchesText(f.UpperStretches)));
                if (!f.LowerStretches.isEmpty())
                    bands.append(
                        QStringLiteral("B+2～B+5 m に %1").arg(stretchesText(f.LowerStretches)));
                text.Paragraph(QStringLiteral("%1：%2").arg(site.Points.at(i).Label,
                                                            bands.join(QStringLiteral("、"))));
            }
            text.Paragraph(QStringLiteral("これらの測点では、%1 により、建築物の自重による沈下その"
                                          "他の地盤の変形等を考慮して、建築物又は建築物の部分に"
                                          "有害な損傷、変形及び沈下が生じないことを確かめる必要が"
                                          "ある（沈下の検討）。")
                               .arg(kNotice1113));
        }
        QList<qsizetype> partial;
        for (qsizetype i = 0; i < data.Figures.Points.size(); ++i) {
            const std::optional<TBearingResult> &result = data.Figures.Points.at(i).Result;
            if (result && CheckIsPartial(*result))
                partial.append(i);
        }
        if (!partial.isEmpty())
            text.Paragraph(QStringLiteral("%1 は試験が基礎底面下 5 m に達しないため、確認は試験の"
                                          "深さまでである。")
                               .arg(labelsOf(site, partial)));

        text.Heading(QStringLiteral("3. 自沈層の下端の傾斜"), 11.5);
        if (findings.SteepestPair >= 0) {
            const qsizetype k = findings.SteepestPair;
            const TSitePairFigures &pair = data.Figures.Pairs.at(k);
            text.Paragraph(QStringLiteral("隣り合う測点の自沈層の下端の勾配の最大は %1 → %2 の "
                                          "%3 ‰（標高差 %4 m、水平距離 %5 m）である。")
                               .arg(site.Points.at(k).Label, site.Points.at(k + 1).Label,
                                    SitePermilleText(pair.SlopePermille),
                                    SiteMetresText(pair.BottomDifference),
                                    SiteMetresText(pair.Distance)));
        } else {
            text.Paragraph(QStringLiteral("勾配を求められる隣り合う測点の組はない（自沈層、地盤高"
                                          "又は位置のない測点がある）。"));
        }

        text.Heading(QStringLiteral("4. 所見"), 11.5);
        text.Lines(OrDash(site.Survey.Findings));
        text.Space(4);
        text.Paragraph(QStringLiteral("本書は試験の結果と上記の規定による数値を示すものであり、"
                                      "地盤補強の要否と基礎の設計は技術者が判断する。"),
                       9);

        AddTextPart(layout, QStringLiteral("考察"), text);
    }

private:
    const TSurveyContext m_context;
};

} // namespace

std::unique_ptr<TReportPart> FindingsPart(const TSurveyContext &context)
{
    return std::make_unique<TFindingsPart>(context);
}
