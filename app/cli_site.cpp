#include "cli_site.h"

#include "bearing.h"
#include "cli.h"
#include "cli_command.h"
#include "cli_site_survey.h"
#include "reftables.h"
#include "settings.h"
#include "site.h"
#include "sitefile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

// A position typed as "X,Y", or "-" for the GPS one.
std::optional<QPointF> positionArgument(const QString &text)
{
    if (text == u"-")
        return std::nullopt;
    const QStringList parts = text.split(u',');
    const std::optional<double> x = ParseSiteMetres(parts.value(0));
    const std::optional<double> y = ParseSiteMetres(parts.value(1));
    if (parts.size() != 2 || !x || !y)
        throw ECliUsage(QStringLiteral("--xy takes X,Y in metres, or - for the GPS position: ") +
                        text);
    return QPointF(*x, *y);
}

std::optional<double> groundArgument(const QString &text)
{
    if (text == u"-")
        return std::nullopt;
    const std::optional<double> metres = ParseSiteMetres(text);
    if (!metres)
        throw ECliUsage(QStringLiteral("--ground takes metres, or - for the GPS level: ") + text);
    return metres;
}

QString tenths(const TSitePointFigures &point, int TBearingResult::*value)
{
    if (!point.Result || !point.Result->Covered)
        return QStringLiteral("-");
    return TenthsText((*point.Result).*value);
}

QString thickness(const TSitePointFigures &point, int cm)
{
    return point.Result ? MetresText(cm) : QStringLiteral("-");
}

void makeSite(const TSiteCommand &command, const TSetting &setting, const TReferenceTables &tables)
{
    const QString path = command.files.first();
    if (QFileInfo::exists(path))
        throw ETessmarkError(
            QStringLiteral("現場ファイル %1 はすでにあります").arg(QDir::toNativeSeparators(path)));
    TSiteData data;
    data.Site.Name = command.name.value_or(QFileInfo(path).completeBaseName());
    data.Site.BaseDepth = BaseDepthOf(command.base, setting);
    for (const QString &file : command.files.mid(1))
        data.AddPoint(file, setting, tables);
    const QStringList problems = data.TestProblems();
    if (!problems.isEmpty())
        throw ETessmarkError(problems.join(u'\n'));
    WriteSiteFile(data.Site, path);
}

// The points' particulars, for those that have any: a "survey" line each and a "photo" line
// per photo, after the figures so the lines scripts read before stay as they were.
void printPointSurveys(const TSite &site, const QDir &folder, QTextStream &out)
{
    for (const TSiteTestPoint &point : site.Points) {
        const TPointSurvey &s = point.Survey;
        if (s == TPointSurvey())
            continue;
        out << "survey\t" << CliField(point.Label) << '\t' << CliField(s.Weather) << '\t'
            << CliField(s.Tester) << '\t' << WaterLevelKey(s.Water) << '\t'
            << EndReasonKey(s.EndReason) << '\t' << CliField(s.EndNote) << '\t' << CliField(s.Note)
            << '\n';
        for (const TSitePhoto &photo : s.Photos)
            out << "photo\t" << CliField(point.Label) << '\t'
                << CliField(QDir::fromNativeSeparators(folder.relativeFilePath(photo.File))) << '\t'
                << CliField(photo.Caption) << '\n';
    }
}

void showSite(const TSiteCommand &command, const TSetting &setting, const TReferenceTables &tables,
              QTextStream &out, QTextStream &err)
{
    const QString path = command.files.first();
    const TSiteData data = ReadSiteWithTests(path, setting, tables);
    const QString folder = QFileInfo(path).absolutePath();
    const TSiteFigures &figures = data.Figures;
    for (qsizetype i = 0; i < data.Site.Points.size(); ++i) {
        const TSiteTestPoint &point = data.Site.Points.at(i);
        const TSitePointFigures &f = figures.Points.at(i);
        const std::optional<double> x =
            f.Position ? std::optional<double>(f.Position->x()) : std::nullopt;
        const std::optional<double> y =
            f.Position ? std::optional<double>(f.Position->y()) : std::nullopt;
        out << "point\t" << CliField(point.Label) << '\t'
            << CliField(SiteFileReference(point, folder)) << '\t' << SiteMetresText(x) << '\t'
            << SiteMetresText(y) << '\t' << SiteMetresText(f.Ground) << '\t'
            << tenths(f, &TBearingResult::MeanNswTenths) << '\t'
            << tenths(f, &TBearingResult::QaTenths) << '\t' << thickness(f, f.UpperThickness)
            << '\t' << thickness(f, f.LowerThickness) << '\n';
    }
    for (qsizetype i = 0; i < figures.Pairs.size(); ++i) {
        const TSitePairFigures &pair = figures.Pairs.at(i);
        out << "pair\t" << CliField(data.Site.Points.at(i).Label) << '\t'
            << CliField(data.Site.Points.at(i + 1).Label) << '\t' << SiteMetresText(pair.Distance)
            << '\t' << SiteMetresText(pair.BottomDifference) << '\t'
            << SitePermilleText(pair.SlopePermille) << '\n';
    }
    printPointSurveys(data.Site, folder, out);
    out.flush();
    // What the GPS records could not give, and positions far from the others, are told; a test
    // that cannot be read fails the command after the figures of the others.
    for (qsizetype i = 0; i < data.Site.Points.size(); ++i) {
        const QString &label = data.Site.Points.at(i).Label;
        if (data.Tests.at(i).Test) {
            for (const QString &problem : figures.Points.at(i).Problems)
                err << "tessmark-cli: " << label << ": " << problem << '\n';
        }
        if (const std::optional<TSiteFarPoint> far = figures.FarPoint(i))
            err << "tessmark-cli: " << label << ": " << FarPointText(*far) << '\n';
    }
    err.flush();
    const QStringList problems = data.TestProblems();
    if (!problems.isEmpty())
        throw ETessmarkError(problems.join(u'\n'));
}

void setPoint(const TSiteCommand &command, const TSetting &setting, const TReferenceTables &tables,
              QTextStream &out)
{
    const QString path = command.files.first();
    const QString &label = command.files.at(1);
    TSiteData data = ReadSiteWithTests(path, setting, tables);
    const qsizetype index = FindPointLabel(data.Site, label);
    if (index == -1)
        throw ETessmarkError(QStringLiteral("測点 %1 はこの現場にありません").arg(label));
    if (index == -2)
        throw ETessmarkError(QStringLiteral("測点名 %1 の測点が複数あります").arg(label));
    TSiteTestPoint &point = data.Site.Points[index];
    if (command.label) {
        const QString problem = LabelProblem(data.Site, index, *command.label);
        if (!problem.isEmpty())
            throw ETessmarkError(problem);
        point.Label = *command.label;
    }
    if (command.position)
        point.TypedPosition = *command.position;
    if (command.ground)
        point.TypedGround = *command.ground;
    ApplyPointSurvey(point.Survey, command.survey, command.noPhotos);
    WriteSiteFile(data.Site, path);

    // Say so when a typed value now stands in place of what the GPS gives.
    data.Recompute();
    const TSitePointFigures &f = data.Figures.Points.at(index);
    if (command.position && *command.position && f.GpsPosition)
        out << point.Label << ": "
            << QStringLiteral("GPSの位置 (%1, %2) に代えて入力した位置を使います")
                   .arg(SiteMetresText(f.GpsPosition->x()), SiteMetresText(f.GpsPosition->y()))
            << '\n';
    if (command.ground && *command.ground && f.GpsGround)
        out << point.Label << ": "
            << QStringLiteral("GPSの地盤高 %1 m に代えて入力した地盤高を使います")
                   .arg(SiteMetresText(*f.GpsGround))
            << '\n';
}

// Prints the site's particulars, or sets those given.
void siteInfo(const TSiteCommand &command, const TCliEnvironment &environment, QTextStream &out)
{
    const QString path = command.files.first();
    TSite site = ReadSiteFile(path);
    if (command.survey.isEmpty()) {
        PrintSiteInfo(site, out);
        return;
    }
    ApplySiteInfo(site.Survey, command.survey, environment.input);
    WriteSiteFile(site, path);
}

} // namespace

bool IsSiteDrawingAction(const QString &action)
{
    return action == u"report" || action == u"plan" || action == u"section";
}

QString SiteUsage()
{
    return QStringLiteral(
        "  tessmark-cli site new SITE.tsite FILE... [--base M] [--name TEXT] [--tables DIR]\n"
        "      [--set ...]\n"
        "  tessmark-cli site show SITE.tsite [--tables DIR] [--set ...]\n"
        "  tessmark-cli site info SITE.tsite [--client T] [--address T] [--company T]\n"
        "      [--engineer T] [--building T] [--foundation T]\n"
        "      [--equipment manual|semi-auto|auto] [--equipment-name T]\n"
        "      [--report-date YYYY-MM-DD|-] [--findings T|-]\n"
        "  tessmark-cli site set SITE.tsite LABEL [--xy X,Y|-] [--ground Z|-] [--label NEW]\n"
        "      [--weather T] [--tester T] [--water M|none|unmeasured]\n"
        "      [--end-reason depth|refusal|obstacle|other] [--end-note T]\n"
        "      [--photo FILE[,CAPTION]]... [--no-photos] [--note T]\n"
        "  tessmark-cli site report SITE.tsite OUT.pdf [--color] [--database URL|--no-nearby]\n"
        "      [--tables DIR] [--set ...]\n"
        "  tessmark-cli site plan SITE.tsite OUT.png [--size WxH] [--color] [--tables DIR]\n"
        "      [--set ...]\n"
        "  tessmark-cli site section SITE.tsite OUT.png [--size WxH] [--color] [--tables DIR]\n"
        "      [--set ...]\n"
        "      X, Y, Z: metres east, north and up; - goes back to the test's GPS value\n"
        "      site info without options prints KEY<TAB>VALUE lines; --findings takes \\n for\n"
        "      a line break, or - to read the text from standard input\n");
}

TSiteCommand ParseSiteCommand(const QStringList &arguments)
{
    TSiteCommand command;
    command.action = arguments.value(1);
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto valueOf = [&]() {
            if (i + 1 >= arguments.size())
                throw ECliUsage(argument + QStringLiteral(" needs a value"));
            return arguments.at(++i);
        };
        if (argument == u"--base") {
            command.base = ParseCliBaseDepth(valueOf());
        } else if (argument == u"--name") {
            command.name = valueOf();
        } else if (argument == u"--xy") {
            command.position = positionArgument(valueOf());
        } else if (argument == u"--ground") {
            command.ground = groundArgument(valueOf());
        } else if (argument == u"--label") {
            command.label = valueOf();
        } else if (IsSiteInfoOption(argument) || IsPointSurveyOption(argument)) {
            command.survey.append({argument, valueOf()});
        } else if (argument == u"--no-photos") {
            command.noPhotos = true;
        } else if (argument == u"--color") {
            command.color = true;
        } else if (argument == u"--size") {
            command.size = ParseCliSize(valueOf());
        } else if (argument == u"--database") {
            command.database = valueOf();
        } else if (argument == u"--no-nearby") {
            command.noNearby = true;
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

    const QString &action = command.action;
    const qsizetype files = command.files.size();
    if (action != u"new" && action != u"show" && action != u"info" && action != u"set" &&
        !IsSiteDrawingAction(action))
        throw ECliUsage(QStringLiteral("site takes new, show, info, set, report, plan or section"));
    if ((action == u"new" && files < 2) ||
        ((action == u"show" || action == u"info") && files != 1) ||
        ((action == u"set" || IsSiteDrawingAction(action)) && files != 2))
        throw ECliUsage(QStringLiteral("wrong number of files"));
    if ((command.base || command.name) && action != u"new")
        throw ECliUsage(QStringLiteral("--base and --name go with site new"));
    for (const auto &[option, value] : command.survey) {
        if (IsSiteInfoOption(option) && action != u"info")
            throw ECliUsage(option + QStringLiteral(" goes with site info"));
        if (IsPointSurveyOption(option) && action != u"set")
            throw ECliUsage(option + QStringLiteral(" goes with site set"));
    }
    const bool edits = command.position || command.ground || command.label || command.noPhotos ||
                       (action == u"set" && !command.survey.isEmpty());
    if (edits != (action == u"set"))
        throw ECliUsage(QStringLiteral("site set needs at least one of its options, and only it "
                                       "takes --xy, --ground, --label and --no-photos"));
    if (command.color && !IsSiteDrawingAction(action))
        throw ECliUsage(QStringLiteral("--color goes with site report, plan and section"));
    if (command.size && action != u"plan" && action != u"section")
        throw ECliUsage(QStringLiteral("--size goes with site plan and section"));
    if ((command.database || command.noNearby) && action != u"report")
        throw ECliUsage(QStringLiteral("--database and --no-nearby go with site report"));
    if (command.database && command.noNearby)
        throw ECliUsage(QStringLiteral("--database and --no-nearby exclude each other"));
    RequireCliSuffix(command.files.first(), kSiteFileSuffix);
    if (action == u"report")
        RequireCliSuffix(command.files.at(1), QStringLiteral("pdf"));
    if (action == u"plan" || action == u"section")
        RequireCliSuffix(command.files.at(1), QStringLiteral("png"));
    return command;
}

void RunSiteCommand(const QStringList &arguments, const TCliEnvironment &environment,
                    QTextStream &out, QTextStream &err)
{
    const TSiteCommand command = ParseSiteCommand(arguments);
    const TSetting setting = CliSettings(command.overrides, environment);
    const TReferenceTables tables = CliTables(command.tablesDir, environment);
    if (command.action == u"new")
        makeSite(command, setting, tables);
    else if (command.action == u"show")
        showSite(command, setting, tables, out, err);
    else if (command.action == u"info")
        siteInfo(command, environment, out);
    else
        setPoint(command, setting, tables, out);
}
