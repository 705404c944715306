#include "cli_evaluate.h"

#include "bearing.h"
#include "cli.h"
#include "cli_command.h"
#include "errors.h"
#include "presentation.h"
#include "reader.h"
#include "reftables.h"
#include "safewrite.h"
#include "settings.h"

#include <QFileInfo>
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
            command.base = ParseCliBaseDepth(valueOf());
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
    if (verb == u"report")
        RequireCliSuffix(command.files.first(), QStringLiteral("pdf"));
    if (verb == u"export")
        RequireCliSuffix(command.files.last(), QStringLiteral("csv"));
    return command;
}

void RequireCliSuffix(const QString &path, const QString &suffix)
{
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        throw ECliUsage(QStringLiteral("the file must end in .") + suffix + QStringLiteral(": ") +
                        path);
}

int ParseCliBaseDepth(const QString &text)
{
    const std::optional<int> base = ParseBaseDepth(text);
    if (!base)
        throw ECliUsage(
            QStringLiteral("--base takes metres from 0 to 99.99 with at most two decimals: ") +
            text);
    return *base;
}

int BaseDepthOf(const TEvaluateCommand &command, const TSetting &setting)
{
    return BaseDepthOf(command.base, setting);
}

int BaseDepthOf(const std::optional<int> &base, const TSetting &setting)
{
    if (base)
        return *base;
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

// A text that a spreadsheet program would take as a formula starts with one of these.
bool looksLikeFormula(const QString &text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    double number = 0;
    return !text.isEmpty() && starts.contains(text.front()) && !TryStrToFloat(text, number);
}

QString csvField(const QString &cell)
{
    // A leading apostrophe makes spreadsheet programs show such a cell as text instead of
    // computing it; numbers, negative ones included, stay numbers.
    const QString text = looksLikeFormula(cell) ? u'\'' + cell : cell;
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
    WriteFileAtomically(command.files.last(), text.toUtf8());
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
