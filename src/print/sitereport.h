// The site report: the ground evaluation of several test points on A4 pages — a summary table
// with the formulas used, then the Nsw graphs of all points side by side on one depth scale.
#pragma once

#include "bearing.h"
#include "record.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QFontMetrics;
class QPagedPaintDevice;
class QPainter;
class TReferenceTables;
struct TSetting;

// One test point of the site.
struct TSitePoint
{
    QString Name; // as the user knows the point, e.g. the file's base name
    TSoundingTest Test;
    TBearingResult Result;
};

struct TSiteReportInput
{
    QString Title; // empty: a default title
    int BaseDepth = kDefaultBaseDepthCm;
    QList<TSitePoint> Points;
    bool Color = true; // colours instead of black hatches in the graphs
    // Pages another part of the program adds after the report's own, on the same document.
    // It is handed the painter and a function that starts a page with the report's title,
    // base depth, page number and `subtitle`, answering the area left below them.
    std::function<void(QPainter &painter,
                       const std::function<QRect(const QString &subtitle)> &startPage)>
        AppendPages;
};

// How many graphs stand side by side on a page whose area is `areaWidth` pixels wide: as many
// as keep their labels legible on paper.
int SiteGraphsPerPage(int areaWidth, int dotsPerInch);

// The cells of one summary line: point, test code, date, final depth, mean Nsw, qa long-term,
// qa short-term, self-sinking layers, depth the check reached, verdict.
QStringList SiteSummaryCells(const TSitePoint &point);
QStringList SiteSummaryHeadings();
// The lines that explain the formulas under the summary table.
QStringList SiteFormulaLines(int baseDepthCm);

// `text` in lines at most `width` pixels wide, broken between characters but never inside a
// bracketed aside, a number or a unit, nor before a closing mark (an aside wider than a line is
// broken where it must be).
QStringList WrapReportText(const QString &text, const QFontMetrics &metrics, int width);

// Draws the report; answers the number of pages. Raises EConvertError when a value text of a
// test is not a number (before anything is drawn) and ETessmarkError when the device cannot
// start.
int PrintSiteReport(QPagedPaintDevice &device, const TSiteReportInput &input,
                    const TSetting &setting, const TReferenceTables &tables);
