// tessmark-cli fetch: tests from the Vantrell instrument into .ktd files, without windows.
#pragma once

#include "transferfiles.h"

#include <QStringList>

class QTextStream;

// Runs "fetch" (`arguments` after the word "fetch") with the program's communication library;
// needs a running Qt event loop's application object. 0 all written (or the list printed),
// 1 a failure (message on `err`), 2 wrong usage.
int RunCliFetch(const QStringList &arguments, QTextStream &out, QTextStream &err,
                const TTransferredTestHook &transferred = {});
