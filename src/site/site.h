// A site: the tests of one building lot, their places on the plan, and the figures that
// compare them (the ground evaluation of each point, the self-sinking layers, the slope of the
// soft layers' bottom between neighbouring points).
#pragma once

#include "bearing.h"
#include "record.h"
#include "sitesurvey.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

class TReferenceTables;
struct TSetting;

// One test point as the site keeps it.
struct TSiteTestPoint
{
    QString File;  // the test's data file, an absolute path
    QString Label; // "No.1" unless the user named it
    // Typed by the user; each overrides what the test's GPS record gives.
    std::optional<QPointF> TypedPosition; // metres east (x) and north (y)
    std::optional<double> TypedGround;    // ground level, metres
    TPointSurvey Survey = {};             // weather, tester, water level, photos, …
    // File as the site file names it ("tests/No1.ktd", "/mnt/survey/No1.ktd"); empty for a
    // point added since. Only how it is written, so it takes no part in comparing points.
    QString FileAsNamed = {};

    bool operator==(const TSiteTestPoint &other) const
    {
        return File == other.File && Label == other.Label && TypedPosition == other.TypedPosition &&
               TypedGround == other.TypedGround && Survey == other.Survey;
    }
};

struct TSite
{
    QString Name; // 物件名
    int BaseDepth = kDefaultBaseDepthCm;
    // In the order of the cross-section.
    QList<TSiteTestPoint> Points;
    // The building outline on the plan (metres), empty when not given.
    QList<QPointF> Outline;
    TSiteSurvey Survey; // client, address, company, …

    bool operator==(const TSite &) const = default;
};

// "No.1", "No.2", …: the default label of the point at `index`.
QString DefaultPointLabel(qsizetype index);
// The first default label no point of `site` carries, counting on from the number of points.
QString NextPointLabel(const TSite &site);
// The index of the point labelled `label`; -1 when none, -2 when several are.
qsizetype FindPointLabel(const TSite &site, const QString &label);
// Why `label` cannot name the point at `index` (empty, or another point's), or empty when it can.
QString LabelProblem(const TSite &site, qsizetype index, const QString &label);

// How far a position, a level or an outline corner may lie, in metres either way: what the
// table and the command line take, and what a site file may hold.
inline constexpr double kMaxSiteMetres = 99999.99;
// True when `metres` is a finite length within ±kMaxSiteMetres.
bool SiteMetresFit(double metres);
// A length typed in metres: an optional sign, digits and decimals ("-1.25"); none when the text
// is not such a number or does not fit.
std::optional<double> ParseSiteMetres(const QString &text);
// Metres with two decimals ("1.50", "-0.25", never "-0.00").
QString SiteMetresText(double metres);
// A figure that may be missing: its text, or "-".
QString SiteMetresText(const std::optional<double> &metres);
// A slope in ‰ with one decimal ("-45.0", never "-0.0"), or "-".
QString SitePermilleText(const std::optional<double> &permille);

// What reading a point's test gave.
struct TSitePointTest
{
    std::optional<TSoundingTest> Test; // none when the file could not be read
    QString Problem;                   // why not, naming the file
};

// Reads one test as the main window would open it (the rounded log with these settings).
TSitePointTest ReadSitePointTest(const QString &file, const TSetting &setting,
                                 const TReferenceTables &tables);

// Where a position or a ground level comes from.
enum class TValueSource { None, Gps, Typed };

struct TSitePointFigures
{
    std::optional<QPointF> Position; // metres east and north; none: "位置なし"
    TValueSource PositionSource = TValueSource::None;
    std::optional<QPointF> GpsPosition; // what the GPS record gives, also when overridden
    std::optional<double> Ground;       // metres
    TValueSource GroundSource = TValueSource::None;
    std::optional<double> GpsGround;
    // Why the GPS record or the test gave nothing, one sentence each.
    QStringList Problems;

    // The ground evaluation at the site's base depth; none without a readable test.
    std::optional<TBearingResult> Result;
    // The evaluation's self-sinking layers cut to B..B+2 m (load ≤ 1.00 kN) and to B+2..B+5 m
    // (load ≤ 0.50 kN), and their total thickness in each (cm).
    QList<TSelfSinkingLayer> UpperStretches;
    QList<TSelfSinkingLayer> LowerStretches;
    int UpperThickness = 0;
    int LowerThickness = 0;
    // The depth of the bottom of the deepest of those layers, not below B+5 m (cm); none when
    // there is no such layer.
    std::optional<int> SoftBottom;

    // The soft layer's bottom as an elevation (metres): ground level less its depth.
    std::optional<double> SoftBottomLevel() const;
};

// Between a point and the next one in the list.
struct TSitePairFigures
{
    std::optional<double> Distance; // metres on the plan
    // The elevation of the second point's soft-layer bottom less the first's (metres): positive
    // when the bottom rises from the first point to the second.
    std::optional<double> BottomDifference;
    std::optional<double> SlopePermille; // BottomDifference / Distance, in ‰
};

// A point whose position lies far from the others: most likely a misread latitude or longitude
// (356.812 read as 3° 56.812′ puts a point 3,500 km away).
inline constexpr double kFarPointMetres = 1000;
struct TSiteFarPoint
{
    qsizetype Index = -1;
    double Distance = 0; // metres from the median of the site's positions

    bool operator==(const TSiteFarPoint &) const = default;
};
// The warning about a far point, without its label: "位置がほかの測点の中央から 3513.2 km …".
QString FarPointText(const TSiteFarPoint &far);

struct TSiteFigures
{
    QList<TSitePointFigures> Points; // one per point
    QList<TSitePairFigures> Pairs;   // Pairs[i]: Points[i] to Points[i + 1]
    // The points the GPS positions and altitudes are measured from; -1 when none has one.
    qsizetype PositionOrigin = -1;
    qsizetype GroundOrigin = -1;
    // The points more than kFarPointMetres from the median of the positions (x and y each the
    // median of the points that have a position), in the order of the points.
    QList<TSiteFarPoint> FarPoints;

    // The far point at `index`, or none.
    std::optional<TSiteFarPoint> FarPoint(qsizetype index) const;
    // True when every point has a position, none lies far from the others and the points are
    // not all in one place: the cross-section can then space them as they stand.
    bool TrueSpacing() const;
};

// The figures of `site` with its tests (`tests` holds one entry per point, in order).
// GPS positions become metres east and north of the first point with a readable GPS position,
// GPS altitudes ground levels relative to the first point with one. An altitude counts only
// beside a position that could be read.
TSiteFigures ComputeSiteFigures(const TSite &site, const QList<TSitePointTest> &tests);

// A site with its tests read and its figures: what the tool, the drawings and the window use.
struct TSiteData
{
    TSite Site;
    QList<TSitePointTest> Tests;
    TSiteFigures Figures;

    // Reads every test of Site and computes the figures.
    void ReadTests(const TSetting &setting, const TReferenceTables &tables);
    // After a change of Site that kept its tests (positions, levels, labels, base depth).
    void Recompute() { Figures = ComputeSiteFigures(Site, Tests); }
    // Changes of the list that keep the tests beside their points, the figures recomputed.
    // AddPoint appends `file` with the next free label and reads its test, or takes the test
    // already read from it.
    void AddPoint(const QString &file, const TSetting &setting, const TReferenceTables &tables);
    void AddPoint(const QString &file, TSitePointTest test);
    void RemovePoint(qsizetype index);
    void MovePoint(qsizetype from, qsizetype to);
    // The tests that could not be read, one line each: "No.3: ...".
    QStringList TestProblems() const;
    // Raises ETessmarkError with TestProblems when a test could not be read: a drawing or report
    // that left a point out would mislead.
    void RequireEveryTest() const;
};
