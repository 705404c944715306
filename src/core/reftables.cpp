#include "reftables.h"

#include "boundedread.h"
#include "codec.h"
#include "errors.h"
#include "inifile.h"

#include <QDir>

namespace {

// Functions rather than static QStrings, so tables built during static start-up are safe.
QString calcSection()
{
    return QStringLiteral("換算N値");
}

bool isListEnd(const QString &key, const QString &value)
{
    // A bare "list_end" line has no blank, so its text is in the value slot.
    const QLatin1StringView listEnd("list_end");
    return key == listEnd || (key.isEmpty() && value == listEnd);
}

// Trims blanks and control characters, as the hammering pattern's parts are compared. A view:
// it is asked for every row.
QStringView trimControls(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] <= u' ')
        ++begin;
    while (end > begin && text[end - 1] <= u' ')
        --end;
    return text.sliced(begin, end - begin);
}

// Lines split at CR LF, LF or CR; a final line end does not start another line.
QStringList linesOf(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.sliced(start));
    return lines;
}

} // namespace

QString SoilWithoutMark(const QString &soil)
{
    return soil.endsWith(u'*') ? soil.chopped(1) : soil;
}

TReferenceTables::TReferenceTables()
{
    // Until the tables are read, everything is as if Obstbl.tbl were missing.
    fillObsTables(TIniFile::FromBytes(QByteArray()));
}

bool TReferenceTables::LoadWeightTable(const QString &path)
{
    for (int i = 0; i < kSkipLoadSlots; ++i) {
        SkipLoadKeys[i].clear();
        SkipLoadValues[i].clear();
    }
    QByteArray bytes;
    try {
        // Only a regular file: a pipe in the table's place would keep the start waiting.
        bytes = ReadWholeFile(path, kMaxTableBytes);
    } catch (const EFileRefused &) {
        return false;
    }
    const QStringList lines = linesOf(Cp932::decode(bytes));
    // The table has room for a fixed number of lines; any beyond them are not read.
    const qsizetype used = qMin<qsizetype>(lines.size(), kSkipLoadSlots);
    for (qsizetype i = 0; i < used; ++i) {
        const QString &line = lines[i];
        const qsizetype blank = line.indexOf(u' ');
        if (blank < 0) {
            SkipLoadValues[i] = line;
        } else {
            SkipLoadKeys[i] = line.first(blank);
            SkipLoadValues[i] = line.sliced(blank + 1);
        }
    }
    return true;
}

void TReferenceTables::LoadObsTable(const QString &path)
{
    fillObsTables(TIniFile(path));
}

void TReferenceTables::fillObsTables(const TIniFile &ini)
{
    ObsTable.clear();
    CalcTable.clear();
    SoilTypes.clear();

    const QStringList sections = ini.ReadSections();
    for (const QString &section : sections) {
        if (section.compare(calcSection(), Qt::CaseInsensitive) == 0)
            continue;
        ObsTable.append(TCodeData{section, ini.ReadString(section, QStringLiteral("obs"), {}),
                                  ini.ReadString(section, QStringLiteral("Doshitu"), {})});
    }

    const QStringList soilNames = ini.ReadSection(calcSection());
    for (const QString &name : soilNames)
        CalcTable.append(TCalcData{name, ini.ReadInteger(calcSection(), name, 0)});

    // The order of soil types is the colour order of the graphs: the soil type of "P06" (or of
    // "Default") first, that of "P05" second, then the others as the table names them.
    QString first = SoilTextOf(QStringLiteral("P06"));
    if (first.isEmpty())
        first = SoilTextOf(QStringLiteral("Default"));
    SoilTypes.append(first);
    const QString sandy = SoilTextOf(QStringLiteral("P05"));
    if (!sandy.isEmpty() && SoilIndexOf(sandy) < 0)
        SoilTypes.append(sandy);
    for (const TCodeData &entry : std::as_const(ObsTable)) {
        if (!entry.SoilText.isEmpty() && SoilIndexOf(entry.SoilText) < 0)
            SoilTypes.append(entry.SoilText);
    }

    HammerPattern =
        ini.ReadString(QStringLiteral("D00"), QStringLiteral("obs"), QStringLiteral("打撃00回"));
    const qsizetype count = HammerPattern.indexOf(QStringLiteral("00"));
    if (count < 0) {
        HammerPrefix = HammerPattern;
        HammerSuffix.clear();
    } else {
        HammerPrefix = HammerPattern.first(count);
        HammerSuffix = HammerPattern.sliced(count + 2);
    }
}

bool TReferenceTables::LoadFrom(const QString &folder)
{
    const QDir dir(folder);
    const bool weightsRead = LoadWeightTable(dir.filePath(QStringLiteral("Weighttbl.tbl")));
    LoadObsTable(dir.filePath(QStringLiteral("Obstbl.tbl")));
    return weightsRead;
}

bool TReferenceTables::IsSkippedLoad(const QString &loadCode) const
{
    for (int i = 0; i < kSkipLoadSlots; ++i) {
        const QString &key = SkipLoadKeys[i];
        if (isListEnd(key, SkipLoadValues[i]))
            return false;
        // A line without a blank names no load code: it must not make rows disappear.
        if (!key.isEmpty() && key == loadCode)
            return !SkipLoadValues[i].isEmpty();
    }
    return false;
}

QString TReferenceTables::ObsTextOf(const QString &code) const
{
    for (const TCodeData &entry : ObsTable) {
        if (entry.Code == code)
            return entry.ObsText;
    }
    return {};
}

QString TReferenceTables::SoilTextOf(const QString &code) const
{
    for (const TCodeData &entry : ObsTable) {
        if (entry.Code == code)
            return entry.SoilText;
    }
    return {};
}

QString TReferenceTables::CodeOfObsText(const QString &obsText) const
{
    // The instrument's own "J" codes win over any other code that shows the same text.
    for (const TCodeData &entry : ObsTable) {
        if (entry.Code.startsWith(u'J') && entry.ObsText == obsText)
            return entry.Code;
    }
    for (const TCodeData &entry : ObsTable) {
        if (!entry.Code.startsWith(u'J') && entry.ObsText == obsText)
            return entry.Code;
    }
    return {};
}

int TReferenceTables::SandyFlagOf(const QString &soil) const
{
    const QString name = SoilWithoutMark(soil);
    for (const TCalcData &entry : CalcTable) {
        if (entry.SoilName == name)
            return entry.SandyFlag;
    }
    return 0;
}

int TReferenceTables::SoilIndexOf(const QString &soil) const
{
    return int(SoilTypes.indexOf(SoilWithoutMark(soil)));
}

bool TReferenceTables::IsHammerText(const QString &obsText) const
{
    // An empty prefix begins every text, the empty one included.
    const QStringView prefix = trimControls(HammerPrefix);
    return prefix.isEmpty() || obsText.startsWith(prefix);
}

int TReferenceTables::BlowCountOf(const QString &obsText) const
{
    if (!IsHammerText(obsText))
        return 0;
    const qsizetype prefix = trimControls(HammerPrefix).size();
    const qsizetype suffix = trimControls(HammerSuffix).size();
    const qsizetype length = obsText.size() - prefix - suffix;
    const QString count = length > 0 ? obsText.sliced(prefix, length) : QString();
    return StrToInt(trimControls(count).toString());
}

QString TReferenceTables::HammerText(int blows) const
{
    return HammerPrefix + QString::asprintf("%.2d", blows) + HammerSuffix;
}
