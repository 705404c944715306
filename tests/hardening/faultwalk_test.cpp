// Every writer of the program made to fail at each of its disk calls in turn, once with a full
// disk and once with an input/output error: each time either the file is complete and success
// is reported, or the old file is kept byte for byte, nothing partial or new is left, and the
// failure is reported with the system's reason.
#include "cli.h"
#include "cli_draw.h"
#include "registration.h"
#include "safewrite.h"
#include "sandbox.h"
#include "settings.h"
#include "transferfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>

namespace {

// Fails the `failAt`-th call of the write routine (counting from 1) with `error`.
class TFaultInjection
{
public:
    TFaultInjection(int failAt, int error) : m_failAt(failAt), m_error(error)
    {
        SafeWrite::SetFaultHook(
            [this](SafeWrite::TCall) { return ++m_calls == m_failAt ? m_error : 0; });
    }
    ~TFaultInjection() { SafeWrite::SetFaultHook({}); }
    bool Fired() const { return m_calls >= m_failAt; }

private:
    int m_failAt;
    int m_error;
    int m_calls = 0;
};

struct TWriteOutcome
{
    bool Succeeded = false;
    QString Message; // what the user is told on failure
};

// One writer: `prepare` lays out the sandbox (the files a write may replace among them),
// `write` runs it and says what it reported, `target` is the file it writes.
struct TWriter
{
    const char *Name;
    QString Target;
    std::function<void(TestSandbox &)> Prepare;
    std::function<TWriteOutcome(TestSandbox &)> Write;
};

TWriteOutcome runCli(TestSandbox &box, const QStringList &arguments)
{
    TCliEnvironment environment;
    environment.store = &box.settings();
    environment.documentsDir = box.path();
    environment.defaultTablesDir = box.path();
    environment.runDrawing = RunCliDrawing;
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = RunCli(arguments, environment, outStream, errStream);
    return {status == 0, err};
}

TWriteOutcome catching(const std::function<void()> &write)
{
    try {
        write();
        return {true, {}};
    } catch (const ETessmarkError &e) {
        return {false, e.message()};
    }
}

void copySamples(TestSandbox &box)
{
    box.copyShippedTables();
    for (const QString &name : {QStringLiteral("sample.ktd"), QStringLiteral("sample.kmd")})
        QFile::copy(QDir(samplesDir()).filePath(name), box.filePath(name));
    // The sample site with its photos, which its report shows.
    for (const QString &folder : {QStringLiteral("site"), QStringLiteral("site/photos")}) {
        QDir(box.path()).mkpath(folder);
        const QDir from(QDir(samplesDir()).filePath(folder));
        for (const QString &name : from.entryList(QDir::Files))
            QFile::copy(from.filePath(name), box.filePath(folder + u'/' + name));
    }
}

// Each writer replaces a file of older bytes, or makes a new one where "new" says so.
QList<TWriter> writers()
{
    const auto older = [](const QString &name) {
        return [name](TestSandbox &box) {
            copySamples(box);
            box.writeFile(name, "older file, saved before\r\n");
        };
    };
    const auto fresh = [](TestSandbox &box) {
        copySamples(box);
    };
    const auto cli = [](QStringList arguments) {
        return [arguments](TestSandbox &box) {
            // File names (a word with a type after its dot) lie in the sandbox.
            static const QRegularExpression file(QStringLiteral(R"(\.[a-z][a-z0-9]{2,4}$)"));
            QStringList absolute;
            for (const QString &a : arguments)
                absolute.append(a.contains(file) ? box.filePath(a) : a);
            return runCli(box, absolute);
        };
    };
    QList<TWriter> list;
    for (const char *type : {"kgd", "kmd", "k25", "k00"}) {
        const QString out = QStringLiteral("out.") + QLatin1String(type);
        list.append({type, out, older(out), cli({"save", "sample.ktd", out})});
    }
    list.append({"new kgd", "new.kgd", fresh, cli({"save", "sample.kmd", "new.kgd"})});
    list.append({"site file", "site/sample.tsite", fresh,
                 cli({"site", "set", "site/sample.tsite", "No.1", "--ground", "1.50"})});
    list.append({"csv", "out.csv", older("out.csv"), cli({"export", "sample.ktd", "out.csv"})});
    list.append({"printout pdf", "out.pdf", older("out.pdf"),
                 cli({"print", "sample.ktd", "out.pdf", "--select", "table,nsw"})});
    list.append({"graph png", "out.png", older("out.png"),
                 cli({"graph", "sample.ktd", "out.png", "--kind", "nsw"})});
    list.append({"site report pdf", "report.pdf", fresh,
                 cli({"site", "report", "site/sample.tsite", "report.pdf"})});
    list.append({"settings", "settings.ini", older("settings.ini"), [](TestSandbox &box) {
                     TSettingsStore store(box.filePath(QStringLiteral("settings.ini")));
                     TSetting setting;
                     setting.RowNum = 44;
                     return catching([&] { SaveSettings(setting, store); });
                 }});
    list.append({"transferred test", "05年04月12日10：35_2.ktd", older("05年04月12日10：35.ktd"),
                 [](TestSandbox &box) {
                     return catching([&] {
                         KeepTransferredTest(box.path(), QStringLiteral("05年04月12日10：35.ktd"),
                                             box.readFile(QStringLiteral("sample.ktd")));
                     });
                 }});
    list.append({"bus registration", "dbus-1/services/Tessmark.ObjControl.service", fresh,
                 [](TestSandbox &box) {
                     return catching([&] {
                         RegisterAutomationServer(QStringLiteral("/usr/bin/tessmark"), box.path());
                     });
                 }});
    return list;
}

// Whether `bytes` are the whole of what a write without faults gave; a PDF carries the time it
// was made, so it is taken by its shape.
bool complete(const QByteArray &bytes, const QByteArray &reference, const QString &name)
{
    if (name.endsWith(u".pdf"))
        return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
    return bytes == reference;
}

// After a failed write every file is as it was, or (for a writer of several files) one written
// whole before the failure; nothing else is there.
void expectNothingPartial(const QMap<QString, QByteArray> &before,
                          const QMap<QString, QByteArray> &after,
                          const QMap<QString, QByteArray> &reference, const std::string &where)
{
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_TRUE(after.contains(it.key())) << where << ": " << it.key().toStdString();
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const bool old = before.value(it.key()) == *it && before.contains(it.key());
        const bool whole =
            reference.contains(it.key()) && complete(*it, reference.value(it.key()), it.key());
        EXPECT_TRUE(old || whole) << where << ": " << it.key().toStdString();
    }
}

TEST(FaultWalk, EveryWriterKeepsTheOldFileOrWritesTheWholeNewOne)
{
    for (const TWriter &writer : writers()) {
        // The files a write without faults gives.
        QMap<QString, QByteArray> reference;
        {
            TestSandbox box;
            writer.Prepare(box);
            const TWriteOutcome outcome = writer.Write(box);
            ASSERT_TRUE(outcome.Succeeded) << writer.Name << ": " << outcome.Message.toStdString();
            reference = FolderContents(box.path());
            ASSERT_FALSE(reference.value(writer.Target).isEmpty()) << writer.Name;
        }
        int faults = 0;
        for (const int error : {ENOSPC, EIO}) {
            for (int failAt = 1;; ++failAt) {
                ASSERT_LT(failAt, 1000) << writer.Name;
                TestSandbox box;
                writer.Prepare(box);
                const QMap<QString, QByteArray> before = FolderContents(box.path());
                TWriteOutcome outcome;
                bool fired = false;
                {
                    const TFaultInjection injection(failAt, error);
                    outcome = writer.Write(box);
                    fired = injection.Fired();
                }
                const std::string where = std::string(writer.Name) + ", call " +
                                          std::to_string(failAt) + ", " + std::strerror(error);
                if (!fired) {
                    EXPECT_TRUE(outcome.Succeeded) << where;
                    EXPECT_TRUE(complete(box.readFile(writer.Target),
                                         reference.value(writer.Target), writer.Target))
                        << where;
                    break;
                }
                ++faults;
                EXPECT_FALSE(outcome.Succeeded) << where;
                expectNothingPartial(before, FolderContents(box.path()), reference, where);
                EXPECT_TRUE(box.readFile(writer.Target) == before.value(writer.Target)) << where;
                const QString reason = error == ENOSPC
                                           ? QStringLiteral("空き容量")
                                           : QString::fromLocal8Bit(std::strerror(error));
                EXPECT_TRUE(outcome.Message.contains(reason))
                    << where << ": " << outcome.Message.toStdString();
            }
        }
        std::cout << writer.Name << ": " << faults << " injected faults\n";
    }
}

} // namespace
