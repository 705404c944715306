// The evaluation report of several test points (`tessmark-cli report`): the summary of the
// ground evaluation with the formulas it used, then the rounded Nsw graphs side by side on one
// depth scale. Two parts of the report machinery.
#pragma once

#include "bearing.h"
#include "graphstyle.h"
#include "record.h"
#include "reportdocument.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class TReferenceTables;
struct TSetting;

// One test point of the report.
struct TEvaluationPoint
{
    QString Name; // as the user knows the point, e.g. the file's base name
    TSoundingTest Test;
    TBearingResult Result;
};

struct TEvaluationReportInput
{
    QString Title; // empty: a default title
    int BaseDepth = kDefaultBaseDepthCm;
    QList<TEvaluationPoint> Points;
    bool Color = true; // colours instead of black hatches in the graphs
};

// How many graphs stand side by side on a page whose area is `areaWidth` pixels wide: as many
// as keep their labels legible on paper.
int EvaluationGraphsPerPage(int areaWidth, int dotsPerInch);
// The depth the graphs show (m): the deepest test rounded up to whole metres, at least 5.
int EvaluationDepthRange(int deepestCm);

// The cells of one summary line: point, test code, date, final depth, mean Nsw, qa long-term,
// qa short-term, self-sinking layers, depth the check reached, verdict.
QStringList EvaluationSummaryCells(const TEvaluationPoint &point);
QStringList EvaluationSummaryHeadings();
// The lines that explain the formulas under the summary table.
QStringList EvaluationFormulaLines(int baseDepthCm);

// One point's graph in `area`: its name and qa above the plot, the rounded Nsw with every
// self-sinking load drawn as a bar in the load part, the self-sinking marks, and the base and
// B + 2 m clear of the marks' labels. Answers the plot.
PlotRect DrawEvaluationGraph(QPainter &canvas, const QRect &area, const TEvaluationPoint &point,
                             int rangeMetres, int baseDepthCm, bool colour, const TSetting &setting,
                             const TReferenceTables &tables);

// The report's parts: the summary with the formulas, and the graphs. They refer to `input`,
// `setting` and `tables`, which must outlive them.
TReportParts EvaluationReportParts(const TEvaluationReportInput &input, const TSetting &setting,
                                   const TReferenceTables &tables);
TReportFurniture EvaluationReportFurniture(const TEvaluationReportInput &input);

// Prints the report; answers the number of pages. Raises EConvertError when a value text of a
// test is not a number (before anything is drawn) and ETessmarkError when the device cannot
// start.
int PrintEvaluationReport(QPagedPaintDevice &device, const TEvaluationReportInput &input,
                          const TSetting &setting, const TReferenceTables &tables);
