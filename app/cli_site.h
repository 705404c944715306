// The command-line tool's site commands: make a site file of tests, show its figures, set its
// survey particulars, edit its points (here); its report, plan and section are drawing commands
// (cli_draw_site.cpp).
#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
struct TCliEnvironment;

// True for "report", "plan" and "section": the site actions that draw.
bool IsSiteDrawingAction(const QString &action);

// Their lines of the usage text.
QString SiteUsage();

// Runs site new, show, info or set (`arguments` start with "site"). Raises ECliUsage on wrong usage
// and ETessmarkError when a file cannot be read or written; nothing is written then.
void RunSiteCommand(const QStringList &arguments, const TCliEnvironment &environment,
                    QTextStream &out, QTextStream &err);
