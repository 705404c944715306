// Opens any bytes as a data file, the whole way the program does: read, parse, derive, round.
// The first byte chooses the file type (bits 0-1), whether the shipped reference tables are
// loaded (bit 2) and the one-decimal half-turn mode (bit 3); the rest is the file.
#include "fuzz_support.h"

#include "reader.h"
#include "reftables.h"
#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const TReferenceTables noTables;
    static const TReferenceTables shipped = [] {
        TReferenceTables t;
        t.LoadFrom(fuzz::shippedDataDir());
        return t;
    }();
    static const char *const names[] = {"t.ktd", "t.kgd", "t.kmd", "t.ksd"};

    const uint8_t choice = data[0];
    TSetting setting;
    setting.NaMode = (choice & 8) != 0;
    const QString path =
        fuzz::writeInput(QString::fromLatin1(names[choice & 3]), data + 1, size - 1);
    try {
        const TSoundingTest test = OpenTestFile(path, setting, (choice & 4) ? shipped : noTables);
        (void)test;
    } catch (const ETessmarkError &) {
        // A clear refusal is the expected answer to bad bytes.
    }
    return 0;
}
