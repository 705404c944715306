#include "surveyreport.h"

#include "site.h"
#include "surveyparts.h"

TReportParts SurveyReportParts(const TSurveyContext &context)
{
    // The order of the report; a part added later is one more line here.
    TReportParts parts;
    parts.push_back(CoverPart(context));
    parts.push_back(ContentsPart());
    parts.push_back(OverviewPart(context));
    parts.push_back(PlanPart(context));
    parts.push_back(SheetsPart(context));
    parts.push_back(SectionPart(context));
    parts.push_back(ComparisonPart(context));
    if (context.Options.Nearby)
        parts.push_back(NearbyPart(context));
    parts.push_back(FindingsPart(context));
    parts.push_back(PhotosPart(context));
    return parts;
}

TReportFurniture SurveyReportFurniture(const TSiteData &data)
{
    const QString title = QStringLiteral("地盤調査報告書");
    const QString subject = data.Site.Name.trimmed().isEmpty() ? title : data.Site.Name;
    return {subject, data.Site.Survey.Company,
            data.Site.Name.trimmed().isEmpty() ? title
                                               : title + QStringLiteral("　") + data.Site.Name};
}

int PrintSurveyReport(QPagedPaintDevice &device, const TSiteData &data,
                      const TSurveyReportOptions &options, const TSetting &setting,
                      const TReferenceTables &tables)
{
    // A report that left a point out would mislead.
    data.RequireEveryTest();
    const TSurveyContext context{data, options, setting, tables};
    return PrintReport(device, SurveyReportParts(context), SurveyReportFurniture(data),
                       options.Color);
}
