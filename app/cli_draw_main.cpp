// tessmark-cli-draw: tessmark-cli's commands that draw (print, graph, report) or talk to the
// instrument (fetch). tessmark-cli starts it in its own place; it takes the same command lines.
#include "cli.h"
#include "cli_draw.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

int main(int argc, char **argv)
{
    // Drawing needs fonts, hence a GUI application; it never shows a window, so it needs no
    // display either.
    std::unique_ptr<QCoreApplication> app;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CliCommandNeedsGui(arguments)) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return RunCliProgram(RunCliDrawing);
}
