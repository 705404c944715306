// The command-line tool's ground evaluation commands: evaluate a test, print a site report of
// several tests, export a test's grid as CSV.
#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
struct TCliEnvironment;

// True for "evaluate", "report" and "export".
bool IsEvaluateCommand(const QString &verb);

// Their lines of the usage text.
QString EvaluateUsage();

// Runs evaluate or export (`arguments` start with the verb; report is a drawing command).
// Raises ECliUsage on wrong usage and ETessmarkError when a file cannot be read or written;
// nothing is left half-written then.
void RunEvaluateCommand(const QStringList &arguments, const TCliEnvironment &environment,
                        QTextStream &out);
