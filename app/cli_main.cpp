// tessmark-cli: the model of Tessmark without windows, for batch work and scripting.
#include "cli.h"
#include "programfiles.h"
#include "settings.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSettings>
#include <QTextStream>
#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    // Drawing needs fonts, hence a GUI application; it never shows a window, so it needs no
    // display either.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && CliCommandNeedsGui(QString::fromLocal8Bit(argv[1]))) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The desktop program's settings, so both agree on NaMode, the removal options and so on.
    std::unique_ptr<QSettings> store(OpenSettingsStore(QStringLiteral("tessmark")));
    TCliEnvironment environment;
    environment.store = store.get();
    environment.documentsDir = DocumentsFolder();
    // The tables and the header picture lie together: beside the program or in its share folder.
    environment.defaultTablesDir =
        ProgramFilesFolder(QCoreApplication::applicationDirPath(), QStringLiteral("Weighttbl.tbl"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(QCoreApplication::arguments().mid(1), environment, out, err);
}
