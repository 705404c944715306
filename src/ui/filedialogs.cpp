#include "filedialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {

TFileDialogs *current = nullptr;

TQtFileDialogs &qtDialogs()
{
    static TQtFileDialogs dialogs;
    return dialogs;
}

// Both letter cases of a pattern, so "*.KTD" also finds "a.ktd" on case-sensitive file systems.
void addPatternVariants(const QString &pattern, QStringList &patterns)
{
    if (pattern == u"*.*") {
        if (!patterns.contains(QStringLiteral("*")))
            patterns.append(QStringLiteral("*"));
        return;
    }
    for (const QString &variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
        if (!patterns.contains(variant))
            patterns.append(variant);
    }
}

// The 1-based entry of `filter` the dialog names as selected: the toolkit answers either the
// whole name filter or, with the details hidden, its description only.
int filterIndexOf(const QString &selected, const QString &filter)
{
    const QStringList nameFilters = QtNameFilters(filter);
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i < nameFilters.size(); ++i) {
        if (selected == nameFilters.at(i) || selected == parts.at(2 * i).trimmed())
            return int(i) + 1;
    }
    return 1;
}

std::optional<TFileChoice> runDialog(QFileDialog &dialog, const TFileDialogRequest &request)
{
    const QStringList filters = QtNameFilters(request.Filter);
    dialog.setWindowTitle(request.Title);
    // The descriptions already name their patterns; the list shows them as they are written.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.value(request.FilterIndex - 1, filters.first()));
    if (!request.Folder.isEmpty() && QDir(request.Folder).exists())
        dialog.setDirectory(request.Folder);
    dialog.selectFile(request.FileName);
    const int result = dialog.exec();
    // The window manager may hand the focus to another of the program's windows when the
    // dialog goes (the main window, for the site window's dialogs): it goes back to the one
    // the dialog was opened for.
    if (QWidget *owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr) {
        owner->raise();
        owner->activateWindow();
    }
    if (result != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return TFileChoice{files.first(), filterIndexOf(dialog.selectedNameFilter(), request.Filter)};
}

} // namespace

QStringList QtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts.at(i + 1).split(u';', Qt::SkipEmptyParts))
            addPatternVariants(pattern.trimmed(), patterns);
        result.append(parts.at(i) + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

std::optional<TFileChoice> TQtFileDialogs::openFile(const TFileDialogRequest &request,
                                                    QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runDialog(dialog, request);
}

std::optional<TFileChoice> TQtFileDialogs::saveFile(const TFileDialogRequest &request,
                                                    QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return runDialog(dialog, request);
}

std::optional<TFileChoice> TScriptedFileDialogs::openFile(const TFileDialogRequest &request,
                                                          QWidget *)
{
    return next(Kind::Open, request);
}

std::optional<TFileChoice> TScriptedFileDialogs::saveFile(const TFileDialogRequest &request,
                                                          QWidget *)
{
    return next(Kind::Save, request);
}

std::optional<TFileChoice> TScriptedFileDialogs::next(Kind kind, const TFileDialogRequest &request)
{
    ShownDialogs.append({kind, request});
    return Answers.isEmpty() ? std::nullopt : Answers.dequeue();
}

TFileDialogs &FileDialogs()
{
    return current ? *current : qtDialogs();
}

TFileDialogs *SetFileDialogs(TFileDialogs *dialogs)
{
    TFileDialogs *previous = current;
    current = dialogs;
    return previous;
}
