#include "cli.h"

#include "derived.h"
#include "errors.h"
#include "presentation.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"
#include "writer.h"

#include <QDir>
#include <QTextStream>

namespace {

const char *const kUsage =
    "usage:\n"
    "  tessmark-cli show FILE [--rounded] [--tables DIR] [--set SECTION/KEY=VALUE]...\n"
    "  tessmark-cli save FILE OUT [--tables DIR] [--set SECTION/KEY=VALUE]...\n";

// The parsed command line.
struct TCliCommand
{
    QString verb;
    QStringList files;
    QString tablesDir;
    QStringList overrides;
    bool rounded = false;
};

class EUsage : public ETessmarkError
{
public:
    using ETessmarkError::ETessmarkError;
};

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
        else if (argument.startsWith(u"--"))
            throw EUsage(QStringLiteral("unknown option ") + argument);
        else
            command.files.append(argument);
    }
    const qsizetype wanted = command.verb == u"show" ? 1 : command.verb == u"save" ? 2 : -1;
    if (wanted < 0)
        throw EUsage(QStringLiteral("unknown command ") + command.verb);
    if (command.files.size() != wanted)
        throw EUsage(QStringLiteral("wrong number of files"));
    if (command.rounded && command.verb != u"show")
        throw EUsage(QStringLiteral("--rounded goes with show"));
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

// The header panel and the grid as the main window shows the test.
void show(const TSoundingTest &test, const TSetting &setting, QTextStream &out)
{
    const Tkannyu &log = test.DisplayLog;
    out << TestCodeText(log) << '\n'
        << PointNoText(log) << '\n'
        << TestTimeText(log) << '\n'
        << FinalDepthText(log) << '\n'
        << GpsText(test.TestGps) << '\n'
        << '\n'
        << GridHeaderTexts().join(u'\t') << '\n';
    for (int i = 1; i <= log.Count; ++i)
        out << GridRowTexts(log.row(i), setting.NaMode).join(u'\t') << '\n';
}

} // namespace

int RunCli(const QStringList &arguments, const TCliEnvironment &environment, QTextStream &out,
           QTextStream &err)
{
    try {
        const TCliCommand command = parseCommand(arguments);
        const TSetting setting = settingsFor(command, environment);
        const TReferenceTables tables = tablesFor(command, environment);
        TSoundingTest test = OpenTestFile(command.files.at(0), setting, tables);
        if (command.verb == u"show") {
            if (command.rounded)
                ShowRoundedView(test, setting, tables);
            show(test, setting, out);
        } else {
            SaveTestFile(test, command.files.at(1), setting, tables);
        }
        out.flush();
        return 0;
    } catch (const EUsage &e) {
        err << e.message() << '\n' << kUsage;
        err.flush();
        return 2;
    } catch (const ETessmarkError &e) {
        // Messages use "\r" as their line break on screen; a terminal wants "\n".
        err << QString(e.message()).replace(u'\r', u'\n') << '\n';
        err.flush();
        return 1;
    }
}
