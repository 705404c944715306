// Calls to the automation object from the test process: over a connection of their own, or
// through an outside program, always with the event loop running so the server in the same
// process can answer.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

inline const QString kTestService = QStringLiteral("Tessmark.ObjControl");
inline const QString kTestPath = QStringLiteral("/ObjControl");
inline const QString kTestInterface = QStringLiteral("Tessmark.IObjControl");

// One client connection to the session bus, closed when the object goes.
class BusClient
{
public:
    BusClient()
        : m_name(QStringLiteral("automation-test-client-%1").arg(++counter())),
          m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name))
    {}
    ~BusClient() { Disconnect(); }

    void Disconnect()
    {
        // The connection closes only when no object refers to it any more.
        m_connection = QDBusConnection(QString());
        if (m_connected)
            QDBusConnection::disconnectFromBus(m_name);
        m_connected = false;
    }

    QDBusMessage Call(const QString &method, const QVariantList &args = {})
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kTestService, kTestPath, kTestInterface, method);
        call.setArguments(args);
        return Send(call);
    }

    // The integer an operation answers; -1 (after a test failure) when it answered an error.
    int Status(const QString &method, const QVariantList &args = {})
    {
        const QDBusMessage reply = Call(method, args);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toInt() : -1;
    }

    int NumRows()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            kTestService, kTestPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << kTestInterface << QStringLiteral("NumRows");
        const QDBusMessage reply = Send(get);
        return reply.arguments().value(0).value<QDBusVariant>().variant().toInt();
    }

    // Dispatch by number; answers the integer in the returned variant.
    int Invoke(int dispid, const QVariantList &args = {})
    {
        QVariantList wrapped;
        for (const QVariant &arg : args)
            wrapped.append(QVariant::fromValue(QDBusVariant(arg)));
        const QDBusMessage reply = Call(QStringLiteral("Invoke"), {dispid, wrapped});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant().toInt();
    }

    QDBusMessage Send(const QDBusMessage &message)
    {
        QDBusPendingCall pending = m_connection.asyncCall(message, 60000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 60000));
        return pending.reply();
    }

private:
    static int &counter()
    {
        static int n = 0;
        return n;
    }

    QString m_name;
    QDBusConnection m_connection;
    bool m_connected = true;
};

struct ProcessResult
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// Runs a program to its end while the event loop keeps serving calls.
inline ProcessResult RunProcess(const QString &program, const QStringList &args,
                                const QString &folder = QString())
{
    QProcess process;
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, args);
    EXPECT_TRUE(process.waitForStarted(10000)) << program.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(process.readAllStandardError())};
}
