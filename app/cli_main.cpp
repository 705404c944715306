// tessmark-cli: the model of Tessmark without windows, for batch work and scripting.
#include "cli.h"
#include "settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>
#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The desktop program's settings, so both agree on NaMode, the removal options and so on.
    std::unique_ptr<QSettings> store(OpenSettingsStore(QStringLiteral("tessmark")));
    TCliEnvironment environment;
    environment.store = store.get();
    environment.documentsDir = DocumentsFolder();
    environment.defaultTablesDir = QCoreApplication::applicationDirPath();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(app.arguments().mid(1), environment, out, err);
}
