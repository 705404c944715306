#include "cli_archive.h"

#include "archiveentry.h"
#include "catalogue.h"
#include "cli.h"
#include "cli_command.h"
#include "reader.h"
#include "reftables.h"
#include "safewrite.h"
#include "settings.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>

namespace {

struct TArchiveCommand
{
    QString action;
    QStringList files;
    QString database;
    bool databaseGiven = false;
    QString tablesDir;
    QStringList overrides;
    TArchiveQuery query;
};

QDate dateArgument(const QString &option, const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!shape.match(text).hasMatch() || !date.isValid())
        throw ECliUsage(option + QStringLiteral(" takes a date YYYY-MM-DD: ") + text);
    return date;
}

TGeoPosition nearArgument(const QString &text)
{
    const std::optional<TGeoPosition> place = ParseDecimalPlace(text);
    if (!place)
        throw ECliUsage(
            QStringLiteral("--near takes LAT,LON in decimal degrees (south and west negative): ") +
            text);
    return *place;
}

TArchiveCommand parseArchiveCommand(const QStringList &arguments)
{
    TArchiveCommand command;
    command.action = arguments.value(1);
    bool radiusGiven = false;
    bool searchGiven = false;
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto valueOf = [&]() {
            if (i + 1 >= arguments.size())
                throw ECliUsage(argument + QStringLiteral(" needs a value"));
            return arguments.at(++i);
        };
        searchGiven = searchGiven || argument == u"--text" || argument == u"--from" ||
                      argument == u"--to" || argument == u"--near" || argument == u"--radius" ||
                      argument == u"--limit";
        if (argument == u"--database") {
            command.database = valueOf();
            command.databaseGiven = true;
        } else if (argument == u"--tables") {
            command.tablesDir = valueOf();
        } else if (argument == u"--set") {
            command.overrides.append(valueOf());
        } else if (argument == u"--text") {
            command.query.Text = valueOf();
        } else if (argument == u"--from") {
            command.query.From = dateArgument(argument, valueOf());
        } else if (argument == u"--to") {
            command.query.To = dateArgument(argument, valueOf());
        } else if (argument == u"--near") {
            command.query.Near = nearArgument(valueOf());
        } else if (argument == u"--radius") {
            const QString text = valueOf();
            bool ok = false;
            command.query.Radius = text.toDouble(&ok);
            if (!ok || !(command.query.Radius > 0) || command.query.Radius > 100000)
                throw ECliUsage(QStringLiteral("--radius takes metres, above 0 and at most "
                                               "100000: ") +
                                text);
            radiusGiven = true;
        } else if (argument == u"--limit") {
            const QString text = valueOf();
            bool ok = false;
            command.query.Limit = text.toInt(&ok);
            if (!ok || command.query.Limit < 0)
                throw ECliUsage(QStringLiteral("--limit takes a count: ") + text);
        } else if (argument.startsWith(u"--")) {
            throw ECliUsage(QStringLiteral("unknown option ") + argument);
        } else {
            command.files.append(argument);
        }
    }
    const QString &action = command.action;
    const qsizetype files = command.files.size();
    if (action != u"add" && action != u"find" && action != u"get" && action != u"import" &&
        action != u"refresh")
        throw ECliUsage(QStringLiteral("archive takes add, find, get, import or refresh"));
    if ((action == u"add" && files < 1) || (action == u"get" && files != 2) ||
        (action == u"import" && files != 1) ||
        ((action == u"find" || action == u"refresh") && files != 0))
        throw ECliUsage(QStringLiteral("wrong number of arguments for archive ") + action);
    if (searchGiven && action != u"find")
        throw ECliUsage(QStringLiteral("--text, --from, --to, --near, --radius and --limit go "
                                       "with archive find"));
    if (radiusGiven && !command.query.Near)
        throw ECliUsage(QStringLiteral("--radius goes with --near"));
    if (!command.tablesDir.isEmpty() && (action == u"find" || action == u"get"))
        throw ECliUsage(QStringLiteral("--tables goes with add, import and refresh"));
    return command;
}

TCatalogueLocation locationOf(const TArchiveCommand &command, const TSetting &setting,
                              const TCliEnvironment &environment)
{
    return CliCatalogueLocation(command.databaseGiven ? std::optional(command.database)
                                                      : std::nullopt,
                                setting, environment);
}

QString findLine(const TArchiveHit &hit)
{
    const TArchiveEntry &e = hit.Entry;
    const TArchiveFigures &f = e.Figures;
    const auto degrees = [&](double TGeoPosition::*part) {
        return f.Position ? QString::asprintf("%.7f", (*f.Position).*part) : QStringLiteral("-");
    };
    const QString path = ArchivedPath(e);
    return QStringList{
        QString::number(e.Id),
        hit.Distance ? QString::asprintf("%.2f", *hit.Distance) : QStringLiteral("-"),
        f.TestedAt.isEmpty() ? QStringLiteral("-") : f.TestedAt,
        CliField(f.Code),
        QString::asprintf("%.2d", f.Point),
        degrees(&TGeoPosition::Latitude),
        degrees(&TGeoPosition::Longitude),
        ArchiveMetresText(f.FinalDepth),
        ArchiveTenthsText(f.MeanNswTenths),
        ArchiveTenthsText(f.QaTenths),
        CliField(QDir::toNativeSeparators(path)),
    }
        .join(u'\t');
}

// The data files under `folder`, in a steady order.
QStringList dataFilesUnder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        throw ETessmarkError(
            QStringLiteral("フォルダー %1 がありません").arg(QDir::toNativeSeparators(folder)));
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (IsReadableDataFile(path))
            files.append(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Adds every file, one line each; a file that is not a readable test is named and skipped, a
// catalogue that fails stops the run (what was added stays). Answers 1 when a file was skipped.
int addFiles(TCatalogue &catalogue, const QStringList &files, const TSetting &setting,
             const TReferenceTables &tables, QTextStream &out, QTextStream &err, bool showProgress)
{
    int status = 0;
    qsizetype done = 0;
    const auto progress = [&]() {
        if (showProgress) {
            err << "\rarchive import: " << done << '/' << files.size();
            if (done == files.size())
                err << '\n';
            err.flush();
        }
    };
    for (const QString &file : files) {
        try {
            const TArchiveAdded added = ArchiveTestFile(catalogue, file, setting, tables);
            out << (added.Known ? "known\t" : "added\t") << added.Id << '\t' << CliField(file)
                << '\n';
            out.flush();
        } catch (const ECatalogueError &) {
            if (showProgress)
                err << '\n';
            throw;
        } catch (const ETessmarkError &e) {
            if (showProgress)
                err << '\n';
            err << "tessmark-cli: " << QString(e.message()).replace(u'\r', u'\n') << '\n';
            err.flush();
            status = 1;
        }
        ++done;
        // About a hundred updates over a run, so a terminal is not flooded.
        if (done == files.size() || done % std::max<qsizetype>(1, files.size() / 100) == 0)
            progress();
    }
    return status;
}

} // namespace

TCatalogueLocation CliCatalogueLocation(const std::optional<QString> &database,
                                        const TSetting &setting, const TCliEnvironment &environment)
{
    const QString dataFolder =
        environment.dataFolder.isEmpty() ? ProgramDataFolder() : environment.dataFolder;
    try {
        return ParseCatalogueUrl(database.value_or(setting.ArchiveDatabase), dataFolder);
    } catch (const ECatalogueError &e) {
        if (database)
            throw ECliUsage(e.message());
        throw;
    }
}

QString ArchiveUsage()
{
    return QStringLiteral(
        "  tessmark-cli archive add FILE... [--database URL] [--tables DIR] [--set ...]\n"
        "  tessmark-cli archive find [--text T] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
        "      [--near LAT,LON] [--radius M] [--limit N] [--database URL] [--set ...]\n"
        "  tessmark-cli archive get ID OUT [--database URL] [--set ...]\n"
        "  tessmark-cli archive import DIR [--database URL] [--tables DIR] [--set ...]\n"
        "  tessmark-cli archive refresh [--database URL] [--tables DIR] [--set ...]\n"
        "      URL: PATH, sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME[?host=/socket/dir]\n");
}

int RunArchiveCommand(const QStringList &arguments, const TCliEnvironment &environment,
                      QTextStream &out, QTextStream &err)
{
    const TArchiveCommand command = parseArchiveCommand(arguments);
    const TSetting setting = CliSettings(command.overrides, environment);
    const TCatalogueLocation location = locationOf(command, setting, environment);
    const QString &action = command.action;
    if (action == u"get") {
        bool ok = false;
        const qint64 id = command.files.first().toLongLong(&ok);
        if (!ok || id <= 0)
            throw ECliUsage(QStringLiteral("archive get takes a test's number: ") +
                            command.files.first());
        TCatalogue catalogue(location);
        WriteFileAtomically(command.files.last(), catalogue.Bytes(id));
        return 0;
    }
    if (action == u"find") {
        TCatalogue catalogue(location);
        for (const TArchiveHit &hit : catalogue.Find(command.query))
            out << findLine(hit) << '\n';
        out.flush();
        return 0;
    }
    const TReferenceTables tables = CliTables(command.tablesDir, environment);
    // Files are read before the catalogue is opened, so a missing folder is told first.
    const QStringList files =
        action == u"import" ? dataFilesUnder(command.files.first()) : command.files;
    TCatalogue catalogue(location);
    if (action == u"refresh") {
        const qint64 changed = RefreshArchive(catalogue, setting, tables);
        out << "refreshed\t" << changed << '\n';
        out.flush();
        return 0;
    }
    return addFiles(catalogue, files, setting, tables, out, err,
                    action == u"import" && environment.errIsTerminal);
}
