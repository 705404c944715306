// The main window with a large test: opening it (read, derive, round, fill the grid, caption),
// and filling the grid again from the open test. Runs on the offscreen platform.
#include "offscreen_main.h"

#include "transferfile.h"

#include "grid_form.h"
#include "messages.h"
#include "settingsstore.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A window as the program starts it, with its own folders, settings and copies of the tables.
struct TWindowSetUp
{
    QTemporaryDir dir;
    std::unique_ptr<TSettingsStore> settings;
    TScriptedMessages messages;
    TScopedMessages messageScope{messages};
    std::unique_ptr<Tgrid_form> form;

    TWindowSetUp()
    {
        for (const char *folder : {"program", "docs", "tmp"})
            QDir(dir.path()).mkpath(QLatin1String(folder));
        for (const char *name : {"Obstbl.tbl", "Weighttbl.tbl"})
            QFile::copy(QDir(QStringLiteral(TESSMARK_DATA_DIR)).filePath(QLatin1String(name)),
                        dir.filePath(QStringLiteral("program/") + QLatin1String(name)));
        settings = std::make_unique<TSettingsStore>(dir.filePath("settings.ini"));
        TGridFormOptions options;
        options.ProgramFolder = dir.filePath("program");
        options.Settings = settings.get();
        options.DocumentsFolder = dir.filePath("docs");
        options.TempFolder = dir.filePath("tmp");
        options.DataFolder = dir.filePath("tmp");
        options.OpenUrl = [](const QUrl &) {
            return true;
        };
        form = std::make_unique<Tgrid_form>(options);
        form->show();
        QCoreApplication::processEvents();
    }
};

// Opening a file as the command line or the Open command does, until the caption shows it.
void BM_WindowOpen(benchmark::State &state)
{
    TWindowSetUp window;
    const QString path = writeTransferFile(window.dir, int(state.range(0)));
    for (auto _ : state) {
        if (window.form->OpenDataFile(path) != 0)
            state.SkipWithError("the file did not open");
        QCoreApplication::processEvents();
    }
    if (!window.messages.AskedBoxes.isEmpty())
        state.SkipWithError("a message box was asked");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WindowOpen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Filling the grid from the open test, as a view switch does.
void BM_WindowFillGrid(benchmark::State &state)
{
    TWindowSetUp window;
    const QString path = writeTransferFile(window.dir, int(state.range(0)));
    if (window.form->OpenDataFile(path) != 0)
        state.SkipWithError("the file did not open");
    for (auto _ : state) {
        if (!window.form->set_grid())
            state.SkipWithError("the grid was not filled");
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WindowFillGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks<QApplication>(argc, argv);
}
