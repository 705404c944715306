// The automation object on the session bus, driving a main window in its own sandbox.
#include "busclient.h"
#include "errors.h"
#include "form_fixture.h"
#include "graphunit.h"
#include "holders.h"
#include "objcontrol.h"
#include "server.h"

#include <QClipboard>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QImage>
#include <QPrinterInfo>
#include <sys/stat.h>

namespace {

class AutomationTest : public FormFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "the test's own bus daemon is not there";
        form = started();
        server = new TAutomationServer(*form, QDBusConnection::sessionBus(), false);
        ASSERT_TRUE(server->OwnsName());
    }

    QString program(const char *name) const
    {
        return QDir(QStringLiteral(TESSMARK_BIN_DIR)).filePath(QLatin1String(name));
    }

    std::unique_ptr<Tgrid_form> form;
    TAutomationServer *server = nullptr; // owned by the window
    BusClient client;
};

TGraphForm *graphOf(const Tgrid_form &form)
{
    return qobject_cast<TGraphForm *>(form.GraphWindow());
}

TEST_F(AutomationTest, automation_OperationsThatNeedATestRefuseAndChangeNothing)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const QString target = QDir(dataDir()).filePath(QStringLiteral("out.kgd"));
    const TSetting settingsBefore = form->Setting;
    const QString captionBefore = form->windowTitle();

    EXPECT_EQ(client.NumRows(), 0);
    EXPECT_EQ(client.Invoke(9), 0);
    const struct
    {
        const char *Method;
        QVariantList Args;
    } refused[] = {
        {"Printout", {}},  {"CopyCell", {0, 0, 0, 0}}, {"CopyGraph", {}},
        {"DspGraph", {0}}, {"ChangeDspData", {1}},     {"PrintOutType", {1, 1, 1, 1, 1, 1, 1, 1}},
        {"CopyInf", {}},   {"Save", {target}},
    };
    for (const auto &operation : refused)
        EXPECT_EQ(client.Status(QLatin1String(operation.Method), operation.Args), 1)
            << operation.Method;
    EXPECT_EQ(client.Invoke(10, {target}), 1);

    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(form->GraphWindow(), nullptr);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(form->DataState, 3);
    EXPECT_EQ(form->windowTitle(), captionBefore);
    EXPECT_EQ(form->Setting.PrnTable, settingsBefore.PrnTable);
    EXPECT_EQ(form->Setting.PrnTN25, settingsBefore.PrnTN25);
}

TEST_F(AutomationTest, automation_OpenAndViewSwitchAreCountedInNumRows)
{
    EXPECT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    const int normalRows = form->Test.NormalLog.Count;
    ASSERT_GT(normalRows, 0);
    EXPECT_EQ(client.NumRows(), normalRows + 1);

    EXPECT_EQ(client.Status(QStringLiteral("ChangeDspData"), {1}), 0);
    const int roundedRows = form->Test.RoundedLog.Count;
    ASSERT_NE(roundedRows, normalRows); // else the switch could go unseen
    EXPECT_EQ(client.NumRows(), roundedRows + 1);
    EXPECT_EQ(client.Invoke(9), roundedRows + 1);
    EXPECT_TRUE(form->K25->isChecked());

    EXPECT_EQ(client.Invoke(7, {0}), 0); // by number, back to the standard data
    EXPECT_EQ(client.NumRows(), normalRows + 1);
    EXPECT_EQ(client.Status(QStringLiteral("ChangeDspData"), {2}), 1);
    EXPECT_EQ(client.NumRows(), normalRows + 1);
}

// A box in the program once kept the client waiting until someone clicked it: over the bus, the
// failure reaches the client as the error with the program's message, and no box is shown.
TEST_F(AutomationTest, automation_FailuresReachTheClientAndNoBoxWaits)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    const int rows = client.NumRows();
    const QString caption = form->windowTitle();
    const QString text = box.writeFile(QStringLiteral("x.txt"), "not a test\r\n");
    const QString broken = box.writeCp932Lines(
        QStringLiteral("data/broken.kgd"),
        {"$T(", "102 004 017 0026 04 24 05 17 10 40", "100 00x5 J04 004 粘性土", "T11 05", ")"});
    const QString pipe = box.filePath(QStringLiteral("pipe.ktd"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString existing = box.writeFile(QStringLiteral("existing.kgd"), "older\r\n");
    const struct
    {
        const char *Method;
        QVariantList Args;
        QString Message; // the whole message, or its start when it ends in "…"
    } cases[] = {
        {"Open", {text}, QStringLiteral("このファイルタイプには対応していません")},
        {"Open", {broken}, QStringLiteral("ファイル broken.kgd の 3 行目が読めません: …")},
        {"Open",
         {pipe},
         QStringLiteral("ファイルエラー\r") + pipe +
             QStringLiteral(" は通常のファイルではありません")},
        {"Save",
         {existing},
         QStringLiteral("同名のファイルが存在します。保存しますか?\r"
                        "（自動操作のため「キャンセル」と答えました）")},
    };
    for (const auto &c : cases) {
        const QDBusMessage reply = client.Call(QLatin1String(c.Method), c.Args);
        const std::string what = c.Args.value(0).toString().toStdString();
        EXPECT_EQ(reply.errorName(), kAutomationError) << what;
        if (c.Message.endsWith(u'…'))
            EXPECT_TRUE(reply.errorMessage().startsWith(c.Message.chopped(1)))
                << reply.errorMessage().toStdString();
        else
            EXPECT_EQ(reply.errorMessage(), c.Message) << what;
    }
    // Without a printer the printout fails the same way (only where none is installed: a real
    // one would print).
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        ASSERT_EQ(client.Status(QStringLiteral("PrintOutType"), {1, 0, 0, 0, 0, 0, 0, 0}), 0);
        const QDBusMessage reply = client.Call(QStringLiteral("Printout"));
        EXPECT_EQ(reply.errorName(), kAutomationError);
        EXPECT_TRUE(reply.errorMessage().contains(QStringLiteral("「設定」で")))
            << reply.errorMessage().toStdString();
    }
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(client.NumRows(), rows);
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_EQ(box.readFile(existing), "older\r\n");
}

// On a machine without a printer a script's printout goes into the PDF file chosen in an earlier
// session's print dialog.
TEST_F(AutomationTest, automation_PrintoutGoesToTheRememberedPdfFile)
{
    const QString pdf = QDir(dataDir()).filePath(QStringLiteral("printout.pdf"));
    form->Setting.PrnPdfFile = pdf;
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    ASSERT_EQ(client.Status(QStringLiteral("PrintOutType"), {1, 1, 0, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(client.Status(QStringLiteral("Printout")), 0);
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(5) == "%PDF-");
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

// Typed data not yet saved are never given up for a caller who cannot be asked.
TEST_F(AutomationTest, automation_OpenKeepsUnsavedTypedDataAndTellsTheClient)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.kmd"))}), 0);
    form->DataState = 2; // typed over and not saved
    const int rows = client.NumRows();

    const QDBusMessage reply =
        client.Call(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))});
    EXPECT_EQ(reply.errorName(), kAutomationError);
    EXPECT_EQ(
        reply.errorMessage(),
        QStringLiteral("ファイルを保存しますか\r（自動操作のため「キャンセル」と答えました）"));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(client.NumRows(), rows);
    EXPECT_EQ(form->DataKind, 2);
    EXPECT_EQ(form->DataState, 2);

    form->DataState = 1; // saved
    EXPECT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    EXPECT_EQ(form->DataKind, 1);
}

TEST_F(AutomationTest, automation_CopyCellTakesTheWholeGridAndRefusesOutsideIt)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    const int rows = client.NumRows();
    QString whole;
    for (int row = 0; row < rows; ++row)
        whole += gridRow(*form, row).join(u'\t') + QStringLiteral("\r\n");

    EXPECT_EQ(client.Status(QStringLiteral("CopyCell"), {0, 0, 6, rows - 1}), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), whole);
    EXPECT_TRUE(whole.startsWith(gridRow(*form, 0).join(u'\t'))); // the header row leads

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const QList<QVariantList> outside = {
        {0, 0, 7, 1}, {0, 0, 6, rows}, {3, 1, 2, 1}, {0, 5, 6, 4}, {-1, 0, 0, 0}};
    for (const QVariantList &range : outside)
        EXPECT_EQ(client.Status(QStringLiteral("CopyCell"), range), 1)
            << range.value(2).toInt() << ' ' << range.value(3).toInt();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    EXPECT_EQ(client.Invoke(8), 0); // CopyInf by number
    const QStringList info = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    EXPECT_EQ(info.size(), 7); // six lines, each ended
    EXPECT_TRUE(info.last().isEmpty());
}

TEST_F(AutomationTest, automation_PrintOutTypeStoresBoxesByTheirLowestEightBits)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    EXPECT_EQ(client.Status(QStringLiteral("PrintOutType"), {1, 0, -1, 0, 0x100, 2, 0, 0x101}), 0);
    const TSetting &chosen = form->Setting;
    EXPECT_EQ((QList<bool>{chosen.PrnTable, chosen.PrnNsw, chosen.PrnN, chosen.PrnTable25,
                           chosen.PrnNsw25, chosen.PrnN25, chosen.PrnTNsw25, chosen.PrnTN25}),
              (QList<bool>{true, false, true, false, false, true, false, true}));
}

TEST_F(AutomationTest, automation_GraphWindowOpensForAnyKindAndCopies)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    EXPECT_EQ(client.Status(QStringLiteral("CopyGraph")), 1); // no window yet

    EXPECT_EQ(client.Status(QStringLiteral("DspGraph"), {2}), 1);
    ASSERT_NE(graphOf(*form), nullptr);
    EXPECT_TRUE(graphOf(*form)->isVisible());

    EXPECT_EQ(client.Status(QStringLiteral("DspGraph"), {1}), 0);
    EXPECT_EQ(graphOf(*form)->Kind(), TGraphKind::N);

    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(client.Status(QStringLiteral("CopyGraph")), 0);
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
}

TEST_F(AutomationTest, automation_SaveWritesWhatTheCommandLineToolWrites)
{
    const QString opened = sample(QStringLiteral("sample.ktd"));
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {opened}), 0);
    const QString ours = QDir(dataDir()).filePath(QStringLiteral("ours.kgd"));
    EXPECT_EQ(client.Status(QStringLiteral("Save"), {ours}), 0);

    const QString theirs = QDir(dataDir()).filePath(QStringLiteral("theirs.kgd"));
    const ProcessResult cli =
        RunProcess(program("tessmark-cli"), {"save", opened, theirs, "--tables", programDir()});
    ASSERT_EQ(cli.ExitCode, 0) << cli.Err.toStdString();
    EXPECT_EQ(box.readFile(ours), box.readFile(theirs));
    EXPECT_EQ(form->DataState, 1);
}

TEST_F(AutomationTest, automation_FailedSaveReachesTheClientAsAnError)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    const QString missing = box.filePath(QStringLiteral("no-such-folder/out.kgd"));

    for (const QDBusMessage &reply :
         {client.Call(QStringLiteral("Save"), {missing}),
          client.Call(QStringLiteral("Invoke"),
                      {10, QVariantList{QVariant::fromValue(QDBusVariant(missing))}})}) {
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(reply.errorName(), QStringLiteral("Tessmark.Error"));
        // The system's reason, not the advice about disk space.
        EXPECT_TRUE(reply.errorMessage().startsWith(QStringLiteral("データを保存できません\r") +
                                                    missing + QStringLiteral(": ")))
            << reply.errorMessage().toStdString();
        EXPECT_NE(reply.errorMessage(), ECantWriteFile().message());
    }
    EXPECT_EQ(form->DataState, 0); // not saved
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(AutomationTest, automation_DispatchByNumberChecksItsArguments)
{
    const struct
    {
        int DispId;
        QVariantList Args;
        const char *Error;
    } wrong[] = {
        {11, {}, "org.freedesktop.DBus.Error.UnknownMethod"},
        {3, {0, 0, 6}, "org.freedesktop.DBus.Error.InvalidArgs"},
        {0, {5}, "org.freedesktop.DBus.Error.InvalidArgs"},
        {6, {QStringLiteral("1")}, "org.freedesktop.DBus.Error.InvalidArgs"},
    };
    for (const auto &call : wrong) {
        QVariantList wrapped;
        for (const QVariant &arg : call.Args)
            wrapped.append(QVariant::fromValue(QDBusVariant(arg)));
        const QDBusMessage reply = client.Call(QStringLiteral("Invoke"), {call.DispId, wrapped});
        EXPECT_EQ(reply.errorName(), QLatin1String(call.Error)) << call.DispId;
    }
}

TEST_F(AutomationTest, automation_CloseWarnsOnlyWhileAClientHoldsTheObject)
{
    const QString warning = QStringLiteral(
        "作動中の COM オブジェクトがアプリケーション内に残っています。クライアントアプリケーション"
        "から参照している可能性がありますから，このアプリケーションを直接終了した場合には"
        "クライアント側で問題が生じるかもしれません。\r\r終了させてもよろしいですか?");
    client.Invoke(9);
    ASSERT_EQ(server->Holders().Count(), 1);

    messages.answer(QMessageBox::No);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Text, warning);
    EXPECT_EQ(messages.AskedBoxes[0].ButtonSet, QMessageBox::Yes | QMessageBox::No);

    client.Disconnect();
    EXPECT_TRUE(QTest::qWaitFor([&] { return server->Holders().Count() == 0; }, 10000));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(messages.AskedBoxes.size(), 1);
}

TEST_F(AutomationTest, automation_StartedByTheBusItClosesWhenTheLastClientGoes)
{
    delete server;
    server = new TAutomationServer(*form, QDBusConnection::sessionBus(), true);
    BusClient second;
    client.Invoke(9);
    second.Status(QStringLiteral("CopyGraph"));
    client.Disconnect();
    QTest::qWait(200);
    EXPECT_TRUE(form->isVisible()); // one client still holds it
    second.Disconnect();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 10000));
}

// Reading a property does not make a client a holder: a program the bus started only for that
// once ran for ever.
TEST_F(AutomationTest, automation_StartedByTheBusItEndsWhenNoClientEverHeldIt)
{
    delete server;
    server = new TAutomationServer(*form, QDBusConnection::sessionBus(), true, 500);
    EXPECT_EQ(client.NumRows(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 10000));
    EXPECT_EQ(server->Holders().Count(), 0);
}

TEST_F(AutomationTest, automation_SecondServerDoesNotTakeTheName)
{
    QDBusConnection other =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second"));
    {
        TAutomationServer second(*form, other, false);
        EXPECT_FALSE(second.OwnsName());
    }
    other = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("second"));
    EXPECT_EQ(QDBusConnection::sessionBus().interface()->serviceOwner(kTestService).value(),
              QDBusConnection::sessionBus().baseService());
}

TEST_F(AutomationTest, automation_OutsideClientsGdbusAndTessmarkCtl)
{
    const QString file = sample(QStringLiteral("sample.ktd"));
    const ProcessResult gdbus = RunProcess(
        QStringLiteral("gdbus"), {"call", "--session", "--dest", kTestService, "--object-path",
                                  kTestPath, "--method", "Tessmark.IObjControl.Open", file});
    EXPECT_EQ(gdbus.Out, QStringLiteral("(0,)")) << gdbus.Err.toStdString();
    const int rows = form->Test.NormalLog.Count + 1;

    const struct
    {
        QStringList Args;
        int ExitCode;
        QString Out;
    } runs[] = {
        {{"numrows"}, 0, QString::number(rows)},
        {{"invoke", "9"}, 0, QString::number(rows)},
        {{"open", "sample.ktd"}, 0, "0"}, // relative to the caller's folder
        {{"copycell", "0", "0", "7", "1"}, 1, "1"},
        {{"dspgraph", "0"}, 0, "0"},
        {{"save", "no-such-folder/out.kgd"}, 3, ""},
        {{"copycell", "0", "0"}, 2, ""},
        {{"dspgraph", "x"}, 2, ""},
        {{"frobnicate"}, 2, ""},
    };
    for (const auto &run : runs) {
        const ProcessResult ctl = RunProcess(program("tessmark-ctl"), run.Args, dataDir());
        EXPECT_EQ(ctl.ExitCode, run.ExitCode) << run.Args.join(' ').toStdString();
        EXPECT_EQ(ctl.Out, run.Out) << run.Args.join(' ').toStdString();
        if (run.ExitCode == 3) {
            EXPECT_TRUE(ctl.Err.contains(ECantWriteFile().message().section(u'\r', 0, 0)))
                << ctl.Err.toStdString();
        }
    }
}

// A bare CR once put the second line of a message over the first on a terminal, and an error
// reply made the toolkit warn on its way out now and then.
TEST_F(AutomationTest, automation_TessmarkCtlPrintsMessagesLineByLineAndNothingElse)
{
    ASSERT_EQ(client.Status(QStringLiteral("Open"), {sample(QStringLiteral("sample.ktd"))}), 0);
    const ProcessResult save =
        RunProcess(program("tessmark-ctl"), {"save", "no-such-folder/out.kgd"}, dataDir());
    EXPECT_EQ(save.ExitCode, 3);
    EXPECT_TRUE(save.Err.startsWith(QStringLiteral("tessmark-ctl: データを保存できません\n") +
                                    QDir(dataDir()).filePath("no-such-folder/out.kgd") + u':'))
        << save.Err.toStdString();
    EXPECT_FALSE(save.Err.contains(u'\r'));
    EXPECT_TRUE(save.Err.endsWith(QStringLiteral(" (Tessmark.Error)\n")));
    // The warning came with some runs only: enough runs that it would show.
    for (int run = 0; run < 40; ++run) {
        const ProcessResult unknown = RunProcess(program("tessmark-ctl"), {"invoke", "11"});
        EXPECT_EQ(unknown.ExitCode, 3);
        ASSERT_EQ(unknown.Err, QStringLiteral("tessmark-ctl: no operation has dispatch number 11 "
                                              "(org.freedesktop.DBus.Error.UnknownMethod)\n"))
            << run;
    }
}

} // namespace
