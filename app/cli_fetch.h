// tessmark-cli fetch: tests from the Vantrell instrument into .ktd files, without windows.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <functional>

class QTextStream;

// Hears every transferred test's bytes and the path it is about to be written as, before it is
// written (the archive keeps it, so a test whose file cannot be written is still safe).
using TTransferredTestHook = std::function<void(const QByteArray &bytes, const QString &path)>;

// Runs "fetch" (`arguments` after the word "fetch") with the program's communication library;
// needs a running Qt event loop's application object. 0 all written (or the list printed),
// 1 a failure (message on `err`), 2 wrong usage.
int RunCliFetch(const QStringList &arguments, QTextStream &out, QTextStream &err,
                const TTransferredTestHook &transferred = {});
