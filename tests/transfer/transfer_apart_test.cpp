// Transfers work apart: two instruments fetched into one folder at the same moment, sharing
// one temporary folder, with tests whose names clash; and the names a taken name leads to.
#include "childprocess.h"
#include "errors.h"
#include "sandbox.h"
#include "simulator.h"
#include "transferfiles.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// An instrument of the simulator serving the files of `folder`.
class TInstrument
{
public:
    TInstrument(const TestSandbox &box, const QString &name)
        : m_link(box.filePath(QStringLiteral("link-") + name))
    {
        EndWithTestProcess(m_process);
        m_process.start(
            QStringLiteral(TESSMARK_BIN_DIR "/vantrell-sim"),
            {QStringLiteral("--tests"), box.filePath(name), QStringLiteral("--link"), m_link});
        EXPECT_TRUE(m_process.waitForStarted(5000));
        EXPECT_TRUE(m_process.waitForReadyRead(5000));
    }
    ~TInstrument()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    QString link() const { return m_link; }

private:
    QString m_link;
    QProcess m_process;
};

QProcess *startFetch(const TestSandbox &box, const QString &port, QObject *parent)
{
    auto *process = new QProcess(parent);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), box.filePath(QStringLiteral("tmp")));
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(TESSMARK_BIN_DIR "/tessmark-cli"),
                   {QStringLiteral("fetch"), QStringLiteral("--port"), port,
                    QStringLiteral("--out"), box.filePath(QStringLiteral("out"))});
    return process;
}

// The bytes of the files in `folder`, whatever their names, in one order.
QList<QByteArray> sortedContents(const QString &folder)
{
    QList<QByteArray> contents = FolderContents(folder).values();
    std::sort(contents.begin(), contents.end());
    return contents;
}

TEST(TransferApart, TwoInstrumentsFetchedAtOnceIntoOneFolderKeepEveryTestOnce)
{
    TestSandbox box;
    QDir(box.path()).mkpath(QStringLiteral("tmp"));
    // Twelve tests on each instrument; the first four of each were started in the same minutes
    // as the other's, so their files want the same names.
    QList<QByteArray> expected;
    for (int i = 0; i < 12; ++i) {
        const int minute = i < 4 ? i : 20 + i;
        const QByteArray a =
            sampleTestWithHeader(QStringLiteral("102 004 017 0025 %1 05 04 12 10 %2")
                                     .arg(i + 1, 2, 10, QChar(u'0'))
                                     .arg(minute, 2, 10, QChar(u'0'))
                                     .toLatin1());
        const QByteArray b =
            sampleTestWithHeader(QStringLiteral("103 005 018 0026 %1 05 04 12 10 %2")
                                     .arg(i + 1, 2, 10, QChar(u'0'))
                                     .arg(i < 4 ? minute : 40 + i, 2, 10, QChar(u'0'))
                                     .toLatin1());
        box.writeFile(QStringLiteral("a/test%1.ktd").arg(i, 2, 10, QChar(u'0')), a);
        box.writeFile(QStringLiteral("b/test%1.ktd").arg(i, 2, 10, QChar(u'0')), b);
        expected << a << b;
    }
    std::sort(expected.begin(), expected.end());
    const TInstrument first(box, QStringLiteral("a"));
    const TInstrument second(box, QStringLiteral("b"));

    for (int round = 1; round <= 3; ++round) {
        QObject owner;
        QProcess *one = startFetch(box, first.link(), &owner);
        QProcess *two = startFetch(box, second.link(), &owner);
        for (QProcess *fetch : {one, two}) {
            ASSERT_TRUE(fetch->waitForFinished(120000)) << round;
            EXPECT_EQ(fetch->exitCode(), 0)
                << round << ": " << fetch->readAllStandardError().toStdString();
        }
        // Every test once, with its own bytes; a second fetch of the same tests adds nothing.
        EXPECT_EQ(sortedContents(box.filePath(QStringLiteral("out"))), expected) << round;
        // Each run took its work folder with it.
        EXPECT_TRUE(QDir(box.filePath(QStringLiteral("tmp")))
                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                        .isEmpty())
            << round;
    }
}

TEST(TransferApart, ATakenNameGivesTheNextFreeOneAndTheSameBytesAreNotWrittenAgain)
{
    TestSandbox box;
    box.writeFile(QStringLiteral("t.ktd"), "another test\r\n");
    QDir(box.path()).mkpath(QStringLiteral("t_2.ktd")); // a folder of the next name
    const QByteArray test = "this test\r\n";

    const TKeptTest kept = KeepTransferredTest(box.path(), QStringLiteral("t.ktd"), test);
    EXPECT_EQ(QFileInfo(kept.Path).fileName(), QStringLiteral("t_3.ktd"));
    EXPECT_TRUE(kept.Renamed);
    EXPECT_FALSE(kept.AlreadyThere);
    EXPECT_EQ(box.readFile(QStringLiteral("t_3.ktd")), test);

    const TKeptTest again = KeepTransferredTest(box.path(), QStringLiteral("t.ktd"), test);
    EXPECT_EQ(again.Path, kept.Path);
    EXPECT_TRUE(again.AlreadyThere);
    EXPECT_EQ(box.readFile(QStringLiteral("t.ktd")), "another test\r\n");
    EXPECT_EQ(QDir(box.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

} // namespace
