#include "cli_fetch.h"

#include "events.h"
#include "pavlink.h"
#include "testlist.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char *const kFetchUsage = "  tessmark-cli fetch --port DEVICE --out DIR [--test N]...\n"
                                "  tessmark-cli fetch --port DEVICE --list\n";

struct TFetchCommand
{
    QString port;
    QString out;
    QList<int> tests;
    bool list = false;
};

struct EFetchUsage
{
    QString message;
};

struct EFetchFailure
{
    QString message;
};

TFetchCommand parseFetch(const QStringList &arguments)
{
    TFetchCommand command;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto valueOf = [&]() {
            if (i + 1 >= arguments.size())
                throw EFetchUsage{argument + QStringLiteral(" needs a value")};
            return arguments.at(++i);
        };
        if (argument == u"--port") {
            command.port = valueOf();
        } else if (argument == u"--out") {
            command.out = valueOf();
        } else if (argument == u"--list") {
            command.list = true;
        } else if (argument == u"--test") {
            const QString value = valueOf();
            bool ok = false;
            const int number = value.toInt(&ok);
            if (!ok || number < 1)
                throw EFetchUsage{QStringLiteral("--test takes a list number: ") + value};
            command.tests.append(number);
        } else {
            throw EFetchUsage{QStringLiteral("unknown argument ") + argument};
        }
    }
    if (command.port.isEmpty())
        throw EFetchUsage{QStringLiteral("fetch needs --port DEVICE")};
    if (command.list == !command.out.isEmpty())
        throw EFetchUsage{QStringLiteral("fetch takes either --out DIR or --list")};
    if (command.list && !command.tests.isEmpty())
        throw EFetchUsage{QStringLiteral("--test goes with --out")};
    return command;
}

// Receives the library's answers and ends the wait for each.
class TAnswerWaiter : public QObject
{
public:
    int exchange(TPavlink &library, const QString &command)
    {
        m_code = -1;
        library.Term_Command(command, this);
        m_loop.exec();
        return m_code;
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != WM_TERMANSWER)
            return QObject::event(event);
        const auto *message = static_cast<TWindowMessage *>(event);
        m_code = message->WParam == 1 ? int(message->LParam) : 0;
        m_loop.quit();
        return true;
    }

private:
    QEventLoop m_loop;
    int m_code = -1;
};

QString terminalText(const QString &text)
{
    return QString(text)
        .replace(u'\r', u'\n')
        .replace(QStringLiteral("\n\n"), QStringLiteral(": "));
}

void fetch(const TFetchCommand &command, QTextStream &out)
{
    TPavlink library;
    const QString device = command.port;
    library.SetPortMap([device](int) { return device; });
    library.SetCom(1);
    const QDir temp(library.TempFolder());
    const QString answerFile = temp.filePath(kAnswerFileName);
    const QString errorData = temp.filePath(kErrorDataFileName);
    QFile::remove(errorData);

    TAnswerWaiter waiter;
    if (const int code = waiter.exchange(library, QStringLiteral("LIST")))
        throw EFetchFailure{terminalText(TermFailureText(code))};
    const QStringList listed = TestListLines(LoadAnswerLines(answerFile));
    // The list has been read; only a test that could not be placed is left behind.
    QFile::remove(answerFile);
    if (command.list) {
        for (const QString &line : listed)
            out << line << '\n';
        return;
    }

    const QDir target(command.out);
    if (!QFileInfo(command.out).isDir())
        throw EFetchFailure{QStringLiteral("no such folder: ") + command.out};
    QList<int> numbers = command.tests;
    if (numbers.isEmpty())
        for (int n = 1; n <= listed.size(); ++n)
            numbers.append(n);
    for (const int number : std::as_const(numbers))
        if (number > listed.size())
            throw EFetchFailure{QStringLiteral("the instrument holds no test %1 (it lists %2)")
                                    .arg(number)
                                    .arg(listed.size())};

    for (const int number : std::as_const(numbers)) {
        if (const int code = waiter.exchange(library, QStringLiteral("READ %1").arg(number))) {
            QString message = terminalText(TermFailureText(code));
            if (code == ReceiveFailure && QFile::exists(errorData))
                message += QStringLiteral("\ntest %1 broke off; what arrived is in %2")
                               .arg(number)
                               .arg(QDir::toNativeSeparators(errorData));
            throw EFetchFailure{message};
        }
        const QString name = TransferFileName(LoadAnswerLines(answerFile));
        // A header that cannot name a file safely makes the answer malformed, as in the dialog.
        if (name.isEmpty())
            throw EFetchFailure{terminalText(TermFailureText(AnswerFailure)) +
                                QStringLiteral("\ntest %1 has no header whose date and time can "
                                               "name its file; it is in %2")
                                    .arg(number)
                                    .arg(QDir::toNativeSeparators(answerFile))};
        const QString path = target.filePath(name);
        // An earlier file of the same name is the user's: it is never replaced here.
        if (QFileInfo::exists(path))
            throw EFetchFailure{QStringLiteral("%1 exists already; test %2 is in %3")
                                    .arg(QDir::toNativeSeparators(path))
                                    .arg(number)
                                    .arg(QDir::toNativeSeparators(answerFile))};
        if (!QFile::rename(answerFile, path))
            throw EFetchFailure{QStringLiteral("cannot write %1; test %2 is in %3")
                                    .arg(QDir::toNativeSeparators(path))
                                    .arg(number)
                                    .arg(QDir::toNativeSeparators(answerFile))};
        out << QDir::toNativeSeparators(path) << '\n';
        out.flush();
    }
}

} // namespace

int RunCliFetch(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    try {
        fetch(parseFetch(arguments), out);
        out.flush();
        return 0;
    } catch (const EFetchUsage &e) {
        err << e.message << '\n' << "usage:\n" << kFetchUsage;
        err.flush();
        return 2;
    } catch (const EFetchFailure &e) {
        out.flush();
        err << e.message << '\n';
        err.flush();
        return 1;
    }
}
