// The facts of a site that bear on its foundation, each from a rule the report names: the
// smallest allowable bearing capacity and what it allows, the points where the self-sinking
// layers call for a settlement study, and the steepest slope of the soft layers' bottom. The
// program states them; whether the ground needs improving is the engineer's call.
#pragma once

#include <QList>
#include <QtGlobal>

struct TSiteData;

struct TSiteFindings
{
    // The point of the smallest long-term qa (the first of equals); -1 when no point has one.
    qsizetype WeakestPoint = -1;
    int WeakestQaTenths = 0;
    // Points whose test does not reach B + 2 m, so they have no qa.
    QList<qsizetype> WithoutQa;
    // Points with a self-sinking layer of at most 1.00 kN within B..B+2 m or of at most
    // 0.50 kN within B+2..B+5 m.
    QList<qsizetype> SettlementPoints;
    // The neighbouring pair (an index into the site's pairs) whose soft layers' bottom slopes
    // most steeply either way; -1 when no pair has a slope.
    qsizetype SteepestPair = -1;
};

TSiteFindings FindSiteFindings(const TSiteData &data);
