// The communication library towards the Vantrell instrument: SetCom, DspMonitor and
// Term_Command. Each command runs on the library's own worker thread and is answered later by
// exactly one posted WM_TERMANSWER; the caller never waits.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

// LParam of a failed WM_TERMANSWER (WParam 1).
enum TTermFailure : int {
    PortOpenFailure = 1, // the port cannot be opened
    SendFailure = 2,     // the command cannot be sent or the instrument refuses it
    AnswerFailure = 3,   // the answer is malformed (framing or check wrong)
    ConnectFailure = 4,  // nothing arrives within the answer time-out
    ReceiveFailure = 5,  // the answer breaks off after it began
    OtherFailure = 6,    // anything else (the answer file cannot be written)
};

// The work files in the temporary folder.
inline const QString kAnswerFileName = QStringLiteral("pavlink.tmp");
inline const QString kErrorDataFileName = QStringLiteral("Errordata.ktd");

// The message for a failure code: "<通信失敗>" and the reason ("\r" as line break).
QString TermFailureText(int code);

struct TPavlinkTimeouts
{
    int AnswerMs = 5000; // from the command to the first byte of the answer
    int LineMs = 2000;   // longest silence once the answer began
};

class TPavlinkWorker;

class TPavlink : public QObject
{
    Q_OBJECT

public:
    explicit TPavlink(QObject *parent = nullptr);
    ~TPavlink() override;

    // The port for the next commands, by its number (1..9, "Comm1".."Comm9").
    void SetCom(int port);
    // The service flags: the monitor display (and with it the log of every line) goes to the
    // program's diagnostic output while they are set. Both must outlive the library's use.
    void DspMonitor(const bool *monitorFlag, const bool *logFlag);
    // Sends one command ("LIST", "READ n" or a free text) to the port chosen by SetCom and
    // returns at once; `receiver` gets one WM_TERMANSWER when it is answered (none if it is
    // gone by then). The answer stands in "pavlink.tmp" of the temporary folder.
    void Term_Command(const QString &command, QObject *receiver);

    // Settings of this program around the three entry points.
    // Maps a port number to its device path (default: CommDevicePath with default settings).
    void SetPortMap(std::function<QString(int)> map) { m_portMap = std::move(map); }
    // The folder of "pavlink.tmp" and "Errordata.ktd" (default: QDir::tempPath()).
    void SetTempFolder(const QString &folder) { m_tempFolder = folder; }
    void SetTimeouts(const TPavlinkTimeouts &timeouts) { m_timeouts = timeouts; }
    // Device path chosen by the last SetCom.
    QString Device() const { return m_device; }

private:
    void deliver(int job, int wParam, int lParam);

    QThread *m_thread = nullptr;
    TPavlinkWorker *m_worker = nullptr;
    std::shared_ptr<std::atomic<bool>> m_stop;
    std::function<QString(int)> m_portMap;
    QString m_tempFolder;
    TPavlinkTimeouts m_timeouts;
    QString m_device;
    const bool *m_monitorFlag = nullptr;
    const bool *m_logFlag = nullptr;
    int m_nextJob = 1;
    QHash<int, QPointer<QObject>> m_receivers;
};

// The library of this process (created on first use, ended with the application).
TPavlink &Pavlink();
