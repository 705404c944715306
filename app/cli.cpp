#include "cli.h"
#include "cli_command.h"

#include "cli_archive.h"
#include "cli_evaluate.h"
#include "cli_site.h"
#include "derived.h"
#include "errors.h"
#include "presentation.h"
#include "programfiles.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"
#include "settingsstore.h"
#include "tessmark_version.h"
#include "writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

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

using EUsage = ECliUsage;

} // namespace

QSize ParseCliSize(const QString &text)
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

TCliCommand ParseCliCommand(const QStringList &arguments)
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
            command.size = ParseCliSize(valueOf());
        else if (argument.startsWith(u"--"))
            throw EUsage(QStringLiteral("unknown option ") + argument);
        else
            command.files.append(argument);
    }
    const QString &verb = command.verb;
    if (!CliCommandNeedsGui({verb}) && verb != u"show" && verb != u"save")
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

TSetting CliSettings(const QStringList &overrides, const TCliEnvironment &environment)
{
    TSetting setting;
    if (environment.store)
        setting = LoadSettings(*environment.store, environment.documentsDir);
    for (const QString &assignment : overrides) {
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

QString CliTablesFolder(const QString &tablesDir, const TCliEnvironment &environment)
{
    return tablesDir.isEmpty() ? environment.defaultTablesDir : tablesDir;
}

TReferenceTables CliTables(const QString &tablesDir, const TCliEnvironment &environment)
{
    TReferenceTables tables;
    const QString folder = CliTablesFolder(tablesDir, environment);
    if (!tables.LoadFrom(folder))
        throw ETessmarkError(
            QStringLiteral("Tessmarkを起動できません\n\n"
                           "必要なファイルObsTbl,WeightTblがみつからない、もしくは異常です。\n"
                           "このファイルが含まれているかを確認してください\n"
                           "(%1)")
                .arg(QDir::toNativeSeparators(QDir(folder).filePath("Weighttbl.tbl"))));
    return tables;
}

bool CliCommandNeedsGui(const QStringList &arguments)
{
    const QString verb = arguments.value(0);
    return verb == u"print" || verb == u"graph" || verb == u"report" ||
           (verb == u"site" && IsSiteDrawingAction(arguments.value(1)));
}

bool CliCommandIsDrawing(const QStringList &arguments)
{
    return CliCommandNeedsGui(arguments) || arguments.value(0) == u"fetch";
}

QString CliUsage()
{
    return QString::fromLatin1(kUsage) + EvaluateUsage() + SiteUsage() + ArchiveUsage();
}

QString CliField(QString text)
{
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return text;
}

int RunCliGuarded(QTextStream &out, QTextStream &err, const std::function<void()> &work)
{
    try {
        work();
        out.flush();
        return 0;
    } catch (const EUsage &e) {
        err << e.message() << '\n' << CliUsage();
        err.flush();
        return 2;
    } catch (const ETessmarkError &e) {
        // Messages use "\r" as their line break on screen; a terminal wants "\n".
        err << QString(e.message()).replace(u'\r', u'\n') << '\n';
        err.flush();
        return 1;
    }
}

TSoundingTest OpenCliTest(const TCliCommand &command, const TSetting &setting,
                          const TReferenceTables &tables)
{
    TSoundingTest test = OpenTestFile(command.files.at(0), setting, tables);
    // Opening built the rounded log with these very settings: showing it needs no rebuild.
    if (command.rounded)
        CopyLog(test.RoundedLog, test.DisplayLog);
    return test;
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
        out << CliUsage();
        out.flush();
        return 0;
    }
    if (CliCommandIsDrawing(arguments)) {
        if (!environment.runDrawing) {
            err << "tessmark-cli: " << arguments.value(0) << " is not available here\n";
            err.flush();
            return 1;
        }
        return environment.runDrawing(arguments, environment, out, err);
    }
    if (arguments.value(0) == u"archive") {
        int status = 0;
        const int failed = RunCliGuarded(
            out, err, [&] { status = RunArchiveCommand(arguments, environment, out, err); });
        return failed ? failed : status;
    }
    return RunCliGuarded(out, err, [&] {
        if (IsEvaluateCommand(arguments.value(0))) {
            RunEvaluateCommand(arguments, environment, out);
            return;
        }
        if (arguments.value(0) == u"site") {
            RunSiteCommand(arguments, environment, out, err);
            return;
        }
        const TCliCommand command = ParseCliCommand(arguments);
        const TSetting setting = CliSettings(command.overrides, environment);
        const TReferenceTables tables = CliTables(command.tablesDir, environment);
        TSoundingTest test = OpenCliTest(command, setting, tables);
        if (command.verb == u"show")
            WriteTestText(test, setting.NaMode, out);
        else
            SaveTestFile(test, command.files.at(1), setting, tables);
    });
}

namespace {

// tessmark-cli's folder, also when asked from tessmark-cli-draw in <prefix>/libexec/tessmark.
QString cliToolFolder()
{
    const QString here = QCoreApplication::applicationDirPath();
    if (here.endsWith(QLatin1String("/libexec/tessmark")))
        return QDir::cleanPath(here + QLatin1String("/../../bin"));
    return here;
}

} // namespace

int RunCliProgram(TCliRunner runDrawing)
{
    // The desktop program's settings, so both agree on NaMode, the removal options and so on.
    const std::unique_ptr<TSettingsStore> store(OpenSettingsStore(QStringLiteral("tessmark")));
    TCliEnvironment environment;
    environment.store = store.get();
    if (!store->problem().isEmpty())
        QTextStream(stderr) << QStringLiteral(
                                   "tessmark-cli: 設定を読めないため既定の設定を使います: ")
                            << store->problem() << u'\n';
    environment.documentsDir = DocumentsFolder();
    // The tables and the header picture lie together: beside the program or in its share folder.
    environment.defaultTablesDir =
        ProgramFilesFolder(cliToolFolder(), QStringLiteral("Weighttbl.tbl"));
    environment.runDrawing = runDrawing;
    QFile input;
    if (input.open(stdin, QIODevice::ReadOnly))
        environment.input = &input;
#ifdef Q_OS_UNIX
    environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(QCoreApplication::arguments().mid(1), environment, out, err);
}

QString CliDrawingProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("tessmark-cli-draw"));
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(here.filePath(QStringLiteral("../libexec/tessmark/tessmark-cli-draw")));
}

int RunCliDrawingProgram(const QStringList &arguments, const TCliEnvironment &, QTextStream &out,
                         QTextStream &err)
{
    const QString program = CliDrawingProgram();
    out.flush();
#ifdef Q_OS_UNIX
    // The drawing program takes over this process: same streams, same exit status.
    const QByteArray path = QFile::encodeName(program);
    QList<QByteArray> encoded{path};
    for (const QString &argument : arguments)
        encoded.append(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(path.constData(), argv.data());
    err << "tessmark-cli: " << program << ": " << QString::fromLocal8Bit(std::strerror(errno))
        << '\n';
    err.flush();
    return 1;
#else
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(-1)) {
        err << "tessmark-cli: " << program << ": " << process.errorString() << '\n';
        err.flush();
        return 1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 1;
#endif
}
