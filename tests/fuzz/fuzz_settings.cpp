// Reads any bytes as the settings store (an INI file), loads every option from it, and opens
// a short test with the options read, as the program does on start.
#include "fuzz_support.h"

#include "reader.h"
#include "reftables.h"
#include "settings.h"

#include <QSettings>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TReferenceTables tables = [] {
        TReferenceTables t;
        t.LoadFrom(fuzz::shippedDataDir());
        return t;
    }();
    // A new name each time: the store keeps files it has read in a cache keyed by their name.
    static unsigned serial = 0;
    const QString path =
        fuzz::writeInput(QStringLiteral("settings%1.ini").arg(++serial), data, size);
    TSetting setting;
    {
        QSettings store(path, QSettings::IniFormat);
        setting = LoadSettings(store, fuzz::workDir().path());
        // The command-line tool's overrides take the same texts one key at a time.
        TSetting overridden;
        for (const QString &key : store.allKeys()) {
            if (key.isEmpty())
                continue; // the store warns on every empty key, which only slows the run
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
