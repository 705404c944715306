// Opening a large transfer file: read, parse, derive Nsw and converted N, round to 25 cm; the
// whole of `tessmark-cli show`, and saving the test as each kind of file.
#include "transferfile.h"

#include "bearing.h"
#include "derived.h"
#include "presentation.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"
#include "writer.h"

#include <QTextStream>
#include <benchmark/benchmark.h>

namespace {

// The transfer file of the benchmark's size in `dir`.
QString writeTransferFile(const QTemporaryDir &dir, benchmark::State &state)
{
    const QString path = writeTransferFile(dir, int(state.range(0)));
    if (path.isEmpty())
        state.SkipWithError("cannot write the test file");
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

// What `tessmark-cli show [--rounded]` does after its start: open, show the normal or the rounded
// view, and the text it prints, encoded as it goes out.
void BM_Show(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeTransferFile(dir, state);
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    const TSetting setting;
    const bool rounded = state.range(1) != 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        TSoundingTest test = OpenTestFile(path, setting, tables);
        if (rounded)
            CopyLog(test.RoundedLog, test.DisplayLog);
        QByteArray output;
        QTextStream out(&output, QIODevice::WriteOnly);
        WriteTestText(test, setting.NaMode, out);
        out.flush();
        bytes = output.size();
        benchmark::DoNotOptimize(output.data());
    }
    state.counters["output_bytes"] = double(bytes);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Show)
    ->ArgNames({"rows", "rounded"})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

// Saving an open test: ".kgd" re-emits the lines read, ".k25" rounds and writes the rounded log.
void BM_Save(benchmark::State &state, const char *extension)
{
    QTemporaryDir dir;
    const QString path = writeTransferFile(dir, state);
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    const TSetting setting;
    TSoundingTest test = OpenTestFile(path, setting, tables);
    const QString target = dir.filePath(QStringLiteral("saved") + QLatin1String(extension));
    for (auto _ : state)
        SaveTestFile(test, target, setting, tables);
    state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BM_Save, kgd, ".kgd")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, k25, ".k25")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, kmd, ".kmd")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
