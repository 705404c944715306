// The command-line tool's site commands that draw: the site report (PDF), the location plan and
// the cross-section (PNG).
#pragma once

#include <QStringList>

class QTextStream;
struct TCliEnvironment;

// Runs site report, plan or section (`arguments` start with "site"). Raises ECliUsage on wrong
// usage and ETessmarkError when the site cannot be read or the output written; nothing is
// written then.
void RunSiteDrawing(const QStringList &arguments, const TCliEnvironment &environment);
