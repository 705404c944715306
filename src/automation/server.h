// Puts the automation object of the main window on the session bus.
#pragma once

#include <QDBusConnection>
#include <QObject>

class TAutomationHolders;
class TObjControl;
class Tgrid_form;

// The automation object of `window` with its adaptor and holders, registered at the object
// path on `connection`. Owned by the window; it takes the bus name when it is free (a second
// program never takes it from the first) and asks the close warning while clients hold it.
class TAutomationServer : public QObject
{
    Q_OBJECT

public:
    // `quitWhenReleased`: the window is closed when the last holder's connection closes.
    TAutomationServer(Tgrid_form &window, const QDBusConnection &connection, bool quitWhenReleased);
    ~TAutomationServer() override;

    // False when another program holds the bus name.
    bool OwnsName() const { return m_ownsName; }
    TObjControl &Object() { return *m_object; }
    TAutomationHolders &Holders() { return *m_holders; }

private:
    Tgrid_form &m_window;
    QDBusConnection m_connection;
    TAutomationHolders *m_holders;
    TObjControl *m_object;
    bool m_ownsName = false;
};

// The start-up step of main() after the window exists: the server on the session bus, closing
// the window when the bus started the program and the last client has gone.
TAutomationServer *StartAutomationServer(Tgrid_form &window);
