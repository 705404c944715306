// Drawing a graph the size of a large window, and a whole print run to PDF.
#include "offscreen_main.h"

#include "derived.h"
#include "fieldlimits.h"
#include "graphdraw.h"
#include "printout.h"
#include "reftables.h"
#include "settings.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

// A test of `rows` rows 2.5 cm apart with layers of sand, clay and gravel and some sinking rows.
// Depths keep to the four-digit depth field: rows beyond 99.99 m stay at 99.99 m.
TSoundingTest makeTest(int rows, const TSetting &setting, const TReferenceTables &tables)
{
    const char *const soils[] = {"砂質土", "粘性土", "礫質土"};
    const char *const observations[] = {"ｼﾞｬﾘｼﾞｬﾘ", "無音", "ｺﾞﾘｺﾞﾘ"};
    TSoundingTest test;
    Tkannyu &log = test.NormalLog;
    log.Year = 24;
    log.startRows();
    for (int i = 1; i <= rows; ++i) {
        Tvt_data &row = log.appendRow();
        const int layer = (i / 40) % 3;
        row.Depth = std::min(i * 5 / 2, kMaxDepthCm);
        row.Wsw = i % 11 == 0 ? QStringLiteral("050") : QStringLiteral("100");
        row.Na = i % 11 == 0 ? kSelfSinking : QString::number(i % 23);
        row.Doshitu = QString::fromUtf8(soils[layer]);
        row.Obs = QString::fromUtf8(observations[layer]);
        log.Count = i;
        log.FinalDepth = row.Depth;
    }
    for (int depth = 25; depth <= log.FinalDepth; depth += 25)
        test.TestQuantities.append({depth, depth % 97});
    ComputeNsw(log, false, setting, tables);
    ComputeNValue(log, tables);
    CopyLog(log, test.DisplayLog);
    BuildRoundedView(test, setting, tables);
    return test;
}

void BM_DrawNswGraph(benchmark::State &state)
{
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    TSetting setting;
    const TSoundingTest test = makeTest(int(state.range(0)), setting, tables);
    QImage image(1000, 1000, QImage::Format_RGB32);
    TGraphRequest request;
    request.Torque = true;
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(GraphFont(TPaintTarget::Window));
        DrawGraph(painter, image.rect(), test.DisplayLog, test.TestQuantities, setting, tables,
                  request);
    }
}
BENCHMARK(BM_DrawNswGraph)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_PrintAllEight(benchmark::State &state)
{
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    TSetting setting;
    const TSoundingTest test = makeTest(int(state.range(0)), setting, tables);
    TPrintSelection all{true, true, true, true, true, true, true, true, true};
    // Black and white draws the hatches, scaled to the PDF's resolution.
    all.Color = state.range(1) != 0;
    for (auto _ : state) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        SetUpPdfWriter(writer);
        const TPrintResult result =
            PrintSelected(writer, all, TPrintInput{test, setting, tables, 1, TESSMARK_DATA_DIR});
        benchmark::DoNotOptimize(result.Pages);
    }
}
BENCHMARK(BM_PrintAllEight)
    ->ArgNames({"rows", "colour"})
    ->Args({400, 1})
    ->Args({1600, 1})
    ->Args({1600, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks<QGuiApplication>(argc, argv);
}
