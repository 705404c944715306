// The command-line tool's archive commands: add tests to the catalogue, find them by text, date
// or place, get a test's bytes back, import a folder and recompute the stored figures.
#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
struct TCliEnvironment;

// Their lines of the usage text.
QString ArchiveUsage();

// Runs one archive command (`arguments` start with "archive"). Raises ECliUsage on wrong usage
// and ETessmarkError when the catalogue cannot be used. A file that is not a readable test is
// named on `err` and skipped; the command then answers 1 after the others, else 0.
int RunArchiveCommand(const QStringList &arguments, const TCliEnvironment &environment,
                      QTextStream &out, QTextStream &err);
