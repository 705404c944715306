// The survey report's drawings of the whole site: the location plan and the cross-section,
// drawn by the same code as the window's and the pictures'.
#include "surveyparts.h"

#include "site.h"
#include "siteplan.h"
#include "sitesection.h"
#include "surveyreport.h"

#include <QPainter>

namespace {

TSiteDrawStyle drawStyle(const TReportLayout &layout)
{
    TSiteDrawStyle style;
    style.Color = layout.Colour();
    style.Caption = false;
    style.TextHeight = std::max(1, layout.Frame().Body.width() / 70);
    return style;
}

class TPlanPart : public TReportPart
{
public:
    explicit TPlanPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const QString title = QStringLiteral("試験位置図");
        layout.AddEntry(title);
        const TSiteDrawStyle style = drawStyle(layout);
        layout.AddPage(title, [this, style](QPainter &painter, const QRect &body) {
            DrawSitePlan(painter, body, m_context.Data, style);
        });
    }

private:
    const TSurveyContext m_context;
};

class TSectionPart : public TReportPart
{
public:
    explicit TSectionPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const QString title = QStringLiteral("推定断面図");
        layout.AddEntry(title);
        const TSiteDrawStyle style = drawStyle(layout);
        const QList<TSiteSectionRange> pages =
            SiteSectionPages(m_context.Data, layout.Frame().Body.width(), style.TextHeight);
        for (qsizetype page = 0; page < pages.size(); ++page) {
            const TSiteSectionRange range = pages.at(page);
            layout.AddPage(PageTitle(title, page, pages.size()),
                           [this, style, range](QPainter &painter, const QRect &body) {
                               DrawSiteSection(painter, body, m_context.Data, style, range);
                           });
        }
    }

private:
    const TSurveyContext m_context;
};

} // namespace

std::unique_ptr<TReportPart> PlanPart(const TSurveyContext &context)
{
    return std::make_unique<TPlanPart>(context);
}

std::unique_ptr<TReportPart> SectionPart(const TSurveyContext &context)
{
    return std::make_unique<TSectionPart>(context);
}
