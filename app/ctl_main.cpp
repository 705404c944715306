// tessmark-ctl: drives the running Tessmark over the session bus, for scripts. The bus starts
// the program when none runs.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTextStream>
#include <climits>
#include <optional>

namespace {

const QString kService = QStringLiteral("Tessmark.ObjControl");
const QString kPath = QStringLiteral("/ObjControl");
const QString kInterface = QStringLiteral("Tessmark.IObjControl");

// No operation waits for a message box; printing a long test or the transfer's list wait may
// still take a while.
constexpr int kCallTimeoutMs = 10 * 60 * 1000;

const char kUsage[] =
    "usage: tessmark-ctl COMMAND [ARGUMENT]...\n"
    "       tessmark-ctl -       (commands from standard input, one per line)\n"
    "Drives the running Tessmark (bus name Tessmark.ObjControl) and starts it when none runs.\n"
    "\n"
    "  open FILE                 open and show a data file (.ktd .kgd .kmd .ksd)\n"
    "  save FILE                 save the open test (.kgd .kmd .k25 .k00)\n"
    "  numrows                   rows of the grid, header row included (0 without a test)\n"
    "  copycell X1 Y1 X2 Y2      copy grid cells (columns 0-6, row 0 the header) to the clipboard\n"
    "  copyinf                   copy the test information to the clipboard\n"
    "  copygraph                 copy the open graph window to the clipboard\n"
    "  dspgraph N                show the graph window: 0 Nsw, 1 converted N\n"
    "  changedspdata N           show 0 the standard data, 1 the 25 cm rounded data\n"
    "  printouttype B1 ... B8    choose the eight printouts (0 off, else on)\n"
    "  printout                  print the chosen printouts\n"
    "  commall                   fetch every test from the instrument\n"
    "  invoke DISPID [ARG]...    call an operation by its dispatch number (whole numbers are\n"
    "                            sent as integers, anything else as text)\n"
    "\n"
    "Prints the number the operation returns. Exit status: 0 done, 1 not done, 2 wrong usage,\n"
    "3 automation error (the message on stderr). Relative file names are made absolute.\n"
    "\n"
    "With '-' the commands of standard input run one after the other against one program,\n"
    "which this client holds until the input ends (a program the bus started keeps its test\n"
    "between them). Empty lines and lines starting with '#' are skipped; a file name with\n"
    "blanks is quoted. The first command that is not done ends the run with its status.\n";

struct TCommand
{
    const char *Word;
    const char *Method;
    const char *Arguments; // "s" a file name, "i" a number per argument
};

const TCommand kCommands[] = {
    {"open", "Open", "s"},
    {"save", "Save", "s"},
    {"numrows", nullptr, ""},
    {"copycell", "CopyCell", "iiii"},
    {"copyinf", "CopyInf", ""},
    {"copygraph", "CopyGraph", ""},
    {"dspgraph", "DspGraph", "i"},
    {"changedspdata", "ChangeDspData", "i"},
    {"printouttype", "PrintOutType", "iiiiiiii"},
    {"printout", "Printout", ""},
    {"commall", "CommAll", ""},
};

std::optional<int> int32Of(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return int(value);
}

QString absoluteFile(const QString &path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

int usageError(const QString &problem)
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << "tessmark-ctl: " << problem << '\n';
    err << kUsage;
    return 2;
}

// The program's messages break lines with a bare CR, which a terminal would not show as a
// line of its own.
QString terminalLines(const QString &message)
{
    return QString(message)
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(u'\r', u'\n');
}

QDBusMessage callOnce(const QDBusMessage &call)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return QDBusMessage::createError(QDBusError::Disconnected,
                                         QStringLiteral("no session bus: ") +
                                             bus.lastError().message());
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    // The toolkit's bus thread still hands an error reply on to the bus interface after the
    // call has returned; a program ending meanwhile makes it warn about invalid types. One more
    // round trip to the bus lets it finish first.
    if (reply.type() == QDBusMessage::ErrorMessage)
        bus.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    return reply;
}

// Sends the call and prints what it returns; answers the exit status.
int run(const QDBusMessage &call, bool isCount)
{
    const QDBusMessage reply = callOnce(call);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        QTextStream(stderr) << "tessmark-ctl: " << terminalLines(reply.errorMessage()) << " ("
                            << reply.errorName() << ")\n";
        return 3;
    }
    QVariant value = reply.arguments().value(0);
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    QTextStream(stdout) << value.toString() << '\n';
    const int number = value.toInt();
    if (isCount)
        return 0;
    return number == 0 ? 0 : 1;
}

// Runs one command given as its words (at least one); answers the exit status.
int runCommand(const QStringList &words)
{
    const QString word = words.first();
    const QStringList rest = words.mid(1);

    if (word == u"invoke") {
        const std::optional<int> dispid = rest.isEmpty() ? std::nullopt : int32Of(rest.first());
        if (!dispid)
            return usageError(QStringLiteral("invoke needs a dispatch number"));
        QVariantList callArgs;
        for (const QString &text : rest.mid(1)) {
            const std::optional<int> number = int32Of(text);
            // The file-name operations (Open 0, Save 10) get absolute paths like open/save.
            const bool fileName = *dispid == 0 || *dispid == 10;
            callArgs.append(QVariant::fromValue(QDBusVariant(
                number ? QVariant(*number) : QVariant(fileName ? absoluteFile(text) : text))));
        }
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Invoke"));
        call << *dispid << QVariant::fromValue(callArgs);
        return run(call, *dispid == 9);
    }

    for (const TCommand &command : kCommands) {
        if (word != QLatin1String(command.Word))
            continue;
        const qsizetype wanted = qstrlen(command.Arguments);
        if (rest.size() != wanted)
            return usageError(QStringLiteral("%1 takes %2 arguments").arg(word).arg(wanted));
        if (command.Method == nullptr) {
            // By number rather than as a property read: a method call makes this client a
            // holder, so a program the bus started for it ends when it has gone.
            QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                               QStringLiteral("Invoke"));
            call << 9 << QVariant::fromValue(QVariantList());
            return run(call, true);
        }
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                           QLatin1String(command.Method));
        for (qsizetype i = 0; i < wanted; ++i) {
            if (command.Arguments[i] == 's') {
                call << absoluteFile(rest[i]);
                continue;
            }
            const std::optional<int> number = int32Of(rest[i]);
            if (!number)
                return usageError(QStringLiteral("'%1' is not a whole number").arg(rest[i]));
            call << *number;
        }
        return run(call, false);
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(word));
}

// The commands of standard input, one per line, over this one bus connection: the program
// is held from the first call to the end of the input, so what one command opens the next
// still finds.
int runCommandLines()
{
    QTextStream in(stdin);
    in.setEncoding(QStringConverter::System);
    QString line;
    int lineNo = 0;
    while (in.readLineInto(&line)) {
        ++lineNo;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        const int status = runCommand(QProcess::splitCommand(trimmed));
        if (status != 0) {
            QTextStream(stderr) << "tessmark-ctl: stopped at line " << lineNo << ": " << trimmed
                                << '\n';
            return status;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usageError(QString());
    if (args.first() == u"--help" || args.first() == u"-h") {
        QTextStream(stdout) << kUsage;
        return 0;
    }
    if (args.first() == u"-") {
        if (args.size() != 1)
            return usageError(QStringLiteral("'-' reads the commands from standard input alone"));
        return runCommandLines();
    }
    return runCommand(args);
}
