// The two reference tables beside the executable (Weighttbl.tbl, Obstbl.tbl) and their lookups.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TIniFile;

struct TCodeData
{
    QString Code;     // section name, e.g. "J05", "P05", "D00", "Default"
    QString ObsText;  // key "obs"
    QString SoilText; // key "Doshitu"
};

struct TCalcData
{
    QString SoilName;  // key of section "換算N値"
    int SandyFlag = 0; // non-zero: sandy-soil formula of the converted N value
};

class TReferenceTables
{
public:
    static constexpr int kSkipLoadSlots = 21;

    TReferenceTables();

    // Reads "Weighttbl.tbl" (CP932, one "key value" per line, first 21 lines used).
    // False when the file cannot be opened.
    bool LoadWeightTable(const QString &path);
    // Reads "Obstbl.tbl" (CP932 INI). A missing file gives empty tables and the defaults.
    void LoadObsTable(const QString &path);
    // Both, from `folder`, in the program's order; false when Weighttbl.tbl failed.
    bool LoadFrom(const QString &folder);

    // True when the first key equal to `loadCode` before the "list_end" line (or the end of
    // the table) has a non-empty value. A line without a blank names no code.
    bool IsSkippedLoad(const QString &loadCode) const;
    QString ObsTextOf(const QString &code) const;
    QString SoilTextOf(const QString &code) const;
    // The code of the first entry with that text, codes beginning with "J" searched first.
    QString CodeOfObsText(const QString &obsText) const;
    // Both ignore one trailing "*" of `soil`; 0 and -1 when the soil type is unknown.
    int SandyFlagOf(const QString &soil) const;
    int SoilIndexOf(const QString &soil) const;
    // True when the text begins with the trimmed HammerPrefix (every text when it is empty).
    bool IsHammerText(const QString &obsText) const;
    // Raises EConvertError when the count part of a hammering text is not a number.
    int BlowCountOf(const QString &obsText) const;
    // HammerPrefix + two-digit count + HammerSuffix.
    QString HammerText(int blows) const;

    QString SkipLoadKeys[kSkipLoadSlots];
    QString SkipLoadValues[kSkipLoadSlots];
    QList<TCodeData> ObsTable;
    QList<TCalcData> CalcTable;
    QStringList SoilTypes;
    QString HammerPattern;
    QString HammerPrefix;
    QString HammerSuffix;

private:
    void fillObsTables(const TIniFile &ini);
};

// A soil-type text with one trailing "*" removed.
QString SoilWithoutMark(const QString &soil);
