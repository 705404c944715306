// The command-line tool on a real full disk: a 64 KiB memory file system filled to the last byte
// before each command. Every command fails, every file there stays byte for byte, and nothing
// new or partial is left. Needs the right to mount (root); skipped with a message elsewhere.
#include "childprocess.h"
#include "sandbox.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The names of the files that differ between two listings, for a readable failure.
QStringList changedFiles(const QMap<QString, QByteArray> &before,
                         const QMap<QString, QByteArray> &after)
{
    QStringList changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()) || before.value(it.key()) != *it)
            changed.append(it.key());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!after.contains(it.key()))
            changed.append(it.key() + QStringLiteral(" (gone)"));
    return changed;
}

int runProgram(const QString &program, const QStringList &arguments, QByteArray *err = nullptr,
               const QString &tmp = QString())
{
    QProcess process;
    if (!tmp.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), tmp);
        process.setProcessEnvironment(environment);
    }
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (err)
        *err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class FullDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "a full disk is made by mounting a small file system, which needs root";
        disk = box.filePath(QStringLiteral("disk"));
        QDir().mkpath(disk);
        if (runProgram(QStringLiteral("mount"),
                       {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                        QStringLiteral("size=64k"), QStringLiteral("tmpfs"), disk}) != 0)
            GTEST_SKIP() << "this machine does not allow mounting a file system here";
        mounted = true;
        // Older files the commands would replace, and a site of two tests to set and report.
        for (const QString &name : {QStringLiteral("sample.ktd"), QStringLiteral("sample.kmd")})
            QFile::copy(QDir(samplesDir()).filePath(name), box.filePath(name));
        for (const char *type : {"kgd", "kmd", "k25", "k00", "csv", "pdf", "png"})
            writeOnDisk(QStringLiteral("keep.") + QLatin1String(type), "older file\r\n");
        const QDir site(QDir(samplesDir()).filePath(QStringLiteral("site")));
        for (const QString &name : {QStringLiteral("No1.ktd"), QStringLiteral("No2.ktd")})
            QFile::copy(site.filePath(name), QDir(disk).filePath(name));
        ASSERT_EQ(runProgram(cli, {QStringLiteral("site"), QStringLiteral("new"), onDisk("s.tsite"),
                                   onDisk("No1.ktd"), onDisk("No2.ktd")}),
                  0);
    }
    void TearDown() override
    {
        if (mounted)
            runProgram(QStringLiteral("umount"), {disk});
    }

    QString onDisk(const char *name) const { return QDir(disk).filePath(QLatin1String(name)); }
    void writeOnDisk(const QString &name, const QByteArray &bytes) const
    {
        QFile file(QDir(disk).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // Takes every free byte again: the filler grows until the file system refuses.
    void fill() const
    {
        const QString filler = QDir(disk).filePath(QStringLiteral(".filler"));
        QFile::remove(filler);
        QFile file(filler);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(512, 'x');
        while (file.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'x');
        while (file.write(byte) == 1) {
        }
    }

    TestSandbox box;
    QString disk;
    bool mounted = false;
    const QString cli = QStringLiteral(TESSMARK_BIN_DIR "/tessmark-cli");
};

TEST_F(FullDiskTest, EveryCommandFailsAndLeavesTheDiskAsItWas)
{
    const QString ktd = box.filePath(QStringLiteral("sample.ktd"));
    const QList<QStringList> commands = {
        {"save", ktd, onDisk("keep.kgd")},
        {"save", ktd, onDisk("keep.kmd")},
        {"save", ktd, onDisk("keep.k25")},
        {"save", ktd, onDisk("keep.k00")},
        {"save", box.filePath(QStringLiteral("sample.kmd")), onDisk("new.kgd")},
        {"save", ktd, onDisk("new.kmd")},
        {"save", ktd, onDisk("new.k25")},
        {"save", ktd, onDisk("new.k00")},
        {"site", "set", onDisk("s.tsite"), "No.1", "--ground", "1.50"},
        {"export", ktd, onDisk("keep.csv")},
        {"print", ktd, onDisk("keep.pdf"), "--select", "table"},
        {"graph", ktd, onDisk("keep.png"), "--kind", "nsw"},
        {"site", "report", onDisk("s.tsite"), onDisk("report.pdf")},
    };
    for (const QStringList &command : commands) {
        fill();
        const QMap<QString, QByteArray> before = FolderContents(disk);
        QByteArray err;
        EXPECT_EQ(runProgram(cli, command, &err), 1) << command.join(u' ').toStdString();
        EXPECT_EQ(changedFiles(before, FolderContents(disk)), QStringList())
            << command.join(u' ').toStdString();
        EXPECT_FALSE(err.isEmpty()) << command.join(u' ').toStdString();
    }
}

TEST_F(FullDiskTest, AFetchOfTwoTestsFailsAndWritesNothing)
{
    QDir(box.path()).mkpath(QStringLiteral("instrument"));
    QDir(box.path()).mkpath(QStringLiteral("tmp"));
    QDir(disk).mkpath(QStringLiteral("out"));
    const QDir site(QDir(samplesDir()).filePath(QStringLiteral("site")));
    for (const QString &name : {QStringLiteral("No3.ktd"), QStringLiteral("No4.ktd")})
        QFile::copy(site.filePath(name), box.filePath(QStringLiteral("instrument/") + name));
    QProcess simulator;
    EndWithTestProcess(simulator);
    const QString link = box.filePath(QStringLiteral("link"));
    simulator.start(QStringLiteral(TESSMARK_BIN_DIR "/vantrell-sim"),
                    {QStringLiteral("--tests"), box.filePath(QStringLiteral("instrument")),
                     QStringLiteral("--link"), link});
    ASSERT_TRUE(simulator.waitForReadyRead(5000));

    fill();
    const QMap<QString, QByteArray> before = FolderContents(disk);
    QByteArray err;
    EXPECT_EQ(runProgram(cli,
                         {QStringLiteral("fetch"), QStringLiteral("--port"), link,
                          QStringLiteral("--out"), onDisk("out")},
                         &err, box.filePath(QStringLiteral("tmp"))),
              1);
    EXPECT_EQ(changedFiles(before, FolderContents(disk)), QStringList());
    // The test that could not be written is kept where the message says.
    EXPECT_TRUE(err.contains("pavlink.tmp")) << err.toStdString();
    simulator.kill();
    simulator.waitForFinished(5000);
}

} // namespace
