// The one way this program writes a file: the whole new content, or on any failure the old file
// exactly as it was and the system's reason. Data files, site files, settings, transferred tests
// and the transfer's work files, PDF, PNG, CSV and the bus registration all go through it.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Writes `data` as the file `path`: into a new file beside it, every write checked, synced to
// disk and closed, then renamed over `path` (a link is followed to the file it names). On any
// failure the new file is removed, `path` keeps its old bytes (or stays absent) and
// ECantWriteFile carries the system's reason.
void WriteFileAtomically(const QString &path, const QByteArray &data);

// Output made through a device (a PDF or PNG writer) is produced into memory first, so that
// the file is written by the routine above only once the output is complete.
void WriteFileAtomically(const QString &path, const std::function<void(QIODevice &)> &produce);

// As WriteFileAtomically, but never replaces a file: answers false, writing nothing, when
// `path` exists already (also when another process takes the name at the same moment).
bool WriteNewFileAtomically(const QString &path, const QByteArray &data);

namespace SafeWrite {

// The calls of the routine that touch the disk, in the order it makes them.
enum class TCall { Create, Write, Sync, Close, Rename };

// Tests stand in for a failing disk here: the hook is asked before every call and answers an
// errno value (ENOSPC, EIO, …) to make that call fail with it, or 0 to let it run. An empty hook
// (the default) fails nothing.
using TFaultHook = std::function<int(TCall)>;
void SetFaultHook(TFaultHook hook);

} // namespace SafeWrite
