#include "derived.h"

#include "errors.h"
#include "reftables.h"
#include "settings.h"

#include <QPair>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kIntervalLength = 25; // cm

// Up to this many merging entries a bucket is searched by a scan rather than through an index.
constexpr qsizetype kScannedEntries = 16;

// Absorbs binary representation error before a truncation to one decimal: converted N values
// are multiples of 0.001 before truncation, so a genuine value never moves across a step.
constexpr double kTruncationSlack = 1e-6;

bool isSelfSinking(const Tvt_data &row)
{
    return row.Na == kSelfSinking;
}

// The measured rows that are really present, whatever Count claims.
int measuredRows(const Tkannyu &log)
{
    return std::clamp(log.Count, 0, std::max(0, log.rowArrayLength() - 1));
}

// The load of a self-sinking entry as the whole number the load choice compares. It stays a
// double: a damaged load field can hold a number no integer type can.
double loadValue(const QString &wsw)
{
    return std::trunc(StrToFloat(wsw));
}

// Removes the entries `doomed` picks, scanning from the first. With `keepLast` the last
// remaining entry is never removed. `onRemoved` sees every removed entry.
template<typename Doomed, typename OnRemoved>
void removeEntries(QList<Tvt_data> &entries, Doomed doomed, bool keepLast, OnRemoved onRemoved)
{
    qsizetype remaining = entries.size();
    QList<Tvt_data> kept;
    kept.reserve(entries.size());
    for (Tvt_data &entry : entries) {
        if (doomed(entry) && !(keepLast && remaining == 1)) {
            onRemoved(entry);
            --remaining;
            continue;
        }
        kept.append(std::move(entry));
    }
    entries = std::move(kept);
}

void ignoreRemoved(const Tvt_data &) {}

// Groups the entries by `keyOf` (groups in order of first appearance, each named by the text of
// its first entry) and answers the name of the first group with the strictly largest covered
// length; empty when no group covers any length.
template<typename KeyOf, typename TextOf>
QString dominantText(const QList<Tvt_data> &entries, KeyOf keyOf, TextOf textOf)
{
    QHash<QString, qsizetype> groupOf;
    QList<QPair<QString, qint64>> groups; // name, total length
    for (const Tvt_data &entry : entries) {
        const QString key = keyOf(entry);
        auto found = groupOf.constFind(key);
        if (found == groupOf.cend()) {
            found = groupOf.insert(key, groups.size());
            groups.append({textOf(entry), 0});
        }
        groups[*found].second += entry.Depth;
    }
    QString best;
    qint64 bestTotal = 0;
    for (const auto &[name, total] : std::as_const(groups)) {
        if (total > bestTotal) {
            best = name;
            bestTotal = total;
        }
    }
    return best;
}

// The load of a self-sinking interval: the largest covered length wins, the smaller load on a
// tie; the choice starts from 1.00 kN with nothing covered.
QString dominantLoad(const QList<Tvt_data> &entries)
{
    QHash<QString, qsizetype> groupOf;
    QList<QPair<QString, qint64>> groups;
    for (const Tvt_data &entry : entries) {
        auto found = groupOf.constFind(entry.Wsw);
        if (found == groupOf.cend()) {
            found = groupOf.insert(entry.Wsw, groups.size());
            groups.append({entry.Wsw, 0});
        }
        groups[*found].second += entry.Depth;
    }
    QString best = QStringLiteral("100");
    qint64 bestTotal = 0;
    for (const auto &[load, total] : std::as_const(groups)) {
        if (total > bestTotal || (total == bestTotal && loadValue(load) < loadValue(best))) {
            best = load;
            bestTotal = total;
        }
    }
    return best;
}

} // namespace

void ComputeNsw(Tkannyu &log, bool isRoundedLog, const TSetting &setting,
                const TReferenceTables &tables)
{
    const bool naMode = setting.NaMode;
    const int count = measuredRows(log);
    int previousDepth = 0;
    for (int i = 1; i <= count; ++i) {
        Tvt_data &row = log.row(i);
        if (isSelfSinking(row)) {
            row.Nsw = NswText(0, naMode);
        } else if (!isRoundedLog && tables.IsHammerText(row.Obs)) {
            row.Nsw = NswText(setting.DNsw, naMode);
        } else {
            double step = double(row.Depth) - previousDepth;
            if (step == 0)
                step = 0.1; // two rows at one depth: a tenth of a centimetre
            const float perMetre = float(NaValue(row.Na, naMode) * 100 / step);
            row.Nsw = NswText(perMetre, naMode);
        }
        previousDepth = row.Depth;
    }
}

void ComputeNValue(Tkannyu &log, const TReferenceTables &tables)
{
    const int count = measuredRows(log);
    // A test has a few soil types: each one's table entry is looked up once.
    QVarLengthArray<QPair<QString, bool>, 8> soils;
    const auto isSandy = [&](const QString &soil) {
        for (const auto &[known, sandy] : std::as_const(soils)) {
            if (known == soil)
                return sandy;
        }
        const bool sandy = tables.SandyFlagOf(soil) != 0;
        if (soils.size() < 8)
            soils.append({soil, sandy});
        return sandy;
    };
    for (int i = 1; i <= count; ++i) {
        Tvt_data &row = log.row(i);
        const double nsw = row.Nsw == kSelfSinking ? 0.0 : StrToFloat(row.Nsw);
        const double load = StrToFloat(row.Wsw); // hundredths of a kN
        const double n =
            isSandy(row.Doshitu) ? 0.067 * nsw + 0.02 * load : 0.05 * nsw + 0.03 * load;
        const double tenths = n * 10;
        row.NValue = std::trunc(tenths + std::copysign(kTruncationSlack, tenths)) / 10;
    }
}

void TRoundBucket::writeHalfTurns()
{
    for (Merging &merging : m_merging) {
        if (merging.textPending) {
            m_entries[merging.entry].Na = NaText(merging.halfTurns, false);
            merging.textPending = false;
        }
    }
}

const QList<Tvt_data> &TRoundBucket::entries()
{
    writeHalfTurns();
    return m_entries;
}

void TRoundBucket::clear()
{
    m_entries.clear();
    m_merging.clear();
    m_mergeIndex.clear();
    m_lastMerged = -1;
}

void AddToBucket(TRoundBucket &bucket, const Tvt_data &part, const TReferenceTables &tables,
                 bool naMode)
{
    // Each load/observation/soil/kind has at most one entry: the first one takes every later
    // part.
    if (!tables.IsHammerText(part.Obs)) {
        const bool selfSinking = isSelfSinking(part);
        // An entry keeps its first part's key. A hammering entry never has the key of a part
        // that is not hammering (their observations differ).
        const QList<Tvt_data> &entries = bucket.m_entries;
        const auto sameKey = [&](const TRoundBucket::Merging &merging) {
            const Tvt_data &entry = entries.at(merging.entry);
            return isSelfSinking(entry) == selfSinking && entry.Obs == part.Obs &&
                   entry.Wsw == part.Wsw && entry.Doshitu == part.Doshitu;
        };
        // Consecutive rows mostly go into the same entry, and a few entries are scanned faster
        // than a key is hashed.
        QList<TRoundBucket::Merging> &merging = bucket.m_merging;
        qsizetype k = -1;
        if (bucket.m_lastMerged >= 0 && sameKey(merging.at(bucket.m_lastMerged))) {
            k = bucket.m_lastMerged;
        } else if (merging.size() <= kScannedEntries) {
            for (qsizetype i = 0; i < merging.size() && k < 0; ++i) {
                if (sameKey(merging.at(i)))
                    k = i;
            }
        } else {
            k = bucket.m_mergeIndex.value({part.Wsw, part.Obs, part.Doshitu, selfSinking}, -1);
        }
        if (k < 0) {
            k = merging.size();
            merging.append(TRoundBucket::Merging{entries.size()});
            bucket.m_entries.append(part);
            if (merging.size() > kScannedEntries) {
                // The index takes over: filled once with the entries so far, then kept up.
                if (bucket.m_mergeIndex.isEmpty()) {
                    for (qsizetype i = 0; i < merging.size(); ++i) {
                        const Tvt_data &e = entries.at(merging.at(i).entry);
                        bucket.m_mergeIndex.insert({e.Wsw, e.Obs, e.Doshitu, isSelfSinking(e)}, i);
                    }
                } else {
                    bucket.m_mergeIndex.insert({part.Wsw, part.Obs, part.Doshitu, selfSinking}, k);
                }
            }
            bucket.m_lastMerged = k;
            return;
        }
        bucket.m_lastMerged = k;
        TRoundBucket::Merging &into = merging[k];
        Tvt_data &entry = bucket.m_entries[into.entry];
        entry.Depth += part.Depth;
        if (selfSinking)
            return;
        if (naMode) {
            entry.Na = NaText(NaValue(entry.Na, naMode) + NaValue(part.Na, naMode), naMode);
            return;
        }
        const double sum = (into.textPending ? into.halfTurns : NaValue(entry.Na, naMode)) +
                           NaValue(part.Na, naMode);
        // Far beyond any real count a whole number may no longer be exact: written at once.
        into.textPending = std::fabs(sum) < 1e15;
        if (into.textPending)
            into.halfTurns = sum;
        else
            entry.Na = NaText(sum, naMode);
        return;
    }
    bucket.m_entries.append(part);
}

std::optional<Tvt_data> ReduceBucket(TRoundBucket &bucket, const TReferenceTables &tables,
                                     bool naMode)
{
    bucket.writeHalfTurns();
    QList<Tvt_data> entries = std::move(bucket.m_entries);
    bucket.clear();
    if (entries.isEmpty())
        return std::nullopt;

    // Hammered parts become one blow total on the chosen row; a lone hammered part is the row.
    qint64 hammerTotal = 0;
    if (entries.size() >= 2) {
        removeEntries(
            entries, [&](const Tvt_data &entry) { return tables.IsHammerText(entry.Obs); }, false,
            [&](const Tvt_data &entry) { hammerTotal += tables.BlowCountOf(entry.Obs); });
        if (entries.isEmpty())
            return std::nullopt;
    }
    const bool keepLast = hammerTotal > 0;

    // Self-sinking or rotation, by covered length; an absent kind counts as -1.
    qint64 sinkingLength = 0;
    qint64 rotationLength = 0;
    bool anySinking = false;
    bool anyRotation = false;
    for (const Tvt_data &entry : std::as_const(entries)) {
        const bool sinking = isSelfSinking(entry);
        (sinking ? sinkingLength : rotationLength) += entry.Depth;
        (sinking ? anySinking : anyRotation) = true;
    }
    const bool rotationWon =
        (anySinking ? sinkingLength : -1) < (anyRotation ? rotationLength : -1);
    removeEntries(
        entries, [&](const Tvt_data &entry) { return isSelfSinking(entry) == rotationWon; },
        keepLast, ignoreRemoved);

    // Load: rotation is done under the full load.
    if (!isSelfSinking(entries.first())) {
        entries.first().Wsw = QStringLiteral("100");
    } else {
        const QString load = dominantLoad(entries);
        removeEntries(
            entries, [&](const Tvt_data &entry) { return entry.Wsw != load; }, keepLast,
            ignoreRemoved);
        if (entries.isEmpty())
            return std::nullopt;
    }

    // Half-turns of rotation entries dropped below are kept on the chosen row.
    double removedNa = 0;
    const auto keepHalfTurns = [&](const Tvt_data &entry) {
        if (rotationWon)
            removedNa += NaValue(entry.Na, naMode);
    };

    const QString obs = dominantText(
        entries, [](const Tvt_data &entry) { return entry.Obs; },
        [](const Tvt_data &entry) { return entry.Obs; });
    removeEntries(
        entries, [&](const Tvt_data &entry) { return entry.Obs != obs; }, false, keepHalfTurns);

    // A hand-chosen soil type ("*") and the same type from the table count as one.
    const QString soil = dominantText(
        entries, [](const Tvt_data &entry) { return SoilWithoutMark(entry.Doshitu); },
        [](const Tvt_data &entry) { return entry.Doshitu; });
    removeEntries(
        entries, [&](const Tvt_data &entry) { return entry.Doshitu != soil; }, false,
        keepHalfTurns);

    if (entries.isEmpty())
        return std::nullopt;
    Tvt_data chosen = entries.first();
    if (rotationWon) {
        // Entries left beside the chosen one (same observation and soil, another load, such as
        // the origin's empty load) hand it their half-turns too, so none are lost.
        for (qsizetype i = 1; i < entries.size(); ++i)
            keepHalfTurns(entries.at(i));
        chosen.Na = NaText(NaValue(chosen.Na, naMode) + removedNa, naMode);
    }
    if (hammerTotal != 0)
        chosen.Obs = tables.HammerText(int(std::min<qint64>(hammerTotal, 99)));
    return chosen;
}

void BuildRoundedLog(TSoundingTest &test, const TSetting &setting, const TReferenceTables &tables)
{
    Tkannyu &normal = test.NormalLog;
    Tkannyu &rounded = test.RoundedLog;
    const bool naMode = setting.NaMode;

    // Fresh rows: a log that still shows the previous rounding keeps its own.
    rounded.reset();
    rounded.info() = normal.info();
    if (normal.rowArrayLength() == 0)
        return;
    normal.row(0).Na = QStringLiteral("0");
    rounded.startRows();
    rounded.row(0) = normal.row(0);

    const int count = measuredRows(normal);
    if (count == 0)
        return;
    if (count == 1) {
        rounded.appendRow(normal.row(1));
        rounded.Count = 1;
        rounded.FinalDepth = rounded.row(1).Depth;
        return;
    }

    TRoundBucket bucket;
    int next = 1;
    if (normal.row(1).Depth <= kIntervalLength)
        next = 2;
    AddToBucket(bucket, normal.row(next - 1), tables, naMode);

    // 64-bit positions: the boundary walk must not overflow on a wild depth.
    qint64 position = normal.row(next - 1).Depth;
    qint64 boundary = kIntervalLength;
    float carryNa = 0; // half-turns of a split row not yet given to an interval
    bool hammerCrossed = false;

    while (next <= count) {
        const Tvt_data &row = std::as_const(normal).row(next);
        const qint64 start = position;
        const bool crosses = row.Depth > boundary;
        qint64 length = 0;
        if (crosses) {
            // The piece up to the boundary; the row is read again for the next interval.
            length = boundary - position;
            position = boundary;
        } else {
            if (row.Depth >= position) {
                length = row.Depth - position;
                position = row.Depth;
            }
            ++next;
        }
        Tvt_data part = row;
        part.Depth = int(length);

        const bool dropped = setting.KutenFlag &&
                             ((length <= setting.KutenMaxD && part.NValue >= setting.KutenMinN &&
                               !tables.IsHammerText(part.Obs)) ||
                              part.ObsCode == u"J05");
        if (!dropped) {
            if (carryNa != 0) {
                part.Na = NaText(carryNa, naMode);
                carryNa = 0;
            }
            if (crosses && !isSelfSinking(row) && NaValue(row.Na, naMode) != 0) {
                const double whole = NaValue(part.Na, naMode);
                const double share = NaValue(
                    NaText(whole * double(length) / double(row.Depth - start), naMode), naMode);
                part.Na = NaText(share, naMode);
                carryNa = float(whole - NaValue(part.Na, naMode));
            } else if (crosses && tables.IsHammerText(row.Obs)) {
                hammerCrossed = true;
            }
            AddToBucket(bucket, part, tables, naMode);
        }

        bool closes = false;
        if (next > count) {
            // The last rounded row keeps the true final depth.
            boundary = row.Depth;
            closes = true;
        } else if (row.Depth >= boundary) {
            // A zero-length row exactly at the boundary still belongs to this interval.
            const int nextDepth = normal.row(next).Depth;
            closes = !(nextDepth == boundary && row.Depth == boundary);
        }
        if (!closes)
            continue;

        // A hammered row spread over two intervals counts its blows in the first one only.
        if (hammerCrossed && !crosses && !bucket.isEmpty() &&
            tables.IsHammerText(bucket.m_entries.first().Obs)) {
            bucket.m_entries.first().Obs = tables.HammerPrefix + u"00" + tables.HammerSuffix;
            hammerCrossed = false;
        }
        if (std::optional<Tvt_data> chosen = ReduceBucket(bucket, tables, naMode)) {
            chosen->Depth = int(boundary);
            rounded.appendRow(*chosen);
        }
        boundary += kIntervalLength;
        bucket.clear();
    }

    rounded.Count = rounded.rowArrayLength() - 1;
    if (rounded.Count > 0)
        rounded.FinalDepth = rounded.row(rounded.Count).Depth;
}

void BuildRoundedView(TSoundingTest &test, const TSetting &setting, const TReferenceTables &tables)
{
    BuildRoundedLog(test, setting, tables);
    ComputeNsw(test.RoundedLog, true, setting, tables);
    ComputeNValue(test.RoundedLog, tables);
}

QString NormalViewSuffix()
{
    return QStringLiteral("  [標準データ]");
}

QString RoundedViewSuffix(const TSetting &setting)
{
    const QString removal =
        setting.KutenFlag
            ? QStringLiteral(" 空転除去 N%1-%2C").arg(setting.KutenMinN).arg(setting.KutenMaxD)
            : QString();
    return QStringLiteral("  [25cmまるめ %1]").arg(removal);
}

void ShowRoundedView(TSoundingTest &test, const TSetting &setting, const TReferenceTables &tables)
{
    BuildRoundedView(test, setting, tables);
    CopyLog(test.RoundedLog, test.DisplayLog);
}

void ShowNormalView(TSoundingTest &test, const TReferenceTables &tables)
{
    CopyLog(test.NormalLog, test.DisplayLog);
    ComputeNValue(test.DisplayLog, tables);
}
