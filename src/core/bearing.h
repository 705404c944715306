// Ground evaluation of one test below a foundation: the mean Nsw under the base, the allowable
// bearing capacity from it and the self-sinking layers that call for a settlement study.
#pragma once

#include "record.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>

class TReferenceTables;
struct TSetting;

// The base depth a new user starts from, in cm.
inline constexpr int kDefaultBaseDepthCm = 50;
// The depth below the base that the mean Nsw covers, and the two bands of the self-sinking
// check below the base (cm).
inline constexpr int kMeanRangeCm = 200;
inline constexpr int kSecondBandCm = 500;
// Nsw above this counts as this in the mean.
inline constexpr int kNswCap = 150;
// Loads (hundredths of a kN) at or below which a self-sinking interval is reported in the first
// and the second band.
inline constexpr int kFirstBandLoad = 100;
inline constexpr int kSecondBandLoad = 50;

// One reported self-sinking layer: neighbouring intervals of the same load taken together.
struct TSelfSinkingLayer
{
    int Top = 0;    // cm
    int Bottom = 0; // cm
    int Load = 0;   // hundredths of a kN
    bool operator==(const TSelfSinkingLayer &) const = default;
};

struct TBearingResult
{
    int BaseDepth = 0; // cm
    int Reached = 0;   // cm: the deepest point of the data
    // The data reach B + 2 m; only then are the mean and qa given.
    bool Covered = false;
    // Tenths, truncated: mean Nsw, long-term qa and short-term qa (2 · long-term) in kN/m².
    int MeanNswTenths = 0;
    int QaTenths = 0;
    int QaShortTenths = 0;
    // How deep the self-sinking check looked: B + 5 m or what the test reached.
    int CheckedTo = 0;
    QList<TSelfSinkingLayer> Layers;

    bool SettlementStudyNeeded() const { return !Layers.isEmpty(); }
};

// What a rounded row stands for: the stretch from the previous rounded row's depth (0 for the
// first) to its own depth, the step its Nsw was computed over and the bar the rounded Nsw graph
// draws. Calls visit(top, bottom, row) for rows 1..Count from the top (cm; a row above the one
// before gets a stretch of no length).
template<typename Visit> void ForEachRoundedStretch(const Tkannyu &roundedLog, Visit visit)
{
    int top = 0;
    for (int i = 1; i <= roundedLog.Count; ++i) {
        const Tvt_data &row = roundedLog.row(i);
        const int bottom = std::max(top, row.Depth);
        visit(top, bottom, row);
        top = bottom;
    }
}

// Evaluates a 25 cm rounded log under a base `baseDepthCm` deep. A rounded row stands for the
// stretch from the previous rounded row's depth (0 for the first) to its own depth, with its Nsw
// (capped, self-sinking rows 0): the step its Nsw was computed over and the bar the rounded Nsw
// graph draws. Raises EConvertError on an Nsw or load text that is not a number.
TBearingResult EvaluateBearing(const Tkannyu &roundedLog, int baseDepthCm);

// Every self-sinking stretch of a rounded log, neighbouring stretches of the same load taken
// together, from the top. Raises EConvertError on a load text that is not a number.
QList<TSelfSinkingLayer> SelfSinkingStretches(const Tkannyu &roundedLog);

// The log an evaluation reads: the test's normal log rounded with the given settings, made on
// a copy so the test and its shown logs stay as they are. Raises EConvertError like the
// rounding does.
Tkannyu EvaluationLog(const TSoundingTest &test, const TSetting &setting,
                      const TReferenceTables &tables);

// A base depth typed in metres ("0.5", "1.25"; at most two decimals, 0 to 99.99) in cm;
// nullopt when it is not one.
std::optional<int> ParseBaseDepth(const QString &metres);
// A depth in cm as metres with two decimals ("0.50").
QString MetresText(int cm);
// A value in tenths as text with one decimal ("57.2").
QString TenthsText(int tenths);

// The foundation types the notice on foundation structures (平成12年建設省告示第1347号) allows
// on ground of a long-term allowable bearing capacity of `qaTenths` / 10 kN/m²: piles below 20,
// piles or a mat from 20, piles, a mat or strip footings from 30.
QStringList FoundationsAllowed(int qaTenths);

// True when the test ended above B + 5 m, so the self-sinking check saw only part of its bands.
bool CheckIsPartial(const TBearingResult &result);
// The verdict line: "沈下の検討が必要" when a layer was found, else "該当する自沈層なし", followed
// by how far the check went when it was partial.
QString VerdictText(const TBearingResult &result);
// Why no qa is given, or empty when it is.
QString NotCoveredText(const TBearingResult &result);
// How far the self-sinking check looked.
QString CheckedRangeText(const TBearingResult &result);

// The figures as key/value pairs in a fixed order, then one ("self_sinking",
// "TOP<TAB>BOTTOM<TAB>LOAD") pair per layer, all values plain numbers or texts.
QList<QPair<QString, QString>> BearingFigures(const TBearingResult &result);
// The result as the Japanese text the dialog shows and copies, lines ended by "\n".
QString BearingReportText(const TBearingResult &result);
