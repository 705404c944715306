// The clients that hold the automation object: each from its first call until its bus
// connection closes.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>

class QDBusServiceWatcher;

class TAutomationHolders : public QObject
{
    Q_OBJECT

public:
    explicit TAutomationHolders(const QDBusConnection &connection, QObject *parent = nullptr);

    // Notes the client with this unique bus name as a holder.
    void Hold(const QString &client);
    int Count() const { return int(m_clients.size()); }

signals:
    // The last holder's connection has closed.
    void LastReleased();

private:
    void Release(const QString &client);

    QDBusConnection m_connection;
    QDBusServiceWatcher *m_watcher;
    QSet<QString> m_clients;
};
