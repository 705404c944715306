// CommAll against vantrell-sim: the instrument's tests arrive in the transfer folder while the
// program keeps answering other calls.
#include "busclient.h"
#include "commall.h"
#include "data_sel.h"
#include "form_fixture.h"
#include "objcontrol.h"
#include "server.h"
#include "simulator.h"

#include <QDBusPendingCall>
#include <functional>

namespace {

class CommAllTest : public FormFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "the test's own bus daemon is not there";
        form = started();
        new TAutomationServer(*form, QDBusConnection::sessionBus(), false);
    }

    // Calls `call` from a connection of its own, runs `meanwhile` once the transfer dialog is
    // open and the reply still outstanding, and answers the reply.
    QDBusMessage CallWhile(const QDBusMessage &call, const std::function<void()> &meanwhile)
    {
        const QString name = QStringLiteral("fetcher");
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        QDBusPendingCall pending = bus.asyncCall(call, 60000);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return form->findChild<TTermDlg *>() != nullptr; }, 10000));
        EXPECT_FALSE(pending.isFinished());
        meanwhile();
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 30000));
        const QDBusMessage reply = pending.reply();
        bus = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(name);
        return reply;
    }

    std::unique_ptr<Tgrid_form> form;
    BusClient client;
};

TEST_F(CommAllTest, automation_CommAllFetchesEveryTestWhileOtherCallsAreServed)
{
    // Each answer comes late, so the list wait is long enough to call in between.
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("800")});
    form->Setting.Port = 1;
    form->Setting.Comm[0] = sim.link();

    const QDBusMessage reply =
        CallWhile(QDBusMessage::createMethodCall(kTestService, kTestPath, kTestInterface,
                                                 QStringLiteral("CommAll")),
                  [&] { EXPECT_EQ(client.Invoke(9), 0); });
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).toInt(), 0);

    // The transfer goes on after the answer.
    const QDir folder(form->Setting.FileMode.TempDir);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(folder.filePath(kThreeNames.last())); }, 30000))
        << messages.texts().join('|').toStdString();
    // The dialog closes when its transfer is done.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->findChild<TTermDlg *>() == nullptr; }, 10000));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(box.readFile(folder.filePath(kThreeNames.at(i))), instrumentTest(i));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

// Both fetches would read their answers from the one work file: the second is refused.
TEST_F(CommAllTest, automation_ASecondCommAllIsRefusedWhileTheFirstRuns)
{
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("800")});
    form->Setting.Port = 1;
    form->Setting.Comm[0] = sim.link();
    const QDBusMessage commAll = QDBusMessage::createMethodCall(
        kTestService, kTestPath, kTestInterface, QStringLiteral("CommAll"));
    const QDBusMessage reply = CallWhile(commAll, [&] {
        const QDBusMessage second = client.Call(QStringLiteral("CommAll"));
        EXPECT_EQ(second.errorName(), kAutomationError);
        EXPECT_EQ(second.errorMessage(), TTermDlg::InstrumentBusyText());
        EXPECT_EQ(form->findChildren<TTermDlg *>().size(), 1);
    });
    EXPECT_EQ(reply.arguments().value(0).toInt(), 0);
    const QDir folder(form->Setting.FileMode.TempDir);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->findChild<TTermDlg *>() == nullptr; }, 30000));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(box.readFile(folder.filePath(kThreeNames.at(i))), instrumentTest(i));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(CommAllTest, automation_CommAllAnswersNotDoneWhenTheDialogIsClosedFirst)
{
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("3000")});
    form->Setting.Port = 1;
    form->Setting.Comm[0] = sim.link();

    QDBusMessage call = QDBusMessage::createMethodCall(kTestService, kTestPath, kTestInterface,
                                                       QStringLiteral("Invoke"));
    call << int(5) << QVariant::fromValue(QVariantList());
    const QDBusMessage reply = CallWhile(call, [&] {
        if (TTermDlg *dialog = form->findChild<TTermDlg *>())
            dialog->close();
    });
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).value<QDBusVariant>().variant().toInt(), 1);
}

TEST_F(CommAllTest, automation_CommAllWithoutAListWaitsItsTimeAndAnswersNotDone)
{
    // No instrument behind the port: the list fails, the wait runs out, nothing is fetched.
    const int previous = TCommAllRun::SetListWait(3000);
    form->Setting.Port = 1;
    form->Setting.Comm[0] = box.filePath(QStringLiteral("no-such-device"));
    const QDBusMessage reply =
        CallWhile(QDBusMessage::createMethodCall(kTestService, kTestPath, kTestInterface,
                                                 QStringLiteral("CommAll")),
                  [] {});
    TCommAllRun::SetListWait(previous);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).toInt(), 1);
    EXPECT_EQ(messages.AskedBoxes.size(), 1); // the failure, told in the program
    EXPECT_EQ(QDir(form->Setting.FileMode.TempDir).entryList(QDir::Files), QStringList());
}

} // namespace
