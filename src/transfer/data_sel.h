// The transfer dialog "試験ﾃﾞｰﾀ読み込み": fetches the instrument's test list, lets the user pick
// tests and reads each into a .ktd file in the transfer folder.
#pragma once

#include "transferfiles.h"
#include "tuusin.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;
class TPavlink;
struct TSetting;

// What the dialog needs from the main window. The pointers must outlive the dialog.
struct TTermContext
{
    const TSetting *Setting = nullptr; // TermMode/Port, TermMode/CommN, FileMode/TempDir
    QString
        TempFolder; // where each transfer makes its work folder ("pavlink.tmp", "Errordata.ktd")
    const bool *MonitorFlag = nullptr; // the service flags handed to the library
    const bool *LogFlag = nullptr;
    std::function<int(const QString &)> OpenDataFile; // opens a file as the user would
    TPavlink *Library = nullptr;                      // default: the process's library
    TTransferredTestHook TestReceived;
};

// The one-line input box of the free command; true when confirmed. Replaceable for tests.
using TInputQuery = std::function<bool(QWidget *parent, const QString &caption,
                                       const QString &prompt, QString &value)>;
// Puts `query` in place (an empty function restores the real box); answers the previous one.
TInputQuery SetInputQuery(TInputQuery query);

class TTermDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TTermDlg(const TTermContext &context, QWidget *parent = nullptr);
    ~TTermDlg() override;

    // The buttons.
    void ListBtnClick();
    void DataBtnClick();
    void IncludeBtnClick();
    void ExcludeBtnClick();
    void IncAllBtnClick();
    void ExcAllBtnClick();

    // The three ways a command leaves.
    void SendCommand(const QString &text);
    void SendRead(int number);
    void SendFreeCommand();

    // List operations.
    void MoveSelected(QListWidget *list, QListWidget *target);
    int GetFirstSelection(QListWidget *list) const;
    void SetItem(QListWidget *list, int index);
    void SetButtons();

    void FillTestList();
    // Keeps the received test's `bytes`, read from `source`, as `name` in `folder`, or beside it
    // under the next free name; a file with the same bytes is the test's file already. False
    // when it could not be written: the user has then been told it stays in `source`.
    bool MoveTransferFile(const QByteArray &bytes, const QString &source, const QString &folder,
                          const QString &name);
    bool ErrorDataExists() const;

    // This transfer's work folder followed by a file name.
    QString AddTemppath(const QString &name) const;

    // State.
    QStringList AnswerLines;
    int TransferMode = 0; // 0 list, 1 read, 2 free command
    int ReadTotal = 0;
    int ReadCount = 0;

    // Controls, named as the components they stand for.
    QLabel *SrcLabel = nullptr;
    QLabel *DstLabel = nullptr;
    QListWidget *SrcList = nullptr;
    QListWidget *DstList = nullptr;
    QToolButton *IncludeBtn = nullptr;
    QToolButton *IncAllBtn = nullptr;
    QToolButton *ExcludeBtn = nullptr;
    QToolButton *ExAllBtn = nullptr;
    QPushButton *ListBtn = nullptr;
    QPushButton *DataBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The busy window of the outstanding command; null when none is open.
    TTuusinForm *BusyWindow() const { return m_busy; }

    // True while a dialog waits for an answer or runs a transfer of picked tests: the
    // instrument answers one command at a time, so no other dialog may talk to it meanwhile.
    static bool InstrumentBusy();
    // What a dialog (or the automation fetch) says when it finds the instrument busy.
    static QString InstrumentBusyText();

protected:
    bool event(QEvent *event) override;
    void done(int result) override;

private:
    void TermAnswer(int wParam, int lParam);
    void showBusyWindow();
    void closeBusyWindow();
    // Keeps the read test whose answer is `answer` (its lines are AnswerLines).
    void readAnswer(const QByteArray &answer);
    void readNext();
    // Ends a transfer of picked tests early or at its end; `message`, when given, says why.
    void stopReading(const QString &message = QString());
    // Takes the instrument for this dialog's next command; false (and the user told) when
    // another dialog has it.
    bool takeInstrument();
    // Leaves the work folder, with the data a message names, where it is; the next command
    // gets a new one, so nothing the user was told about is replaced or deleted.
    void keepWorkFolder();

    TTermContext m_context;
    std::unique_ptr<TTransferWorkFolder> m_work;
    // What became of tests whose name was taken or that were there already, said at the end.
    QStringList m_keptNotes;
    TPavlink *m_library = nullptr;
    QPointer<TTuusinForm> m_busy;
    // The test numbers picked when the transfer started, so moving lines meanwhile cannot
    // change which tests are read.
    QList<int> m_readNumbers;
    // A transfer of picked tests is running: from the transfer button until it ends or stops.
    bool m_reading = false;
    // A command has left and its answer has not come, or the answer is being dealt with (its
    // questions may be open, its data still in the work files).
    bool m_waiting = false;
    bool m_answering = false;
};
