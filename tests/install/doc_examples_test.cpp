// Every command example of the user's guide, the manual pages and the README, run as a reader
// would copy it, against the built programs and the installed samples. A renamed option, command
// or bus method fails here instead of in the reader's terminal.
//
// Where the examples are:
//   docs/guide/index.html  every <pre class="example"> and <code class="example"> element;
//   docs/man/*.1           every .nf ... .fi block of the EXAMPLES section;
//   README.md              every ```sh block, unless the line before it is <!-- not run: why -->.
// What an example needs besides the programs is said before it: data-needs="..." on the HTML
// element, a line .\" needs: ... before .nf, a line <!-- needs: ... --> before the ```sh fence.
//   display     it starts a window: run under xvfb-run;
//   bus         it talks over the session bus: run inside dbus-run-session;
//   instrument  vantrell-sim serves the sample site's tests on /tmp/vantrell meanwhile;
//   printer     a print target: a PDF file remembered as the print dialog's last choice.
// Each command (a line, with its \ continuations and here-document) must exit with 0, or with
// N when it ends in the comment "# exit N". The commands of one example run in one shell, in a
// fresh folder (the README's at the top of the source tree, where build/bin/ is the build's
// programs), with a home folder of the example's own; /usr/share/tessmark stands for the samples
// installed by `cmake --install --component samples`, and /tmp/ for a private folder.
#include "sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct TDocExample
{
    QString Source; // "docs/man/tessmark-cli.1:235", the line the example starts on
    QString Text;   // as a reader copies it
    QStringList Needs;
    std::string Name;          // the test's name
    bool InSourceTree = false; // run at the top of the source tree
};

// How gtest names an example in its output: where it is written.
void PrintTo(const TDocExample &example, std::ostream *out)
{
    *out << example.Source.toStdString();
}

QString sourceDir()
{
    return QStringLiteral(TESSMARK_SOURCE_DIR);
}

QString readText(const QString &relative)
{
    QFile file(QDir(sourceDir()).filePath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

int lineAt(const QString &text, qsizetype offset)
{
    return int(text.left(offset).count(u'\n')) + 1;
}

QStringList needsOf(const QString &words)
{
    return words.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
}

TDocExample example(const QString &file, int line, const QString &text, const QStringList &needs)
{
    TDocExample e{file + u':' + QString::number(line), text, needs, {}, file == u"README.md"};
    QString name = QFileInfo(file).fileName() + QStringLiteral("_line") + QString::number(line);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    e.Name = name.toStdString();
    return e;
}

QString htmlText(QString html)
{
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return html.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

QList<TDocExample> guideExamples(const QString &file)
{
    QList<TDocExample> found;
    const QString html = readText(file);
    static const QRegularExpression element(
        QStringLiteral("<(pre|code) class=\"example\"(?: data-needs=\"([^\"]*)\")?>(.*?)</\\1>"),
        QRegularExpression::DotMatchesEverythingOption);
    for (const auto &match : element.globalMatch(html))
        found.append(example(file, lineAt(html, match.capturedStart()), htmlText(match.captured(3)),
                             needsOf(match.captured(2))));
    return found;
}

QString roffText(QString line)
{
    return line.replace(QLatin1String("\\-"), QLatin1String("-"))
        .replace(QLatin1String("\\(aq"), QLatin1String("'"))
        .replace(QLatin1String("\\(dq"), QLatin1String("\""))
        .replace(QLatin1String("\\&"), QString())
        .replace(QLatin1String("\\e"), QLatin1String("\\"));
}

QList<TDocExample> manExamples(const QString &file)
{
    QList<TDocExample> found;
    const QStringList lines = readText(file).split(u'\n');
    bool inExamples = false;
    QStringList needs;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QLatin1String(".SH"))) {
            inExamples = line == u".SH EXAMPLES";
            continue;
        }
        if (!inExamples)
            continue;
        if (line.startsWith(QLatin1String(".\\\" needs:"))) {
            needs = needsOf(line.mid(10));
            continue;
        }
        if (line != u".nf")
            continue;
        QStringList text;
        int end = i + 1;
        for (; end < lines.size() && lines[end] != u".fi"; ++end)
            text.append(roffText(lines[end]));
        found.append(example(file, i + 2, text.join(u'\n'), needs));
        needs.clear();
        i = end;
    }
    return found;
}

QList<TDocExample> readmeExamples(const QString &file)
{
    QList<TDocExample> found;
    const QStringList lines = readText(file).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() != u"```sh")
            continue;
        const QString before = i > 0 ? lines[i - 1].trimmed() : QString();
        QStringList text;
        int end = i + 1;
        for (; end < lines.size() && lines[end].trimmed() != u"```"; ++end)
            text.append(lines[end]);
        if (!before.startsWith(QLatin1String("<!-- not run:"))) {
            static const QRegularExpression marker(QStringLiteral("^<!-- needs:(.*)-->$"));
            found.append(
                example(file, i + 2, text.join(u'\n'), needsOf(marker.match(before).captured(1))));
        }
        i = end;
    }
    return found;
}

std::vector<TDocExample> allExamples()
{
    QList<TDocExample> all = guideExamples(QStringLiteral("docs/guide/index.html"));
    const QStringList pages =
        QDir(QDir(sourceDir()).filePath(QStringLiteral("docs/man"))).entryList({"*.1"});
    for (const QString &page : pages)
        all += manExamples(QStringLiteral("docs/man/") + page);
    all += readmeExamples(QStringLiteral("README.md"));
    return std::vector<TDocExample>(all.begin(), all.end());
}

// One command of an example and the exit status its text promises.
struct TCommand
{
    QString Text;
    int Status = 0;
};

// The example's commands: a line with its "\" continuations and its here-document, if any.
QList<TCommand> commandsOf(const QString &text)
{
    static const QRegularExpression expected(QStringLiteral("#\\s*exit\\s+(\\d+)\\s*$"));
    static const QRegularExpression hereDocument(QStringLiteral("<<-?\\s*'?\"?(\\w+)"));
    QList<TCommand> commands;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString first = lines[i].trimmed();
        if (first.isEmpty() || first.startsWith(u'#'))
            continue;
        QStringList command{lines[i]};
        while (command.last().endsWith(u'\\') && i + 1 < lines.size())
            command.append(lines[++i]);
        const auto document = hereDocument.match(command.join(u'\n'));
        if (document.hasMatch())
            while (i + 1 < lines.size() && command.last().trimmed() != document.captured(1))
                command.append(lines[++i]);
        const auto status = expected.match(command.first());
        commands.append({command.join(u'\n'), status.hasMatch() ? status.captured(1).toInt() : 0});
    }
    return commands;
}

QString buildBin()
{
    return QStringLiteral(TESSMARK_BIN_DIR);
}

class DocExample : public ::testing::TestWithParam<TDocExample>
{
protected:
    void SetUp() override
    {
        home = box.filePath(QStringLiteral("home"));
        work = box.filePath(QStringLiteral("work"));
        privateTmp = box.filePath(QStringLiteral("tmp"));
        prefix = box.filePath(QStringLiteral("prefix"));
        for (const QString &folder : {home, work, privateTmp, box.filePath("runtime")})
            ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(box.filePath("runtime"), QFileDevice::ReadOwner |
                                                           QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner);
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"),
                           buildBin() + u':' + environment.value(QStringLiteral("PATH")));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("TMPDIR"), privateTmp);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), box.filePath("runtime"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        // The reader's own folders under the example's home, where the documents name them;
        // said outright, since the bus daemon finds a home by the user's entry, not $HOME.
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        for (const char *name :
             {"XDG_CACHE_HOME", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));

        // The samples where an installed program has them.
        const ProcessResult installed = runHere(QStringLiteral(TESSMARK_CMAKE_COMMAND),
                                                {"--install", QStringLiteral(TESSMARK_BUILD_DIR),
                                                 "--component", "samples", "--prefix", prefix});
        ASSERT_EQ(installed.Status, 0) << installed.Output.toStdString();
        // The bus finds the program as a package would have registered it.
        QProcessEnvironment offscreen = environment;
        offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const ProcessResult registered =
            runHere(buildBin() + QStringLiteral("/tessmark"), {"-REGSERVER"}, offscreen);
        ASSERT_EQ(registered.Status, 0) << registered.Output.toStdString();
    }

    struct ProcessResult
    {
        int Status = -1;
        QString Output;
    };

    ProcessResult runHere(const QString &program, const QStringList &args,
                          const QProcessEnvironment &env = {})
    {
        QProcess process;
        process.setProcessEnvironment(env.isEmpty() ? environment : env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        if (!process.waitForFinished(60000))
            return {-1, program + QStringLiteral(" did not finish")};
        return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
    }

    // The example as this test runs it: the documented places mapped to the test's own.
    QString mapped(const QString &text) const
    {
        // The private folders lie under the system's temporary folder themselves: /tmp/ first.
        return QString(text)
            .replace(QLatin1String("/tmp/"), privateTmp + u'/')
            .replace(QLatin1String("/usr/share/tessmark"),
                     prefix + QStringLiteral("/share/tessmark"))
            .replace(QRegularExpression(QStringLiteral("(^|\\s)build/bin/"),
                                        QRegularExpression::MultilineOption),
                     QStringLiteral("\\1") + buildBin() + u'/');
    }

    TestSandbox box;
    QString home, work, privateTmp, prefix;
    QProcessEnvironment environment;
};

TEST_P(DocExample, RunsAsItsTextSays)
{
    const TDocExample &e = GetParam();
    SCOPED_TRACE(e.Source.toStdString());
    const QList<TCommand> commands = commandsOf(e.Text);
    ASSERT_FALSE(commands.isEmpty()) << "an example without a command";

    // Each command's status goes to a file of its own, whatever the commands print.
    const QString statusFile = box.filePath(QStringLiteral("status"));
    QString script = QStringLiteral("exec 9>'%1'\ncd '%2' || exit 99\n")
                         .arg(statusFile, e.InSourceTree ? sourceDir() : work);
    for (int i = 0; i < commands.size(); ++i)
        script += mapped(commands[i].Text) + QStringLiteral("\necho \"%1 $?\" >&9\n").arg(i);
    const QString scriptFile = box.writeFile(QStringLiteral("example.sh"), script.toUtf8());

    QProcessEnvironment env = environment;
    QStringList program;
    for (const QString &need : e.Needs) {
        if (need == u"display") {
            program << QStringLiteral("xvfb-run") << QStringLiteral("-a") << QStringLiteral("-s")
                    << QStringLiteral("-screen 0 1280x1024x24");
        } else if (need != u"bus" && need != u"instrument" && need != u"printer") {
            FAIL() << "unknown need " << need.toStdString();
        }
    }
    if (!e.Needs.contains(u"display"))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (e.Needs.contains(u"bus"))
        program << QStringLiteral("dbus-run-session") << QStringLiteral("--");
    program << QStringLiteral("bash") << scriptFile;
    if (e.Needs.contains(u"printer")) {
        QSettings store(home + QStringLiteral("/.config/Korvath/tessmark.ini"),
                        QSettings::IniFormat);
        store.setValue(QStringLiteral("PrnMode/PdfFile"),
                       box.filePath(QStringLiteral("print.pdf")));
    }

    QProcess instrument;
    if (e.Needs.contains(u"instrument")) {
        instrument.start(buildBin() + QStringLiteral("/vantrell-sim"),
                         {"--tests", prefix + QStringLiteral("/share/tessmark/samples/site"),
                          "--link", privateTmp + QStringLiteral("/vantrell")});
        ASSERT_TRUE(instrument.waitForReadyRead(10000));
    }

    // A session of its own, so whatever the example leaves running ends with it.
    QProcess shell;
    shell.setProcessEnvironment(env);
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.setChildProcessModifier([] { ::setsid(); });
    shell.start(program.takeFirst(), program);
    ASSERT_TRUE(shell.waitForStarted(10000));
    const pid_t session = pid_t(shell.processId());
    shell.waitForFinished(120000);
    ::kill(-session, SIGKILL);
    shell.waitForFinished(5000);
    const QString output = QString::fromLocal8Bit(shell.readAll());
    instrument.kill();
    instrument.waitForFinished(5000);

    QFile statuses(statusFile);
    ASSERT_TRUE(statuses.open(QIODevice::ReadOnly));
    QMap<int, int> got;
    for (const QByteArray &line : statuses.readAll().split('\n'))
        if (const QList<QByteArray> fields = line.split(' '); fields.size() == 2)
            got.insert(fields[0].toInt(), fields[1].toInt());
    for (int i = 0; i < commands.size(); ++i)
        EXPECT_EQ(got.value(i, -1), commands[i].Status)
            << commands[i].Text.toStdString() << "\n(-1: it did not end)\noutput:\n"
            << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Docs, DocExample, ::testing::ValuesIn(allExamples()),
                         [](const ::testing::TestParamInfo<TDocExample> &info) {
                             return info.param.Name;
                         });

// A marker mistyped in one document would silently take all its examples out of the run.
TEST(DocExamples, EveryDocumentHasExamplesTheRunnerFinds)
{
    EXPECT_FALSE(guideExamples(QStringLiteral("docs/guide/index.html")).isEmpty());
    for (const QString &page : QDir(QDir(sourceDir()).filePath("docs/man")).entryList({"*.1"}))
        EXPECT_FALSE(manExamples(QStringLiteral("docs/man/") + page).isEmpty())
            << page.toStdString();
    EXPECT_FALSE(readmeExamples(QStringLiteral("README.md")).isEmpty());
}

} // namespace
