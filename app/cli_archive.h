// The command-line tool's archive commands: add tests to the catalogue, find them by text, date
// or place, get a test's bytes back, import a folder and recompute the stored figures.
#pragma once

#include "catalogue.h"

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;
struct TCliEnvironment;
struct TSetting;

// The catalogue `--database` names, else the one the settings choose. Raises ECliUsage for a
// URL given on the command line that is none, ECatalogueError for one in the settings.
TCatalogueLocation CliCatalogueLocation(const std::optional<QString> &database,
                                        const TSetting &setting,
                                        const TCliEnvironment &environment);

// Their lines of the usage text.
QString ArchiveUsage();

// Runs one archive command (`arguments` start with "archive"). Raises ECliUsage on wrong usage
// and ETessmarkError when the catalogue cannot be used. A file that is not a readable test is
// named on `err` and skipped; the command then answers 1 after the others, else 0.
int RunArchiveCommand(const QStringList &arguments, const TCliEnvironment &environment,
                      QTextStream &out, QTextStream &err);
