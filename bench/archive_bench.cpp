// The archive at the scale of a firm: a catalogue of 100,000 tests searched by place and by
// text and shown in the list 試験一覧, and 10,000 test files imported. The large catalogue is
// made once (about a minute) and kept in the temporary folder for later runs.
#include "offscreen_main.h"

#include "archiveentry.h"
#include "archivekeeper.h"
#include "archivetablemodel.h"
#include "archivewindow.h"
#include "catalogue.h"
#include "reftables.h"
#include "settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kCatalogueTests = 100000;
const TGeoPosition kCentre{35.6812, 139.7671};

QByteArray sampleBytes()
{
    QFile file(QStringLiteral(TESSMARK_SAMPLES_DIR "/sample.ktd"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Test n's bytes: the sample with its own header line and GPS position.
QByteArray testBytes(const QByteArray &sample, int n, const TGeoPosition &place)
{
    QByteArray bytes = sample;
    bytes.replace("102 004 017 0025 03 24 05 17 09 30",
                  QString::asprintf("102 %.3d 017 %.4d %.2d %.2d %.2d %.2d %.2d %.2d", n / 10000,
                                    n % 10000, n % 100, 15 + n % 10, 1 + n % 12, 1 + n % 28,
                                    8 + n % 9, n % 60)
                      .toLatin1());
    bytes.replace("1 35.6812 N 139.7671 E",
                  QString::asprintf("1 %.7f N %.7f E", place.Latitude, place.Longitude).toLatin1());
    return bytes;
}

// Places over a region 100 km across, as a firm's tests of many years lie.
TGeoPosition placeOf(int n)
{
    const double north = std::fmod(n * 7919.0 * 0.6180339887, 100000.0) - 50000;
    const double east = std::fmod(n * 104729.0 * 0.4142135623, 100000.0) - 50000;
    return {kCentre.Latitude + north / 110950,
            kCentre.Longitude + east / (111320 * std::cos(kCentre.Latitude * M_PI / 180))};
}

// The large catalogue, made on first use.
QString largeCatalogue()
{
    const QString path =
        QDir::temp().filePath(QStringLiteral("tessmark-bench-archive-100k.sqlite"));
    if (QFile::exists(path))
        return path;
    const QByteArray sample = sampleBytes();
    TCatalogue catalogue(ParseCatalogueUrl(path, {}));
    for (int n = 0; n < kCatalogueTests; ++n) {
        TArchiveEntry entry;
        entry.FileName = QStringLiteral("T%1.ktd").arg(n, 6, 10, QLatin1Char('0'));
        entry.Folder = QStringLiteral("/surveys/%1").arg(2015 + n % 10);
        entry.Figures.Code = QString::asprintf("102-%.3d-017-%.4d", n / 10000, n % 10000);
        entry.Figures.Point = n % 100;
        entry.Figures.TestedAt = QString::asprintf("%d-%.2d-%.2d %.2d:%.2d", 2015 + n % 10,
                                                   1 + n % 12, 1 + n % 28, 8 + n % 9, n % 60);
        entry.Figures.Position = placeOf(n);
        entry.Figures.FinalDepth = 500 + n % 500;
        entry.Figures.MeanNswTenths = n % 1500;
        entry.Figures.QaTenths = 300 + n % 400;
        entry.Figures.UpperSinking = n % 200;
        entry.Figures.LowerSinking = 0;
        catalogue.Add(entry, testBytes(sample, n, placeOf(n)));
    }
    return path;
}

void BM_NearQuery200m(benchmark::State &state)
{
    TCatalogue catalogue(ParseCatalogueUrl(largeCatalogue(), {}));
    int n = 0;
    qint64 found = 0;
    for (auto _ : state) {
        TArchiveQuery query;
        query.Near = placeOf(n++ * 37 % kCatalogueTests);
        query.Radius = 200;
        found += catalogue.Find(query).size();
    }
    state.counters["found"] = benchmark::Counter(double(found), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_NearQuery200m)->Unit(benchmark::kMillisecond);

void BM_TextSearch(benchmark::State &state)
{
    TCatalogue catalogue(ParseCatalogueUrl(largeCatalogue(), {}));
    const QStringList texts{QStringLiteral("017-0042"), QStringLiteral("t099"),
                            QStringLiteral("/surveys/2019"), QStringLiteral("no such text")};
    int n = 0;
    for (auto _ : state) {
        TArchiveQuery query;
        query.Text = texts.at(n++ % texts.size());
        query.Limit = TArchiveTableModel::kPageSize;
        benchmark::DoNotOptimize(catalogue.Find(query));
        benchmark::DoNotOptimize(catalogue.Count(query));
    }
}
BENCHMARK(BM_TextSearch)->Unit(benchmark::kMillisecond);

void BM_WindowShowsTheList(benchmark::State &state)
{
    TSetting setting;
    setting.ArchiveDatabase = largeCatalogue();
    for (auto _ : state) {
        TArchiveKeeper keeper;
        TArchiveWindowContext context;
        context.Setting = &setting;
        context.Keeper = &keeper;
        auto *window = new TArchiveWindow(context);
        window->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window->Model()->rowCount());
        delete window;
    }
}
BENCHMARK(BM_WindowShowsTheList)->Unit(benchmark::kMillisecond);

void BM_Import10000Files(benchmark::State &state)
{
    QTemporaryDir folder;
    const QByteArray sample = sampleBytes();
    const int files = int(state.range(0));
    QStringList paths;
    for (int n = 0; n < files; ++n) {
        const QString path =
            folder.filePath(QStringLiteral("T%1.ktd").arg(n, 5, 10, QLatin1Char('0')));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(testBytes(sample, n, placeOf(n)));
        paths.append(path);
    }
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    const TSetting setting;
    int round = 0;
    for (auto _ : state) {
        TCatalogue catalogue(
            ParseCatalogueUrl(folder.filePath(QStringLiteral("import%1.sqlite").arg(round++)), {}));
        for (const QString &path : paths)
            ArchiveTestFile(catalogue, path, setting, tables);
    }
    state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_Import10000Files)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks<QApplication>(argc, argv);
}
