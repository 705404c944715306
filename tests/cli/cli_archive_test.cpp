// tessmark-cli archive: adding, finding, getting back and importing tests, and what it refuses.
#include "cli_fixture.h"
#include "safewrite.h"
#include "simulator.h"

#include <atomic>
#include <cerrno>

#include <QDir>
#include <QFile>

namespace {

QString sampleFile(const QString &name)
{
    return QDir(samplesDir()).filePath(name);
}

} // namespace

TEST_F(CliTest, ArchiveAddsOnceFindsByPlaceAndGivesTheBytesBack)
{
    const QString database = sandbox.filePath(QStringLiteral("a.sqlite"));
    QStringList files{sampleFile(QStringLiteral("sample.ktd"))};
    for (int n = 1; n <= 5; ++n)
        files.append(sampleFile(QStringLiteral("site/No%1.ktd").arg(n)));
    const CliRun added = run(QStringList{"archive", "add", "--database", database} + files);
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    QStringList expected;
    for (int n = 0; n < files.size(); ++n)
        expected.append(QStringLiteral("added\t%1\t%2").arg(n + 1).arg(files.at(n)));
    EXPECT_EQ(added.out, expected.join(u'\n') + u'\n');

    // Again, with a file that is no test and one that is missing: named, skipped, exit 1.
    const QString broken =
        sandbox.writeFile(QStringLiteral("broken.ktd"), "$T(\r\n102 004 x\r\n)\r\n");
    const QString missing = sandbox.filePath(QStringLiteral("missing.kgd"));
    const CliRun again =
        run({"archive", "add", broken, files.at(0), missing, "--database", database});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, QStringLiteral("known\t1\t%1\n").arg(files.at(0)));
    EXPECT_TRUE(again.err.contains(QStringLiteral("broken.ktd"))) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains(QStringLiteral("missing.kgd"))) << again.err.toStdString();

    // The catalogue chosen in the settings serves as well as --database.
    const CliRun near = run({"archive", "find", "--near", "35.6812,139.7671", "--radius", "9",
                             "--set", "Archive/Database=" + database});
    ASSERT_EQ(near.status, 0) << near.err.toStdString();
    const QStringList lines = near.out.trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 5) << near.out.toStdString(); // No3 lies 10.8 m away
    EXPECT_EQ(lines.at(0), QStringLiteral("1\t0.00\t2024-05-17 09:30\t102-004-017-0025\t03\t"
                                          "35.6812000\t139.7671000\t10.05\t9.5\t35.7\t") +
                               files.at(0));
    double previous = 0;
    for (const QString &line : lines) {
        const double distance = line.section(u'\t', 1, 1).toDouble();
        EXPECT_GE(distance, previous) << line.toStdString();
        EXPECT_LE(distance, 9.0) << line.toStdString();
        previous = distance;
    }
    const CliRun all = run({"archive", "find", "--database", database, "--limit", "2"});
    EXPECT_EQ(all.out.count(u'\n'), 2);
    EXPECT_TRUE(all.out.startsWith(QStringLiteral("6\t-\t2024-05-17 11:40\t")))
        << all.out.toStdString();

    const QString out = sandbox.filePath(QStringLiteral("back.ktd"));
    ASSERT_EQ(run({"archive", "get", "1", out, "--database", database}).status, 0);
    QFile original(files.at(0));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(sandbox.readFile(QStringLiteral("back.ktd")), original.readAll());
    EXPECT_EQ(run({"archive", "get", "99", out, "--database", database}).status, 1);
}

TEST_F(CliTest, ArchiveImportWalksTheFolderTreeWithAProgressLineOnATerminal)
{
    QDir(sandbox.path()).mkpath(QStringLiteral("tree/a/b"));
    QFile::copy(sampleFile(QStringLiteral("sample.ktd")), sandbox.filePath("tree/one.ktd"));
    QFile::copy(sampleFile(QStringLiteral("sample.kgd")), sandbox.filePath("tree/a/two.kgd"));
    QFile::copy(sampleFile(QStringLiteral("sample.ksd")), sandbox.filePath("tree/a/b/three.KSD"));
    sandbox.writeFile(QStringLiteral("tree/a/b/notes.txt"), "not a test");
    sandbox.writeFile(QStringLiteral("tree/a/bad.kmd"), "$T(\r\nnonsense\r\n)\r\n");
    errIsTerminal = true;
    const CliRun imported = run({"archive", "import", sandbox.filePath(QStringLiteral("tree"))});
    EXPECT_EQ(imported.status, 1);
    EXPECT_EQ(imported.out.count(QStringLiteral("added\t")), 3) << imported.out.toStdString();
    EXPECT_TRUE(imported.err.contains(QStringLiteral("bad.kmd"))) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains(QStringLiteral("archive import: 4/4\n")))
        << imported.err.toStdString();
    // Into the default catalogue in the data folder.
    EXPECT_TRUE(QFile::exists(sandbox.filePath(QStringLiteral("data/archive.sqlite"))));
}

TEST_F(CliTest, ArchiveRefusesWrongUsageBeforeTouchingAnything)
{
    const QStringList wrong[] = {
        {"archive"},
        {"archive", "list"},
        {"archive", "add"},
        {"archive", "get", "first", "out.ktd"},
        {"archive", "find", "--radius", "50"},
        {"archive", "find", "--near", "91,0"},
        {"archive", "find", "--near", "35.6;139.7"},
        {"archive", "find", "--from", "2024-02-30"},
        {"archive", "find", "--limit", "-1"},
        {"archive", "add", "x.ktd", "--text", "x"},
        {"archive", "find", "--database", "postgresql://survey:secret@db/tests"},
    };
    for (const QStringList &arguments : wrong) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(sandbox.filePath(QStringLiteral("data/archive.sqlite"))));
}

TEST_F(CliTest, FetchArchivesEachTestBeforeWritingItSoAFailedWriteLosesNothing)
{
    TSimulatorProcess sim(sandbox);
    const QString out = sandbox.filePath(QStringLiteral("out"));
    // The disk fills after the instrument's answers to LIST and READ 1 are written: the first
    // test cannot be kept as a file.
    std::atomic<int> creates = 0;
    SafeWrite::SetFaultHook([&creates](SafeWrite::TCall call) {
        return call == SafeWrite::TCall::Create && ++creates > 2 ? ENOSPC : 0;
    });
    const CliRun failed = run({"fetch", "--port", sim.link(), "--out", out});
    SafeWrite::SetFaultHook({});
    EXPECT_EQ(failed.status, 1) << failed.err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(out).filePath(kThreeNames.at(0))));
    const CliRun first = run({"archive", "find"});
    ASSERT_EQ(first.out.count(u'\n'), 1) << first.out.toStdString() << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(kThreeNames.at(0))) << first.out.toStdString();

    ASSERT_EQ(run({"fetch", "--port", sim.link(), "--out", out}).status, 0);
    const CliRun all = run({"archive", "find"});
    EXPECT_EQ(all.out.count(u'\n'), 3) << all.out.toStdString();
    for (int i = 0; i < 3; ++i) {
        const QString line = all.out.split(u'\n').filter(kThreeNames.at(i)).value(0);
        const QString copy = sandbox.filePath(QStringLiteral("copy%1.ktd").arg(i));
        ASSERT_EQ(run({"archive", "get", line.section(u'\t', 0, 0), copy}).status, 0) << i;
        EXPECT_EQ(sandbox.readFile(QFileInfo(copy).fileName()), instrumentTest(i)) << i;
    }
}
