// The survey report (地盤調査報告書) of a site: what a survey firm hands its client, composed
// of parts in order — cover, contents, overview, location plan, one data sheet per point,
// cross-section, comparison, the archive's nearby tests, findings and photographs.
#pragma once

#include "archiveentry.h"
#include "reportdocument.h"

#include <QDate>
#include <optional>

class QPagedPaintDevice;
class TReferenceTables;
struct TSetting;
struct TSiteData;

struct TSurveyReportOptions
{
    bool Color = false; // colours, else black, white and patterns that any printer keeps
    QDate Today;        // the report date when the site gives none
    // The archived tests near the site (近隣データ), looked up beforehand; none leaves the part
    // out.
    std::optional<TNearbyTests> Nearby;
};

// What the parts share while they lay out: the site with its tests read, and how to draw.
struct TSurveyContext
{
    const TSiteData &Data;
    TSurveyReportOptions Options;
    const TSetting &Setting;
    const TReferenceTables &Tables;
};

// The parts of the report, in order. They keep a copy of `context`: its site, settings and
// tables must outlive them.
TReportParts SurveyReportParts(const TSurveyContext &context);
// The subject (件名), the company at every page's foot and the document's title.
TReportFurniture SurveyReportFurniture(const TSiteData &data);

// Prints the report; answers the number of pages. Raises ETessmarkError naming the points
// whose test could not be read or the photos that cannot be, before anything is drawn, and when
// the device cannot start.
int PrintSurveyReport(QPagedPaintDevice &device, const TSiteData &data,
                      const TSurveyReportOptions &options, const TSetting &setting,
                      const TReferenceTables &tables);
