#include "pavlink.h"

#include "codec.h"
#include "errors.h"
#include "events.h"
#include "portmap.h"
#include "safewrite.h"
#include "settings.h"
#include "wire.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSerialPort>
#include <QThread>
#include <QtDebug>

// One command as the worker runs it; everything it needs is copied in, so the worker never
// reads the caller's state.
struct TPavlinkJob
{
    int Id = 0;
    QString Device;
    QByteArray Command;
    QString TempFolder;
    TPavlinkTimeouts Timeouts;
    bool Read = false;
    bool Monitor = false;
    bool Log = false;
    // Set when the window waiting for the answer is gone: nobody would get it.
    std::shared_ptr<std::atomic<bool>> Abandoned;
};

class TPavlinkWorker : public QObject
{
    Q_OBJECT

public:
    explicit TPavlinkWorker(std::shared_ptr<std::atomic<bool>> stop) : m_stop(std::move(stop)) {}

    void run(const TPavlinkJob &job)
    {
        const int code = exchange(job);
        if (job.Monitor)
            qInfo().noquote() << "Vantrell:" << Cp932::decode(job.Command)
                              << (code == 0 ? QStringLiteral("answered")
                                            : QStringLiteral("failed with code %1").arg(code));
        emit finished(job.Id, code == 0 ? 0 : 1, code);
    }

signals:
    void finished(int job, int wParam, int lParam);

private:
    // Runs one command; 0 when "pavlink.tmp" holds the whole answer, else the failure code.
    int exchange(const TPavlinkJob &job)
    {
        QSerialPort port;
        port.setPortName(job.Device);
        if (job.Device.isEmpty() || !port.open(QIODevice::ReadWrite))
            return PortOpenFailure;
        port.setBaudRate(Wire::kBaudRate);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        // Whatever a late answer to an earlier command left behind is not this answer.
        port.clear();

        if (port.write(Wire::commandFrame(job.Command)) < 0)
            return SendFailure;
        while (port.bytesToWrite() > 0)
            if (!port.waitForBytesWritten(job.Timeouts.LineMs))
                return SendFailure;
        if (job.Log)
            qInfo().noquote() << "Vantrell >" << Cp932::decode(job.Command);

        Wire::TAnswerReader reader;
        QDeadlineTimer deadline(job.Timeouts.AnswerMs);
        while (reader.state() == Wire::TAnswerReader::Waiting ||
               reader.state() == Wire::TAnswerReader::Receiving) {
            // A runaway answer must not hold up the commands behind it once its window closed.
            if (m_stop->load() || job.Abandoned->load())
                return OtherFailure;
            if (deadline.hasExpired())
                return reader.began() ? brokenOff(job, reader) : ConnectFailure;
            // Short slices, so the program can end while an instrument keeps silent.
            if (port.waitForReadyRead(int(std::min<qint64>(100, deadline.remainingTime())))) {
                reader.feed(port.readAll());
                deadline.setRemainingTime(job.Timeouts.LineMs);
            } else if (port.error() != QSerialPort::NoError &&
                       port.error() != QSerialPort::TimeoutError) {
                return reader.began() ? brokenOff(job, reader) : ConnectFailure;
            }
        }
        if (job.Log)
            for (const QByteArray &line : reader.lines())
                qInfo().noquote() << "Vantrell <" << Cp932::decode(line);
        switch (reader.state()) {
        case Wire::TAnswerReader::Refused:
            return SendFailure;
        case Wire::TAnswerReader::Malformed:
            return AnswerFailure;
        default:
            break;
        }
        return write(QDir(job.TempFolder).filePath(kAnswerFileName), reader.data())
                   ? 0
                   : int(OtherFailure);
    }

    // A read that broke off keeps what arrived in "Errordata.ktd".
    int brokenOff(const TPavlinkJob &job, const Wire::TAnswerReader &reader)
    {
        if (job.Read && !reader.data().isEmpty())
            write(QDir(job.TempFolder).filePath(kErrorDataFileName), reader.data());
        return ReceiveFailure;
    }

    // The answer's lines with their line ends, whole or not at all.
    static bool write(const QString &path, const QByteArray &data)
    {
        try {
            WriteFileAtomically(path, data);
            return true;
        } catch (const ECantWriteFile &) {
            return false;
        }
    }

    std::shared_ptr<std::atomic<bool>> m_stop;
};

QString TermFailureText(int code)
{
    static const char *const reasons[] = {"ポートオープンエラー", "送信時エラー", "送受信エラー",
                                          "接続エラー", "受信時エラー"};
    const QString reason = code >= 1 && code <= 5 ? QString::fromUtf8(reasons[code - 1])
                                                  : QStringLiteral("その他のエラー");
    return QStringLiteral("<通信失敗>\r\r") + reason;
}

TPavlink::TPavlink(QObject *parent)
    : QObject(parent), m_stop(std::make_shared<std::atomic<bool>>(false)),
      m_tempFolder(QDir::tempPath())
{
    m_portMap = [](int n) {
        return CommDevicePath(TSetting(), n);
    };
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("Pavlink"));
    m_worker = new TPavlinkWorker(m_stop);
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &TPavlinkWorker::finished, this, &TPavlink::deliver, Qt::QueuedConnection);
    m_thread->start();
}

TPavlink::~TPavlink()
{
    m_stop->store(true);
    m_thread->quit();
    m_thread->wait();
}

void TPavlink::SetCom(int port)
{
    m_device = m_portMap(port);
}

void TPavlink::DspMonitor(const bool *monitorFlag, const bool *logFlag)
{
    m_monitorFlag = monitorFlag;
    m_logFlag = logFlag;
}

void TPavlink::Term_Command(const QString &command, QObject *receiver)
{
    TPavlinkJob job;
    job.Id = m_nextJob++;
    job.Device = m_device;
    job.Command = Cp932::encode(command);
    job.TempFolder = m_tempFolder;
    job.Timeouts = m_timeouts;
    job.Read = command.startsWith(QStringLiteral("READ "));
    job.Monitor = m_monitorFlag && *m_monitorFlag;
    job.Log = job.Monitor && m_logFlag && *m_logFlag;
    job.Abandoned = std::make_shared<std::atomic<bool>>(false);
    m_receivers.insert(job.Id, receiver);
    connect(receiver, &QObject::destroyed, this,
            [abandoned = job.Abandoned] { abandoned->store(true); });
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, job] { worker->run(job); }, Qt::QueuedConnection);
}

void TPavlink::deliver(int job, int wParam, int lParam)
{
    // An answer for a window that is gone is lost.
    if (const QPointer<QObject> receiver = m_receivers.take(job))
        QCoreApplication::postEvent(receiver, new TWindowMessage(WM_TERMANSWER, wParam, lParam));
}

TPavlink &Pavlink()
{
    static QPointer<TPavlink> library;
    if (!library)
        library = new TPavlink(QCoreApplication::instance());
    return *library;
}

#include "pavlink.moc"
