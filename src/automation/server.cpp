#include "server.h"

#include "grid_form.h"
#include "holders.h"
#include "objcontrol.h"
#include "objcontrol_adaptor.h"
#include "registration.h"

#include <QPointer>

TAutomationServer::TAutomationServer(Tgrid_form &window, const QDBusConnection &connection,
                                     bool quitWhenReleased, int unheldLimitMs)
    : QObject(&window), m_window(window), m_connection(connection),
      m_holders(new TAutomationHolders(connection, this)),
      m_object(new TObjControl(window, *m_holders, this))
{
    new IObjControlAdaptor(m_object);
    m_connection.registerObject(kAutomationPath, m_object);
    // Without queueing or replacement: a second program never takes the name from the first.
    m_ownsName = m_connection.registerService(kAutomationService);
    // The server goes with the window, so the window may ask after the server is gone.
    window.ConfirmClose = [object = QPointer<TObjControl>(m_object)] {
        return !object || object->ConfirmClose();
    };
    if (quitWhenReleased) {
        // Never at once: the last client may go while one of its calls is still being served.
        m_unheld.setSingleShot(true);
        connect(&m_unheld, &QTimer::timeout, this, [this] {
            if (m_holders->Count() == 0)
                m_window.CloseUnattended();
        });
        connect(m_holders, &TAutomationHolders::LastReleased, this,
                [this] { m_unheld.start(kReleasedGraceMs); });
        m_unheld.start(unheldLimitMs);
    }
}

TAutomationServer::~TAutomationServer()
{
    if (m_ownsName)
        m_connection.unregisterService(kAutomationService);
    m_connection.unregisterObject(kAutomationPath);
}

TAutomationServer *StartAutomationServer(Tgrid_form &window)
{
    return new TAutomationServer(window, QDBusConnection::sessionBus(), StartedByActivation());
}
