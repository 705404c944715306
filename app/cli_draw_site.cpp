#include "cli_draw_site.h"

#include "archiveentry.h"
#include "cli.h"
#include "cli_archive.h"
#include "cli_command.h"
#include "cli_site.h"
#include "printout.h"
#include "reftables.h"
#include "settings.h"
#include "site.h"
#include "sitefile.h"
#include "siteplan.h"
#include "sitesection.h"
#include "surveyreport.h"

#include <QDate>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace {

void drawPicture(const TSiteCommand &command, const TSiteData &data)
{
    const bool plan = command.action == u"plan";
    const QSize size = command.size.value_or(plan ? QSize(800, 800) : QSize(1200, 800));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TSiteDrawStyle style;
        style.Color = command.color;
        style.TextHeight = SitePictureTextHeight(size);
        if (plan)
            DrawSitePlan(painter, image.rect(), data, style);
        else
            DrawSiteSection(painter, image.rect(), data, style);
    }
    WritePngFile(image, command.files.at(1));
}

void report(const TSiteCommand &command, const TSiteData &data, const TSetting &setting,
            const TReferenceTables &tables, const TCliEnvironment &environment)
{
    TSurveyReportOptions options;
    options.Color = command.color;
    options.Today = QDate::currentDate();
    if (!command.noNearby) {
        try {
            options.Nearby =
                FindNearbyTests(CliCatalogueLocation(command.database, setting, environment), data,
                                setting.ArchiveRadius);
        } catch (const ECatalogueError &e) {
            // A catalogue URL in the settings that is none: the report says so and goes on.
            options.Nearby = NearbyTestsUnreachable(e.message(), setting.ArchiveRadius);
        }
    }
    WritePdfFile(command.files.at(1), [&](QPdfWriter &writer) {
        PrintSurveyReport(writer, data, options, setting, tables);
    });
}

} // namespace

void RunSiteDrawing(const QStringList &arguments, const TCliEnvironment &environment)
{
    const TSiteCommand command = ParseSiteCommand(arguments);
    const TSetting setting = CliSettings(command.overrides, environment);
    const TReferenceTables tables = CliTables(command.tablesDir, environment);
    const TSiteData data = ReadSiteWithTests(command.files.first(), setting, tables);
    // A drawing that leaves a point out would mislead: every test must have been read.
    data.RequireEveryTest();
    if (command.action == u"report")
        report(command, data, setting, tables, environment);
    else
        drawPicture(command, data);
}
