// The command-line tool's commands that draw (print, graph, report) or talk to the instrument
// (fetch). They need the graphics and serial-port libraries, which the other commands do without.
#pragma once

#include <QStringList>

class QTextStream;
struct TCliEnvironment;

// Runs one of them (`arguments` start with the verb); a TCliRunner for TCliEnvironment::runDrawing.
// Answers the exit status as RunCli does.
int RunCliDrawing(const QStringList &arguments, const TCliEnvironment &environment,
                  QTextStream &out, QTextStream &err);
