// How the program was started for automation clients, and its registration with the session
// bus: the activation file that lets the bus start it, and the interface description.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The bus name (also the programmatic identifier), the object and the interface.
inline const QString kAutomationService = QStringLiteral("Tessmark.ObjControl");
inline const QString kAutomationPath = QStringLiteral("/ObjControl");
inline const QString kAutomationInterface = QStringLiteral("Tessmark.IObjControl");

// The automation switches of a command line: "/" or "-" before the word, letters in any case.
struct TAutomationSwitches
{
    bool Automation = false;
    bool Embedding = false;
    bool RegServer = false;
    bool UnregServer = false;

    // Started by the bus for a client rather than by the user.
    bool StartedByActivation() const { return Automation || Embedding; }
};
TAutomationSwitches AutomationSwitchesOf(const QStringList &arguments);

// The user's data folder the session bus reads activation files from: $XDG_DATA_HOME, else
// ~/.local/share.
QString UserDataFolder();
QString ActivationFilePath(const QString &dataFolder);
QString InterfaceFilePath(const QString &dataFolder);

// The activation file that starts `program` with -AUTOMATION.
QByteArray ActivationFileText(const QString &program);
// The interface description, as the program carries it.
QByteArray InterfaceDescription();

// Writes both files under `dataFolder` for `program`; raises ETessmarkError with a message
// naming what could not be written.
void RegisterAutomationServer(const QString &program, const QString &dataFolder);
// Removes both files; files already gone are fine. Raises ETessmarkError when one stays.
void UnregisterAutomationServer(const QString &dataFolder);

// The start-up step of main(): with -REGSERVER or -UNREGSERVER does that and answers the exit
// code to end with (the message on stderr when it failed); otherwise re-registers silently,
// remembers whether the bus started the program, and answers nothing.
std::optional<int> RunAutomationStartup(const QStringList &arguments);
// What RunAutomationStartup found: started by the bus for a client.
bool StartedByActivation();
