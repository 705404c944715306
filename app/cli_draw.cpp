#include "cli_draw.h"

#include "archivekeeper.h"
#include "bearing.h"
#include "cli.h"
#include "cli_command.h"
#include "cli_draw_site.h"
#include "cli_fetch.h"
#include "evaluationreport.h"
#include "graphdraw.h"
#include "printout.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>

namespace {

using EUsage = ECliUsage;

// The chosen printouts as one PDF document; the file appears only when it is complete.
void print(const TSoundingTest &test, const TCliCommand &command, const TSetting &setting,
           const TReferenceTables &tables, const QString &pictureFolder)
{
    const std::optional<TPrintSelection> parsed = ParsePrintSelection(command.select);
    if (!parsed)
        throw EUsage(QStringLiteral("--select takes names from ") + PrintoutNames().join(u','));
    TPrintSelection selection = *parsed;
    selection.Color = command.color;

    WritePdfFile(command.files.at(1), [&](QPdfWriter &writer) {
        PrintSelected(
            writer, selection,
            TPrintInput{test, setting, tables, DataKindOfFile(test.CurrentFile), pictureFolder});
    });
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
    WritePngFile(image, command.files.at(1));
}

// One point of a report: a failure says which of the many files it was.
TSoundingTest OpenReportInput(const QString &file, const TSetting &setting,
                              const TReferenceTables &tables)
{
    try {
        return OpenTestFile(file, setting, tables);
    } catch (const EDataFileError &e) {
        // Only the refused type's message leaves the file unnamed.
        if (e.reason() != EDataFileError::UnsupportedType)
            throw;
        throw EDataFileError(e.reason(), QStringLiteral("%1: %2").arg(file, e.message()));
    }
}

void report(const TEvaluateCommand &command, const TSetting &setting,
            const TReferenceTables &tables)
{
    TEvaluationReportInput input;
    input.Title = command.title;
    input.BaseDepth = BaseDepthOf(command, setting);
    input.Color = command.color;
    for (const QString &file : command.files.mid(1)) {
        TEvaluationPoint point;
        point.Name = QFileInfo(file).completeBaseName();
        point.Test = OpenReportInput(file, setting, tables);
        point.Result = EvaluateBearing(point.Test.RoundedLog, input.BaseDepth);
        input.Points.append(std::move(point));
    }
    // Points of the same name (one site's tests saved in several types) by their file names.
    QStringList names;
    for (const TEvaluationPoint &point : input.Points)
        names.append(point.Name);
    for (qsizetype i = 0; i < input.Points.size(); ++i) {
        if (names.count(names.at(i)) > 1)
            input.Points[i].Name = QFileInfo(command.files.at(i + 1)).fileName();
    }
    WritePdfFile(command.files.first(), [&](QPdfWriter &writer) {
        PrintEvaluationReport(writer, input, setting, tables);
    });
}

} // namespace

int RunCliDrawing(const QStringList &arguments, const TCliEnvironment &environment,
                  QTextStream &out, QTextStream &err)
{
    const QString verb = arguments.value(0);
    if (verb == u"fetch") {
        // Every transferred test goes into the archive under the name it was kept as, also when
        // its file could not be written; a catalogue that fails is a note on standard error and
        // the transfer goes on.
        TArchiveKeeper archive(environment.dataFolder);
        const TSetting setting = CliSettings({}, environment);
        TReferenceTables tables;
        // Without the tables a test goes in unread, its bytes kept all the same.
        tables.LoadFrom(CliTablesFolder({}, environment));
        return RunCliFetch(
            arguments.mid(1), out, err, [&](const QByteArray &bytes, const QString &path) {
                const QString note = archive.ArchiveTransferred(bytes, path, setting, tables);
                if (!note.isEmpty()) {
                    err << "tessmark-cli: " << note << '\n';
                    err.flush();
                }
            });
    }
    return RunCliGuarded(out, err, [&] {
        if (verb == u"site") {
            RunSiteDrawing(arguments, environment);
            return;
        }
        if (verb == u"report") {
            const TEvaluateCommand command = ParseEvaluateCommand(arguments);
            report(command, CliSettings(command.overrides, environment),
                   CliTables(command.tablesDir, environment));
            return;
        }
        const TCliCommand command = ParseCliCommand(arguments);
        const TSetting setting = CliSettings(command.overrides, environment);
        const TReferenceTables tables = CliTables(command.tablesDir, environment);
        const TSoundingTest test = OpenCliTest(command, setting, tables);
        if (command.verb == u"print")
            print(test, command, setting, tables, CliTablesFolder(command.tablesDir, environment));
        else
            graph(test, command, setting, tables);
    });
}
