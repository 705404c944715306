// Opening a large transfer file: read, parse, derive Nsw and converted N, round to 25 cm.
#include "bearing.h"
#include "codec.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A transfer file of `rows` rows, 2 cm apart, with the kinds of rows a field test has.
QByteArray makeTransferFile(int rows)
{
    const char *const codes[] = {"J01", "J04", "J03", "J05", "J07", "J02"};
    QByteArray bytes = "$T(\r\n001 002 003 0004 05 24 06 07 08 09\r\n";
    for (int i = 1; i <= rows; ++i) {
        const int depth = i * 2;
        if (i % 97 == 0)
            bytes += QString::asprintf("100 %.4d D%.2d 000\r\n", depth, i % 20).toLatin1();
        else if (i % 13 == 0)
            bytes += QString::asprintf("050 %.4d J04 JTN\r\n", depth).toLatin1();
        else
            bytes +=
                QString::asprintf("100 %.4d %s %.3d\r\n", depth, codes[i % 6], i % 17).toLatin1();
    }
    bytes += "T10 30\r\n)\r\n$P(\r\nP00 1\r\n)\r\n$Q(\r\n";
    for (int i = 1; i <= rows / 10; ++i)
        bytes += QString::asprintf("%d %d\r\n", i * 20, i % 90).toLatin1();
    bytes += ")\r\n";
    return bytes;
}

// The transfer file of the benchmark's size in `dir`.
QString writeTransferFile(const QTemporaryDir &dir, benchmark::State &state)
{
    const QString path = dir.filePath("large.ktd");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the test file");
    file.write(makeTransferFile(int(state.range(0))));
    return path;
}

void BM_OpenDeriveRound(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeTransferFile(dir, state);
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    TSetting setting;
    setting.KutenFlag = true;
    for (auto _ : state) {
        TSoundingTest test = OpenTestFile(path, setting, tables);
        benchmark::DoNotOptimize(test.RoundedLog.Count);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenDeriveRound)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The ground evaluation of an open test as the dialog makes it: the rounding on a copy, then
// one pass for the base depth.
void BM_EvaluateBearing(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeTransferFile(dir, state);
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    const TSetting setting;
    const TSoundingTest test = OpenTestFile(path, setting, tables);
    for (auto _ : state) {
        const TBearingResult result =
            EvaluateBearing(EvaluationLog(test, setting, tables), kDefaultBaseDepthCm);
        benchmark::DoNotOptimize(result.QaTenths);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EvaluateBearing)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
