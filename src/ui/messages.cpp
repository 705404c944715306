#include "messages.h"

#include <QApplication>
#include <QStringList>

namespace {

TBoxMessages &boxMessages()
{
    static TBoxMessages boxes;
    return boxes;
}

TMessages *current = nullptr;

QMessageBox::Icon iconOf(TMessageKind kind)
{
    switch (kind) {
    case TMessageKind::Information:
        return QMessageBox::Information;
    case TMessageKind::Warning:
        return QMessageBox::Warning;
    case TMessageKind::Error:
        return QMessageBox::Critical;
    case TMessageKind::Confirmation:
        return QMessageBox::Question;
    case TMessageKind::Plain:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TMessages::Button EscapeButtonOf(TMessages::Buttons buttons)
{
    if (buttons & QMessageBox::Cancel)
        return QMessageBox::Cancel;
    if (buttons & QMessageBox::No)
        return QMessageBox::No;
    return QMessageBox::Ok;
}

QString MessageBoxText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

TMessages::Button TBoxMessages::ask(TMessageKind kind, const QString &text, Buttons buttons,
                                    QWidget *parent)
{
    // Enter presses the first button of the set, as in every box of the program.
    const Button first = buttons & QMessageBox::Yes  ? QMessageBox::Yes
                         : buttons & QMessageBox::Ok ? QMessageBox::Ok
                                                     : EscapeButtonOf(buttons);
    return askCaptioned(kind, kApplicationTitle, text, buttons, first, parent);
}

TMessages::Button TBoxMessages::askCaptioned(TMessageKind kind, const QString &caption,
                                             const QString &text, Buttons buttons,
                                             Button defaultButton, QWidget *parent)
{
    QMessageBox box(iconOf(kind), caption, MessageBoxText(text), buttons,
                    parent ? parent : QApplication::activeWindow());
    // Texts come from files and tables too: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    const Button escape = EscapeButtonOf(buttons);
    box.setEscapeButton(escape);
    box.setDefaultButton(defaultButton);
    // The box may be asked while the hourglass is up: show the normal cursor over it.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (waiting)
        QApplication::restoreOverrideCursor();
    const auto pressed = Button(result);
    return buttons & pressed ? pressed : escape;
}

TMessages::Button TScriptedMessages::ask(TMessageKind kind, const QString &text, Buttons buttons,
                                         QWidget *)
{
    AskedBoxes.append({kind, text, buttons});
    if (Answers.isEmpty())
        return EscapeButtonOf(buttons);
    return Answers.dequeue();
}

QStringList TScriptedMessages::texts() const
{
    QStringList result;
    result.reserve(AskedBoxes.size());
    for (const Asked &asked : AskedBoxes)
        result.append(asked.Text);
    return result;
}

TMessages &Messages()
{
    return current ? *current : boxMessages();
}

TMessages *SetMessages(TMessages *messages)
{
    TMessages *previous = current;
    current = messages;
    return previous;
}
