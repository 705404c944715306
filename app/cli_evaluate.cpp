#include "cli_evaluate.h"

#include "bearing.h"
#include "cli.h"
#include "cli_command.h"
#include "presentation.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

TEvaluateCommand ParseEvaluateCommand(const QStringList &arguments)
{
    TEvaluateCommand command;
    command.verb = arguments.first();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto valueOf = [&]() {
            if (i + 1 >= arguments.size())
                throw ECliUsage(argument + QStringLiteral(" needs a value"));
            return arguments.at(++i);
        };
        if (argument == u"--base") {
            const QString text = valueOf();
            command.base = ParseBaseDepth(text);
            if (!command.base)
                throw ECliUsage(QStringLiteral("--base takes metres from 0 to 99.99 with at most "
                                               "two decimals: ") +
                                text);
        } else if (argument == u"--title") {
            command.title = valueOf();
            command.titleGiven = true;
        } else if (argument == u"--rounded") {
            command.rounded = true;
        } else if (argument == u"--color") {
            command.color = true;
        } else if (argument == u"--tables") {
            command.tablesDir = valueOf();
        } else if (argument == u"--set") {
            command.overrides.append(valueOf());
        } else if (argument.startsWith(u"--")) {
            throw ECliUsage(QStringLiteral("unknown option ") + argument);
        } else {
            command.files.append(argument);
        }
    }
    const QString &verb = command.verb;
    const qsizetype files = command.files.size();
    if ((verb == u"evaluate" && files != 1) || (verb == u"export" && files != 2) ||
        (verb == u"report" && files < 2))
        throw ECliUsage(QStringLiteral("wrong number of files"));
    if (command.base && verb == u"export")
        throw ECliUsage(QStringLiteral("--base goes with evaluate and report"));
    if ((command.titleGiven || command.color) && verb != u"report")
        throw ECliUsage(QStringLiteral("--title and --color go with report"));
    if (command.rounded && verb != u"export")
        throw ECliUsage(QStringLiteral("--rounded goes with export here"));
    // The output must not be mistaken for a data file: a slip in the argument order would
    // otherwise overwrite a test.
    const auto requireSuffix = [](const QString &path, const char *suffix) {
        if (QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) != 0)
            throw ECliUsage(QStringLiteral("the output file must end in .") +
                            QLatin1String(suffix) + QStringLiteral(": ") + path);
    };
    if (verb == u"report")
        requireSuffix(command.files.first(), "pdf");
    if (verb == u"export")
        requireSuffix(command.files.last(), "csv");
    return command;
}

int BaseDepthOf(const TEvaluateCommand &command, const TSetting &setting)
{
    if (command.base)
        return *command.base;
    return ParseBaseDepth(setting.BaseDepth).value_or(kDefaultBaseDepthCm);
}

namespace {

void evaluate(const TEvaluateCommand &command, const TSetting &setting,
              const TReferenceTables &tables, QTextStream &out)
{
    const TSoundingTest test = OpenTestFile(command.files.first(), setting, tables);
    const TBearingResult result = EvaluateBearing(test.RoundedLog, BaseDepthOf(command, setting));
    for (const auto &[key, value] : BearingFigures(result))
        out << key << '\t' << value << '\n';
}

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QStringLiteral("\"%1\"").arg(quoted);
}

void exportCsv(const TEvaluateCommand &command, const TSetting &setting,
               const TReferenceTables &tables)
{
    const TSoundingTest test = OpenTestFile(command.files.first(), setting, tables);
    const Tkannyu &log = command.rounded ? test.RoundedLog : test.NormalLog;
    const auto line = [](const QStringList &cells) -> QString {
        QStringList fields;
        for (const QString &cell : cells)
            fields.append(csvField(cell));
        return fields.join(u',') + QStringLiteral("\r\n");
    };
    // A byte-order mark, so spreadsheet programs read the Japanese texts as UTF-8.
    QString text = QChar(0xFEFF) + line(GridHeaderTexts());
    for (int i = 1; i <= log.Count; ++i)
        text += line(GridRowTexts(log.row(i), setting.NaMode));
    QSaveFile file(command.files.last());
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw ECantWriteFile::Of(file);
}

} // namespace

bool IsEvaluateCommand(const QString &verb)
{
    return verb == u"evaluate" || verb == u"report" || verb == u"export";
}

QString EvaluateUsage()
{
    return QStringLiteral(
        "  tessmark-cli evaluate FILE [--base M] [--tables DIR] [--set ...]\n"
        "  tessmark-cli report OUT.pdf FILE... [--base M] [--title TEXT] [--color]\n"
        "      [--tables DIR] [--set ...]\n"
        "  tessmark-cli export FILE OUT.csv [--rounded] [--tables DIR] [--set ...]\n"
        "      M: foundation base depth in metres (default: the remembered one, else 0.50)\n");
}

void RunEvaluateCommand(const QStringList &arguments, const TCliEnvironment &environment,
                        QTextStream &out)
{
    const TEvaluateCommand command = ParseEvaluateCommand(arguments);
    const TSetting setting = CliSettings(command.overrides, environment);
    const TReferenceTables tables = CliTables(command.tablesDir, environment);
    if (command.verb == u"evaluate")
        evaluate(command, setting, tables, out);
    else
        exportCsv(command, setting, tables);
}
