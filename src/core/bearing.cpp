#include "bearing.h"

#include "derived.h"
#include "errors.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// Nsw of a rounded row in tenths, self-sinking as 0 and capped. Texts hold at most one decimal,
// so the tenths are exact and the mean can be summed in integers.
qint64 nswTenthsOf(const Tvt_data &row)
{
    if (row.Na == kSelfSinking || row.Nsw == kSelfSinking)
        return 0;
    const qint64 tenths = qRound64(StrToFloat(row.Nsw) * 10);
    return std::clamp<qint64>(tenths, 0, kNswCap * 10);
}

bool overlaps(int top, int bottom, int from, int to)
{
    return top < to && bottom > from;
}

// Appends a stretch to the layers, joined to the last one when it continues it with the same load.
void addLayer(QList<TSelfSinkingLayer> &layers, int top, int bottom, int load)
{
    if (!layers.isEmpty() && layers.last().Bottom == top && layers.last().Load == load)
        layers.last().Bottom = bottom;
    else
        layers.append({top, bottom, load});
}

} // namespace

TBearingResult EvaluateBearing(const Tkannyu &roundedLog, int baseDepthCm)
{
    TBearingResult result;
    result.BaseDepth = baseDepthCm;
    const int meanTo = baseDepthCm + kMeanRangeCm;
    const int checkTo = baseDepthCm + kSecondBandCm;

    qint64 weighted = 0; // Nsw tenths × cm
    qint64 length = 0;   // cm
    ForEachRoundedStretch(roundedLog, [&](int top, int bottom, const Tvt_data &row) {
        result.Reached = bottom;
        if (bottom == top)
            return;
        const int inside = std::min(bottom, meanTo) - std::max(top, baseDepthCm);
        if (inside > 0) {
            weighted += nswTenthsOf(row) * inside;
            length += inside;
        }
        if (row.Na != kSelfSinking)
            return;
        const int load = StrToInt(row.Wsw);
        const bool firstBand = overlaps(top, bottom, baseDepthCm, meanTo) && load <= kFirstBandLoad;
        const bool secondBand = overlaps(top, bottom, meanTo, checkTo) && load <= kSecondBandLoad;
        if (firstBand || secondBand)
            addLayer(result.Layers, top, bottom, load);
    });

    result.CheckedTo = std::min(result.Reached, checkTo);
    result.Covered = result.Reached >= meanTo && length > 0;
    if (result.Covered) {
        result.MeanNswTenths = int(weighted / length);
        // qa = 30 + 0.6 · mean, in tenths: 300 + 6 · weighted / (10 · length), truncated.
        result.QaTenths = 300 + int(6 * weighted / (10 * length));
        result.QaShortTenths = 2 * result.QaTenths;
    }
    return result;
}

QList<TSelfSinkingLayer> SelfSinkingStretches(const Tkannyu &roundedLog)
{
    QList<TSelfSinkingLayer> layers;
    ForEachRoundedStretch(roundedLog, [&](int top, int bottom, const Tvt_data &row) {
        if (bottom > top && row.Na == kSelfSinking)
            addLayer(layers, top, bottom, StrToInt(row.Wsw));
    });
    return layers;
}

Tkannyu EvaluationLog(const TSoundingTest &test, const TSetting &setting,
                      const TReferenceTables &tables)
{
    TSoundingTest copy = test;
    // Rounding writes into the origin row; the copy takes rows of its own first.
    copy.NormalLog.reserveRows(copy.NormalLog.rowArrayLength());
    BuildRoundedView(copy, setting, tables);
    return copy.RoundedLog;
}

std::optional<int> ParseBaseDepth(const QString &metres)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})(?:\\.(\\d{0,2}))?$"));
    const QRegularExpressionMatch match = pattern.match(metres.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QString fraction = match.captured(2).leftJustified(2, u'0');
    return match.captured(1).toInt() * 100 + fraction.toInt();
}

QString MetresText(int cm)
{
    return QString::asprintf("%d.%02d", cm / 100, cm % 100);
}

QString TenthsText(int tenths)
{
    return QString::asprintf("%d.%d", tenths / 10, tenths % 10);
}

bool CheckIsPartial(const TBearingResult &result)
{
    return result.CheckedTo < result.BaseDepth + kSecondBandCm;
}

QStringList FoundationsAllowed(int qaTenths)
{
    QStringList allowed{QStringLiteral("基礎ぐい")};
    if (qaTenths >= 200)
        allowed.append(QStringLiteral("べた基礎"));
    if (qaTenths >= 300)
        allowed.append(QStringLiteral("布基礎"));
    return allowed;
}

QString VerdictText(const TBearingResult &result)
{
    if (result.SettlementStudyNeeded())
        return QStringLiteral("沈下の検討が必要");
    const QString clear = QStringLiteral("該当する自沈層なし");
    if (!CheckIsPartial(result))
        return clear;
    // What was not looked at may hold a layer: the verdict says how far the check went.
    const int band =
        result.Reached < result.BaseDepth + kMeanRangeCm ? kMeanRangeCm : kSecondBandCm;
    return clear + QStringLiteral("（一部確認：深さ%1 mまで、基礎底面下%2 m（深さ%3 m）に未達）")
                       .arg(MetresText(result.CheckedTo))
                       .arg(band / 100)
                       .arg(MetresText(result.BaseDepth + band));
}

QString NotCoveredText(const TBearingResult &result)
{
    if (result.Covered)
        return {};
    return QStringLiteral("試験が基礎底面下2.00 m（深さ%1 m）に達していないため求めません"
                          "（到達深さ %2 m）")
        .arg(MetresText(result.BaseDepth + kMeanRangeCm), MetresText(result.Reached));
}

QString CheckedRangeText(const TBearingResult &result)
{
    QString text = QStringLiteral("%1～%2 m")
                       .arg(MetresText(result.BaseDepth),
                            MetresText(std::max(result.BaseDepth, result.CheckedTo)));
    if (CheckIsPartial(result))
        text += QStringLiteral("（試験の到達深さまで）");
    return text;
}

QList<QPair<QString, QString>> BearingFigures(const TBearingResult &result)
{
    const auto figure = [&](int tenths) {
        return result.Covered ? TenthsText(tenths) : QStringLiteral("-");
    };
    QList<QPair<QString, QString>> figures = {
        {QStringLiteral("base_depth"), MetresText(result.BaseDepth)},
        {QStringLiteral("reached_depth"), MetresText(result.Reached)},
        {QStringLiteral("covered"), result.Covered ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("nsw_mean"), figure(result.MeanNswTenths)},
        {QStringLiteral("qa_long"), figure(result.QaTenths)},
        {QStringLiteral("qa_short"), figure(result.QaShortTenths)},
        {QStringLiteral("checked_to"), MetresText(result.CheckedTo)},
        {QStringLiteral("self_sinking_layers"), QString::number(result.Layers.size())},
        {QStringLiteral("settlement_study"),
         result.SettlementStudyNeeded() ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("verdict"), VerdictText(result)},
    };
    if (!result.Covered)
        figures.append({QStringLiteral("note"), NotCoveredText(result)});
    for (const TSelfSinkingLayer &layer : result.Layers)
        figures.append({QStringLiteral("self_sinking"), MetresText(layer.Top) + u'\t' +
                                                            MetresText(layer.Bottom) + u'\t' +
                                                            MetresText(layer.Load)});
    return figures;
}

QString BearingReportText(const TBearingResult &result)
{
    QString text;
    const auto line = [&](const QString &key, const QString &value) {
        text += key + u'\t' + value + u'\n';
    };
    line(QStringLiteral("基礎底面の深さ"), MetresText(result.BaseDepth) + QStringLiteral(" m"));
    line(QStringLiteral("到達深さ"), MetresText(result.Reached) + QStringLiteral(" m"));
    if (result.Covered) {
        line(QStringLiteral("平均Nsw（基礎底面下2 m）"), TenthsText(result.MeanNswTenths));
        line(QStringLiteral("長期許容支持力 qa"), TenthsText(result.QaTenths) + u" kN/m²");
        line(QStringLiteral("短期許容支持力"), TenthsText(result.QaShortTenths) + u" kN/m²");
    } else {
        line(QStringLiteral("許容支持力"), NotCoveredText(result));
    }
    line(QStringLiteral("自沈層の確認範囲"), CheckedRangeText(result));
    for (const TSelfSinkingLayer &layer : result.Layers)
        line(QStringLiteral("自沈層"),
             QStringLiteral("%1～%2 m  Wsw %3 kN")
                 .arg(MetresText(layer.Top), MetresText(layer.Bottom), MetresText(layer.Load)));
    line(QStringLiteral("判定"), VerdictText(result));
    return text;
}
