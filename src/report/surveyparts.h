// The parts of the survey report, each a page producer of its own. A report is the list
// SurveyReportParts makes of them; a new part is one more factory here and one more item there.
#pragma once

#include "reportdocument.h"

#include <memory>

struct TSurveyContext;

std::unique_ptr<TReportPart> CoverPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> ContentsPart();
std::unique_ptr<TReportPart> OverviewPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> PlanPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> SheetsPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> SectionPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> ComparisonPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> NearbyPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> FindingsPart(const TSurveyContext &context);
std::unique_ptr<TReportPart> PhotosPart(const TSurveyContext &context);
