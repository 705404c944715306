// Values derived from the measured rows: Nsw, converted N and the 25 cm rounded log.
#pragma once

#include "record.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

struct TSetting;
class TReferenceTables;

// Nsw of rows 1..Count. `isRoundedLog` turns the hammering rule off.
// Raises EConvertError on a non-numeric Na text.
void ComputeNsw(Tkannyu &log, bool isRoundedLog, const TSetting &setting,
                const TReferenceTables &tables);

// Converted N of rows 1..Count. Raises EConvertError on a non-numeric Nsw or Wsw text.
void ComputeNValue(Tkannyu &log, const TReferenceTables &tables);

// The parts of the rows that fall into one 25 cm interval. In an entry `Depth` is the length
// (cm) the entry covers, not a depth. Entries of the same load, observation, soil type and kind
// (self-sinking or rotation) are merged; a bucket with many such entries finds them through an
// index, so adding stays linear.
class TRoundBucket
{
public:
    // The entries, their half-turn texts written out.
    const QList<Tvt_data> &entries();
    bool isEmpty() const { return m_entries.isEmpty(); }
    void clear();

private:
    struct MergeKey
    {
        QString Wsw;
        QString Obs;
        QString Doshitu;
        bool selfSinking = false;
        bool operator==(const MergeKey &) const = default;
        friend size_t qHash(const MergeKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.Wsw, key.Obs, key.Doshitu, key.selfSinking);
        }
    };

    // An entry that takes later parts (not hammering). Whole half-turns (NaMode off) add
    // exactly, so their sum is kept as a number and written as text once, when it is read.
    struct Merging
    {
        qsizetype entry = 0;
        double halfTurns = 0;
        bool textPending = false;
    };

    void writeHalfTurns();

    QList<Tvt_data> m_entries;
    QList<Merging> m_merging;
    QHash<MergeKey, qsizetype> m_mergeIndex; // into m_merging, once it has many
    qsizetype m_lastMerged = -1;             // the m_merging the last part went into

    friend void AddToBucket(TRoundBucket &bucket, const Tvt_data &part,
                            const TReferenceTables &tables, bool naMode);
    friend std::optional<Tvt_data> ReduceBucket(TRoundBucket &bucket,
                                                const TReferenceTables &tables, bool naMode);
    friend void BuildRoundedLog(TSoundingTest &test, const TSetting &setting,
                                const TReferenceTables &tables);
};

// Adds one part to the bucket: merged into an entry of the same load, observation and soil type
// (hammering entries never merge; self-sinking and rotation never mix), else appended.
void AddToBucket(TRoundBucket &bucket, const Tvt_data &part, const TReferenceTables &tables,
                 bool naMode);

// Chooses the one row of an interval from the bucket, or none; the bucket is left empty.
// Raises EConvertError on a non-numeric half-turn text or blow count.
std::optional<Tvt_data> ReduceBucket(TRoundBucket &bucket, const TReferenceTables &tables,
                                     bool naMode);

// Rounds test.NormalLog to 25 cm intervals into test.RoundedLog (rows only; no Nsw or N).
// Sets Na of NormalLog row 0 to "0" and leaves every other NormalLog row as it is.
void BuildRoundedLog(TSoundingTest &test, const TSetting &setting, const TReferenceTables &tables);

// BuildRoundedLog, then ComputeNsw and ComputeNValue on the rounded log.
void BuildRoundedView(TSoundingTest &test, const TSetting &setting, const TReferenceTables &tables);

// Caption suffixes of the two views.
QString NormalViewSuffix();                         // "  [標準データ]"
QString RoundedViewSuffix(const TSetting &setting); // "  [25cmまるめ ...]"

// The model side of the view switch: which log DisplayLog shows, with the computations the
// switch does.
void ShowRoundedView(TSoundingTest &test, const TSetting &setting, const TReferenceTables &tables);
void ShowNormalView(TSoundingTest &test, const TReferenceTables &tables);
