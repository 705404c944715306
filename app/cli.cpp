#include "cli.h"
#include "cli_fetch.h"

#include "cli_evaluate.h"
#include "derived.h"
#include "errors.h"
#include "graphdraw.h"
#include "presentation.h"
#include "printout.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"
#include "tessmark_version.h"
#include "writer.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>

namespace {

const char *const kUsage =
    "usage:\n"
    "  tessmark-cli show FILE [--rounded] [--tables DIR] [--set SECTION/KEY=VALUE]...\n"
    "  tessmark-cli save FILE OUT [--tables DIR] [--set SECTION/KEY=VALUE]...\n"
    "  tessmark-cli print FILE OUT.pdf --select LIST [--color] [--tables DIR] [--set ...]\n"
    "      LIST: comma-separated subset of table,nsw,n,table25,nsw25,n25,tnsw25,tn25\n"
    "  tessmark-cli graph FILE OUT.png --kind nsw|n [--size WxH] [--rounded] [--tables DIR]\n"
    "      [--set ...]\n"
    "  tessmark-cli fetch --port DEVICE --out DIR [--test N]...\n"
    "  tessmark-cli fetch --port DEVICE --list\n"
    "  tessmark-cli --version\n"
    "  tessmark-cli --help\n";

// The parsed command line.
struct TCliCommand
{
    QString verb;
    QStringList files;
    QString tablesDir;
    QStringList overrides;
    bool rounded = false;
    bool color = false;
    QString select;
    QString kind;
    QSize size{350, 420};
};

using EUsage = ECliUsage;

QSize sizeOf(const QString &text)
{
    const QStringList parts = text.split(u'x');
    bool okWidth = false;
    bool okHeight = false;
    const QSize size(parts.value(0).toInt(&okWidth), parts.value(1).toInt(&okHeight));
    // Large enough for a plot, small enough that the image fits in memory.
    if (parts.size() != 2 || !okWidth || !okHeight || size.width() < 1 || size.height() < 1 ||
        size.width() > 20000 || size.height() > 20000)
        throw EUsage(QStringLiteral("--size takes WxH, e.g. 350x420: ") + text);
    return size;
}

TCliCommand parseCommand(const QStringList &arguments)
{
    if (arguments.isEmpty())
        throw EUsage(QStringLiteral("no command"));
    TCliCommand command;
    command.verb = arguments.first();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto valueOf = [&]() {
            if (i + 1 >= arguments.size())
                throw EUsage(argument + QStringLiteral(" needs a value"));
            return arguments.at(++i);
        };
        if (argument == u"--rounded")
            command.rounded = true;
        else if (argument == u"--tables")
            command.tablesDir = valueOf();
        else if (argument == u"--set")
            command.overrides.append(valueOf());
        else if (argument == u"--color")
            command.color = true;
        else if (argument == u"--select")
            command.select = valueOf();
        else if (argument == u"--kind")
            command.kind = valueOf();
        else if (argument == u"--size")
            command.size = sizeOf(valueOf());
        else if (argument.startsWith(u"--"))
            throw EUsage(QStringLiteral("unknown option ") + argument);
        else
            command.files.append(argument);
    }
    const QString &verb = command.verb;
    if (!CliCommandNeedsGui(verb) && verb != u"show" && verb != u"save")
        throw EUsage(QStringLiteral("unknown command ") + verb);
    if (command.files.size() != (verb == u"show" ? 1 : 2))
        throw EUsage(QStringLiteral("wrong number of files"));
    if (command.rounded && verb != u"show" && verb != u"graph")
        throw EUsage(QStringLiteral("--rounded goes with show and graph"));
    if ((verb == u"print") != !command.select.isEmpty())
        throw EUsage(QStringLiteral("print needs --select, and only print takes it"));
    if (command.color && verb != u"print")
        throw EUsage(QStringLiteral("--color goes with print"));
    if (verb == u"graph" && command.kind != u"nsw" && command.kind != u"n")
        throw EUsage(QStringLiteral("graph needs --kind nsw or --kind n"));
    if (verb != u"graph" && !command.kind.isEmpty())
        throw EUsage(QStringLiteral("--kind goes with graph"));
    return command;
}

TSetting settingsFor(const TCliCommand &command, const TCliEnvironment &environment)
{
    TSetting setting;
    if (environment.store)
        setting = LoadSettings(*environment.store, environment.documentsDir);
    for (const QString &assignment : command.overrides) {
        const qsizetype equals = assignment.indexOf(u'=');
        if (equals <= 0)
            throw EUsage(QStringLiteral("--set takes SECTION/KEY=VALUE: ") + assignment);
        const QString key = assignment.left(equals);
        try {
            if (!SetSettingValue(setting, key, assignment.mid(equals + 1)))
                throw EUsage(QStringLiteral("no such setting: ") + key);
        } catch (const EConvertError &) {
            throw EUsage(QStringLiteral("not a number: ") + assignment);
        }
    }
    return setting;
}

TReferenceTables tablesFor(const TCliCommand &command, const TCliEnvironment &environment)
{
    TReferenceTables tables;
    const QString folder =
        command.tablesDir.isEmpty() ? environment.defaultTablesDir : command.tablesDir;
    if (!tables.LoadFrom(folder))
        throw ETessmarkError(
            QStringLiteral("Tessmarkを起動できません\n\n"
                           "必要なファイルObsTbl,WeightTblがみつからない、もしくは異常です。\n"
                           "このファイルが含まれているかを確認してください\n"
                           "(%1)")
                .arg(QDir::toNativeSeparators(QDir(folder).filePath("Weighttbl.tbl"))));
    return tables;
}

// The chosen printouts as one PDF document; the file appears only when it is complete.
void print(const TSoundingTest &test, const TCliCommand &command, const TSetting &setting,
           const TReferenceTables &tables, const QString &pictureFolder)
{
    const std::optional<TPrintSelection> parsed = ParsePrintSelection(command.select);
    if (!parsed)
        throw EUsage(QStringLiteral("--select takes names from ") + PrintoutNames().join(u','));
    TPrintSelection selection = *parsed;
    selection.Color = command.color;

    QSaveFile file(command.files.at(1));
    if (!file.open(QIODevice::WriteOnly))
        throw ECantWriteFile();
    {
        QPdfWriter writer(&file);
        SetUpPdfWriter(writer);
        PrintSelected(
            writer, selection,
            TPrintInput{test, setting, tables, DataKindOfFile(test.CurrentFile), pictureFolder});
    }
    if (!file.commit())
        throw ECantWriteFile();
}

// The graph as the graph window draws it on a client area of the given size.
void graph(const TSoundingTest &test, const TCliCommand &command, const TSetting &setting,
           const TReferenceTables &tables)
{
    QImage image(command.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(GraphFont(TPaintTarget::Window));
        TGraphRequest request;
        request.Kind = command.kind == u"n" ? TGraphKind::N : TGraphKind::Nsw;
        request.Target = TPaintTarget::Window;
        // The window lays the torque curve over the normal data only.
        request.Torque = setting.TorqueGraph && !command.rounded;
        DrawGraph(painter, image.rect(), test.DisplayLog, test.TestQuantities, setting, tables,
                  request);
    }
    QSaveFile file(command.files.at(1));
    if (!file.open(QIODevice::WriteOnly))
        throw ECantWriteFile();
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.commit())
        throw ECantWriteFile();
}

} // namespace

TSetting CliSettings(const QStringList &overrides, const TCliEnvironment &environment)
{
    TCliCommand command;
    command.overrides = overrides;
    return settingsFor(command, environment);
}

TReferenceTables CliTables(const QString &tablesDir, const TCliEnvironment &environment)
{
    TCliCommand command;
    command.tablesDir = tablesDir;
    return tablesFor(command, environment);
}

bool CliCommandNeedsGui(const QString &verb)
{
    return verb == u"print" || verb == u"graph" || verb == u"report";
}

int RunCli(const QStringList &arguments, const TCliEnvironment &environment, QTextStream &out,
           QTextStream &err)
{
    if (arguments == QStringList{QStringLiteral("--version")}) {
        out << "tessmark-cli " << kTessmarkVersion << '\n';
        out.flush();
        return 0;
    }
    if (arguments == QStringList{QStringLiteral("--help")} ||
        arguments == QStringList{QStringLiteral("-h")}) {
        out << kUsage << EvaluateUsage();
        out.flush();
        return 0;
    }
    if (arguments.value(0) == u"fetch")
        return RunCliFetch(arguments.mid(1), out, err);
    try {
        if (IsEvaluateCommand(arguments.value(0))) {
            RunEvaluateCommand(arguments, environment, out);
            out.flush();
            return 0;
        }
        const TCliCommand command = parseCommand(arguments);
        const TSetting setting = settingsFor(command, environment);
        const TReferenceTables tables = tablesFor(command, environment);
        TSoundingTest test = OpenTestFile(command.files.at(0), setting, tables);
        // Opening built the rounded log with these very settings: showing it needs no rebuild.
        if (command.rounded)
            CopyLog(test.RoundedLog, test.DisplayLog);
        if (command.verb == u"show")
            WriteTestText(test, setting.NaMode, out);
        else if (command.verb == u"save")
            SaveTestFile(test, command.files.at(1), setting, tables);
        else if (command.verb == u"print")
            print(test, command, setting, tables,
                  command.tablesDir.isEmpty() ? environment.defaultTablesDir : command.tablesDir);
        else
            graph(test, command, setting, tables);
        out.flush();
        return 0;
    } catch (const EUsage &e) {
        err << e.message() << '\n' << kUsage << EvaluateUsage();
        err.flush();
        return 2;
    } catch (const ETessmarkError &e) {
        // Messages use "\r" as their line break on screen; a terminal wants "\n".
        err << QString(e.message()).replace(u'\r', u'\n') << '\n';
        err.flush();
        return 1;
    }
}
