// A save that dies or runs out of room never leaves a partial file: tessmark-cli saves a large
// test over an existing file while it is killed at many moments, or while the file size it may
// write is limited as on a full disk.
#include "childprocess.h"
#include "sandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

const QByteArray kOlderFile = "older test, saved before\r\n";

// A transfer file of `rows` rows; the depth restarts after 99.99 m, as the depth field holds.
QByteArray largeTransferFile(int rows)
{
    QByteArray bytes = "$T(\r\n001 002 003 0004 05 24 06 07 08 09\r\n";
    bytes.reserve(rows * 18 + 64);
    for (int i = 1; i <= rows; ++i) {
        bytes += "100 " + QByteArray::number(1 + (i - 1) % 9999).rightJustified(4, '0');
        if (i % 13 == 0)
            bytes += " J04 JTN\r\n";
        else
            bytes += " J01 " + QByteArray::number(i % 17).rightJustified(3, '0') + "\r\n";
    }
    bytes += "T10 30\r\n)\r\n";
    return bytes;
}

// Whether process `pid` holds a file in `folder` open other than the test it reads; a file
// being written without a name yet shows as "#inode (deleted)".
bool writesInto(qint64 pid, const QString &folder)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System)) {
        const QString open = fd.symLinkTarget();
        if (open.startsWith(folder + u'/') && !open.endsWith(u"large.ktd"))
            return true;
    }
    return false;
}

class SaveProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = box.writeFile(QStringLiteral("large.ktd"), largeTransferFile(100000));
        tables = box.copyShippedTables();
        target = box.filePath(QStringLiteral("out.kgd"));
    }

    // Starts "tessmark-cli save" of the large test to `out`; `limitBytes` > 0 limits the size of
    // any file the process writes, as a full disk would.
    void start(QProcess &process, const QString &out, rlim_t limitBytes = 0)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           box.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([limitBytes] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (limitBytes == 0)
                return;
            // The write fails with an error instead of the signal ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{limitBytes, limitBytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        process.start(
            QDir(QStringLiteral(TESSMARK_BIN_DIR)).filePath(QStringLiteral("tessmark-cli")),
            {QStringLiteral("save"), source, out, QStringLiteral("--tables"), tables});
        ASSERT_TRUE(process.waitForStarted(30000));
    }

    // A complete save to `out`; answers how long it took.
    qint64 saveCompletely(const QString &out)
    {
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        start(process, out);
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return clock.elapsed();
    }

    TestSandbox box;
    QString source;
    QString tables;
    QString target;
};

TEST_F(SaveProcessTest, AKilledSaveLeavesTheOldFileOrTheCompleteNewOne)
{
    const QString reference = box.filePath(QStringLiteral("reference.kgd"));
    const qint64 fullRun = saveCompletely(reference);
    const QByteArray complete = box.readFile(QStringLiteral("reference.kgd"));
    ASSERT_GT(complete.size(), 1000000);

    int kept = 0;
    int replaced = 0;
    int killedWhileWriting = 0;
    const auto killAndCheck = [&](QProcess &process, const std::string &moment) {
        process.kill();
        ASSERT_TRUE(process.waitForFinished(30000));
        const QByteArray after = box.readFile(QStringLiteral("out.kgd"));
        if (after == kOlderFile)
            ++kept;
        else if (after == complete)
            ++replaced;
        else
            ADD_FAILURE() << "killed " << moment << ": a file of " << after.size()
                          << " bytes, neither the old one nor the complete new one";
    };
    // Moments spread over the whole run: starting up, reading, deriving, writing, renaming.
    for (const double share : {0.0, 0.1, 0.25, 0.4, 0.55, 0.7, 0.8, 0.9, 0.95, 1.0, 1.1}) {
        box.writeFile(QStringLiteral("out.kgd"), kOlderFile);
        QProcess process;
        start(process, target);
        QThread::msleep(static_cast<unsigned long>(share * double(fullRun)));
        killAndCheck(process, "at " + std::to_string(share) + " of the run");
    }
    // And while the new file is being written: from the moment the process holds a file of the
    // folder open for writing.
    for (const int afterMs : {0, 1, 5, 20, 50, 100}) {
        box.writeFile(QStringLiteral("out.kgd"), kOlderFile);
        QProcess process;
        start(process, target);
        QElapsedTimer waited;
        waited.start();
        while (!writesInto(process.processId(), box.path()) &&
               process.state() == QProcess::Running && waited.elapsed() < 60000)
            QThread::yieldCurrentThread();
        QThread::msleep(static_cast<unsigned long>(afterMs));
        if (process.state() == QProcess::Running)
            ++killedWhileWriting;
        killAndCheck(process, std::to_string(afterMs) + " ms into the write");
    }
    EXPECT_GT(killedWhileWriting, 0);
    RecordProperty("kept", kept);
    RecordProperty("replaced", replaced);
    RecordProperty("killedWhileWriting", killedWhileWriting);

    // Whatever a killed save left beside the file does not stand in the way of the next one.
    box.writeFile(QStringLiteral("out.kgd.aB3xYz"), "left over");
    box.writeFile(QStringLiteral("out.kgd.tmp"), "left over");
    saveCompletely(target);
    EXPECT_EQ(box.readFile(QStringLiteral("out.kgd")), complete);
}

TEST_F(SaveProcessTest, ASaveOnAFullDiskFailsClearlyAndKeepsTheOldFile)
{
    box.writeFile(QStringLiteral("out.kgd"), kOlderFile);
    QProcess process;
    start(process, target, 64 * 1024);
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("データを保存できません")));
    EXPECT_EQ(box.readFile(QStringLiteral("out.kgd")), kOlderFile);
    // Nothing half written is left in the folder.
    EXPECT_EQ(QDir(box.path()).entryList({QStringLiteral("out.kgd*")}, QDir::Files),
              QStringList{QStringLiteral("out.kgd")});
}

} // namespace
