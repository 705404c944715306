// Where a transfer keeps its files: a work folder of its own for the instrument's answers, and
// the transferred tests kept in the transfer folder without ever replacing another file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>

// The folder of one transfer's "pavlink.tmp" and "Errordata.ktd": unique to this process and
// this transfer, so two transfers (two windows, a window and `fetch`, two `fetch` runs) never
// read, replace or delete each other's answers. It goes when the transfer ends, unless it
// holds data the user was told about.
class TTransferWorkFolder
{
public:
    // A new folder under `parent` (the system's temporary folder when empty).
    explicit TTransferWorkFolder(const QString &parent = QString());

    // False when the folder could not be made; ErrorString() says why.
    bool IsValid() const { return m_dir.isValid(); }
    QString ErrorString() const { return m_dir.errorString(); }
    // The folder it is made in: the one named when made, or the system's temporary folder.
    QString Parent() const { return m_parent; }
    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString &name) const { return m_dir.filePath(name); }

    // The folder stays after the transfer: a message has named a file in it.
    void Keep() { m_dir.setAutoRemove(false); }

private:
    QString m_parent;
    QTemporaryDir m_dir;
};

// What became of a transferred test.
struct TKeptTest
{
    QString Path;              // the file that holds the test now
    bool AlreadyThere = false; // a file with the same bytes was there; nothing was written
    bool Renamed = false;      // its own name was taken: it has the next free one
};

// Keeps a transferred test's bytes in `folder` as `name`: when that name is taken by other bytes
// (or a folder), under the next free one ("…_2.ktd", "…_3.ktd", …); when a file there already
// holds these very bytes, it is that file. Never replaces a file, also when another transfer
// takes a name at the same moment. Raises ECantWriteFile (nothing left behind) when the file
// cannot be written.
TKeptTest KeepTransferredTest(const QString &folder, const QString &name, const QByteArray &bytes);

// Hears every transferred test's bytes and the path of its file: the one it was kept as, or the
// one it was to be written as when that failed (the archive keeps it, so the test is still safe).
using TTransferredTestHook = std::function<void(const QByteArray &bytes, const QString &path)>;
