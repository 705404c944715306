// The site report of a site: the ground evaluation report of its points (summary, formulas,
// Nsw graphs) followed by the location plan, the cross-section and the table that compares
// the points.
#pragma once

#include "sitereport.h"

#include <QSize>
#include <QStringList>

class QPagedPaintDevice;
class TReferenceTables;
struct TSetting;
struct TSiteData;

// The text height of a plan or section picture of `size` pixels standing alone.
int SitePictureTextHeight(const QSize &size);

// The report's input: the site's name as title, its base depth, each point under its label,
// and the site's pages after the report's own. Every test must have been read.
TSiteReportInput SiteReportInput(const TSiteData &data, bool color);

// The lines under the comparison table: how positions, levels and figures are found, and
// what the program leaves to the engineer.
QStringList SiteComparisonNotes(const TSiteData &data);

// Prints the whole report; answers the number of pages. Raises ETessmarkError naming the
// points whose test could not be read (before anything is drawn), and as PrintSiteReport does.
int PrintSiteReportWithPages(QPagedPaintDevice &device, const TSiteData &data, bool color,
                             const TSetting &setting, const TReferenceTables &tables);
