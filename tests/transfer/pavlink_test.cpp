#include "events.h"
#include "pavlink.h"
#include "safewrite.h"
#include "sandbox.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

// What a folder holds, the hidden files of a write in progress among it.
constexpr QDir::Filters kEverything =
    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

// Collects the answers a window would get.
class TAnswerSink : public QObject
{
public:
    QList<std::pair<qintptr, qintptr>> Answers;

    // Waits for the next answer; {-1, -1} when none came.
    std::pair<qintptr, qintptr> next(int ms = 10000)
    {
        const qsizetype before = Answers.size();
        QDeadlineTimer deadline(ms);
        while (Answers.size() == before && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return Answers.size() > before ? Answers.last() : std::pair<qintptr, qintptr>{-1, -1};
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != WM_TERMANSWER)
            return QObject::event(event);
        const auto *message = static_cast<TWindowMessage *>(event);
        Answers.append({message->WParam, message->LParam});
        return true;
    }
};

// A library talking to `device`, writing into the sandbox, with short time-outs.
void setUp(TPavlink &library, const TestSandbox &box, const QString &device)
{
    library.SetPortMap([device](int) { return device; });
    library.SetTempFolder(box.path());
    library.SetTimeouts({2000, 1000});
    library.SetCom(1);
}

} // namespace

TEST(Pavlink, EachCommandIsAnsweredOnceWithTheWholeAnswerInTheWorkFile)
{
    TestSandbox box;
    TSimulatorProcess sim(box);
    TPavlink library;
    setUp(library, box, sim.link());
    TAnswerSink sink;

    library.Term_Command(QStringLiteral("READ 2"), &sink);
    EXPECT_EQ(sink.next(), (std::pair<qintptr, qintptr>{0, 0}));
    EXPECT_EQ(box.readFile(kAnswerFileName), instrumentTest(1));

    library.Term_Command(QStringLiteral("LIST"), &sink);
    EXPECT_EQ(sink.next(), (std::pair<qintptr, qintptr>{0, 0}));
    EXPECT_EQ(box.readFile(kAnswerFileName), "001 " + kThreeHeaders.at(0) + "\r\n002 " +
                                                 kThreeHeaders.at(1) + "\r\n003 " +
                                                 kThreeHeaders.at(2) + "\r\n");
    // Exactly one answer per command.
    EXPECT_EQ(sink.next(300).first, -1);
    EXPECT_EQ(sink.Answers.size(), 2);
}

// The answer file made to fail at each of its disk calls in turn: the command fails with code 6
// and leaves no file, or the whole answer stands in the file.
TEST(Pavlink, AnAnswerFileThatCannotBeWrittenIsAFailureAndLeavesNothing)
{
    TestSandbox box;
    TSimulatorProcess sim(box);
    TPavlink library;
    QDir(box.path()).mkpath(QStringLiteral("work"));
    setUp(library, box, sim.link());
    library.SetTempFolder(box.filePath(QStringLiteral("work")));
    TAnswerSink sink;
    int faults = 0;
    for (int failAt = 1;; ++failAt) {
        ASSERT_LT(failAt, 50);
        std::atomic<int> calls = 0;
        SafeWrite::SetFaultHook([&](SafeWrite::TCall) { return ++calls == failAt ? EIO : 0; });
        library.Term_Command(QStringLiteral("READ 2"), &sink);
        const auto answer = sink.next();
        SafeWrite::SetFaultHook({});
        if (calls < failAt) {
            EXPECT_EQ(answer, (std::pair<qintptr, qintptr>{0, 0}));
            EXPECT_EQ(box.readFile(QStringLiteral("work/") + kAnswerFileName), instrumentTest(1));
            break;
        }
        ++faults;
        EXPECT_EQ(answer, (std::pair<qintptr, qintptr>{1, OtherFailure})) << failAt;
        EXPECT_TRUE(QDir(box.filePath(QStringLiteral("work"))).isEmpty(kEverything)) << failAt;
    }
    EXPECT_GE(faults, 5); // create, write, sync, close, rename
}

TEST(Pavlink, EveryFailureHasItsCodeAndABrokenReadKeepsWhatArrived)
{
    const struct
    {
        QStringList simArguments; // empty: no instrument at all
        QString command;
        qintptr code;
        int keptLines; // lines in "Errordata.ktd", -1: no such file
    } cases[] = {
        {{}, QStringLiteral("LIST"), PortOpenFailure, -1},
        {{QStringLiteral("--fail"), QStringLiteral("refuse")},
         QStringLiteral("LIST"),
         SendFailure,
         -1},
        {{QStringLiteral("--fail"), QStringLiteral("garble")},
         QStringLiteral("READ 1"),
         AnswerFailure,
         -1},
        {{QStringLiteral("--fail"), QStringLiteral("silent")},
         QStringLiteral("LIST"),
         ConnectFailure,
         -1},
        // Data lines without end: refused at the answer's size limit, nothing written.
        {{QStringLiteral("--fail"), QStringLiteral("endless")},
         QStringLiteral("READ 1"),
         AnswerFailure,
         -1},
        {{QStringLiteral("--fail"), QStringLiteral("drop-after=5")},
         QStringLiteral("READ 1"),
         ReceiveFailure,
         5},
        {{QStringLiteral("--fail"), QStringLiteral("drop-after=5")},
         QStringLiteral("READ 9"),
         SendFailure,
         -1},
    };
    for (const auto &c : cases) {
        TestSandbox box;
        box.writeFile(kAnswerFileName, "earlier answer\r\n");
        std::unique_ptr<TSimulatorProcess> sim;
        if (!c.simArguments.isEmpty())
            sim = std::make_unique<TSimulatorProcess>(box, c.simArguments);
        TPavlink library;
        setUp(library, box, sim ? sim->link() : box.filePath("no-such-port"));
        TAnswerSink sink;
        library.Term_Command(c.command, &sink);
        EXPECT_EQ(sink.next(), (std::pair<qintptr, qintptr>{1, c.code}))
            << c.simArguments.join(' ').toStdString();
        // A failed answer never replaces the last whole one.
        EXPECT_EQ(box.readFile(kAnswerFileName), "earlier answer\r\n");
        const QByteArray kept = box.readFile(kErrorDataFileName);
        if (c.keptLines < 0)
            EXPECT_TRUE(kept.isEmpty());
        else
            EXPECT_EQ(kept, instrumentTest(0).split('\n').mid(0, c.keptLines).join('\n') + '\n');
    }
}

TEST(Pavlink, AnAnswerForAWindowThatIsGoneIsLost)
{
    TestSandbox box;
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("300")});
    TPavlink library;
    setUp(library, box, sim.link());
    auto gone = std::make_unique<TAnswerSink>();
    library.Term_Command(QStringLiteral("LIST"), gone.get());
    gone.reset();
    TAnswerSink sink;
    library.Term_Command(QStringLiteral("LIST"), &sink);
    EXPECT_EQ(sink.next().first, 0);
}

// A command whose window is gone stops waiting for its answer, so a silent or runaway
// instrument cannot hold up the commands of the next window behind it.
TEST(Pavlink, ACommandWhoseWindowIsGoneDoesNotHoldUpTheNext)
{
    TestSandbox box;
    TSimulatorProcess sim(box, {QStringLiteral("--fail"), QStringLiteral("silent")});
    TPavlink library;
    setUp(library, box, sim.link());
    library.SetTimeouts({600000, 1000}); // without the window's going, it would wait ten minutes
    auto gone = std::make_unique<TAnswerSink>();
    library.Term_Command(QStringLiteral("READ 1"), gone.get());
    gone.reset();
    library.SetTimeouts({500, 500});
    TAnswerSink sink;
    library.Term_Command(QStringLiteral("LIST"), &sink);
    EXPECT_EQ(sink.next(20000), (std::pair<qintptr, qintptr>{1, ConnectFailure}));
}

// The one file of that name a fetch left in its work folder under the sandbox's "tmp".
QString keptFile(const TestSandbox &box, const QString &name)
{
    const QDir temp(box.filePath(QStringLiteral("tmp")));
    QStringList found;
    for (const QString &folder :
         temp.entryList({QStringLiteral("tessmark-transfer-*")}, QDir::Dirs))
        if (QFile::exists(temp.filePath(folder + u'/' + name)))
            found.append(temp.filePath(folder + u'/' + name));
    EXPECT_EQ(found.size(), 1) << name.toStdString();
    return found.value(0);
}

// tessmark-cli fetch with its work files in the sandbox's "tmp": exit code and stdout.
std::pair<int, QString> runFetch(const TestSandbox &box, const QStringList &arguments,
                                 QByteArray *err = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), box.filePath("tmp"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSMARK_BIN_DIR "/tessmark-cli"),
                  QStringList{QStringLiteral("fetch")} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    if (err)
        *err = process.readAllStandardError();
    return std::pair{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

// tessmark-cli fetch as a field office script would run it.
TEST(CliFetch, WritesEachTestUnderItsNameAndStopsAtABreakKeepingTheFilesBefore)
{
    {
        TestSandbox box;
        QDir(box.path()).mkpath("tmp");
        QDir(box.path()).mkpath("out");
        TSimulatorProcess sim(box);
        const auto [listed, listText] = runFetch(box, {"--port", sim.link(), "--list"});
        EXPECT_EQ(listed, 0);
        EXPECT_EQ(listText.split('\n').value(1),
                  QStringLiteral("02 102-004-017-0025-02 05年04月12日 11:05"));
        const auto [fetched, written] =
            runFetch(box, {"--port", sim.link(), "--out", box.filePath("out"), "--test", "3"});
        EXPECT_EQ(fetched, 0);
        EXPECT_EQ(written.trimmed(), QDir(box.filePath("out")).filePath(kThreeNames.at(2)));
        EXPECT_EQ(box.readFile(QStringLiteral("out/") + kThreeNames.at(2)), instrumentTest(2));
        // The run took its work folder with it.
        EXPECT_TRUE(QDir(box.filePath("tmp")).isEmpty(kEverything));
    }
    {
        TestSandbox box;
        QDir(box.path()).mkpath("tmp");
        QDir(box.path()).mkpath("out");
        // The third read breaks off: the two before it stay written.
        TSimulatorProcess sim(box, {QStringLiteral("--fail"),
                                    QStringLiteral("drop-after=%1").arg(kBreakInThirdTest)});
        QByteArray err;
        const auto [code, written] =
            runFetch(box, {"--port", sim.link(), "--out", box.filePath("out")}, &err);
        EXPECT_EQ(code, 1);
        EXPECT_EQ(written.trimmed().split('\n').size(), 2) << written.toStdString();
        EXPECT_EQ(box.readFile(QStringLiteral("out/") + kThreeNames.at(1)), instrumentTest(1));
        EXPECT_FALSE(QFile::exists(box.filePath(QStringLiteral("out/") + kThreeNames.at(2))));
        EXPECT_TRUE(QString::fromUtf8(err).contains(QStringLiteral("受信時エラー")));
        const QString errorData = keptFile(box, kErrorDataFileName);
        EXPECT_TRUE(QString::fromUtf8(err).contains(errorData)) << err.toStdString();
        EXPECT_EQ(box.readFile(errorData).count('\n'), kBreakInThirdTest);
    }
}

// A NUL in the minute field once cut the name short, and fetch replaced the file of the shorter
// name and exited 0: such a header makes the answer malformed and nothing is written.
TEST(CliFetch, AHeaderThatCannotNameAFileIsMalformedAndReplacesNothing)
{
    TestSandbox box;
    QDir(box.path()).mkpath("tmp");
    QDir(box.path()).mkpath("out");
    const QByteArray test =
        sampleTestWithHeader(QByteArray("102 004 017 0025 04 05 04 12 10 30.ktd\0x", 40));
    box.writeFile(QStringLiteral("instrument/test4.ktd"), test);
    box.writeFile(QStringLiteral("out/05年04月12日10：30.ktd"), "older test\r\n");
    TSimulatorProcess sim(box);
    QByteArray err;
    const auto [code, written] =
        runFetch(box, {"--port", sim.link(), "--out", box.filePath("out"), "--test", "4"}, &err);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(written.isEmpty()) << written.toStdString();
    EXPECT_TRUE(QString::fromUtf8(err).startsWith(QStringLiteral("<通信失敗>: 送受信エラー\n")))
        << err.toStdString();
    EXPECT_EQ(box.readFile(QStringLiteral("out/05年04月12日10：30.ktd")), "older test\r\n");
    EXPECT_EQ(QDir(box.filePath("out")).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(box.readFile(keptFile(box, kAnswerFileName)), test);
}
