// The command-line tool: show a test as the main window would, save it in another type, print
// it to PDF or draw its graph to PNG.
#pragma once

#include "errors.h"

#include <QString>
#include <QStringList>

class QIODevice;
class TSettingsStore;
class QTextStream;
class TReferenceTables;
struct TSetting;
struct TCliEnvironment;

// Runs one command line (`arguments` without the program name); answers the exit status.
using TCliRunner = int (*)(const QStringList &arguments, const TCliEnvironment &environment,
                           QTextStream &out, QTextStream &err);

struct TCliEnvironment
{
    TSettingsStore *store = nullptr; // the user's settings store
    QString documentsDir;            // for the folder defaults of the settings
    QString defaultTablesDir; // where Obstbl.tbl and Weighttbl.tbl are when --tables is not given
    // Runs the commands that draw or talk to the instrument (print, graph, report, fetch). They
    // are kept apart so that show, save, evaluate and export start without the graphics and
    // serial-port libraries; null where this program has none.
    TCliRunner runDrawing = nullptr;
    // Standard input, for values given as "-"; null where there is none.
    QIODevice *input = nullptr;
    // The program's per-user data folder (the default archive's); empty: the real one.
    QString dataFolder;
    // Standard error is a terminal: long work shows a progress line there.
    bool errIsTerminal = false;
};

// True for the commands that draw (print, graph, report, site report, plan and section): they
// need a QGuiApplication for fonts. `arguments` is the command line without the program name.
bool CliCommandNeedsGui(const QStringList &arguments);

// True for the commands environment.runDrawing runs: those that draw, and fetch.
bool CliCommandIsDrawing(const QStringList &arguments);

// Runs one command (`arguments` without the program name). Answers the exit status: 0 done,
// 1 the file could not be opened or saved (message on `err`), 2 wrong usage. The drawing
// commands go to environment.runDrawing.
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
// The folder of the reference tables and the header picture: --tables DIR, or the program's.
QString CliTablesFolder(const QString &tablesDir, const TCliEnvironment &environment);
// The reference tables from --tables DIR, or from the program's folder when it is empty.
TReferenceTables CliTables(const QString &tablesDir, const TCliEnvironment &environment);

// Runs the command line of this process (after its application object is made) with the
// user's settings store and the shipped tables, the drawing commands through `runDrawing`.
int RunCliProgram(TCliRunner runDrawing);

// Where the drawing commands' program lies: beside this one (a build) or in the private
// program folder of an installation (../libexec/tessmark).
QString CliDrawingProgram();

// A runDrawing that hands the whole command line on to CliDrawingProgram().
int RunCliDrawingProgram(const QStringList &arguments, const TCliEnvironment &environment,
                         QTextStream &out, QTextStream &err);
