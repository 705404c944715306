// A site of 50 points: reading its tests and working out its figures; the survey report of 10
// and of 60 points with two photos each, from the site file to the PDF.
#include "offscreen_main.h"

#include "codec.h"
#include "printout.h"
#include "reftables.h"
#include "settings.h"
#include "site.h"
#include "sitefile.h"
#include "surveyreport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// `count` transfer files 6 m deep, rows every 25 cm, a self-sinking layer of changing
// thickness and a GPS position on a grid 8 m by 6 m, and the site file naming them.
QString writeSite(const QTemporaryDir &folder, int count)
{
    TSite site;
    site.Name = QStringLiteral("共同住宅 %1 測点").arg(count);
    for (int i = 0; i < count; ++i) {
        QStringList lines{QStringLiteral("$T("),
                          QStringLiteral("102 004 017 0025 03 24 05 17 09 30")};
        const int soft = 100 + 25 * (i % 8);
        for (int depth = 25; depth <= 600; depth += 25)
            lines.append(depth > 50 && depth <= soft
                             ? QStringLiteral("050 %1 J04 JTN").arg(depth, 4, 10, QLatin1Char('0'))
                             : QStringLiteral("100 %1 J04 %2")
                                   .arg(depth, 4, 10, QLatin1Char('0'))
                                   .arg(2 + depth / 25, 3, 10, QLatin1Char('0')));
        const double latitude = 35.6812 + (i / 10) * 6 / 111000.0;
        const double longitude = 139.7671 + (i % 10) * 8 / 90400.0;
        lines << QStringLiteral("T10 12") << QStringLiteral(")") << QStringLiteral("$G(")
              << QStringLiteral("1 %1 N %2 E %3 m 08 1.2")
                     .arg(latitude, 0, 'f', 7)
                     .arg(longitude, 0, 'f', 7)
                     .arg(40 + 0.02 * i, 0, 'f', 2)
              << QStringLiteral(")");
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += Cp932::encode(line) + "\r\n";
        const QString path = folder.filePath(QStringLiteral("No%1.ktd").arg(i + 1));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        site.Points.append({path, DefaultPointLabel(i), std::nullopt, std::nullopt});
    }
    const QString path = folder.filePath(QStringLiteral("site.tsite"));
    WriteSiteFile(site, path);
    return path;
}

void BM_SiteOpen(benchmark::State &state)
{
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    const TSetting setting;
    QTemporaryDir folder;
    const QString path = writeSite(folder, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSiteWithTests(path, setting, tables).Figures.Pairs.size());
}
BENCHMARK(BM_SiteOpen)->Arg(50)->Unit(benchmark::kMillisecond);

// Two camera-sized photos in the folder, one landscape and one portrait, as JPEG.
QList<TSitePhoto> writePhotos(const QTemporaryDir &folder)
{
    QList<TSitePhoto> photos;
    for (const QSize size : {QSize(1600, 1200), QSize(1200, 1600)}) {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient ground(0, 0, size.width(), size.height());
        ground.setColorAt(0, QColor(90, 140, 60));
        ground.setColorAt(1, QColor(150, 120, 80));
        painter.fillRect(image.rect(), ground);
        painter.end();
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(photos.size()));
        image.save(path, "JPEG", 85);
        photos.append({path, QStringLiteral("試験位置の状況")});
    }
    return photos;
}

// The report as `tessmark-cli site report` makes it, from the site file on; every point has
// the two photos (each decoded and scaled once, as its page is drawn).
void BM_SiteReport(benchmark::State &state)
{
    TReferenceTables tables;
    tables.LoadFrom(QStringLiteral(TESSMARK_DATA_DIR));
    const TSetting setting;
    QTemporaryDir folder;
    const QString path = writeSite(folder, int(state.range(0)));
    const QList<TSitePhoto> photos = writePhotos(folder);
    for (auto _ : state) {
        TSiteData data = ReadSiteWithTests(path, setting, tables);
        for (TSiteTestPoint &point : data.Site.Points)
            point.Survey.Photos = photos;
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        SetUpPdfWriter(writer);
        TSurveyReportOptions options;
        options.Color = state.range(1) != 0;
        const int pages = PrintSurveyReport(writer, data, options, setting, tables);
        benchmark::DoNotOptimize(pages);
    }
}
BENCHMARK(BM_SiteReport)
    ->ArgNames({"points", "colour"})
    ->Args({10, 0})
    ->Args({60, 0})
    ->Args({60, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks<QGuiApplication>(argc, argv);
}
