// Reads any bytes as the settings store (an INI file), loads every option from it, and opens
// a short test with the options read, as the program does on start.
#include "fuzz_support.h"

#include "reader.h"
#include "reftables.h"
#include "settings.h"
#include "settingsstore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TReferenceTables tables = [] {
        TReferenceTables t;
        t.LoadFrom(fuzz::shippedDataDir());
        return t;
    }();
    const QString path = fuzz::writeInput(QStringLiteral("settings.ini"), data, size);
    TSetting setting;
    {
        TSettingsStore store(path);
        // Whatever it read, the store can write.
        (void)TSettingsStore::IniText(TSettingsStore::ParseIni(
            QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
        setting = LoadSettings(store, fuzz::workDir().path());
        // The command-line tool's overrides take the same texts one key at a time.
        TSetting overridden;
        for (const QString &key : store.allKeys()) {
            try {
                SetSettingValue(overridden, key, store.value(key).toString());
            } catch (const ETessmarkError &) {
            }
        }
    }
    QFile::remove(path);
    try {
        const TSoundingTest test = OpenTestFile(fuzz::smallTestFile(), setting, tables);
        (void)test;
    } catch (const ETessmarkError &) {
    }
    return 0;
}
