#include "reader.h"

#include "rowcache.h"

#include "boundedread.h"
#include "codec.h"
#include "derived.h"
#include "fieldlimits.h"
#include "reftables.h"
#include "settings.h"
#include "typedrows.h"

#include <QDir>
#include <QFileInfo>
#include <QStringView>
#include <QVarLengthArray>

namespace {

const QString kUnsupportedType = QStringLiteral("このファイルタイプには対応していません");
const QString kReadFailed = QStringLiteral("ファイルエラー");

bool isFillerLine(const char *data, qsizetype length)
{
    if (length < 6 || data[0] != '0' || data[1] != '0' || data[2] != '0')
        return false;
    const char c = data[3];
    return (c == ' ' || c == ',') && data[4] == c && data[5] == c;
}

// Why one line cannot be read; the parser adds the file and the line.
struct LineError
{
    QString reason;
};

using Fields = QVarLengthArray<QStringView, 16>;

void splitInto(QStringView line, QChar separator, Fields &fields)
{
    // A plain scan: the fields are a few characters long, shorter than a search's set-up.
    fields.clear();
    qsizetype start = 0;
    for (qsizetype at = 0; at < line.size(); ++at) {
        if (line[at] == separator) {
            fields.append(line.sliced(start, at - start));
            start = at + 1;
        }
    }
    fields.append(line.sliced(start));
}

// Decodes a line into `text`, reusing its buffer for the plain ASCII lines most files consist of.
void decodeLine(const QByteArray &line, QString &text)
{
    const qsizetype size = line.size();
    const char *bytes = line.constData();
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            text = Cp932::decode(line);
            return;
        }
    }
    text.resize(size);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char16_t(static_cast<unsigned char>(bytes[i]));
}

// Field n, counted from 1.
QStringView field(const Fields &fields, int n)
{
    if (n > fields.size())
        throw LineError{QStringLiteral("%1 番目の項目がありません").arg(n)};
    return fields[n - 1];
}

// Plain digits are by far the most common field; they skip the general conversion.
bool plainDigits(QStringView text, int &value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    int v = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    value = v;
    return true;
}

// The half-turn texts of data rows: the three-digit ones, which nearly all rows have, are made
// once per file and shared by the rows.
class HalfTurnTexts
{
public:
    QString text(QStringView na)
    {
        int value = 0;
        if (na.size() != 3 || !plainDigits(na, value))
            return na.toString();
        if (m_texts.isEmpty())
            m_texts.resize(1000);
        QString &known = m_texts[value];
        if (known.isNull())
            known = na.toString();
        return known;
    }

private:
    QList<QString> m_texts;
};

// `what` names the field in the message: "終了時", or empty for field n.
int toInteger(QStringView text, int n, const char16_t *what = nullptr)
{
    int value = 0;
    if (plainDigits(text, value))
        return value;
    bool ok = false;
    value = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        const QString name =
            what ? QString::fromUtf16(what) : QStringLiteral("%1 番目の項目").arg(n);
        throw LineError{QStringLiteral("%1 '%2' は整数ではありません")
                            .arg(name, ExcerptForMessage(text.toString()))};
    }
    return value;
}

int intField(const Fields &fields, int n)
{
    return toInteger(field(fields, n), n);
}

bool isNumber(QStringView text)
{
    double value = 0;
    return TryStrToFloat(text, value);
}

// The depth field holds four digits: a larger or negative depth is a damaged line, and refusing
// it keeps everything sized by depth (rounded log, graph, pages) within the field's range.
int depthField(const Fields &fields)
{
    const int depth = intField(fields, 2);
    if (!DepthFits(depth))
        throw LineError{QStringLiteral("貫入深さ '%1' は 0～%2 cm の範囲にありません")
                            .arg(ExcerptForMessage(fields[1].toString()))
                            .arg(kMaxDepthCm)};
    return depth;
}

// "JTN" or a number the half-turn field can hold; false for any other text.
bool checkHalfTurns(QStringView na)
{
    double value = 0;
    if (!TryStrToFloat(na, value))
        return false;
    if (!HalfTurnsFit(value))
        throw LineError{QStringLiteral("半回転数 '%1' は 0～%2 の範囲にありません")
                            .arg(ExcerptForMessage(na.toString()))
                            .arg(kMaxHalfTurns)};
    return true;
}

bool startsWithDigit(QStringView line)
{
    return !line.isEmpty() && line.front() >= u'0' && line.front() <= u'9';
}

// A data row whose first character was damaged ("-50 0100 J04 003", "l00 0300 J04 006") still
// has a row's shape: four fields or more, the second a depth of four characters, an observation
// code. Dropping it would change the next row's step, so it is refused instead.
bool hasDataRowShape(const Fields &fields)
{
    return fields.size() >= 4 && fields[1].size() == 4 && !fields[2].isEmpty() &&
           !fields[3].isEmpty();
}

struct SoilEntry
{
    QString key; // the soil type as written
};

// What an observation code gives a row.
struct CodeEntry
{
    QString key; // the code
    QString obs;
    QString soil;
    bool hammer = false;
    QString badHammerCount; // non-empty: the code's blow count is not a number
};

CodeEntry codeEntryOf(const QString &code, const TReferenceTables &tables)
{
    CodeEntry e;
    e.key = code;
    if (code.startsWith(u'D')) {
        e.hammer = true;
        const QString count = code.mid(1, 2);
        e.obs = tables.HammerPrefix + count + tables.HammerSuffix;
        try {
            tables.BlowCountOf(e.obs);
        } catch (const EConvertError &) {
            e.badHammerCount = count.isEmpty() ? QStringLiteral("(なし)") : count;
        }
    } else {
        e.obs = tables.ObsTextOf(code);
        if (e.obs.isEmpty())
            e.obs = tables.ObsTextOf(QStringLiteral("Default"));
    }
    e.soil = tables.SoilTextOf(code);
    if (e.soil.isEmpty())
        e.soil = tables.SoilTextOf(QStringLiteral("Default"));
    return e;
}

// What a load code gives a row.
struct LoadEntry
{
    QString key; // the load code as written
    bool skipped = false;
    bool number = false;
};

enum class ParseState { Outside, Header, Rows, Params, Quantities, Gps };

QString upperExtension(const QString &path)
{
    return FileExtensionOf(path).toUpper();
}

QString malformedFileText(const QString &path, const QString &reason)
{
    return QStringLiteral("ファイル %1 が読めません: %2").arg(QFileInfo(path).fileName(), reason);
}

} // namespace

QString FileExtensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool IsReadableDataFile(const QString &path)
{
    const QString ext = upperExtension(path);
    return ext == u".KGD" || ext == u".KTD" || ext == u".KSD" || ext == u".KMD";
}

TDataKind DataKindOfFile(const QString &path)
{
    if (!IsReadableDataFile(path))
        return DataKindNone;
    return upperExtension(path) == u".KMD" ? DataKindManual : DataKindMeasured;
}

namespace {

QByteArray readDataFileBytes(const QString &path)
{
    try {
        return ReadWholeFile(path, kMaxDataFileBytes);
    } catch (const EFileRefused &e) {
        // The plain file error first, then which file and why on a line of their own: a
        // refusal names the file itself, the system's reason does not.
        throw EDataFileError(
            EDataFileError::ReadFailed,
            kReadFailed + u'\r' +
                (e.reason() == EFileRefused::Unreadable
                     ? QDir::toNativeSeparators(path) + QStringLiteral(": ") + e.message()
                     : e.message()));
    }
}

} // namespace

QList<QByteArray> ReadDataLines(const QString &path, QList<int> *lineNumbers)
{
    return SplitDataLines(readDataFileBytes(path), lineNumbers);
}

QList<QByteArray> SplitDataLines(const QByteArray &all, QList<int> *lineNumbers)
{
    QList<QByteArray> lines;
    if (lineNumbers)
        lineNumbers->clear();
    const char *data = all.constData();
    const qsizetype size = all.size();
    int lineNo = 0;
    auto take = [&](qsizetype begin, qsizetype end) {
        ++lineNo;
        if (isFillerLine(data + begin, end - begin))
            return;
        lines.append(QByteArray(data + begin, end - begin));
        if (lineNumbers)
            lineNumbers->append(lineNo);
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\n' && c != '\r')
            continue;
        take(start, i);
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        take(start, size);
    return lines;
}

QStringList SplitFields(const QString &line, QChar separator)
{
    return line.split(separator, Qt::KeepEmptyParts);
}

int ParseLines(const QList<QByteArray> &lines, QChar separator, TSoundingTest &test,
               const TSetting &setting, const TReferenceTables &tables,
               const QList<int> &lineNumbers)
{
    Tkannyu &log = test.NormalLog;
    test.TestParams.clear();
    test.TestQuantities.clear();
    test.ReadNotes.clear();
    Clear_GPS(test.TestGps);
    log.startRows();
    log.reserveRows(int(lines.size()) + 1);

    const QString ext = FileExtensionOf(test.CurrentFile).toLower();
    const bool soilFromFile = ext == u".kgd" || ext == u".kmd";
    // A manual-input file holds typed rows: half-turns left empty mean the row sank by itself.
    const bool typedRows = ext == u".kmd";
    const QString hammerNsw = NswText(setting.DNsw, setting.NaMode);

    RowCache<CodeEntry> codes;
    RowCache<LoadEntry> loads;
    RowCache<SoilEntry> soils;
    const auto soilOf = [&soils](QStringView text) {
        return soils.entry(text, [](const QString &key) { return SoilEntry{key}; }).key;
    };
    Fields fields;
    ParseState state = separator == u',' ? ParseState::Header : ParseState::Outside;

    HalfTurnTexts halfTurns;
    QString text;
    const auto lineNumberOf = [&lineNumbers](qsizetype i) {
        return i < lineNumbers.size() ? lineNumbers.at(i) : int(i) + 1;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        decodeLine(lines.at(i), text);
        try {
            switch (state) {
            case ParseState::Outside: {
                splitInto(text, separator, fields);
                const QStringView marker = fields[0];
                if (marker == u"$T(")
                    state = ParseState::Header;
                else if (marker == u"$P(")
                    state = ParseState::Params;
                else if (marker == u"$Q(")
                    state = ParseState::Quantities;
                else if (marker == u"$G(")
                    state = ParseState::Gps;
                break;
            }
            case ParseState::Header:
                splitInto(text, separator, fields);
                log.Code1 = intField(fields, 1);
                log.Code2 = intField(fields, 2);
                log.Code3 = intField(fields, 3);
                log.Code4 = intField(fields, 4);
                log.PointNo = intField(fields, 5);
                log.Year = intField(fields, 6);
                log.Month = intField(fields, 7);
                log.Day = intField(fields, 8);
                log.StartHour = intField(fields, 9);
                log.StartMin = intField(fields, 10);
                log.EndHour = 0;
                log.EndMin = 0;
                state = ParseState::Rows;
                break;
            case ParseState::Rows: {
                if (text.startsWith(u'T')) {
                    splitInto(text, separator, fields);
                    log.EndHour = toInteger(fields[0].mid(1, 2), 1, u"終了時");
                    log.EndMin = intField(fields, 2);
                    state = ParseState::Outside;
                    break;
                }
                if (!startsWithDigit(text)) {
                    splitInto(text, separator, fields);
                    if (hasDataRowShape(fields))
                        throw LineError{QStringLiteral("荷重 '%1' は数ではありません")
                                            .arg(ExcerptForMessage(fields[0].toString()))};
                    break;
                }
                splitInto(text, separator, fields);
                const LoadEntry &load = loads.entry(fields[0], [&tables](const QString &key) {
                    return LoadEntry{key, tables.IsSkippedLoad(key), isNumber(key)};
                });
                if (load.skipped)
                    break;
                const int depth = depthField(fields);
                const CodeEntry &code =
                    codes.entry(field(fields, 3),
                                [&tables](const QString &key) { return codeEntryOf(key, tables); });
                const QStringView na = field(fields, 4);
                const bool selfSinking = na == u"JTN";
                // Typed half-turns are checked with the other typed values, after the read.
                if (!selfSinking && !typedRows && !checkHalfTurns(na))
                    throw LineError{QStringLiteral("半回転数 '%1' は数ではありません")
                                        .arg(ExcerptForMessage(na.toString()))};
                if (!load.number)
                    throw LineError{QStringLiteral("荷重 '%1' は数ではありません")
                                        .arg(ExcerptForMessage(load.key))};
                if (!code.badHammerCount.isEmpty())
                    throw LineError{QStringLiteral("打撃回数 '%1' は数ではありません")
                                        .arg(ExcerptForMessage(code.badHammerCount))};

                Tvt_data &row = log.appendRow();
                row.Wsw = load.key;
                row.Depth = depth;
                row.Na = selfSinking ? kSelfSinking : halfTurns.text(na);
                row.ObsCode = code.key;
                row.Obs = code.obs;
                if (code.hammer)
                    row.Nsw = hammerNsw;
                if (soilFromFile)
                    row.Doshitu = fields.size() >= 5 ? soilOf(fields[4]) : QString();
                else
                    row.Doshitu = code.soil;
                log.FinalDepth = depth;
                ++log.Count;
                break;
            }
            case ParseState::Params:
                splitInto(text, separator, fields);
                if (fields[0] == u")") {
                    state = ParseState::Outside;
                    break;
                }
                test.TestParams.append({fields[0].toString(), intField(fields, 2)});
                break;
            case ParseState::Quantities:
                splitInto(text, separator, fields);
                if (fields[0] == u")") {
                    state = ParseState::Outside;
                    break;
                }
                test.TestQuantities.append({intField(fields, 1), intField(fields, 2)});
                break;
            case ParseState::Gps: {
                splitInto(text, separator, fields);
                if (fields[0] == u")") {
                    state = ParseState::Outside;
                    break;
                }
                // A short line holds no whole position; the rows do not depend on it, so the
                // test is read without it and says so.
                if (fields.size() < 9) {
                    test.ReadNotes.append(
                        QStringLiteral(
                            "GPSの行（%1 行目）は項目が %2 つしかないため、位置を読みません")
                            .arg(lineNumberOf(i))
                            .arg(fields.size()));
                    break;
                }
                TGPSData &gps = test.TestGps;
                gps.Status = fields[0].toString();
                gps.Latitude = fields[1].toString();
                gps.LatitudeUnit = fields[2].toString();
                gps.Longitude = fields[3].toString();
                gps.LongitudeUnit = fields[4].toString();
                gps.Altitude = fields[5].toString();
                gps.AltitudeUnit = fields[6].toString();
                gps.GpsExtra1 = fields[7].toString();
                gps.GpsExtra2 = fields[8].toString();
                break;
            }
            }
        } catch (const LineError &e) {
            const int lineNo = lineNumberOf(i);
            throw EDataFileError(EDataFileError::Malformed,
                                 QStringLiteral("ファイル %1 の %2 行目が読めません: %3")
                                     .arg(QFileInfo(test.CurrentFile).fileName())
                                     .arg(lineNo)
                                     .arg(e.reason));
        }
    }

    if (typedRows) {
        // Typed rows have no position, whatever the file says, as the window takes them into
        // edit mode; also when they are refused and opened for mending.
        Clear_GPS(test.TestGps);
        MarkTypedSelfSinking(log);
        try {
            CheckTypedLog(log);
        } catch (const ETypedRowError &e) {
            CopyLog(log, test.DisplayLog);
            throw ETypedFileError(e, test);
        }
    }
    try {
        ComputeNsw(log, false, setting, tables);
        ComputeNValue(log, tables);
    } catch (const EConvertError &e) {
        throw EDataFileError(EDataFileError::Malformed,
                             malformedFileText(test.CurrentFile, e.message()));
    }
    CopyLog(log, test.DisplayLog);
    return log.Count;
}

TSoundingTest OpenTestFile(const QString &path, const TSetting &setting,
                           const TReferenceTables &tables, QByteArray *bytesRead)
{
    if (!IsReadableDataFile(path))
        throw EDataFileError(EDataFileError::UnsupportedType, kUnsupportedType);
    const QByteArray bytes = readDataFileBytes(path);
    if (bytesRead)
        *bytesRead = bytes;
    return OpenTestBytes(bytes, path, setting, tables);
}

TSoundingTest OpenTestBytes(const QByteArray &bytes, const QString &path, const TSetting &setting,
                            const TReferenceTables &tables)
{
    if (!IsReadableDataFile(path))
        throw EDataFileError(EDataFileError::UnsupportedType, kUnsupportedType);
    QList<int> lineNumbers;
    QList<QByteArray> lines = SplitDataLines(bytes, &lineNumbers);

    // Everything goes into a fresh test: the caller's stays as it was if anything fails.
    TSoundingTest test;
    test.CurrentFile = path;
    const QChar separator = upperExtension(path) == u".KSD" ? u',' : u' ';
    ParseLines(lines, separator, test, setting, tables, lineNumbers);
    // Typed rows keep no read lines, which a save would write back in place of the rows marked
    // self-sinking.
    if (DataKindOfFile(path) != DataKindManual)
        test.RawLines = std::move(lines);
    try {
        BuildRoundedView(test, setting, tables);
    } catch (const EConvertError &e) {
        throw EDataFileError(EDataFileError::Malformed, malformedFileText(path, e.message()));
    }
    return test;
}
