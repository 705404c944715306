// The desktop program: one main window and the message loop.
#include "grid_form.h"
#include "messages.h"
#include "opening.h"
#include "registration.h"
#include "server.h"
#include "tessmark_version.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QPointer>
#include <QStringList>
#include <QTranslator>
#include <cstdio>
#include <cstring>

namespace {

const char *const kUsage =
    "usage: tessmark [FILE | -REGSERVER | -UNREGSERVER]\n"
    "  FILE          a data file (.ktd, .kgd, .kmd, .ksd) opened at start, or a site file\n"
    "                (.tsite) opened in the site window\n"
    "  -REGSERVER    install the automation activation file and interface description under\n"
    "                $XDG_DATA_HOME/dbus-1/ and exit (every start does this silently)\n"
    "  -UNREGSERVER  remove them and exit\n"
    "  --version     print the version and exit\n"
    "  --help        print this help and exit\n"
    "The session bus starts the program with -AUTOMATION for automation clients.\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before any window exists, so they work without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessmark %s\n", kTessmarkVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    QApplication app(argc, argv);
    // The name stays out of window captions (no display name): they carry the file name.
    QApplication::setApplicationName(kApplicationTitle);
    // The desktop entry an installed program belongs to, so the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.korvath.Tessmark"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tessmark")));

    // Every text of the program is Japanese: ask for a Japanese UI face first, with the
    // families found on other systems after it.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    QApplication::setFont(font);

    // The toolkit's own texts (file dialogs, message-box buttons) in Japanese like the rest of
    // the program, whatever the system's language: from beside the program, else Qt's folder.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_ja"), QApplication::applicationDirPath()) ||
        toolkitTexts.load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    // The splash comes first; it asks the main window to open the command-line file as it closes.
    const QPointer<TOpeningForm> splash = ShowOpeningForm([] { return grid_form(); });
    // -REGSERVER and -UNREGSERVER end here; every other start registers for clients.
    if (const std::optional<int> exitCode = RunAutomationStartup(QApplication::arguments()))
        return *exitCode;

    TGridFormOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    Tgrid_form window(options);
    StartAutomationServer(window);
    window.show();
    // The splash stays in front of the main window that appeared after it.
    if (splash)
        splash->raise();
    return QApplication::exec();
}
