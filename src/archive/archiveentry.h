// What goes into the archive for a test file: its bytes, where it came from and the figures read
// from it, by the same rules as the main window and the site's points.
#pragma once

#include "catalogue.h"
#include "record.h"

#include <QByteArray>
#include <QString>

class TReferenceTables;
struct TSetting;
struct TSiteData;

// The figures of a test as opened with these settings: code, point, date, GPS position, final
// depth, and the ground evaluation at the remembered base depth. A GPS text that is no position
// leaves the position out and says why in Problem.
TArchiveFigures ArchiveFiguresOf(const TSoundingTest &test, const TSetting &setting);

// The entry for a test file's bytes; `path` is where they came from (or are about to be written).
// Raises EDataFileError when the bytes are not a readable test, naming the file.
TArchiveEntry ArchiveEntryOf(const QByteArray &bytes, const QString &path, const TSetting &setting,
                             const TReferenceTables &tables);

// The entry for a test's bytes whose figures are already known.
TArchiveEntry ArchiveEntryOf(const QByteArray &bytes, const QString &path,
                             const TArchiveFigures &figures);

// Reads a test file and adds it. Raises EDataFileError for a file that is not a readable test and
// ECatalogueError when the catalogue fails.
TArchiveAdded ArchiveTestFile(TCatalogue &catalogue, const QString &path, const TSetting &setting,
                              const TReferenceTables &tables);

// Recomputes every entry's figures from its bytes with these settings and tables. Answers how
// many changed.
qint64 RefreshArchive(TCatalogue &catalogue, const TSetting &setting,
                      const TReferenceTables &tables,
                      const std::function<void(qint64 done, qint64 total)> &progress = {});

// The path the entry was added from.
QString ArchivedPath(const TArchiveEntry &entry);
// True while the file the entry was added from still holds its bytes.
bool ArchivedFileIsIntact(const TArchiveEntry &entry);
// A file holding the entry's bytes, to open: the file it was added from while that is intact,
// else a copy written into `restoreFolder` under the name it came with. Raises ECatalogueError
// and ECantWriteFile.
QString ArchivedFileToOpen(TCatalogue &catalogue, const TArchiveEntry &entry,
                           const QString &restoreFolder);

// Where a site stands: the middle of its tests' GPS positions; none when no test has one.
std::optional<TGeoPosition> SitePlace(const TSiteData &data);

// The archived tests within `radius` metres of the site's place that are not the site's own
// (the same bytes as one of its points' files), nearest first; none when the site has no place.
// Raises ECatalogueError.
QList<TArchiveHit> NearbyArchivedTests(TCatalogue &catalogue, const TSiteData &data, double radius);

// The archived tests near a site as its survey report shows them (近隣データ).
struct TNearbyTests
{
    int Radius = 200;        // metres
    QList<TArchiveHit> Hits; // nearest first
    QString Problem;         // why none could be looked for; empty when they were
};

// Looks for them in `catalogue`; a site without a place gives the reason instead of hits.
// Raises ECatalogueError.
TNearbyTests FindNearbyTests(TCatalogue &catalogue, const TSiteData &data, int radius);
// The same for a program that opens the catalogue for this one search, and never throws: a
// catalogue that cannot be read gives the reason instead of hits (the report goes on), and a
// SQLite catalogue not made yet is an empty archive, and is not made for it.
TNearbyTests FindNearbyTests(const TCatalogueLocation &location, const TSiteData &data, int radius);
// What stands in the report when the catalogue could not be opened.
TNearbyTests NearbyTestsUnreachable(const QString &problem, int radius);

// Metres with two decimals for a depth in cm, or "-"; tenths with one decimal, or "-".
QString ArchiveMetresText(const std::optional<int> &cm);
QString ArchiveTenthsText(const std::optional<int> &tenths);
