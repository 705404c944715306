#include "registration.h"

#include "errors.h"
#include "safewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

namespace {

bool startedByActivation = false;

// One word of the activation file's Exec line: the bus splits it like a shell, so a path with
// blanks or quotes is quoted.
QString execWord(const QString &word)
{
    static const QString special = QStringLiteral(" \t\"'\\$`");
    bool plain = !word.isEmpty();
    for (const QChar c : word)
        plain = plain && !special.contains(c);
    if (plain)
        return word;
    QString quoted = word;
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    return u'"' + quoted + u'"';
}

void writeWhole(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        WriteFileAtomically(path, bytes);
    } catch (const ECantWriteFile &e) {
        throw ETessmarkError(QStringLiteral("%1 に書き込めません: %2").arg(path, e.message()));
    }
}

void removeFile(const QString &path)
{
    QFile file(path);
    if (file.exists() && !file.remove())
        throw ETessmarkError(
            QStringLiteral("%1 を削除できません: %2").arg(path, file.errorString()));
}

} // namespace

TAutomationSwitches AutomationSwitchesOf(const QStringList &arguments)
{
    TAutomationSwitches found;
    for (const QString &argument : arguments) {
        if (!argument.startsWith(u'/') && !argument.startsWith(u'-'))
            continue;
        const QString word = argument.mid(1).toUpper();
        found.Automation |= word == u"AUTOMATION";
        found.Embedding |= word == u"EMBEDDING";
        found.RegServer |= word == u"REGSERVER";
        found.UnregServer |= word == u"UNREGSERVER";
    }
    return found;
}

QString UserDataFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::home().filePath(QStringLiteral(".local/share"));
}

QString ActivationFilePath(const QString &dataFolder)
{
    return QDir(dataFolder)
        .filePath(QStringLiteral("dbus-1/services/") + kAutomationService +
                  QStringLiteral(".service"));
}

QString InterfaceFilePath(const QString &dataFolder)
{
    return QDir(dataFolder)
        .filePath(QStringLiteral("dbus-1/interfaces/") + kAutomationInterface +
                  QStringLiteral(".xml"));
}

QByteArray ActivationFileText(const QString &program)
{
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -AUTOMATION\n")
        .arg(kAutomationService, execWord(program))
        .toUtf8();
}

QByteArray InterfaceDescription()
{
    QFile description(QStringLiteral(":/automation/Tessmark.IObjControl.xml"));
    if (!description.open(QIODevice::ReadOnly))
        throw ETessmarkError(QStringLiteral("インターフェース記述がプログラムにありません"));
    return description.readAll();
}

void RegisterAutomationServer(const QString &program, const QString &dataFolder)
{
    writeWhole(InterfaceFilePath(dataFolder), InterfaceDescription());
    writeWhole(ActivationFilePath(dataFolder), ActivationFileText(program));
}

void UnregisterAutomationServer(const QString &dataFolder)
{
    removeFile(ActivationFilePath(dataFolder));
    removeFile(InterfaceFilePath(dataFolder));
}

std::optional<int> RunAutomationStartup(const QStringList &arguments)
{
    const TAutomationSwitches switches = AutomationSwitchesOf(arguments.mid(1));
    startedByActivation = switches.StartedByActivation();
    const QString program = QCoreApplication::applicationFilePath();
    try {
        if (switches.UnregServer) {
            UnregisterAutomationServer(UserDataFolder());
            return 0;
        }
        RegisterAutomationServer(program, UserDataFolder());
        if (switches.RegServer)
            return 0;
    } catch (const ETessmarkError &error) {
        if (switches.RegServer || switches.UnregServer) {
            std::fprintf(stderr, "tessmark: %s\n", qPrintable(error.message()));
            return 1;
        }
        // An ordinary start serves the user even when it cannot register for clients.
    }
    return std::nullopt;
}

bool StartedByActivation()
{
    return startedByActivation;
}
