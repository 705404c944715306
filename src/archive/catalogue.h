// The test archive's catalogue: every test's bytes and what was read from them, in SQLite (one
// file per user) or in PostgreSQL (one catalogue an office shares), with the same schema. Every
// statement binds its values; no query text is made from what a user typed.
#pragma once

#include "errors.h"
#include "gpsposition.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

// The catalogue cannot be opened, read or written: the message names it and gives the reason.
class ECatalogueError : public ETessmarkError
{
public:
    using ETessmarkError::ETessmarkError;
};

// Where a catalogue is.
struct TCatalogueLocation
{
    enum Kind { Sqlite, Postgres };
    Kind Backend = Sqlite;
    QString Path; // SQLite: the file
    // PostgreSQL. Host is a name, an address, or a folder holding the server's Unix socket.
    QString User;
    QString Host;
    int Port = 5432;
    QString Database;

    // How messages name it (never with a password: none is ever held).
    QString Display() const;
};

// The folder of the program's per-user data ($XDG_DATA_HOME/Korvath/tessmark on Linux): the
// same for the desktop program and the command-line tool.
QString ProgramDataFolder();
// The catalogue used when none is chosen: "archive.sqlite" in `dataFolder`.
QString DefaultCataloguePath(const QString &dataFolder);

// Reads a catalogue's URL: a path, "sqlite:PATH", or "postgresql://USER@HOST:PORT/DBNAME" where
// "?host=/socket/dir" names a Unix socket's folder. Empty text is the default catalogue in
// `dataFolder`. Raises ECatalogueError for anything else, and for a URL with a password (the
// server's own means supply it: ~/.pgpass, or peer authentication).
TCatalogueLocation ParseCatalogueUrl(const QString &url, const QString &dataFolder);

// What the catalogue keeps of a test besides its bytes, read from them.
struct TArchiveFigures
{
    QString Code; // "102-004-017-0025"
    int Point = 0;
    QString TestedAt; // "YYYY-MM-DD HH:MM", empty when the test's date is no date
    QString EndTime;  // "HH:MM"
    std::optional<TGeoPosition> Position;
    int FinalDepth = 0; // cm
    // At the base depth remembered when they were computed (cm); none without a readable log.
    int BaseDepth = 0;
    std::optional<int> MeanNswTenths; // none when the data do not reach B + 2 m
    std::optional<int> QaTenths;
    std::optional<int> UpperSinking; // self-sinking thickness in B..B+2 m and B+2..B+5 m (cm)
    std::optional<int> LowerSinking;
    QString Problem; // why a figure is missing (a GPS text that is no position, …)

    bool operator==(const TArchiveFigures &) const = default;
};

struct TArchiveEntry
{
    qint64 Id = 0;
    QString Hash;     // SHA-256 of the bytes, in hex
    QString FileName; // the name it was added under
    QString Folder;   // the folder it came from
    QString AddedAt;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
    QString AddedBy;
    TArchiveFigures Figures;
};

// A search. Every part left empty matches every test.
struct TArchiveQuery
{
    QString Text; // a part of the code, the file name or the folder, any case
    QDate From;   // test dates from this day
    QDate To;     // up to and with this day
    std::optional<TGeoPosition> Near;
    double Radius = 200; // metres, with Near
    int Limit = -1;      // at most this many; -1 for all
    // The newest-first list continues after this test (its TestedAt and Id); ignored with Near.
    std::optional<std::pair<QString, qint64>> After;
};

struct TArchiveHit
{
    TArchiveEntry Entry;
    std::optional<double> Distance; // metres, with Near
};

// What adding answered.
struct TArchiveAdded
{
    qint64 Id = 0;
    bool Known = false; // the same bytes were there already
};

// The hex SHA-256 of a test's bytes: one entry however often they are added.
QString ArchiveHash(const QByteArray &bytes);

class TCatalogue
{
public:
    // Opens the catalogue and brings its schema up to date (making it when it is new). Raises
    // ECatalogueError when it cannot be reached, is damaged or was made by a newer program.
    explicit TCatalogue(const TCatalogueLocation &location);
    ~TCatalogue();
    TCatalogue(const TCatalogue &) = delete;
    TCatalogue &operator=(const TCatalogue &) = delete;

    const TCatalogueLocation &Location() const { return m_location; }
    // The schema's version number.
    static int SchemaVersion();

    // Adds a test in one transaction: the entry and its bytes go in whole, or not at all. Two
    // programs adding the same bytes at once make one entry. Raises ECatalogueError.
    TArchiveAdded Add(const TArchiveEntry &entry, const QByteArray &bytes);

    // The tests the query asks for: with Near sorted by distance (nearest first), else newest
    // first. A search by place reads only the tests in the box around it.
    QList<TArchiveHit> Find(const TArchiveQuery &query);
    // How many tests match the query's text and dates (Near, Limit and After are ignored).
    qint64 Count(const TArchiveQuery &query);

    std::optional<TArchiveEntry> Entry(qint64 id);
    // The archived bytes; raises ECatalogueError when there is no such test.
    QByteArray Bytes(qint64 id);

    // Replaces the figures of every test with what `recompute` answers from its bytes and file
    // name (none keeps them), a few hundred tests per transaction. `progress` hears the number
    // done and the total. Answers the number of tests whose figures changed.
    qint64
    Refresh(const std::function<std::optional<TArchiveFigures>(const QByteArray &bytes,
                                                               const QString &fileName)> &recompute,
            const std::function<void(qint64 done, qint64 total)> &progress = {});

private:
    QSqlDatabase m_db;
    QString m_connection;
    TCatalogueLocation m_location;

    void migrate();
    // Runs `work` in one write transaction, taking the write lock at once; whatever it raises
    // rolls it back and is raised again.
    void writeTransaction(const std::function<void()> &work);
};
