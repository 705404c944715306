#include "archivekeeper.h"
#include "data_sel.h"
#include "events.h"
#include "form_fixture.h"
#include "pavlink.h"
#include "simulator.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include <unistd.h>

namespace {

bool waitFor(const std::function<bool()> &done, int ms = 15000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QString failure(const char *reason)
{
    return QStringLiteral("<通信失敗>\r\r") + QString::fromUtf8(reason);
}

class TransferFixture : public FormFixture
{
protected:
    TransferFixture() { Pavlink().SetTimeouts({2500, 1000}); }

    // The main window with its port 1 leading to `device`, and a transfer dialog of it.
    QPointer<TTermDlg> dialogOn(const QString &device)
    {
        form = started();
        form->Setting.Port = 1;
        form->Setting.Comm[0] = device;
        QPointer<TTermDlg> dialog = form->CreateTermDlg();
        dialog->show();
        return dialog;
    }

    QString transferFolder() const { return form->Setting.FileMode.TempDir; }
    // The work folders of the transfers in the window's temporary folder.
    QStringList workFolders() const
    {
        const QDir temp(form->TempFolder);
        QStringList folders;
        for (const QString &name : temp.entryList({QStringLiteral("tessmark-transfer-*")},
                                                  QDir::Dirs | QDir::NoDotAndDotDot))
            folders.append(temp.filePath(name));
        return folders;
    }
    // The one file of that name a transfer left in its work folder; empty when none or several.
    QString keptFile(const QString &name) const
    {
        QStringList found;
        for (const QString &folder : workFolders())
            if (QFile::exists(QDir(folder).filePath(name)))
                found.append(QDir(folder).filePath(name));
        EXPECT_EQ(found.size(), 1) << name.toStdString();
        return found.value(0);
    }

    // Lists the instrument's tests and moves them all to the right.
    void listAndPickAll(TTermDlg *dialog)
    {
        dialog->ListBtnClick();
        ASSERT_TRUE(waitFor([&] { return dialog->SrcList->count() == 3; }));
        // The list is in, nothing is picked yet: nothing to transfer.
        EXPECT_FALSE(dialog->DataBtn->isEnabled());
        QTest::mouseClick(dialog->IncAllBtn, Qt::LeftButton);
    }

    // A read answer as the library leaves it, handed to the dialog as the library would.
    void answerRead(TTermDlg *dialog, const QByteArray &bytes)
    {
        box.writeFile(QDir(box.path()).relativeFilePath(dialog->AddTemppath(kAnswerFileName)),
                      bytes);
        dialog->TransferMode = 1;
        dialog->ReadTotal = 1;
        dialog->ReadCount = 0;
        TWindowMessage answer(WM_TERMANSWER, 0, 0);
        QCoreApplication::sendEvent(dialog, &answer);
    }

    std::unique_ptr<Tgrid_form> form;
};

} // namespace

TEST_F(TransferFixture, ListPickAllAndTransferWritesTheInstrumentsFilesAndCloses)
{
    TSimulatorProcess sim(box);
    QPointer<TTermDlg> dialog = dialogOn(sim.link());
    listAndPickAll(dialog);
    EXPECT_EQ(itemTexts(dialog->DstList),
              (QStringList{QStringLiteral("01 102-004-017-0025-01 05年04月12日 10:35"),
                           QStringLiteral("02 102-004-017-0025-02 05年04月12日 11:05"),
                           QStringLiteral("03 102-004-017-0025-03 05年04月13日 09:20")}));
    // ">>" leaves the left list empty and turns the buttons round.
    EXPECT_EQ(dialog->SrcList->count(), 0);
    EXPECT_FALSE(dialog->ListBtn->isEnabled());
    EXPECT_FALSE(dialog->IncludeBtn->isEnabled() || dialog->IncAllBtn->isEnabled());
    EXPECT_TRUE(dialog->ExcludeBtn->isEnabled() && dialog->ExAllBtn->isEnabled() &&
                dialog->DataBtn->isEnabled());

    QTest::mouseClick(dialog->DataBtn, Qt::LeftButton);
    EXPECT_FALSE(dialog->DataBtn->isEnabled());
    ASSERT_TRUE(waitFor([&] { return dialog.isNull(); }))
        << messages.texts().join('|').toStdString();
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    for (int i = 0; i < 3; ++i) {
        const QString path = QDir(transferFolder()).filePath(kThreeNames.at(i));
        EXPECT_EQ(box.readFile(path), instrumentTest(i)) << path.toStdString();
        EXPECT_EQ(form->OpenDataFile(path), 0);
    }
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

// "<<", ">>" and the transfer button during a slow transfer once started a second transfer beside
// the first, and one test was left in the work file without a word.
TEST_F(TransferFixture, WhileATransferRunsNothingStartsAnotherOrChangesWhatIsFetched)
{
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("600")});
    QPointer<TTermDlg> dialog = dialogOn(sim.link());
    listAndPickAll(dialog);
    const QStringList picked = itemTexts(dialog->DstList);
    const QList<QAbstractButton *> buttons = {dialog->IncludeBtn, dialog->IncAllBtn,
                                              dialog->ExcludeBtn, dialog->ExAllBtn,
                                              dialog->DataBtn};
    const auto tryEverything = [&] {
        for (QAbstractButton *button : buttons)
            EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
        QTest::mouseClick(dialog->ExAllBtn, Qt::LeftButton);
        QTest::mouseClick(dialog->IncAllBtn, Qt::LeftButton);
        QTest::mouseClick(dialog->DataBtn, Qt::LeftButton);
        // The automation drives the same handlers directly.
        dialog->DstList->item(0)->setSelected(true);
        dialog->ExcludeBtnClick();
        dialog->ExcAllBtnClick();
        dialog->IncAllBtnClick();
        dialog->DataBtnClick();
        dialog->ListBtnClick();
        EXPECT_EQ(itemTexts(dialog->DstList), picked);
    };
    QTest::mouseClick(dialog->DataBtn, Qt::LeftButton);
    tryEverything();
    const QString first = QDir(transferFolder()).filePath(kThreeNames.at(0));
    ASSERT_TRUE(waitFor([&] { return dialog.isNull() || QFile::exists(first); }));
    ASSERT_FALSE(dialog.isNull());
    tryEverything(); // between two tests
    ASSERT_TRUE(waitFor([&] { return dialog.isNull(); }));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(box.readFile(QDir(transferFolder()).filePath(kThreeNames.at(i))),
                  instrumentTest(i));
    // The dialog took its work folder with it.
    EXPECT_TRUE(workFolders().isEmpty()) << workFolders().join(' ').toStdString();
}

// Every answer lands in the one work file: a second dialog (another "通信", or the automation's
// fetch) must not talk to the instrument while the first waits for an answer or transfers.
TEST_F(TransferFixture, TwoDialogsNeverTalkToTheInstrumentAtOnce)
{
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("600")});
    QPointer<TTermDlg> first = dialogOn(sim.link());
    listAndPickAll(first);
    first->DataBtnClick();
    QPointer<TTermDlg> second = form->CreateTermDlg();
    second->show();
    EXPECT_TRUE(TTermDlg::InstrumentBusy());
    second->ListBtnClick();
    EXPECT_EQ(messages.texts(), QStringList{TTermDlg::InstrumentBusyText()});
    EXPECT_FALSE(second->BusyWindow());
    ASSERT_TRUE(waitFor([&] { return first.isNull(); }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(box.readFile(QDir(transferFolder()).filePath(kThreeNames.at(i))),
                  instrumentTest(i));
    EXPECT_EQ(second->SrcList->count(), 0); // nothing was sent for it
    EXPECT_FALSE(TTermDlg::InstrumentBusy());
    second->ListBtnClick();
    EXPECT_TRUE(waitFor([&] { return second->SrcList->count() == 3; }));
    EXPECT_EQ(messages.AskedBoxes.size(), 1);
    delete second;
}

// A header whose date and time are not plain two-digit fields cannot name a file: the answer is
// malformed, the file the shortened name would have hit stays, the data stay in the work file.
TEST_F(TransferFixture, AHeaderThatCannotNameAFileIsMalformedAndReplacesNothing)
{
    const QByteArray test =
        sampleTestWithHeader(QByteArray("102 004 017 0025 04 05 04 12 10 30.ktd\0x", 40));
    box.writeFile(QStringLiteral("instrument/test4.ktd"), test);
    TSimulatorProcess sim(box);
    QPointer<TTermDlg> dialog = dialogOn(sim.link());
    const QString existing =
        QDir(transferFolder()).filePath(QStringLiteral("05年04月12日10：30.ktd"));
    box.writeFile(QDir(box.path()).relativeFilePath(existing), "older test\r\n");
    dialog->ListBtnClick();
    ASSERT_TRUE(waitFor([&] { return dialog->SrcList->count() == 4; }));
    dialog->SrcList->clearSelection();
    dialog->SrcList->item(3)->setSelected(true);
    dialog->IncludeBtnClick();
    dialog->DataBtnClick();
    ASSERT_TRUE(waitFor([&] { return !messages.AskedBoxes.isEmpty(); }));
    const QString kept = keptFile(kAnswerFileName);
    EXPECT_EQ(messages.texts(),
              QStringList{failure("送受信エラー") + QStringLiteral("\rデータは %1 に残っています。")
                                                        .arg(QDir::toNativeSeparators(kept))});
    EXPECT_EQ(box.readFile(existing), "older test\r\n");
    EXPECT_EQ(QDir(transferFolder()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(box.readFile(kept), test);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->DataBtn->isEnabled());
}

TEST_F(TransferFixture, EachFailureShowsItsMessageAndTheDialogStaysUsable)
{
    const struct
    {
        QStringList simArguments; // empty: no instrument at the port
        QString message;
    } cases[] = {
        {{}, failure("ポートオープンエラー")},
        {{"--fail", "refuse"}, failure("送信時エラー")},
        {{"--fail", "garble"}, failure("送受信エラー")},
        {{"--fail", "silent"}, failure("接続エラー")},
    };
    for (const auto &c : cases) {
        std::unique_ptr<TSimulatorProcess> sim;
        if (!c.simArguments.isEmpty())
            sim = std::make_unique<TSimulatorProcess>(box, c.simArguments);
        messages.AskedBoxes.clear();
        QPointer<TTermDlg> dialog = dialogOn(sim ? sim->link() : box.filePath("no-such-port"));
        dialog->ListBtnClick();
        ASSERT_TRUE(waitFor([&] { return !messages.AskedBoxes.isEmpty(); }));
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(messages.AskedBoxes.first().Kind, TMessageKind::Error);
        EXPECT_TRUE(dialog && dialog->ListBtn->isEnabled() && !dialog->BusyWindow());
        EXPECT_EQ(dialog->SrcList->count(), 0);
        delete dialog;
    }
}

TEST_F(TransferFixture, ABreakInTheThirdTestKeepsTheFirstTwoAndYesOpensWhatArrived)
{
    TSimulatorProcess sim(
        box, {QStringLiteral("--fail"), QStringLiteral("drop-after=%1").arg(kBreakInThirdTest)});
    QPointer<TTermDlg> dialog = dialogOn(sim.link());
    listAndPickAll(dialog);
    messages.answer(QMessageBox::Ok);
    messages.answer(QMessageBox::Yes);
    messages.answer(QMessageBox::Ok);
    dialog->DataBtnClick();
    ASSERT_TRUE(waitFor([&] { return dialog.isNull(); }));
    ASSERT_EQ(messages.texts().size(), 3) << messages.texts().join('|').toStdString();
    EXPECT_EQ(messages.texts().at(0), failure("受信時エラー"));
    EXPECT_TRUE(messages.texts().at(1).startsWith(QStringLiteral("通信に失敗しましたが")));
    // What arrived stays where the question says.
    const QString errorData = keptFile(kErrorDataFileName);
    EXPECT_TRUE(messages.texts().at(1).endsWith(
        QStringLiteral("データは %1 に残っています。").arg(QDir::toNativeSeparators(errorData))));
    EXPECT_EQ(messages.AskedBoxes.at(1).ButtonSet, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(messages.texts().at(2).startsWith(QStringLiteral("読み込んだデータは破壊")));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(box.readFile(QDir(transferFolder()).filePath(kThreeNames.at(i))),
                  instrumentTest(i));
    EXPECT_FALSE(QFile::exists(QDir(transferFolder()).filePath(kThreeNames.at(2))));
    EXPECT_EQ(form->Test.CurrentFile, errorData);
    EXPECT_EQ(form->DataState, 0);
}

TEST_F(TransferFixture, AFreeCommandPromptCancelledSendsCodeWithoutShowingTheDialog)
{
    TSimulatorProcess sim(box);
    form = started();
    form->Setting.Comm[0] = sim.link();
    form->CommandMode = true;
    QStringList prompts;
    SetInputQuery([&](QWidget *, const QString &caption, const QString &prompt, QString &value) {
        prompts << caption << prompt << value;
        return false;
    });
    form->TermStart->trigger();
    SetInputQuery({});
    EXPECT_EQ(prompts,
              (QStringList{QStringLiteral("任意コマンド発信"),
                           QStringLiteral("コマンドを入力してください"), QStringLiteral("CODE")}));
    ASSERT_TRUE(waitFor([&] { return form->findChildren<TTermDlg *>().isEmpty(); }));
    EXPECT_EQ(box.readFile(keptFile(kAnswerFileName)), "VT200 SIM CODE\r\n");
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(TransferFixture, ListAnswersWithoutTestsAndMovingWithNothingSelected)
{
    QPointer<TTermDlg> dialog = dialogOn(box.filePath("unused"));
    box.writeFile(QDir(box.path()).relativeFilePath(dialog->AddTemppath(kAnswerFileName)),
                  "VT200 LIST\r\nno tests\r\n");
    TWindowMessage answer(WM_TERMANSWER, 0, 0);
    QCoreApplication::sendEvent(dialog, &answer);
    EXPECT_EQ(dialog->SrcList->count(), 0);
    EXPECT_FALSE(dialog->ListBtn->isEnabled());

    dialog->AnswerLines = {QStringLiteral("001 1 2 3 4 5 05 04 12 10 35"),
                           QStringLiteral("002 1 2 3 4 6 05 04 12 11 35")};
    dialog->FillTestList();
    dialog->SrcList->clearSelection();
    dialog->IncludeBtnClick();
    EXPECT_EQ(dialog->DstList->count(), 0);
    EXPECT_EQ(dialog->SrcList->selectedItems(), QList{dialog->SrcList->item(0)});
    EXPECT_FALSE(dialog->DataBtn->isEnabled());
    // With one line selected, ">" moves it and selects the line that took its place.
    dialog->SrcList->item(1)->setSelected(false);
    dialog->IncludeBtnClick();
    EXPECT_EQ(itemTexts(dialog->DstList).value(0).left(3), QStringLiteral("01 "));
    EXPECT_EQ(dialog->SrcList->selectedItems(), QList{dialog->SrcList->item(0)});
    EXPECT_TRUE(dialog->DataBtn->isEnabled());
}

// A taken name never stops a transfer: a folder or another test under the name sends the test
// to the next free name, the same bytes are not written again, and the end of the transfer says
// so in one note.
TEST_F(TransferFixture, ATakenNameGoesToTheNextFreeOneAndTheSameTestIsNotWrittenTwice)
{
    QPointer<TTermDlg> dialog = dialogOn(box.filePath("unused"));
    const QString target = QDir(transferFolder()).filePath(kThreeNames.at(0));
    const QString second =
        QString(target).replace(QStringLiteral(".ktd"), QStringLiteral("_2.ktd"));
    const QString third = QString(target).replace(QStringLiteral(".ktd"), QStringLiteral("_3.ktd"));
    const QByteArray received = instrumentTest(0);
    QDir().mkpath(target);
    box.writeFile(QDir(box.path()).relativeFilePath(second), "another test\r\n");

    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            dialog = form->CreateTermDlg();
        messages.AskedBoxes.clear();
        answerRead(dialog, received);
        ASSERT_EQ(messages.texts().size(), 1) << round;
        EXPECT_EQ(messages.AskedBoxes.first().Kind, TMessageKind::Information);
        EXPECT_TRUE(messages.texts().first().contains(round == 0 ? QFileInfo(third).fileName()
                                                                 : QStringLiteral("転送済み")))
            << messages.texts().first().toStdString();
        EXPECT_TRUE(waitFor([&] { return dialog.isNull(); })); // the last test was kept
        EXPECT_EQ(box.readFile(third), received);
        EXPECT_EQ(box.readFile(second), "another test\r\n");
        EXPECT_EQ(QDir(transferFolder()).entryList(QDir::Files).size(), 2);
    }
}

// The user-interface thread never waits for the instrument: while a slow answer is on its way
// the main window keeps repainting and its timers keep running.
TEST_F(TransferFixture, TheWindowsStayLiveDuringASlowTransfer)
{
    TSimulatorProcess sim(box, {QStringLiteral("--delay"), QStringLiteral("1500")});
    QPointer<TTermDlg> dialog = dialogOn(sim.link());
    int paints = 0;
    struct PaintCounter : QObject
    {
        int *count;
        explicit PaintCounter(int *c) : count(c) {}
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    form->SoundGrid->viewport()->installEventFilter(&counter);
    QElapsedTimer clock;
    qint64 longestGap = 0;
    qint64 last = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
        form->SoundGrid->viewport()->update();
    });
    clock.start();
    ticker.start(20);
    dialog->ListBtnClick();
    ASSERT_TRUE(waitFor([&] { return dialog->SrcList->count() == 3; }));
    ticker.stop();
    EXPECT_GE(clock.elapsed(), 1500);
    // A wait for the instrument on this thread would stall it for 500 ms or more.
    EXPECT_LT(longestGap, 450);
    EXPECT_GE(paints, 20);
}

TEST_F(TransferFixture, F5AndTheToolButtonOpenTheDialogModallyAndItIsGoneAfterwards)
{
    form = started();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const std::function<void()> openers[] = {[&] { QTest::keyClick(form.get(), Qt::Key_F5); },
                                             [&] {
                                                 QTest::mouseClick(form->ToolButton3,
                                                                   Qt::LeftButton);
                                             }};
    for (const auto &open : openers) {
        QString caption;
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<TTermDlg *>(QApplication::activeModalWidget())) {
                caption = dialog->windowTitle();
                dialog->CancelBtn->click();
            }
        });
        closer.start(0);
        open();
        EXPECT_EQ(caption, QStringLiteral("試験ﾃﾞｰﾀ読み込み"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form->findChildren<TTermDlg *>().isEmpty());
    }
}

TEST(TuusinForm, TheCaptionBlinksEverySecond)
{
    TTuusinForm busy;
    EXPECT_EQ(busy.size(), QSize(205, 52));
    EXPECT_EQ(busy.Timer1->interval(), 1000);
    EXPECT_TRUE(busy.Timer1->isActive());
    EXPECT_EQ(busy.Panel1->text(), QStringLiteral("Vantrell通信中"));
    busy.Timer1Timer();
    EXPECT_EQ(busy.Panel1->text(), QString());
    busy.Timer1Timer();
    EXPECT_EQ(busy.Panel1->text(), QStringLiteral("Vantrell通信中"));
    EXPECT_TRUE(busy.Timer1->isActive());
}

// A transfer folder that cannot take the file (read-only, or under a file so it cannot exist):
// the message names both places and the system's reason, and the data stay in the transfer's
// "pavlink.tmp", which is left in place.
TEST_F(TransferFixture, AnUnusableTransferFolderKeepsTheDataAndSaysWhere)
{
    const QString blocker = box.writeFile(QStringLiteral("not-a-folder"), "a file");
    QStringList folders = {QDir(blocker).filePath(QStringLiteral("transfer"))};
    // Permissions do not stop the superuser, as the build machine may be.
    if (::geteuid() != 0) {
        const QString readOnly = box.filePath(QStringLiteral("read-only"));
        QDir().mkpath(readOnly);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
        folders.append(readOnly);
    }
    const QByteArray received = instrumentTest(0);
    for (const QString &folder : folders) {
        QPointer<TTermDlg> dialog = dialogOn(box.filePath("unused"));
        form->Setting.FileMode.TempDir = folder;
        messages.AskedBoxes.clear();
        answerRead(dialog, received);
        const QString target = QDir(folder).filePath(kThreeNames.at(0));
        const QString kept = keptFile(kAnswerFileName);
        ASSERT_EQ(messages.texts().size(), 1) << folder.toStdString();
        const QString told = messages.texts().first();
        EXPECT_TRUE(told.startsWith(QStringLiteral("転送されたデータを %1 に書き込めません。\r")
                                        .arg(QDir::toNativeSeparators(target))))
            << told.toStdString();
        EXPECT_TRUE(told.endsWith(
            QStringLiteral("データは %1 に残っています。").arg(QDir::toNativeSeparators(kept))))
            << told.toStdString();
        EXPECT_EQ(box.readFile(kept), received);
        EXPECT_FALSE(QFileInfo::exists(target));
        // The archive took the test before its file was to be written.
        TCatalogue *catalogue = form->Archive().Catalogue(form->Setting);
        ASSERT_TRUE(catalogue) << form->Archive().Problem().toStdString();
        const QList<TArchiveHit> archived = catalogue->Find({});
        ASSERT_EQ(archived.size(), 1) << folder.toStdString();
        EXPECT_EQ(catalogue->Bytes(archived.first().Entry.Id), received);
        delete dialog.data();
        QDir(QFileInfo(kept).absolutePath()).removeRecursively();
    }
}
