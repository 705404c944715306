// vantrell-sim: serves the data files of a folder as the tests of a Vantrell instrument on a
// pseudo-terminal, speaking the program's wire protocol, with failures on demand.
#include "boundedread.h"
#include "wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct TSimOptions
{
    QString Tests;
    QString Link;
    QString Fail; // "", "refuse", "garble", "silent", "endless" or "drop-after"
    int DropAfter = 0;
    int DelayMs = 0;
};

// The test files in name order, each as its lines without line ends. The instrument holds
// transfer files (.ktd) only: the program's own data files, site files and anything else in the
// folder would be garbled tests, so they are skipped with a note.
QList<QList<QByteArray>> loadTests(const QString &folder)
{
    QList<QList<QByteArray>> tests;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(QLatin1String(".ktd"), Qt::CaseInsensitive)) {
            std::fprintf(stderr, "vantrell-sim: skipped %s: not an instrument test file (.ktd)\n",
                         qPrintable(name));
            continue;
        }
        QByteArray bytes;
        try {
            bytes = ReadWholeFile(dir.filePath(name), Wire::kMaxAnswerBytes);
        } catch (const EFileRefused &refused) {
            std::fprintf(stderr, "vantrell-sim: skipped %s: %s\n", qPrintable(name),
                         qPrintable(refused.message()));
            continue;
        }
        QList<QByteArray> lines = bytes.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        for (QByteArray &line : lines)
            if (line.endsWith('\r'))
                line.chop(1);
        tests.append(lines);
    }
    return tests;
}

// The list line of a test: its number on the instrument, then its header line.
QByteArray listLine(int number, const QList<QByteArray> &test)
{
    QByteArray header = "000 000 000 0000 00 00 00 00 00 00";
    for (const QByteArray &line : test)
        if (!line.isEmpty() && line.at(0) >= '0' && line.at(0) <= '9') {
            header = line.trimmed();
            break;
        }
    return QByteArray::number(number).rightJustified(3, '0') + ' ' + header;
}

class TSimulator
{
public:
    TSimulator(int master, const TSimOptions &options)
        : m_master(master), m_options(options), m_tests(loadTests(options.Tests))
    {}

    [[noreturn]] void run()
    {
        QByteArray pending;
        for (;;) {
            pollfd fd{m_master, POLLIN, 0};
            if (poll(&fd, 1, 200) <= 0 || !(fd.revents & POLLIN)) {
                // With no terminal side open the master reports a hang-up; wait for the next.
                if (fd.revents & (POLLHUP | POLLERR))
                    QThread::msleep(50);
                continue;
            }
            char buffer[512];
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got <= 0) {
                QThread::msleep(50);
                continue;
            }
            pending.append(buffer, got);
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                QByteArray line = pending.left(end);
                pending.remove(0, end + 1);
                if (line.endsWith('\r'))
                    line.chop(1);
                if (!line.isEmpty())
                    answer(line);
            }
        }
    }

private:
    void answer(const QByteArray &command)
    {
        if (m_options.Fail == u"silent")
            return;
        if (m_options.DelayMs > 0)
            QThread::msleep(m_options.DelayMs);
        if (m_options.Fail == u"refuse") {
            send(Wire::refusalFrame("refused"));
            return;
        }
        QList<QByteArray> lines;
        bool read = false;
        if (command == "LIST") {
            for (int i = 0; i < m_tests.size(); ++i)
                lines.append(listLine(i + 1, m_tests.at(i)));
        } else if (command.startsWith("READ ")) {
            bool ok = false;
            const int number = command.mid(5).toInt(&ok);
            if (!ok || number < 1 || number > m_tests.size()) {
                send(Wire::refusalFrame("no such test"));
                return;
            }
            lines = m_tests.at(number - 1);
            read = true;
        } else {
            lines.append("VT200 SIM " + command);
        }

        if (m_options.Fail == u"garble") {
            QByteArray frame = Wire::answerFrame(lines);
            // One byte of the last data line flips: the check no longer fits.
            const qsizetype at = frame.lastIndexOf("\r\nE ") - 1;
            frame[at] = char(frame.at(at) ^ 0x01);
            send(frame);
            return;
        }
        if (read && m_options.Fail == u"endless") {
            // The answer begins as usual and its data lines never end.
            QByteArray frame = Wire::answerFrame(lines);
            frame.truncate(frame.lastIndexOf("\r\nE ") + 2);
            while (send(frame))
                frame = QByteArray("D 100 0025 J04 010\r\n").repeated(256);
            return;
        }
        if (read && m_options.Fail == u"drop-after" && m_options.DropAfter < lines.size()) {
            // The line breaks off: the first lines arrive, then nothing more.
            const QByteArray frame = Wire::answerFrame(lines.mid(0, m_options.DropAfter));
            send(frame.left(frame.lastIndexOf("E ")));
            return;
        }
        send(Wire::answerFrame(lines));
    }

    // False when the bytes could not all be sent: the terminal is gone, or nobody has read
    // from it for two seconds (the program gave up on the answer).
    bool send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            pollfd fd{m_master, POLLOUT, 0};
            if (poll(&fd, 1, 2000) <= 0)
                return false;
            const ssize_t n = ::write(m_master, bytes.constData() + done, bytes.size() - done);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    continue;
                return false;
            }
            done += n;
        }
        return true;
    }

    int m_master;
    TSimOptions m_options;
    QList<QList<QByteArray>> m_tests;
};

int fail(const QString &message)
{
    std::fprintf(stderr, "vantrell-sim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A Vantrell instrument on a pseudo-terminal: serves the transfer files (.ktd) of DIR as\n"
        "its tests (LIST numbers them in name order, READ n sends test n) until it is killed;\n"
        "other files are skipped with a note on standard error. Prints the terminal's path as\n"
        "its first line.");
    parser.addHelpOption();
    parser.addOption({"tests", "Folder whose .ktd files are the instrument's tests.", "DIR"});
    parser.addOption({"link", "Symbolic link to create to the terminal.", "PATH"});
    parser.addOption({"fail",
                      "Fail on demand: refuse (code 2), garble (3), silent (4), endless (3: a READ "
                      "answer whose data lines never end), drop-after=N (5: a READ breaks off "
                      "after N lines).",
                      "KIND"});
    parser.addOption({"delay", "Wait MS milliseconds before each answer.", "MS"});
    parser.process(app);

    TSimOptions options;
    options.Tests = parser.value("tests");
    options.Link = parser.value("link");
    if (options.Tests.isEmpty() || options.Link.isEmpty())
        return fail("--tests DIR and --link PATH are needed");
    if (!QFileInfo(options.Tests).isDir())
        return fail("no such folder: " + options.Tests);
    const QString failure = parser.value("fail");
    if (failure.startsWith("drop-after=")) {
        bool ok = false;
        options.DropAfter = failure.mid(11).toInt(&ok);
        if (!ok || options.DropAfter < 0)
            return fail("drop-after takes a number of lines: " + failure);
        options.Fail = "drop-after";
    } else if (failure.isEmpty() || failure == "refuse" || failure == "garble" ||
               failure == "silent" || failure == "endless") {
        options.Fail = failure;
    } else {
        return fail("unknown failure: " + failure);
    }
    if (parser.isSet("delay")) {
        bool ok = false;
        options.DelayMs = parser.value("delay").toInt(&ok);
        if (!ok || options.DelayMs < 0)
            return fail("--delay takes milliseconds: " + parser.value("delay"));
    }

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return fail("cannot open a pseudo-terminal");
    const char *slaveName = ptsname(master);
    // Holding the terminal side open keeps the master readable between the program's sessions;
    // raw mode passes every byte unchanged.
    const int slave = ::open(slaveName, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return fail("cannot open the terminal side");
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);

    QFile::remove(options.Link);
    if (!QFile::link(QString::fromLocal8Bit(slaveName), options.Link))
        return fail("cannot create the link " + options.Link);
    std::printf("%s\n", slaveName);
    std::fflush(stdout);

    TSimulator(master, options).run();
}
