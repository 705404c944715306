// The desktop program: one main window and the message loop.
#include "grid_form.h"
#include "messages.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The name stays out of window captions (no display name): they carry the file name.
    QApplication::setApplicationName(kApplicationTitle);

    // Every text of the program is Japanese: ask for a Japanese UI face first, with the
    // families found on other systems after it.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    QApplication::setFont(font);

    TGridFormOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    Tgrid_form window(options);
    window.show();
    return QApplication::exec();
}
