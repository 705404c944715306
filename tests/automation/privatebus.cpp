#include "privatebus.h"

#include "childprocess.h"

#include <QFile>
#include <csignal>
#include <memory>

ProcessResult runWith(const QProcessEnvironment &environment, const QString &program,
                      const QStringList &args)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(process.readAllStandardError())};
}

PrivateBus::PrivateBus(const TestSandbox &box, QProcessEnvironment environment,
                       const QString &serviceFolder)
    : Environment(std::move(environment)),
      m_address(QStringLiteral("unix:path=") + box.filePath(QStringLiteral("bus")))
{
    const QString services = serviceFolder.isEmpty()
                                 ? QString()
                                 : QStringLiteral("<servicedir>%1</servicedir>").arg(serviceFolder);
    const QString config = box.writeFile(
        QStringLiteral("bus.conf"),
        QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                       "Configuration 1.0//EN\" "
                       "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig><type>session</type><listen>%1</listen>%2"
                       "<policy context=\"default\"><allow send_destination=\"*\"/>"
                       "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>\n")
            .arg(m_address, services)
            .toUtf8());
    Environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    m_daemon.setProcessEnvironment(Environment);
    EndWithTestProcess(m_daemon);
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--nofork"), QStringLiteral("--config-file=") + config});
    EXPECT_TRUE(m_daemon.waitForStarted(10000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(box.filePath(QStringLiteral("bus"))); }, 10000));
}

PrivateBus::~PrivateBus()
{
    const QString pid = AskBus("GetConnectionUnixProcessID");
    if (pid.startsWith(u"(uint32 "))
        ::kill(pid_t(pid.mid(8).chopped(2).toInt()), SIGKILL);
    m_daemon.terminate();
    m_daemon.waitForFinished(10000);
}

QString PrivateBus::AskBus(const char *method) const
{
    return runWith(Environment, QStringLiteral("gdbus"),
                   {"call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                    "/org/freedesktop/DBus", "--method",
                    QStringLiteral("org.freedesktop.DBus.") + QLatin1String(method), kTestService})
        .Out;
}

namespace {

// The session bus of the whole test process, and of every program it runs: a daemon of its own
// for as long as the tests run.
class OwnSessionBus : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_box = std::make_unique<TestSandbox>();
        m_bus = std::make_unique<PrivateBus>(*m_box, QProcessEnvironment::systemEnvironment());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->Address().toUtf8());
    }
    void TearDown() override
    {
        m_bus.reset();
        m_box.reset();
    }

private:
    std::unique_ptr<TestSandbox> m_box;
    std::unique_ptr<PrivateBus> m_bus;
};

[[maybe_unused]] ::testing::Environment *const ownSessionBus =
    ::testing::AddGlobalTestEnvironment(new OwnSessionBus);

} // namespace
