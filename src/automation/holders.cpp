#include "holders.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

TAutomationHolders::TAutomationHolders(const QDBusConnection &connection, QObject *parent)
    : QObject(parent), m_connection(connection), m_watcher(new QDBusServiceWatcher(this))
{
    m_watcher->setConnection(m_connection);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &TAutomationHolders::Release);
}

void TAutomationHolders::Hold(const QString &client)
{
    if (client.isEmpty() || m_clients.contains(client))
        return;
    m_clients.insert(client);
    m_watcher->addWatchedService(client);
    // A client that left before the watch began would never be seen leaving.
    QDBusConnectionInterface *bus = m_connection.interface();
    if (bus && !bus->isServiceRegistered(client).value())
        Release(client);
}

void TAutomationHolders::Release(const QString &client)
{
    if (!m_clients.remove(client))
        return;
    m_watcher->removeWatchedService(client);
    if (m_clients.isEmpty())
        emit LastReleased();
}
