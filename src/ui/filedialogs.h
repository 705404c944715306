// The open and save file dialogs behind a replaceable interface, so tests can choose files,
// filters and cancel from a script instead of a person.
#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// What a dialog starts with. Filters are written "description|pattern|description|pattern…",
// several patterns of one entry separated by ";".
struct TFileDialogRequest
{
    QString Title;
    QString Filter;
    int FilterIndex = 1; // 1-based entry of Filter selected at start
    QString Folder;      // initial folder
    QString FileName;    // proposed file name, without folder
};

// The file the user chose and the filter entry selected when the dialog closed (1-based).
struct TFileChoice
{
    QString Path;
    int FilterIndex = 1;
};

class TFileDialogs
{
public:
    virtual ~TFileDialogs() = default;

    // An existing file to open; none when the user cancels.
    virtual std::optional<TFileChoice> openFile(const TFileDialogRequest &request,
                                                QWidget *parent = nullptr) = 0;
    // A file name to save under; none when the user cancels. Overwriting is the caller's
    // question.
    virtual std::optional<TFileChoice> saveFile(const TFileDialogRequest &request,
                                                QWidget *parent = nullptr) = 0;
};

// The "description|pattern|…" filter as the toolkit's name filters, one per entry. Patterns
// match either letter case (the names of transferred files are upper case, those written here
// lower case) and "*.*" matches every file, extension or not.
QStringList QtNameFilters(const QString &filter);

// The toolkit's file dialogs, modal to `parent`; `parent`'s window has the focus again when
// they close.
class TQtFileDialogs : public TFileDialogs
{
public:
    std::optional<TFileChoice> openFile(const TFileDialogRequest &request,
                                        QWidget *parent = nullptr) override;
    std::optional<TFileChoice> saveFile(const TFileDialogRequest &request,
                                        QWidget *parent = nullptr) override;
};

// Answers from a queue and records every dialog shown, for tests. An empty queue cancels.
class TScriptedFileDialogs : public TFileDialogs
{
public:
    enum class Kind { Open, Save };
    struct Shown
    {
        Kind DialogKind;
        TFileDialogRequest Request;
    };

    std::optional<TFileChoice> openFile(const TFileDialogRequest &request,
                                        QWidget *parent = nullptr) override;
    std::optional<TFileChoice> saveFile(const TFileDialogRequest &request,
                                        QWidget *parent = nullptr) override;

    void choose(const QString &path, int filterIndex = 1)
    {
        Answers.enqueue(TFileChoice{path, filterIndex});
    }
    void cancel() { Answers.enqueue(std::nullopt); }

    QQueue<std::optional<TFileChoice>> Answers;
    QList<Shown> ShownDialogs;

private:
    std::optional<TFileChoice> next(Kind kind, const TFileDialogRequest &request);
};

// The process-wide instance the windows use; TQtFileDialogs unless replaced.
TFileDialogs &FileDialogs();
// Replaces the instance (nullptr restores the toolkit's dialogs); answers the previous one.
// Not owned.
TFileDialogs *SetFileDialogs(TFileDialogs *dialogs);

// Puts a scripted instance in place for one scope.
class TScopedFileDialogs
{
public:
    explicit TScopedFileDialogs(TFileDialogs &dialogs) : m_previous(SetFileDialogs(&dialogs)) {}
    ~TScopedFileDialogs() { SetFileDialogs(m_previous); }
    TScopedFileDialogs(const TScopedFileDialogs &) = delete;
    TScopedFileDialogs &operator=(const TScopedFileDialogs &) = delete;

private:
    TFileDialogs *m_previous;
};
