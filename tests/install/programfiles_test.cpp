// The program's own files in an installed tree: found under ../share/tessmark when they are not
// beside the executable, and F1 opening the installed guide.
#include "grid_form.h"
#include "messages.h"
#include "programfiles.h"
#include "sandbox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// An installed tree in the sandbox: prefix/bin holds the executable, prefix/share/tessmark the
// rest.
class InstalledTree : public ::testing::Test
{
protected:
    QString bin() const { return box.filePath(QStringLiteral("prefix/bin")); }
    QString share() const { return box.filePath(QStringLiteral("prefix/share/tessmark")); }

    void put(const QString &folder, const QString &name, const QByteArray &bytes = "x")
    {
        const QString path = QDir(folder).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TestSandbox box;
};

TEST_F(InstalledTree, install_ProgramFilesAreTakenBesideTheExecutableFirstThenFromShare)
{
    struct Case
    {
        const char *Name;
        bool Beside;
        bool Shared;
        bool FromShare;
    };
    const Case cases[] = {
        {"Weighttbl.tbl", true, false, false},   // build folder, Windows
        {"Obstbl.tbl", false, true, true},       // installed tree
        {"ktxt.kbp", true, true, false},         // a copy beside the program wins
        {"missing.tbl", false, false, false},    // a message names the first place looked in
        {"guide/index.html", false, true, true}, // a path below the folder
    };
    QDir().mkpath(bin());
    for (const Case &c : cases) {
        const QString name = QLatin1String(c.Name);
        if (c.Beside)
            put(bin(), name);
        if (c.Shared)
            put(share(), name);
        const QString folder = c.FromShare ? share() : bin();
        EXPECT_EQ(ProgramFilesFolder(bin(), name), QDir::cleanPath(folder)) << c.Name;
        EXPECT_EQ(ProgramFilePath(bin(), name), QDir(folder).filePath(name)) << c.Name;
    }
}

TEST_F(InstalledTree, install_InstalledProgramReadsItsTablesAndF1OpensTheInstalledGuide)
{
    QDir().mkpath(bin());
    for (const char *name : {"Obstbl.tbl", "Weighttbl.tbl"}) {
        QFile source(QDir(shippedDataDir()).filePath(QLatin1String(name)));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        put(share(), QLatin1String(name), source.readAll());
    }
    put(share(), QStringLiteral("guide/index.html"), "<!DOCTYPE html><html lang=\"ja\"></html>");

    TScriptedMessages messages;
    TScopedMessages scope(messages);
    QList<QUrl> opened;
    TGridFormOptions options;
    options.ProgramFolder = bin();
    options.Settings = &box.settings();
    options.DocumentsFolder = box.filePath(QStringLiteral("docs"));
    options.TempFolder = box.path();
    options.DataFolder = box.path();
    options.OpenUrl = [&opened](const QUrl &url) {
        opened.append(url);
        return true;
    };
    Tgrid_form form(options);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // The tables were found: no start-up failure, and the observation menu is built from them.
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_FALSE(form.Tables.ObsTable.isEmpty());

    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(
                          QDir(share()).filePath(QStringLiteral("guide/index.html")))});
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

} // namespace
