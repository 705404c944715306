// The marks the ground evaluation puts on an Nsw graph drawn to a depth scale: the self-sinking
// stretches with their loads, the foundation base and B + 2 m, and a legend of them with the soil
// fills. Shared by every drawing that shows an evaluation.
#pragma once

#include "bearing.h"
#include "graphstyle.h"

#include <QColor>
#include <QList>
#include <QRect>

class QPainter;
class QPoint;
class TReferenceTables;

// The y of a depth on a plot that shows 0 .. rangeMetres from its top to its bottom.
int EvaluationDepthY(const PlotRect &plot, int rangeMetres, int cm);

// Colours of the marks; black in a black-and-white drawing.
QColor SelfSinkingMarkColour(bool colour);
QColor BaseLineColour(bool colour);

// Each self-sinking stretch as a strip at the plot's right edge (where its Nsw of 0 leaves room)
// with its load in kN beside it; labels that would overlap one before them move down, and one
// that would stand too far from its stretch is left out. Answers the boxes of the labels.
QList<QRect> DrawSelfSinkingMarks(QPainter &canvas, const PlotRect &plot, int rangeMetres,
                                  const QList<TSelfSinkingLayer> &stretches, bool colour);

// The base and B + 2 m as dashed lines over a white line, so they stay visible where they cross
// a bar of their own colour; they break off around `keepClear` (the load labels) so a line
// never runs through a figure.
void DrawBaseLines(QPainter &canvas, const PlotRect &plot, int rangeMetres, int baseDepthCm,
                   bool colour, const QList<QRect> &keepClear = {});

// One line of legend starting at `at`: each soil type's fill, the self-sinking mark and the
// dashed lines, in text `height` pixels high; answers the height it took.
int DrawEvaluationLegend(QPainter &canvas, const QPoint &at, int height,
                         const TReferenceTables &tables, bool colour);
