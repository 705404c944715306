#include "sitefindings.h"

#include "site.h"

#include <cmath>

TSiteFindings FindSiteFindings(const TSiteData &data)
{
    TSiteFindings findings;
    const QList<TSitePointFigures> &points = data.Figures.Points;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const std::optional<TBearingResult> &result = points.at(i).Result;
        if (!result)
            continue;
        if (!result->Covered)
            findings.WithoutQa.append(i);
        else if (findings.WeakestPoint < 0 || result->QaTenths < findings.WeakestQaTenths) {
            findings.WeakestPoint = i;
            findings.WeakestQaTenths = result->QaTenths;
        }
        if (!points.at(i).UpperStretches.isEmpty() || !points.at(i).LowerStretches.isEmpty())
            findings.SettlementPoints.append(i);
    }
    double steepest = -1;
    for (qsizetype i = 0; i < data.Figures.Pairs.size(); ++i) {
        const std::optional<double> slope = data.Figures.Pairs.at(i).SlopePermille;
        if (slope && std::abs(*slope) > steepest) {
            steepest = std::abs(*slope);
            findings.SteepestPair = i;
        }
    }
    return findings;
}
