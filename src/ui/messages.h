// Every message box and question of the program goes through TMessages, so tests can answer
// them from a script instead of a person.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QQueue>
#include <QString>

class QWidget;

// The title of every message box.
inline const QString kApplicationTitle = QStringLiteral("Tessmark");

// What kind of box: decides the icon only. Plain boxes show none.
enum class TMessageKind { Information, Warning, Error, Confirmation, Plain };

class TMessages
{
public:
    using Button = QMessageBox::StandardButton;
    using Buttons = QMessageBox::StandardButtons;

    virtual ~TMessages() = default;

    // Shows `text` ("\r" is a line break) with the given buttons; answers the button pressed.
    // A box closed without a button answers its escape button (Cancel, else No, else OK).
    virtual Button ask(TMessageKind kind, const QString &text, Buttons buttons,
                       QWidget *parent = nullptr) = 0;

    // A box with a caption of its own and a chosen default button (every other box is titled
    // with the program's name and defaults to its first button). Scripted answers treat it as
    // any other box.
    virtual Button askCaptioned(TMessageKind kind, const QString &caption, const QString &text,
                                Buttons buttons, Button defaultButton, QWidget *parent = nullptr)
    {
        Q_UNUSED(caption);
        Q_UNUSED(defaultButton);
        return ask(kind, text, buttons, parent);
    }

    void information(const QString &text, QWidget *parent = nullptr)
    {
        ask(TMessageKind::Information, text, QMessageBox::Ok, parent);
    }
    void warning(const QString &text, QWidget *parent = nullptr)
    {
        ask(TMessageKind::Warning, text, QMessageBox::Ok, parent);
    }
    void error(const QString &text, QWidget *parent = nullptr)
    {
        ask(TMessageKind::Error, text, QMessageBox::Ok, parent);
    }
    // A confirmation that only needs acknowledging (OK).
    void notice(const QString &text, QWidget *parent = nullptr)
    {
        ask(TMessageKind::Confirmation, text, QMessageBox::Ok, parent);
    }
    // Confirmation boxes with OK/Cancel, Yes/No and Yes/No/Cancel.
    Button confirm(const QString &text, QWidget *parent = nullptr)
    {
        return ask(TMessageKind::Confirmation, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    }
    // The same OK/Cancel question in a box without an icon.
    Button confirmPlain(const QString &text, QWidget *parent = nullptr)
    {
        return ask(TMessageKind::Plain, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    }
    Button yesNo(const QString &text, QWidget *parent = nullptr)
    {
        return ask(TMessageKind::Confirmation, text, QMessageBox::Yes | QMessageBox::No, parent);
    }
    Button yesNoCancel(const QString &text, QWidget *parent = nullptr)
    {
        return ask(TMessageKind::Confirmation, text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    }
};

// The button a box answers when it is closed without choosing: Cancel, else No, else OK.
TMessages::Button EscapeButtonOf(TMessages::Buttons buttons);

// "\r" (alone or before "\n") as the line break a message box shows.
QString MessageBoxText(const QString &text);

// Real message boxes, modal to `parent` (or the active window).
class TBoxMessages : public TMessages
{
public:
    Button ask(TMessageKind kind, const QString &text, Buttons buttons,
               QWidget *parent = nullptr) override;
    Button askCaptioned(TMessageKind kind, const QString &caption, const QString &text,
                        Buttons buttons, Button defaultButton, QWidget *parent = nullptr) override;
};

// Answers from a queue and records every box asked, for tests. An empty queue answers the
// box's escape button, so an unexpected question never confirms anything.
class TScriptedMessages : public TMessages
{
public:
    struct Asked
    {
        TMessageKind Kind;
        QString Text;
        Buttons ButtonSet;
    };

    Button ask(TMessageKind kind, const QString &text, Buttons buttons,
               QWidget *parent = nullptr) override;

    void answer(Button button) { Answers.enqueue(button); }
    QStringList texts() const;

    QQueue<Button> Answers;
    QList<Asked> AskedBoxes;
};

// The process-wide instance every window uses; TBoxMessages unless replaced.
TMessages &Messages();
// Replaces the instance (nullptr restores the boxes); answers the previous one. Not owned.
TMessages *SetMessages(TMessages *messages);

// Puts a scripted instance in place for one scope.
class TScopedMessages
{
public:
    explicit TScopedMessages(TMessages &messages) : m_previous(SetMessages(&messages)) {}
    ~TScopedMessages() { SetMessages(m_previous); }
    TScopedMessages(const TScopedMessages &) = delete;
    TScopedMessages &operator=(const TScopedMessages &) = delete;

private:
    TMessages *m_previous;
};
