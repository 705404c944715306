// Puts the automation object of the main window on the session bus.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

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
    // How long a program the bus started waits for its first holder (a client that only reads
    // a property, or only introspects, never becomes one), and how long after its last holder
    // has gone; a client that comes back meanwhile keeps it.
    static constexpr int kUnheldLimitMs = 30000;
    static constexpr int kReleasedGraceMs = 2000;

    // `quitWhenReleased` (the bus started the program): the window is closed when no client
    // holds the object, kReleasedGraceMs after the last holder's connection closed, or
    // `unheldLimitMs` after the start when no client ever held it.
    TAutomationServer(Tgrid_form &window, const QDBusConnection &connection, bool quitWhenReleased,
                      int unheldLimitMs = kUnheldLimitMs);
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
    QTimer m_unheld; // runs while a program the bus started has no holder
};

// The start-up step of main() after the window exists: the server on the session bus, closing
// the window when the bus started the program and the last client has gone.
TAutomationServer *StartAutomationServer(Tgrid_form &window);
