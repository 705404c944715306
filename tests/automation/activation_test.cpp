// Registration with the bus: the switches, the files -REGSERVER writes, and the program started
// by a private bus of the test's own when a client calls, ending when the client has gone.
#include "busclient.h"
#include "privatebus.h"
#include "registration.h"
#include "sandbox.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

TEST(AutomationSwitches, automation_SwitchesTakeASlashOrDashAndAnyCase)
{
    const struct
    {
        QStringList Args;
        bool Automation, Embedding, RegServer, UnregServer;
    } cases[] = {
        {{"-AUTOMATION"}, true, false, false, false},
        {{"/Embedding"}, false, true, false, false},
        {{"-regserver"}, false, false, true, false},
        {{"/UnRegServer", "file.ktd"}, false, false, false, true},
        {{"automation", "--automation", "-automationx", "file.ktd"}, false, false, false, false},
    };
    for (const auto &c : cases) {
        const TAutomationSwitches found = AutomationSwitchesOf(c.Args);
        const std::string what = c.Args.join(' ').toStdString();
        EXPECT_EQ(found.Automation, c.Automation) << what;
        EXPECT_EQ(found.Embedding, c.Embedding) << what;
        EXPECT_EQ(found.RegServer, c.RegServer) << what;
        EXPECT_EQ(found.UnregServer, c.UnregServer) << what;
    }
}

TEST(AutomationSwitches, automation_ActivationFileQuotesAProgramPathWithBlanks)
{
    EXPECT_EQ(ActivationFileText(QStringLiteral("/opt/t/tessmark")),
              "[D-BUS Service]\nName=Tessmark.ObjControl\nExec=/opt/t/tessmark -AUTOMATION\n");
    EXPECT_TRUE(ActivationFileText(QStringLiteral("/home/a b/\"t\"/tessmark"))
                    .contains("Exec=\"/home/a b/\\\"t\\\"/tessmark\" -AUTOMATION\n"));
}

// What every program of a test sees: the sandbox's folders only.
QProcessEnvironment sandboxEnvironment(const TestSandbox &box)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), box.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), box.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

QString tessmarkProgram()
{
    return QDir(QStringLiteral(TESSMARK_BIN_DIR)).filePath(QStringLiteral("tessmark"));
}

TEST(AutomationActivation, automation_RegisteredProgramIsStartedByACallAndEndsAfterTheClient)
{
    TestSandbox box;
    // The bus activates services from the sandbox's data folder.
    PrivateBus bus(box, sandboxEnvironment(box),
                   box.filePath(QStringLiteral("data/dbus-1/services")));
    const QString tessmark = tessmarkProgram();
    const QString dataFolder = box.filePath(QStringLiteral("data"));

    const ProcessResult registered =
        runWith(bus.Environment, tessmark, {QStringLiteral("-REGSERVER")});
    ASSERT_EQ(registered.ExitCode, 0) << registered.Err.toStdString();
    EXPECT_EQ(box.readFile(ActivationFilePath(dataFolder)), ActivationFileText(tessmark));
    QFile source(QDir(QStringLiteral(TESSMARK_TEST_DATA_DIR))
                     .filePath(QStringLiteral("../src/automation/Tessmark.IObjControl.xml")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(box.readFile(InterfaceFilePath(dataFolder)), source.readAll());

    // gdbus as the outside client: its call starts the program through the bus.
    const ProcessResult called =
        runWith(bus.Environment, QStringLiteral("gdbus"),
                {"call", "--session", "--dest", kTestService, "--object-path", kTestPath,
                 "--method", "Tessmark.IObjControl.Invoke", "9", "[]"});
    EXPECT_EQ(called.Out, QStringLiteral("(<0>,)")) << called.Err.toStdString();

    // The client has gone: the program ends by itself and gives the name back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bus.NameTaken(); }, 30000));

    const ProcessResult unregistered =
        runWith(bus.Environment, tessmark, {QStringLiteral("/unregserver")});
    EXPECT_EQ(unregistered.ExitCode, 0) << unregistered.Err.toStdString();
    EXPECT_FALSE(QFile::exists(ActivationFilePath(dataFolder)));
    EXPECT_FALSE(QFile::exists(InterfaceFilePath(dataFolder)));
}

// One command per run once met a new program each time, the test opened before long gone: the
// commands of one run's standard input share the program the bus started for the first.
TEST(AutomationActivation, automation_TessmarkCtlHoldsTheProgramForItsCommandLines)
{
    TestSandbox box;
    PrivateBus bus(box, sandboxEnvironment(box),
                   box.filePath(QStringLiteral("data/dbus-1/services")));
    ASSERT_EQ(runWith(bus.Environment, tessmarkProgram(), {QStringLiteral("-REGSERVER")}).ExitCode,
              0);

    QProcess ctl;
    ctl.setProcessEnvironment(bus.Environment);
    ctl.start(QDir(QStringLiteral(TESSMARK_BIN_DIR)).filePath(QStringLiteral("tessmark-ctl")),
              {QStringLiteral("-")});
    ASSERT_TRUE(ctl.waitForStarted(10000));
    ctl.write(QStringLiteral("# the sample, then its rounded view\nopen \"%1\"\n")
                  .arg(QDir(samplesDir()).filePath(QStringLiteral("sample.kgd")))
                  .toUtf8());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ctl.canReadLine(); }, 60000));
    EXPECT_EQ(ctl.readLine(), "0\n");
    // Longer than a program the bus started waits for a client that has gone.
    QTest::qWait(2500);
    ctl.write("\nchangedspdata 1\nnumrows\ncopycell 0 0 9 1\nnumrows\n");
    ctl.closeWriteChannel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ctl.state() == QProcess::NotRunning; }, 60000));

    // The rounded rows and the title row; the refused copy ends the run with its status.
    const QList<QByteArray> printed = ctl.readAllStandardOutput().split('\n');
    ASSERT_EQ(printed.size(), 4) << printed.join('|').toStdString();
    EXPECT_EQ(printed[0], "0");
    EXPECT_GT(printed[1].toInt(), 1);
    EXPECT_EQ(printed[2], "1");
    EXPECT_EQ(ctl.exitCode(), 1);
    EXPECT_TRUE(ctl.readAllStandardError().contains("stopped at line 6: copycell 0 0 9 1"));
}

TEST(AutomationActivation, automation_RegistrationIntoAnUnwritableFolderFails)
{
    TestSandbox box;
    // A file where the data folder should be: nothing can be created under it.
    box.writeFile(QStringLiteral("data"), "not a folder");
    const ProcessResult registered =
        runWith(sandboxEnvironment(box), tessmarkProgram(), {QStringLiteral("-RegServer")});
    EXPECT_EQ(registered.ExitCode, 1);
    EXPECT_TRUE(registered.Err.contains(QStringLiteral("に書き込めません")))
        << registered.Err.toStdString();
}

} // namespace
