// tessmark-cli-draw: tessmark-cli's commands that draw (print, graph, report) or talk to the
// instrument (fetch). tessmark-cli starts it in its own place; it takes the same command lines.
#include "cli.h"
#include "cli_draw.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

namespace {

QtMessageHandler previousHandler = nullptr;

// Outside a desktop session the toolkit's start looks for a display server in the session's
// runtime folder and warns that there is none. A drawing needs no display and no runtime folder,
// so the warning would only puzzle a script reading standard error; every other message passes.
void withoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

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
        previousHandler = qInstallMessageHandler(withoutRuntimeFolderWarning);
        app = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(previousHandler);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return RunCliProgram(RunCliDrawing);
}
