// The front of the survey report: the cover, the contents and the overview.
#include "surveyparts.h"

#include "bearing.h"
#include "evaluationreport.h"
#include "reporttext.h"
#include "site.h"
#include "surveyreport.h"
#include "surveytexts.h"

#include <QPainter>
#include <QTextDocument>

namespace {

class TCoverPart : public TReportPart
{
public:
    explicit TCoverPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const TSite &site = m_context.Data.Site;
        const TSiteSurvey &survey = site.Survey;
        TReportText text(layout, 11);
        text.Space(45);
        text.Paragraph(QStringLiteral("地盤調査報告書"), 28, Qt::AlignHCenter);
        text.Space(6);
        text.Paragraph(OrDash(site.Name), 16, Qt::AlignHCenter);
        text.Space(4);
        text.Paragraph(QStringLiteral("（%1）").arg(SurveyMethodText()), 10, Qt::AlignHCenter);
        text.Space(40);
        text.Fields({{QStringLiteral("調査場所"), OrDash(survey.Address)},
                     {QStringLiteral("依頼者"), OrDash(survey.Client)},
                     {QStringLiteral("調査日"), OrDash(SurveyDatesText(m_context.Data))},
                     {QStringLiteral("報告日"), ReportDateText(survey, m_context.Options.Today)}},
                    1, 22);
        text.Space(30);
        text.Fields({{QStringLiteral("調査会社"), OrDash(survey.Company)},
                     {QStringLiteral("担当者"), OrDash(survey.Engineer)}},
                    1, 22);
        AddTextPages(layout, QStringLiteral("表紙"), text.Take());
    }

private:
    const TSurveyContext m_context;
};

// The contents are set twice: once to learn how many pages they take, and once the other
// parts' page numbers are known; the lines are the same, so the pages are too.
class TContentsPart : public TReportPart
{
public:
    bool ListsEntries() const override { return true; }

    void Lay(TReportLayout &layout) const override
    {
        const auto entries = layout.Entries();
        QPaintDevice *device = &layout.Device();
        const TReportFrame frame = layout.Frame();
        const int pages = std::max(1, document(*device, frame, *entries)->pageCount());
        auto numbered = std::make_shared<std::shared_ptr<QTextDocument>>();
        for (int k = 0; k < pages; ++k)
            layout.AddPage(QStringLiteral("目次"), [=](QPainter &painter, const QRect &body) {
                if (!*numbered)
                    *numbered = document(*device, frame, *entries);
                PaintTextPage(painter, **numbered, body, k);
            });
    }

private:
    static std::shared_ptr<QTextDocument> document(QPaintDevice &device, const TReportFrame &frame,
                                                   const QList<TReportEntry> &entries)
    {
        TReportText text(device, frame.Body.width(), 10.5);
        text.Paginate(frame.Body.height());
        text.Heading(QStringLiteral("目次"), 16);
        text.Space(3);
        for (const TReportEntry &entry : entries)
            text.TabbedLine(entry.Title,
                            entry.Page > 0 ? QString::number(entry.Page) : QStringLiteral("000"),
                            entry.Level);
        return text.Take();
    }
};

class TOverviewPart : public TReportPart
{
public:
    explicit TOverviewPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const TSiteData &data = m_context.Data;
        const TSiteSurvey &survey = data.Site.Survey;
        TReportText text(layout, 10);
        text.Heading(QStringLiteral("1. 調査の概要"));
        text.Fields(
            {
                {QStringLiteral("件名"), OrDash(data.Site.Name)},
                {QStringLiteral("調査場所"), OrDash(survey.Address)},
                {QStringLiteral("依頼者"), OrDash(survey.Client)},
                {QStringLiteral("調査会社"), OrDash(survey.Company)},
                {QStringLiteral("調査担当者"), OrDash(survey.Engineer)},
                {QStringLiteral("調査日"), OrDash(SurveyDatesText(data))},
                {QStringLiteral("報告日"), ReportDateText(survey, m_context.Options.Today)},
                {QStringLiteral("建物概要"), OrDash(survey.Building)},
                {QStringLiteral("予定基礎"), OrDash(survey.Foundation)},
            },
            1, 22);
        text.Space(4);
        text.Heading(QStringLiteral("2. 調査の方法"));
        text.Fields(
            {
                {QStringLiteral("調査方法"), SurveyMethodText()},
                {QStringLiteral("試験装置"), OrDash(EquipmentText(survey))},
                {QStringLiteral("調査箇所数"),
                 QStringLiteral("%1 箇所").arg(data.Site.Points.size())},
                {QStringLiteral("基礎底面の深さ B"),
                 QStringLiteral("GL-%1 m").arg(MetresText(data.Site.BaseDepth))},
            },
            1, 22);
        text.Space(4);
        text.Heading(QStringLiteral("3. 数値の求め方"));
        text.Paragraph(QStringLiteral(
            "荷重 Wsw・半回転数 Na・貫入長・記事（音・感触）は試験装置の記録による。1 m あたりの"
            "半回転数 Nsw は Na を貫入量で割って 1 m あたりに換算した値、推定土質は記事から観察"
            "コード表によって推定した土質、換算N値は砂質土で 2Wsw + 0.067Nsw、粘性土で 3Wsw + "
            "0.050Nsw（Wsw は kN）。"));
        for (const QString &line : EvaluationFormulaLines(data.Site.BaseDepth))
            text.Paragraph(line);
        text.Paragraph(QStringLiteral(
            "測点の位置と地盤高は入力した値、なければ試験の GPS 記録による（測点の比較の注記を"
            "参照）。"));
        AddTextPart(layout, QStringLiteral("調査概要"), text);
    }

private:
    const TSurveyContext m_context;
};

} // namespace

std::unique_ptr<TReportPart> CoverPart(const TSurveyContext &context)
{
    return std::make_unique<TCoverPart>(context);
}

std::unique_ptr<TReportPart> ContentsPart()
{
    return std::make_unique<TContentsPart>();
}

std::unique_ptr<TReportPart> OverviewPart(const TSurveyContext &context)
{
    return std::make_unique<TOverviewPart>(context);
}
