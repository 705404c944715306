// tessmark-cli: the model of Tessmark without windows, for batch work and scripting. Showing,
// saving, evaluating and exporting need only the core library; the commands that draw or talk
// to the instrument are handed on to tessmark-cli-draw, so the common commands start quickly.
#include "cli.h"
#include "settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>
#include <memory>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The desktop program's settings, so both agree on NaMode, the removal options and so on.
    std::unique_ptr<QSettings> store(OpenSettingsStore(QStringLiteral("tessmark")));
    TCliEnvironment environment = CliProgramEnvironment(store.get());
    environment.runDrawing = RunCliDrawingProgram;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(QCoreApplication::arguments().mid(1), environment, out, err);
}
