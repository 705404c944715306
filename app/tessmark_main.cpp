// The desktop program: one main window and the message loop.
#include "grid_form.h"
#include "messages.h"
#include "registration.h"
#include "server.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // -REGSERVER and -UNREGSERVER end here; every other start registers for clients.
    if (const std::optional<int> exitCode = RunAutomationStartup(QApplication::arguments()))
        return *exitCode;
    // The name stays out of window captions (no display name): they carry the file name.
    QApplication::setApplicationName(kApplicationTitle);

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

    TGridFormOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    Tgrid_form window(options);
    StartAutomationServer(window);
    window.show();
    return QApplication::exec();
}
