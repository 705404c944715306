#include "writer.h"

#include "codec.h"
#include "derived.h"
#include "errors.h"
#include "reader.h"
#include "reftables.h"
#include "rowcache.h"
#include "safewrite.h"
#include "settings.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace {

// "%.*d" without the cost of a formatted print, which matters on every row.
QByteArray zeroPadded(long long value, int digits)
{
    if (value < 0)
        return QString::asprintf("%.*lld", digits, value).toLatin1();
    QByteArray text = QByteArray::number(value);
    if (text.size() < digits)
        text.prepend(QByteArray(digits - text.size(), '0'));
    return text;
}

QString textOf(QByteArrayView bytes)
{
    return Cp932::decode(bytes.toByteArray());
}

// True for three plain digits, the half-turn field as data files write it: NaFileText gives
// them back as they stand (with ".0" in NaMode), so most rows need no conversion.
template<typename Text> bool isThreeDigits(const Text &na)
{
    return na.size() == 3 &&
           std::all_of(na.begin(), na.end(), [](auto c) { return c >= '0' && c <= '9'; });
}

QByteArray threeDigitField(QByteArray digits, bool naMode)
{
    if (naMode)
        digits += ".0";
    return digits;
}

// The half-turn field of a data file for a half-turn text (EConvertError when it is no number).
QByteArray halfTurnField(const QString &na, bool naMode)
{
    if (isThreeDigits(na))
        return threeDigitField(na.toLatin1(), naMode);
    return Cp932::encode(NaFileText(NaValue(na, naMode), naMode));
}

QByteArray halfTurnField(QByteArrayView na, bool naMode)
{
    if (isThreeDigits(na))
        return threeDigitField(na.toByteArray(), naMode);
    return halfTurnField(textOf(na), naMode);
}

QByteArray halfTurnOfRow(const QString &na, bool naMode)
{
    if (na == kSelfSinking)
        return QByteArrayLiteral("JTN");
    return halfTurnField(na, naMode);
}

// Texts repeated on many rows (soil types, observations) are encoded and looked up once.
class RowTexts
{
public:
    explicit RowTexts(const TReferenceTables &tables) : m_tables(tables) {}

    const QByteArray &encoded(const QString &text)
    {
        return m_encoded
            .entry(text,
                   [](const QString &key) {
                       return TextBytes{key, Cp932::encode(key)};
                   })
            .bytes;
    }

    const QByteArray &observationCode(const QString &obs)
    {
        return m_codes
            .entry(obs,
                   [this](const QString &key) {
                       return TextBytes{key, codeOf(key)};
                   })
            .bytes;
    }

private:
    struct TextBytes
    {
        QString key;
        QByteArray bytes;
    };

    QByteArray codeOf(const QString &obs) const
    {
        if (m_tables.IsHammerText(obs))
            return 'D' + zeroPadded(m_tables.BlowCountOf(obs), 2);
        const QString code = m_tables.CodeOfObsText(obs);
        // A code beginning with "D" reads back as hammering (the "Default" entry would), so
        // such an observation is written as unknown and reads back through "Default".
        if (code.isEmpty() || code.startsWith(u'D'))
            return QByteArrayLiteral("J99");
        return Cp932::encode(code);
    }

    const TReferenceTables &m_tables;
    RowCache<TextBytes> m_encoded;
    RowCache<TextBytes> m_codes;
};

// The first blank-separated field of a raw line.
QByteArrayView firstField(const QByteArray &line)
{
    const qsizetype blank = line.indexOf(' ');
    return blank < 0 ? QByteArrayView(line) : QByteArrayView(line).first(blank);
}

bool startsWithDigit(const QByteArray &line)
{
    return !line.isEmpty() && line.front() >= '0' && line.front() <= '9';
}

void splitAtBlanks(QByteArrayView line, QVarLengthArray<QByteArrayView, 8> &fields)
{
    fields.clear();
    qsizetype start = 0;
    for (;;) {
        const qsizetype blank = line.indexOf(' ', start);
        if (blank < 0) {
            fields.append(line.sliced(start));
            return;
        }
        fields.append(line.sliced(start, blank - start));
        start = blank + 1;
    }
}

// Whether a load code is one the reader skipped, asked once per distinct code.
class SkippedLoads
{
public:
    explicit SkippedLoads(const TReferenceTables &tables) : m_tables(tables) {}

    bool isSkipped(QByteArrayView load)
    {
        for (const auto &[known, skipped] : m_known) {
            if (known == load)
                return skipped;
        }
        const bool skipped = m_tables.IsSkippedLoad(textOf(load));
        if (m_known.size() < 64)
            m_known.append({load.toByteArray(), skipped});
        return skipped;
    }

private:
    const TReferenceTables &m_tables;
    QList<std::pair<QByteArray, bool>> m_known;
};

// The same sections the reader tells apart, so every data line is paired with the row the
// reader made of it.
enum class EmitState { Outside, Section, Header, Rows };

} // namespace

QList<QByteArray> WriteLog(const Tkannyu &log, QChar separator, const TSetting &setting,
                           const TReferenceTables &tables)
{
    const QByteArray s = Cp932::encode(QString(separator));
    const bool naMode = setting.NaMode;
    RowTexts texts(tables);
    QList<QByteArray> lines;
    lines.reserve(log.Count + 4);
    lines.append(QByteArrayLiteral("$T("));
    lines.append(zeroPadded(log.Code1, 3) + s + zeroPadded(log.Code2, 3) + s +
                 zeroPadded(log.Code3, 3) + s + zeroPadded(log.Code4, 4) + s +
                 zeroPadded(log.PointNo, 2) + s + zeroPadded(log.Year, 2) + s +
                 zeroPadded(log.Month, 2) + s + zeroPadded(log.Day, 2) + s +
                 zeroPadded(log.StartHour, 2) + s + zeroPadded(log.StartMin, 2) + s);
    for (int i = 1; i <= log.Count; ++i) {
        const Tvt_data &row = log.row(i);
        QByteArray line;
        line.reserve(48);
        line += zeroPadded(StrToInt(row.Wsw), 3);
        line += s;
        line += zeroPadded(row.Depth, 4);
        line += s;
        line += texts.observationCode(row.Obs);
        line += s;
        line += halfTurnOfRow(row.Na, naMode);
        line += s;
        line += texts.encoded(row.Doshitu);
        line += s;
        lines.append(line);
    }
    lines.append('T' + zeroPadded(log.EndHour, 2) + s + zeroPadded(log.EndMin, 2) + s);
    lines.append(QByteArrayLiteral(")"));
    return lines;
}

QList<QByteArray> ReemitRawLines(const TSoundingTest &test, const TSetting &setting,
                                 const TReferenceTables &tables, int *pairedRows)
{
    const Tkannyu &log = test.NormalLog;
    RowTexts texts(tables);
    SkippedLoads skipped(tables);
    QVarLengthArray<QByteArrayView, 8> fields;
    QList<QByteArray> out;
    out.reserve(test.RawLines.size());
    EmitState state = EmitState::Outside;
    bool testSeen = false; // lines before the first test section are left out
    int n = 1;

    for (const QByteArray &line : test.RawLines) {
        switch (state) {
        case EmitState::Outside: {
            const QByteArrayView first = firstField(line);
            if (first == "$T(") {
                testSeen = true;
                state = EmitState::Header;
            } else if (first == "$P(" || first == "$Q(" || first == "$G(") {
                state = EmitState::Section;
            }
            if (testSeen)
                out.append(line);
            break;
        }
        case EmitState::Section:
            if (firstField(line) == ")")
                state = EmitState::Outside;
            if (testSeen)
                out.append(line);
            break;
        case EmitState::Header:
            out.append(line);
            state = EmitState::Rows;
            break;
        case EmitState::Rows: {
            if (line.startsWith('T')) {
                out.append(line);
                state = EmitState::Outside;
                break;
            }
            if (!startsWithDigit(line)) {
                out.append(line);
                break;
            }
            splitAtBlanks(line, fields);
            if (fields.size() < 4 || n > log.Count || skipped.isSkipped(fields[0])) {
                out.append(line);
                break;
            }
            const QByteArrayView na = fields[3];
            QByteArray rewritten;
            rewritten.reserve(line.size() + 16);
            rewritten += QByteArrayView(line).first(fields[3].data() - line.data());
            rewritten += na == "JTN" ? na.toByteArray() : halfTurnField(na, setting.NaMode);
            rewritten += ' ';
            rewritten += texts.encoded(log.row(n).Doshitu);
            rewritten += ' ';
            out.append(rewritten);
            ++n;
            break;
        }
        }
    }
    if (pairedRows)
        *pairedRows = n - 1;
    return out;
}

QList<QByteArray> LinesForSave(TSoundingTest &test, const QString &path, const TSetting &setting,
                               const TReferenceTables &tables)
{
    const QString ext = FileExtensionOf(path).toLower();
    const QChar blank(u' ');
    if (ext == u".k25") {
        // The rounded log is rebuilt whole so it stays consistent for the views as well.
        BuildRoundedView(test, setting, tables);
        return WriteLog(test.RoundedLog, blank, setting, tables);
    }
    if (ext == u".k00" || ext == u".kmd" || FileExtensionOf(test.CurrentFile).toUpper() == u".KSD")
        return WriteLog(test.NormalLog, blank, setting, tables);

    int paired = 0;
    QList<QByteArray> lines = ReemitRawLines(test, setting, tables, &paired);
    if (paired < test.NormalLog.Count)
        return WriteLog(test.NormalLog, blank, setting, tables);
    return lines;
}

QByteArray WriteLinesAtomically(const QString &path, const QList<QByteArray> &lines)
{
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    QByteArray data;
    data.reserve(size);
    for (const QByteArray &line : lines) {
        data += line;
        data += "\r\n";
    }

    WriteFileAtomically(path, data);
    return data;
}

QByteArray SaveTestFile(TSoundingTest &test, const QString &path, const TSetting &setting,
                        const TReferenceTables &tables)
{
    // A file of no rows would be taken for a test and hold nothing of one.
    if (test.NormalLog.Count == 0)
        throw ETessmarkError(kNoRowsToSaveText);
    const QList<QByteArray> lines = LinesForSave(test, path, setting, tables);
    QByteArray bytes = WriteLinesAtomically(path, lines);
    if (FileExtensionOf(path) == u".kmd")
        test.CurrentFile = path;
    return bytes;
}
