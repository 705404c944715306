// The automation fetch of every test from the instrument: a transfer dialog lists the tests,
// and once the list has come, all of them are transferred.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class TTermDlg;
class Tgrid_form;

class TCommAllRun : public QObject
{
    Q_OBJECT

public:
    // How long the list may take after the list button was pressed.
    static constexpr int kListWaitMs = 20000;
    // Replaces that wait (tests); answers the previous one.
    static int SetListWait(int ms);

    // Opens a transfer dialog of `window` (not modal) and presses its list button. The program
    // keeps serving the user and other calls meanwhile; `finished` is called once: 0 when the
    // transfer of every listed test has started (it goes on in the dialog, which stays open),
    // 1 when no list came within the wait or the dialog was closed first.
    static void Start(Tgrid_form &window, std::function<void(int)> finished);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TCommAllRun(TTermDlg *dialog, std::function<void(int)> finished);
    // After the list button was disabled or the wait ran out.
    void Decide();
    void Finish(int status);

    QPointer<TTermDlg> m_dialog;
    std::function<void(int)> m_finished;
    QTimer m_wait;
};
