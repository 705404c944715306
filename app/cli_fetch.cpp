#include "cli_fetch.h"

#include "boundedread.h"
#include "errors.h"
#include "events.h"
#include "pavlink.h"
#include "testlist.h"
#include "transferfiles.h"
#include "wire.h"

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

// Answers `command` from the instrument; the answer stands in the work folder's "pavlink.tmp".
void exchange(TAnswerWaiter &waiter, TPavlink &library, const QString &command,
              TTransferWorkFolder &work, int number = 0)
{
    const int code = waiter.exchange(library, command);
    if (code == 0)
        return;
    QString message = terminalText(TermFailureText(code));
    const QString errorData = work.FilePath(kErrorDataFileName);
    if (code == ReceiveFailure && QFileInfo::exists(errorData)) {
        work.Keep();
        message += QStringLiteral("\ntest %1 broke off; what arrived is in %2")
                       .arg(number)
                       .arg(QDir::toNativeSeparators(errorData));
    }
    throw EFetchFailure{message};
}

// The folder the tests go to, made when it is missing.
void prepareOutFolder(const QString &out)
{
    // True for a folder that is there already; false for a file of that name.
    if (!QDir().mkpath(out))
        throw EFetchFailure{QStringLiteral("保存先のフォルダ %1 を作成できません")
                                .arg(QDir::toNativeSeparators(out))};
}

void fetch(const TFetchCommand &command, QTextStream &out, QTextStream &err,
           const TTransferredTestHook &transferred)
{
    TPavlink library;
    const QString device = command.port;
    library.SetPortMap([device](int) { return device; });
    library.SetCom(1);
    // A folder of this run's own: another fetch or a window transferring at the same time
    // keeps its answers apart, and nothing of theirs is read or deleted here.
    TTransferWorkFolder work;
    if (!work.IsValid())
        throw EFetchFailure{QStringLiteral("通信用の作業フォルダを作成できません: ") +
                            work.ErrorString()};
    library.SetTempFolder(work.Path());
    const QString answerFile = work.FilePath(kAnswerFileName);

    TAnswerWaiter waiter;
    exchange(waiter, library, QStringLiteral("LIST"), work);
    const QStringList listed = TestListLines(LoadAnswerLines(answerFile));
    if (command.list) {
        for (const QString &line : listed)
            out << line << '\n';
        return;
    }

    prepareOutFolder(command.out);
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
        exchange(waiter, library, QStringLiteral("READ %1").arg(number), work, number);
        QByteArray bytes;
        try {
            bytes = ReadWholeFile(answerFile, Wire::kMaxAnswerBytes);
        } catch (const EFileRefused &refused) {
            throw EFetchFailure{refused.message()};
        }
        const QString name = TransferFileName(AnswerLinesOf(bytes));
        // A header that cannot name a file safely makes the answer malformed, as in the dialog.
        if (name.isEmpty()) {
            work.Keep();
            throw EFetchFailure{terminalText(TermFailureText(AnswerFailure)) +
                                QStringLiteral("\ntest %1 has no header whose date and time can "
                                               "name its file; it is in %2")
                                    .arg(number)
                                    .arg(QDir::toNativeSeparators(answerFile))};
        }
        TKeptTest kept;
        try {
            kept = KeepTransferredTest(command.out, name, bytes);
        } catch (const ECantWriteFile &failure) {
            // The archive keeps what the file could not.
            if (transferred)
                transferred(bytes, QDir(command.out).filePath(name));
            work.Keep();
            throw EFetchFailure{terminalText(failure.message()) +
                                QStringLiteral("\ntest %1 is in %2")
                                    .arg(number)
                                    .arg(QDir::toNativeSeparators(answerFile))};
        }
        if (transferred)
            transferred(bytes, kept.Path);
        if (kept.AlreadyThere)
            err << QStringLiteral("test %1 is there already: %2 holds the same data\n")
                       .arg(number)
                       .arg(QDir::toNativeSeparators(kept.Path));
        else if (kept.Renamed)
            err << QStringLiteral("test %1: %2 is taken, kept as %3\n")
                       .arg(number)
                       .arg(name, QFileInfo(kept.Path).fileName());
        err.flush();
        out << QDir::toNativeSeparators(kept.Path) << '\n';
        out.flush();
    }
}

} // namespace

int RunCliFetch(const QStringList &arguments, QTextStream &out, QTextStream &err,
                const TTransferredTestHook &transferred)
{
    try {
        fetch(parseFetch(arguments), out, err, transferred);
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
