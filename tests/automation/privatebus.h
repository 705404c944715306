// A bus daemon of the test's own, so automation tests never meet another program's server (or
// one another's when CTest runs them side by side) and never touch the user's bus.
#pragma once

#include "busclient.h"
#include "sandbox.h"

#include <QProcess>
#include <QProcessEnvironment>

// Runs a program to its end with the given environment.
ProcessResult runWith(const QProcessEnvironment &environment, const QString &program,
                      const QStringList &args);

class PrivateBus
{
public:
    // Listens in `box`; programs it activates and the ones the test runs get `environment`
    // with this bus as their session bus. `serviceFolder`: where activation files are looked
    // up (none when empty).
    PrivateBus(const TestSandbox &box, QProcessEnvironment environment,
               const QString &serviceFolder = QString());
    // Ends the daemon, and a program it started that did not end by itself.
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QString Address() const { return m_address; }
    // What the bus answers about Tessmark.ObjControl, through gdbus like any outside client.
    QString AskBus(const char *method) const;
    bool NameTaken() const { return AskBus("NameHasOwner") == u"(true,)"; }

    QProcessEnvironment Environment;

private:
    QString m_address;
    QProcess m_daemon;
};
