// The parsed command lines of the command-line tool, shared by the commands that only read and
// write files and the commands that draw.
#pragma once

#include "record.h"

#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QTextStream;
class TReferenceTables;
struct TSetting;

// show, save, print and graph.
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

// Raises ECliUsage on wrong usage.
TCliCommand ParseCliCommand(const QStringList &arguments);

// The command's test, with the rounded log shown when --rounded was given.
TSoundingTest OpenCliTest(const TCliCommand &command, const TSetting &setting,
                          const TReferenceTables &tables);

// evaluate, report and export.
struct TEvaluateCommand
{
    QString verb;
    QStringList files;
    QString tablesDir;
    QStringList overrides;
    std::optional<int> base; // cm
    QString title;
    bool titleGiven = false;
    bool rounded = false;
    bool color = false;
};

// Raises ECliUsage on wrong usage.
TEvaluateCommand ParseEvaluateCommand(const QStringList &arguments);

// The foundation base depth in cm: --base, else the remembered one, else the default.
int BaseDepthOf(const TEvaluateCommand &command, const TSetting &setting);
int BaseDepthOf(const std::optional<int> &base, const TSetting &setting);

// site new, show, info, set, report, plan and section.
struct TSiteCommand
{
    QString action;    // the word after "site"
    QStringList files; // the site file first
    QString tablesDir;
    QStringList overrides;
    std::optional<int> base; // cm
    std::optional<QString> name;
    // site set: each optional holds the new value; an inner none goes back to the GPS value.
    std::optional<std::optional<QPointF>> position;
    std::optional<std::optional<double>> ground;
    std::optional<QString> label;
    // site info and site set: the survey's particulars to change, option and value as given
    // (checked as they are applied); site set --no-photos.
    QList<std::pair<QString, QString>> survey;
    bool noPhotos = false;
    bool color = false;
    std::optional<QSize> size;
    // site report: where its nearby tests are looked for (none: the settings' catalogue), or
    // no such part at all.
    std::optional<QString> database;
    bool noNearby = false;
};

// Raises ECliUsage on wrong usage.
TSiteCommand ParseSiteCommand(const QStringList &arguments);

// Output files (and the site file) must not be mistaken for data files: a slip in the
// argument order would otherwise overwrite a test. Raises ECliUsage when `path` does not end
// in "." + `suffix` (any case).
void RequireCliSuffix(const QString &path, const QString &suffix);

// A --base value in metres, in cm. Raises ECliUsage when it is not one.
int ParseCliBaseDepth(const QString &text);

// A --size value "WxH". Raises ECliUsage when it is not one.
QSize ParseCliSize(const QString &text);

// A field of a TAB-separated line: tabs and line breaks in a label or a path would split it.
QString CliField(QString text);

// The whole usage text.
QString CliUsage();

// Runs `work` and answers the exit status: 0 done, 2 wrong usage (with the usage text on `err`),
// 1 any other failure (its message on `err`).
int RunCliGuarded(QTextStream &out, QTextStream &err, const std::function<void()> &work);
