#include "pgserver.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QVersionNumber>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

// TESSMARK_PG_BIN, else the newest of Debian's /usr/lib/postgresql/N/bin, else the PATH's.
QString serverPrograms()
{
    const QString given = qEnvironmentVariable("TESSMARK_PG_BIN");
    if (!given.isEmpty())
        return QFileInfo::exists(given + QLatin1String("/initdb")) ? given : QString();
    QVersionNumber newest;
    QString found;
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    for (const QString &version : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString bin = versions.filePath(version + QLatin1String("/bin"));
        const QVersionNumber number = QVersionNumber::fromString(version);
        if (QFileInfo::exists(bin + QLatin1String("/initdb")) &&
            QFileInfo::exists(bin + QLatin1String("/pg_ctl")) && number > newest) {
            newest = number;
            found = bin;
        }
    }
    if (found.isEmpty()) {
        const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
        if (!initdb.isEmpty())
            found = QFileInfo(initdb).absolutePath();
    }
    return found;
}

} // namespace

TestPostgresServer::TestPostgresServer()
{
    m_bin = serverPrograms();
    if (m_bin.isEmpty()) {
        m_unavailable = QStringLiteral("PostgreSQL's initdb and pg_ctl are not installed (Debian's "
                                       "postgresql package; or set TESSMARK_PG_BIN)");
        return;
    }
    // A short path: the socket's whole name must fit in about a hundred bytes.
    m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/tessmark-pg-XXXXXX"));
#ifdef Q_OS_UNIX
    if (::getuid() == 0) {
        // The server refuses to run as root.
        const passwd *user = ::getpwnam("postgres");
        if (!user)
            user = ::getpwnam("nobody");
        if (!user) {
            m_unavailable = QStringLiteral("no unprivileged user to run PostgreSQL as");
            return;
        }
        m_uid = user->pw_uid;
        m_gid = user->pw_gid;
        if (::chown(QFile::encodeName(m_dir->path()).constData(), m_uid, m_gid) != 0) {
            m_unavailable = QStringLiteral("cannot hand the server's folder to its user");
            return;
        }
    }
#endif
    QString output;
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")), QStringLiteral("-U"),
              QStringLiteral("tessmark"), QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
              QStringLiteral("--no-sync")},
             &output)) {
        m_unavailable = QStringLiteral("initdb failed: ") + output;
        return;
    }
    if (!Start())
        m_unavailable = QStringLiteral("the server did not start: see ") +
                        m_dir->filePath(QStringLiteral("log"));
}

TestPostgresServer::~TestPostgresServer()
{
    Stop();
}

QString TestPostgresServer::Url() const
{
    return QStringLiteral("postgresql://tessmark@localhost/postgres?host=") + m_dir->path();
}

bool TestPostgresServer::Start()
{
    m_running =
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")), QStringLiteral("-l"),
             m_dir->filePath(QStringLiteral("log")), QStringLiteral("-w"), QStringLiteral("-o"),
             QStringLiteral("-k %1 -c listen_addresses='' -c fsync=off").arg(m_dir->path()),
             QStringLiteral("start")});
    return m_running;
}

bool TestPostgresServer::Stop()
{
    if (!m_running)
        return true;
    m_running =
        !run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")), QStringLiteral("-m"),
              QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    return !m_running;
}

bool TestPostgresServer::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    const unsigned uid = m_uid;
    const unsigned gid = m_gid;
    process.setChildProcessModifier([uid, gid] {
        if (uid != 0) {
            // Errors end the child: the server would refuse root anyway.
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(127);
        }
    });
#endif
    process.start(QDir(m_bin).filePath(program), arguments);
    const bool ok = process.waitForFinished(60000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return ok;
}
