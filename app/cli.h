// The command-line tool: show a test as the main window would, save it in another type, print
// it to PDF or draw its graph to PNG.
#pragma once

#include "errors.h"

#include <QString>
#include <QStringList>

class QSettings;
class QTextStream;
class TReferenceTables;
struct TSetting;

struct TCliEnvironment
{
    QSettings *store = nullptr; // the user's settings store
    QString documentsDir;       // for the folder defaults of the settings
    QString defaultTablesDir;   // where Obstbl.tbl and Weighttbl.tbl are when --tables is not given
};

// True for the commands that draw (print, graph): they need a QGuiApplication for fonts.
bool CliCommandNeedsGui(const QString &verb);

// Runs one command (`arguments` without the program name). Answers the exit status: 0 done,
// 1 the file could not be opened or saved (message on `err`), 2 wrong usage.
int RunCli(const QStringList &arguments, const TCliEnvironment &environment, QTextStream &out,
           QTextStream &err);

// Wrong usage of a command: exit status 2, with the usage text.
class ECliUsage : public ETessmarkError
{
public:
    using ETessmarkError::ETessmarkError;
};

// The settings a command works with: the user's, with the --set overrides applied.
TSetting CliSettings(const QStringList &overrides, const TCliEnvironment &environment);
// The reference tables from --tables DIR, or from the program's folder when it is empty.
TReferenceTables CliTables(const QString &tablesDir, const TCliEnvironment &environment);
