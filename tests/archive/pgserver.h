// A PostgreSQL server of a test's own: a cluster made by initdb in a temporary folder, listening
// only on a Unix socket there, run as an unprivileged user when the test runs as root, stopped
// and removed with the object.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class TestPostgresServer
{
public:
    TestPostgresServer();
    ~TestPostgresServer();

    // Why no server runs (its programs are missing, or it failed to start); empty when it runs.
    const QString &Unavailable() const { return m_unavailable; }
    // The catalogue URL of the server's "postgres" database.
    QString Url() const;

    // Stops the server at once, as a crash or a lost network would, and starts it again.
    bool Stop();
    bool Start();

private:
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bin;
    QString m_unavailable;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
    bool m_running = false;
};
