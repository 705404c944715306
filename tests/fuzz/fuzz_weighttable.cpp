// Reads any bytes as "Weighttbl.tbl" and opens a short test with it, so its skipped loads
// take effect on real rows.
#include "fuzz_support.h"

#include "reader.h"
#include "reftables.h"
#include "settings.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TReferenceTables shipped = [] {
        TReferenceTables t;
        t.LoadObsTable(QDir(fuzz::shippedDataDir()).filePath(QStringLiteral("Obstbl.tbl")));
        return t;
    }();
    TReferenceTables tables = shipped;
    tables.LoadWeightTable(fuzz::writeInput(QStringLiteral("Weighttbl.tbl"), data, size));
    for (int i = 0; i < TReferenceTables::kSkipLoadSlots; ++i)
        (void)tables.IsSkippedLoad(tables.SkipLoadKeys[i]);
    try {
        const TSoundingTest test = OpenTestFile(fuzz::smallTestFile(), TSetting(), tables);
        (void)test;
    } catch (const ETessmarkError &) {
    }
    return 0;
}
