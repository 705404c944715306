// The command-line tool's site commands: make a site file of tests, show its figures, edit its
// points (here); its report, plan and section are drawing commands (cli_draw_site.cpp).
#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
class TReferenceTables;
struct TCliEnvironment;
struct TSetting;
struct TSiteData;

// True for "report", "plan" and "section": the site actions that draw.
bool IsSiteDrawingAction(const QString &action);

// Their lines of the usage text.
QString SiteUsage();

// A site file with its tests read and its figures computed. Raises ETessmarkError when the
// site file cannot be read; tests that cannot be read are kept as points without data.
TSiteData OpenCliSite(const QString &path, const TSetting &setting, const TReferenceTables &tables);

// Runs site new, show or set (`arguments` start with "site"). Raises ECliUsage on wrong usage
// and ETessmarkError when a file cannot be read or written; nothing is written then.
void RunSiteCommand(const QStringList &arguments, const TCliEnvironment &environment,
                    QTextStream &out, QTextStream &err);
