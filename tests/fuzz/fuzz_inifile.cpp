// Reads any bytes as an INI file, asks it every name it holds, and builds the observation and
// soil tables ("Obstbl.tbl") from it, then runs their lookups.
#include "fuzz_support.h"

#include "errors.h"
#include "inifile.h"
#include "reftables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const TIniFile ini = TIniFile::FromBytes(bytes);
    for (const QString &section : ini.ReadSections()) {
        for (const QString &key : ini.ReadSection(section)) {
            (void)ini.ReadString(section, key, QString());
            (void)ini.ReadInteger(section, key, 0);
        }
    }

    TReferenceTables tables;
    tables.LoadObsTable(fuzz::writeInput(QStringLiteral("Obstbl.tbl"), data, size));
    for (const QString &soil : std::as_const(tables.SoilTypes)) {
        (void)tables.SandyFlagOf(soil);
        (void)tables.SoilIndexOf(soil + u'*');
    }
    for (const TCodeData &entry : std::as_const(tables.ObsTable))
        (void)tables.CodeOfObsText(entry.ObsText);
    for (int blows : {0, 7, 99}) {
        const QString text = tables.HammerText(blows);
        try {
            (void)tables.BlowCountOf(text);
        } catch (const ETessmarkError &) {
        }
    }
    return 0;
}
