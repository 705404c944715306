// The catalogue on SQLite and on a PostgreSQL server of the test's own: adding once, searching
// by text, date and place against a search over every entry, two programs adding at once, a
// damaged or newer catalogue, a server that goes away, and the stored figures.
#include "archiveentry.h"
#include "archivekeeper.h"
#include "catalogue.h"
#include "geodistance.h"
#include "pgserver.h"
#include "reader.h"
#include "reftables.h"
#include "sandbox.h"
#include "settings.h"
#include "site.h"
#include "sitetestdata.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace {

enum class Backend { Sqlite, Postgres };

// A made-up entry: the catalogue stores what it is given, whatever the bytes are.
TArchiveEntry entryNumber(int n, std::optional<TGeoPosition> place = {}, QString testedAt = {},
                          QString folder = QStringLiteral("/data/tests"))
{
    TArchiveEntry entry;
    entry.FileName = QStringLiteral("T%1.ktd").arg(n, 5, 10, QLatin1Char('0'));
    entry.Folder = folder;
    entry.Figures.Code = QStringLiteral("102-004-017-%1").arg(n, 4, 10, QLatin1Char('0'));
    entry.Figures.Point = n % 100;
    entry.Figures.TestedAt = testedAt;
    entry.Figures.Position = place;
    entry.Figures.FinalDepth = 100 + n;
    return entry;
}

QByteArray bytesNumber(int n)
{
    return QByteArray("$T(\r\n") + QByteArray::number(n) + "\r\n\x82\xa0)\r\n";
}

QList<qint64> idsOf(const QList<TArchiveHit> &hits)
{
    QList<qint64> ids;
    for (const TArchiveHit &hit : hits)
        ids.append(hit.Entry.Id);
    return ids;
}

// A small deterministic spread of numbers in [0, 1).
struct Spread
{
    quint32 state = 12345;
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1 << 24);
    }
};

class CatalogueTest : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Postgres) {
            server = std::make_unique<TestPostgresServer>();
            if (!server->Unavailable().isEmpty())
                GTEST_SKIP() << "no PostgreSQL server: " << server->Unavailable().toStdString();
            url = server->Url();
        } else {
            url = sandbox.filePath(QStringLiteral("archive.sqlite"));
        }
    }

    TCatalogueLocation location() const { return ParseCatalogueUrl(url, sandbox.path()); }

    TestSandbox sandbox;
    std::unique_ptr<TestPostgresServer> server;
    QString url;
};

} // namespace

TEST_P(CatalogueTest, TheSameBytesAreOneEntryAndComeBackExactly)
{
    TCatalogue catalogue(location());
    const TArchiveAdded first = catalogue.Add(entryNumber(1), bytesNumber(1));
    const TArchiveAdded second = catalogue.Add(entryNumber(2), bytesNumber(2));
    EXPECT_FALSE(first.Known);
    EXPECT_FALSE(second.Known);
    EXPECT_NE(first.Id, second.Id);

    // Added again from elsewhere: known, and the entry keeps where it first came from.
    TArchiveEntry again = entryNumber(1, {}, {}, QStringLiteral("/elsewhere"));
    again.FileName = QStringLiteral("copy.ktd");
    const TArchiveAdded repeated = catalogue.Add(again, bytesNumber(1));
    EXPECT_TRUE(repeated.Known);
    EXPECT_EQ(repeated.Id, first.Id);
    EXPECT_EQ(catalogue.Count({}), 2);
    EXPECT_EQ(catalogue.Entry(first.Id)->FileName, QStringLiteral("T00001.ktd"));
    EXPECT_EQ(catalogue.Entry(first.Id)->Hash, ArchiveHash(bytesNumber(1)));

    EXPECT_EQ(catalogue.Bytes(first.Id), bytesNumber(1));
    EXPECT_EQ(catalogue.Bytes(second.Id), bytesNumber(2));
    EXPECT_THROW(catalogue.Bytes(second.Id + 100), ECatalogueError);
}

TEST_P(CatalogueTest, ASearchByPlaceFindsExactlyThePlacesWithinTheRadiusNearestFirst)
{
    struct Case
    {
        const char *name;
        TGeoPosition centre;
        double radius;
    };
    const Case cases[] = {
        {"Tokyo, 300 m", {35.6812, 139.7671}, 300},
        {"Tokyo, 1.5 km", {35.6812, 139.7671}, 1500},
        {"across the date line", {-16.5, 179.9995}, 400},
        {"at the pole, every longitude", {89.9995, 0}, 200},
    };
    TCatalogue catalogue(location());
    QList<std::pair<qint64, TGeoPosition>> places;
    Spread spread;
    int n = 0;
    for (const Case &c : cases) {
        // Places up to twice the radius away, so the box's corners hold some that are too far.
        for (int i = 0; i < 120; ++i) {
            const double north = (spread.next() * 4 - 2) * c.radius / 111000;
            const double east = (spread.next() * 4 - 2) * c.radius /
                                (111000 * std::max(0.01, std::cos(c.centre.Latitude * M_PI / 180)));
            TGeoPosition place{std::min(90.0, c.centre.Latitude + north),
                               c.centre.Longitude + east};
            place.Longitude -= 360 * std::round(place.Longitude / 360);
            ++n;
            places.append({catalogue.Add(entryNumber(n, place), bytesNumber(n)).Id, place});
        }
    }
    ++n;
    catalogue.Add(entryNumber(n), bytesNumber(n)); // no position: never near anything

    for (const Case &c : cases) {
        QList<std::pair<double, qint64>> expected;
        for (const auto &[id, place] : places) {
            const double distance = GeoDistance(c.centre, place);
            if (distance <= c.radius)
                expected.append({distance, id});
        }
        std::sort(expected.begin(), expected.end());
        TArchiveQuery query;
        query.Near = c.centre;
        query.Radius = c.radius;
        const QList<TArchiveHit> hits = catalogue.Find(query);
        ASSERT_EQ(hits.size(), expected.size()) << c.name;
        ASSERT_GT(hits.size(), 10) << c.name;
        for (qsizetype i = 0; i < hits.size(); ++i) {
            EXPECT_EQ(hits.at(i).Entry.Id, expected.at(i).second) << c.name;
            EXPECT_NEAR(*hits.at(i).Distance, expected.at(i).first, 1e-6) << c.name;
        }
        query.Limit = 3;
        EXPECT_EQ(idsOf(catalogue.Find(query)), idsOf(hits.mid(0, 3))) << c.name;
    }
}

TEST_P(CatalogueTest, TextAndDateSearchesMatchALookAtEveryEntryNewestFirst)
{
    TCatalogue catalogue(location());
    const QStringList folders{QStringLiteral("/data/現場A"), QStringLiteral("/data/Site_B"),
                              QStringLiteral("/data/50%off")};
    QList<TArchiveEntry> entries;
    for (int n = 1; n <= 60; ++n) {
        // Some share a date and time; some have none; the last of a day is 23:59.
        const QString testedAt =
            n % 7 == 0 ? QString()
                       : QDate(2024, 3, 1).addDays(n / 3).toString(Qt::ISODate) +
                             (n % 3 == 0 ? QStringLiteral(" 23:59") : QStringLiteral(" 08:00"));
        TArchiveEntry entry = entryNumber(n, {}, testedAt, folders.at(n % 3));
        entry.Id = catalogue.Add(entry, bytesNumber(n)).Id;
        entries.append(entry);
    }
    const auto newestFirst = [](const TArchiveEntry &a, const TArchiveEntry &b) {
        return a.Figures.TestedAt != b.Figures.TestedAt ? a.Figures.TestedAt > b.Figures.TestedAt
                                                        : a.Id > b.Id;
    };
    std::sort(entries.begin(), entries.end(), newestFirst);

    struct Case
    {
        const char *name;
        QString text;
        QDate from;
        QDate to;
    };
    const Case cases[] = {
        {"everything", {}, {}, {}},
        {"a code, any case", QStringLiteral("-0012"), {}, {}},
        {"a folder in another case", QStringLiteral("site_b"), {}, {}},
        {"_ is itself, not any character", QStringLiteral("e_b"), {}, {}},
        {"% is itself", QStringLiteral("50%"), {}, {}},
        {"a Japanese folder", QStringLiteral("現場"), {}, {}},
        {"a file name", QStringLiteral("t00033.KTD"), {}, {}},
        {"dates with both ends", {}, QDate(2024, 3, 5), QDate(2024, 3, 9)},
        {"from a day on", {}, QDate(2024, 3, 15), {}},
        {"up to a day, with its 23:59", {}, {}, QDate(2024, 3, 4)},
        {"text and dates", QStringLiteral("現場"), QDate(2024, 3, 3), QDate(2024, 3, 12)},
    };
    for (const Case &c : cases) {
        QList<qint64> expected;
        for (const TArchiveEntry &e : entries) {
            const QString day = e.Figures.TestedAt.left(10);
            const QString haystack =
                (e.Figures.Code + u'\n' + e.FileName + u'\n' + e.Folder).toLower();
            if (!haystack.contains(c.text.toLower()) ||
                (c.from.isValid() && (day.isEmpty() || day < c.from.toString(Qt::ISODate))) ||
                (c.to.isValid() && (day.isEmpty() || day > c.to.toString(Qt::ISODate))))
                continue;
            expected.append(e.Id);
        }
        TArchiveQuery query;
        query.Text = c.text;
        query.From = c.from;
        query.To = c.to;
        EXPECT_EQ(idsOf(catalogue.Find(query)), expected) << c.name;
        EXPECT_EQ(catalogue.Count(query), expected.size()) << c.name;

        // Page by page, as the window fetches while it scrolls: the same list.
        QList<qint64> paged;
        query.Limit = 7;
        for (;;) {
            const QList<TArchiveHit> page = catalogue.Find(query);
            paged += idsOf(page);
            if (page.size() < query.Limit)
                break;
            query.After = {page.last().Entry.Figures.TestedAt, page.last().Entry.Id};
        }
        EXPECT_EQ(paged, expected) << c.name << " (paged)";
    }
}

TEST_P(CatalogueTest, TwoProgramsAddingOverlappingHalvesAtOnceKeepEveryTestOnce)
{
    constexpr int kTests = 120;
    // Each opens the catalogue itself, the first time too: making the schema is raced as well.
    const auto addRange = [this](int from, int to, QList<TArchiveAdded> &results,
                                 QString &failure) {
        try {
            TCatalogue catalogue(location());
            for (int n = from; n < to; ++n)
                results.append(catalogue.Add(entryNumber(n), bytesNumber(n)));
        } catch (const ETessmarkError &e) {
            failure = e.message();
        }
    };
    QList<TArchiveAdded> first, second;
    QString firstFailure, secondFailure;
    std::thread a([&] { addRange(0, kTests * 2 / 3, first, firstFailure); });
    std::thread b([&] { addRange(kTests / 3, kTests, second, secondFailure); });
    a.join();
    b.join();
    ASSERT_TRUE(firstFailure.isEmpty()) << firstFailure.toStdString();
    ASSERT_TRUE(secondFailure.isEmpty()) << secondFailure.toStdString();

    TCatalogue catalogue(location());
    EXPECT_EQ(catalogue.Count({}), kTests);
    int added = 0;
    for (const TArchiveAdded &result : first + second)
        added += result.Known ? 0 : 1;
    EXPECT_EQ(added, kTests);
    // Where the halves overlap both got the same entry.
    for (int n = kTests / 3; n < kTests * 2 / 3; ++n)
        EXPECT_EQ(first.at(n).Id, second.at(n - kTests / 3).Id) << n;
    for (const TArchiveHit &hit : catalogue.Find({})) {
        const int n = hit.Entry.Figures.FinalDepth - 100;
        EXPECT_EQ(catalogue.Bytes(hit.Entry.Id), bytesNumber(n));
    }
}

TEST_P(CatalogueTest, StoredFiguresComeBackAndRefreshFollowsTheRememberedBaseDepth)
{
    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(sandbox.copyShippedTables()));
    TSetting setting;
    const QString file = QDir(samplesDir()).filePath(QStringLiteral("sample.ktd"));
    TCatalogue catalogue(location());
    const TArchiveAdded added = ArchiveTestFile(catalogue, file, setting, tables);

    const TArchiveFigures atHalfMetre =
        ArchiveFiguresOf(OpenTestFile(file, setting, tables), setting);
    EXPECT_EQ(catalogue.Entry(added.Id)->Figures, atHalfMetre);
    EXPECT_EQ(atHalfMetre.Code, QStringLiteral("102-004-017-0025"));
    EXPECT_EQ(atHalfMetre.TestedAt, QStringLiteral("2024-05-17 09:30"));
    EXPECT_EQ(atHalfMetre.MeanNswTenths, 95);
    EXPECT_EQ(atHalfMetre.QaTenths, 357);

    setting.BaseDepth = QStringLiteral("3.00");
    EXPECT_EQ(RefreshArchive(catalogue, setting, tables), 1);
    const TArchiveFigures atThreeMetres =
        ArchiveFiguresOf(OpenTestFile(file, setting, tables), setting);
    EXPECT_EQ(atThreeMetres.BaseDepth, 300);
    EXPECT_NE(atThreeMetres.MeanNswTenths, atHalfMetre.MeanNswTenths);
    EXPECT_EQ(catalogue.Entry(added.Id)->Figures, atThreeMetres);
    EXPECT_EQ(RefreshArchive(catalogue, setting, tables), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, CatalogueTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto &info) {
                             return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
                         });

TEST(CatalogueServer, AServerThatGoesAwayFailsTheAddAndKeepsWhatWasAdded)
{
    TestSandbox sandbox;
    TestPostgresServer server;
    if (!server.Unavailable().isEmpty())
        GTEST_SKIP() << "no PostgreSQL server: " << server.Unavailable().toStdString();
    const TCatalogueLocation location = ParseCatalogueUrl(server.Url(), sandbox.path());
    {
        TCatalogue catalogue(location);
        for (int n = 1; n <= 3; ++n)
            catalogue.Add(entryNumber(n), bytesNumber(n));
        ASSERT_TRUE(server.Stop());
        EXPECT_THROW(catalogue.Add(entryNumber(4), bytesNumber(4)), ECatalogueError);
        EXPECT_THROW(TCatalogue{location}, ECatalogueError);
        ASSERT_TRUE(server.Start());
    }
    TCatalogue catalogue(location);
    EXPECT_EQ(catalogue.Count({}), 3);
    for (const TArchiveHit &hit : catalogue.Find({}))
        EXPECT_EQ(catalogue.Bytes(hit.Entry.Id), bytesNumber(hit.Entry.Figures.FinalDepth - 100));
}

TEST(CatalogueFile, ADamagedOrNewerCatalogueIsRefusedByNameAndLeftAsItIs)
{
    TestSandbox sandbox;
    const QString damaged =
        sandbox.writeFile(QStringLiteral("damaged.sqlite"), QByteArray(8192, '\x5a'));
    try {
        TCatalogue catalogue(ParseCatalogueUrl(damaged, sandbox.path()));
        ADD_FAILURE() << "a damaged file opened";
    } catch (const ECatalogueError &e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(damaged)))
            << e.message().toStdString();
    }
    EXPECT_EQ(sandbox.readFile(QStringLiteral("damaged.sqlite")), QByteArray(8192, '\x5a'));

    const QString newer = sandbox.filePath(QStringLiteral("newer.sqlite"));
    {
        TCatalogue catalogue(ParseCatalogueUrl(newer, sandbox.path()));
        catalogue.Add(entryNumber(1), bytesNumber(1));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        db.setDatabaseName(newer);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("UPDATE archive_schema SET version = 99")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    try {
        TCatalogue catalogue(ParseCatalogueUrl(newer, sandbox.path()));
        ADD_FAILURE() << "a newer catalogue opened";
    } catch (const ECatalogueError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("新しい版"))) << e.message().toStdString();
    }
}

TEST(CatalogueUrl, IsReadOrRefusedWithoutEverTakingAPassword)
{
    struct Case
    {
        QString url;
        TCatalogueLocation::Kind backend;
        QString user, host;
        int port;
        QString database;
        QString path; // SQLite; empty for a refusal
    };
    const QString data = QStringLiteral("/home/u/.local/share/Korvath/tessmark");
    const Case read[] = {
        {{}, TCatalogueLocation::Sqlite, {}, {}, 0, {}, data + "/archive.sqlite"},
        {"/srv/a.sqlite", TCatalogueLocation::Sqlite, {}, {}, 0, {}, "/srv/a.sqlite"},
        {"sqlite:/srv/b.db", TCatalogueLocation::Sqlite, {}, {}, 0, {}, "/srv/b.db"},
        {"postgresql://survey@db.office:5433/tests",
         TCatalogueLocation::Postgres,
         "survey",
         "db.office",
         5433,
         "tests",
         {}},
        {"postgresql://survey@/tests?host=/run/postgresql",
         TCatalogueLocation::Postgres,
         "survey",
         "/run/postgresql",
         5432,
         "tests",
         {}},
    };
    for (const Case &c : read) {
        const TCatalogueLocation l = ParseCatalogueUrl(c.url, data);
        EXPECT_EQ(l.Backend, c.backend) << c.url.toStdString();
        if (c.backend == TCatalogueLocation::Sqlite) {
            EXPECT_EQ(l.Path, c.path) << c.url.toStdString();
            continue;
        }
        EXPECT_EQ(l.User, c.user) << c.url.toStdString();
        EXPECT_EQ(l.Host, c.host) << c.url.toStdString();
        EXPECT_EQ(l.Port, c.port) << c.url.toStdString();
        EXPECT_EQ(l.Database, c.database) << c.url.toStdString();
    }
    for (const char *refused :
         {"postgresql://survey:secret@db/tests", "postgresql://survey:@db/tests",
          "postgresql://survey@db/", "postgresql://survey@/tests",
          "postgresql://survey@db/tests?sslmode=disable", "postgresql://survey@db:port/tests",
          "sqlite:"}) {
        EXPECT_THROW(ParseCatalogueUrl(QString::fromLatin1(refused), data), ECatalogueError)
            << refused;
    }
}

TEST(ArchiveEntry, APositionReadsTheSameInEitherGpsFormAndABadOneIsTold)
{
    TestSandbox sandbox;
    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(sandbox.copyShippedTables()));
    const TSetting setting;
    const auto entryOf = [&](const QString &gps) {
        TSiteTestShape shape;
        shape.Gps = gps;
        const QString file = WriteSiteTest(sandbox, QStringLiteral("gps.ktd"), shape);
        return ArchiveEntryOf(sandbox.readFile(QStringLiteral("gps.ktd")), file, setting, tables);
    };
    const TArchiveEntry decimal = entryOf(QStringLiteral("35.6812 N 139.7671 E 40 m"));
    const TArchiveEntry nmea = entryOf(QStringLiteral("3540.8720 N 13946.0260 E 40 m"));
    const TArchiveEntry southWest = entryOf(QStringLiteral("3352.128 S 07040.158 W 600 m"));
    ASSERT_TRUE(decimal.Figures.Position && nmea.Figures.Position && southWest.Figures.Position);
    EXPECT_NEAR(decimal.Figures.Position->Latitude, nmea.Figures.Position->Latitude, 1e-9);
    EXPECT_NEAR(decimal.Figures.Position->Longitude, nmea.Figures.Position->Longitude, 1e-9);
    EXPECT_NEAR(southWest.Figures.Position->Latitude, -33.8688, 1e-9);
    EXPECT_NEAR(southWest.Figures.Position->Longitude, -70.6693, 1e-9);
    EXPECT_TRUE(decimal.Figures.Problem.isEmpty());

    const TArchiveEntry bad = entryOf(QStringLiteral("35.68x N 139.7671 E 40 m"));
    EXPECT_FALSE(bad.Figures.Position);
    EXPECT_TRUE(bad.Figures.Problem.contains(QStringLiteral("35.68x")))
        << bad.Figures.Problem.toStdString();
    // The rest is read all the same.
    EXPECT_EQ(bad.Figures.FinalDepth, decimal.Figures.FinalDepth);
    EXPECT_EQ(bad.Figures.QaTenths, decimal.Figures.QaTenths);
    EXPECT_NE(bad.Hash, decimal.Hash);
}

TEST(ArchiveKeeper, ATransferredTestIsKeptEvenUnreadableAndAFailingCatalogueOnlyGivesANote)
{
    TestSandbox sandbox;
    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(sandbox.copyShippedTables()));
    TSetting setting;
    setting.ArchiveDatabase = sandbox.filePath(QStringLiteral("archive.sqlite"));
    TArchiveKeeper keeper(sandbox.path());
    QFile sample(QDir(samplesDir()).filePath(QStringLiteral("sample.ktd")));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray readable = sample.readAll();
    const QByteArray broken = readable.left(readable.size() / 3);
    const QString target = sandbox.filePath(QStringLiteral("in/2024年5月17日9：30.ktd"));
    EXPECT_EQ(keeper.ArchiveTransferred(readable, target, setting, tables), QString());
    EXPECT_EQ(keeper.ArchiveTransferred(broken, target, setting, tables), QString());
    TCatalogue *catalogue = keeper.Catalogue(setting);
    ASSERT_TRUE(catalogue);
    const QList<TArchiveHit> hits = catalogue->Find({});
    ASSERT_EQ(hits.size(), 2);
    for (const TArchiveHit &hit : hits) {
        const bool whole = catalogue->Bytes(hit.Entry.Id) == readable;
        EXPECT_TRUE(whole || catalogue->Bytes(hit.Entry.Id) == broken);
        EXPECT_EQ(hit.Entry.FileName, QStringLiteral("2024年5月17日9：30.ktd"));
        EXPECT_EQ(hit.Entry.Figures.Problem.isEmpty(), whole);
        EXPECT_EQ(hit.Entry.Figures.TestedAt.isEmpty(), !whole);
    }

    setting.ArchiveDatabase = QStringLiteral("/dev/null/archive.sqlite");
    const QString note = keeper.ArchiveTransferred(readable, target, setting, tables);
    EXPECT_TRUE(note.contains(QStringLiteral("/dev/null/archive.sqlite"))) << note.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("9：30.ktd"))) << note.toStdString();
}

// The archived tests around a site but not its own, nearest first. For the report a catalogue
// not made yet is an empty archive and is not made by looking; one that cannot be read, or a
// site without a place, gives the reason instead of failing.
TEST(NearbyArchivedTests, AreTheArchivedTestsAroundTheSiteButNotItsOwnNearestFirst)
{
    TestSandbox sandbox;
    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(sandbox.copyShippedTables()));
    TSetting setting;
    const QString path = sandbox.filePath(QStringLiteral("a.sqlite"));
    TCatalogue catalogue(ParseCatalogueUrl(path, {}));
    const QDir samples(samplesDir());
    TSiteData data;
    for (int n = 1; n <= 5; ++n) {
        const QString file = samples.filePath(QStringLiteral("site/No%1.ktd").arg(n));
        ArchiveTestFile(catalogue, file, setting, tables);
        if (n <= 3)
            data.AddPoint(file, setting, tables);
    }
    // The sample lies within a metre of the site, sample.kgd some 70 m away.
    for (const char *name : {"sample.ktd", "sample.kgd"})
        ArchiveTestFile(catalogue, samples.filePath(QLatin1String(name)), setting, tables);

    QStringList names;
    QList<double> distances;
    for (const TArchiveHit &hit : NearbyArchivedTests(catalogue, data, 200)) {
        names.append(hit.Entry.FileName);
        distances.append(*hit.Distance);
    }
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()),
              (QSet<QString>{"No4.ktd", "No5.ktd", "sample.ktd", "sample.kgd"}));
    EXPECT_TRUE(std::is_sorted(distances.begin(), distances.end()));
    EXPECT_EQ(names.last(), QStringLiteral("sample.kgd"));
    EXPECT_EQ(NearbyArchivedTests(catalogue, data, 30).size(), 3);
    EXPECT_TRUE(NearbyArchivedTests(catalogue, TSiteData{}, 200).isEmpty());

    const QList<TArchiveHit> around = NearbyArchivedTests(catalogue, data, 200);
    const TNearbyTests found = FindNearbyTests(ParseCatalogueUrl(path, {}), data, 200);
    EXPECT_EQ(found.Problem, QString());
    ASSERT_EQ(found.Hits.size(), around.size());
    for (qsizetype i = 0; i < around.size(); ++i)
        EXPECT_EQ(found.Hits.at(i).Entry.Id, around.at(i).Entry.Id);
    EXPECT_TRUE(FindNearbyTests(ParseCatalogueUrl(path, {}), TSiteData{}, 200)
                    .Problem.contains(QStringLiteral("GPS")));

    const QString missing = sandbox.filePath(QStringLiteral("none.sqlite"));
    const TNearbyTests none = FindNearbyTests(ParseCatalogueUrl(missing, {}), data, 200);
    EXPECT_TRUE(none.Hits.isEmpty());
    EXPECT_EQ(none.Problem, QString());
    EXPECT_FALSE(QFile::exists(missing));

    const QString damaged = sandbox.writeFile("damaged.sqlite", "not a catalogue");
    EXPECT_TRUE(FindNearbyTests(ParseCatalogueUrl(damaged, {}), data, 200)
                    .Problem.contains(QStringLiteral("damaged.sqlite")));
    EXPECT_EQ(sandbox.readFile("damaged.sqlite"), QByteArray("not a catalogue"));
    // The window's keeper says the same when its catalogue cannot be opened.
    TArchiveKeeper keeper(sandbox.path());
    setting.ArchiveDatabase = damaged;
    EXPECT_TRUE(keeper.NearbyTests(data, setting).Problem.contains(QStringLiteral("damaged")));
}
