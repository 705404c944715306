#include "sandbox.h"
#include "settings.h"
#include "settingsstore.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

TEST(Settings, EmptyStoreGivesEveryDefault)
{
    TestSandbox sandbox;
    const TSetting s = LoadSettings(sandbox.settings(), QStringLiteral("/home/u/Documents"));
    EXPECT_EQ(s.DNsw, 250);
    EXPECT_EQ(s.RowNum, 40);
    EXPECT_EQ(s.GraphHeight, 420);
    EXPECT_EQ(s.GraphWidth, 350);
    EXPECT_EQ(s.GraphTop, 30);
    EXPECT_EQ(s.GraphLeft, 100);
    EXPECT_EQ(s.NswMax, 300);
    EXPECT_EQ(s.NMax, 25);
    EXPECT_EQ(s.TorqueMax, 100);
    EXPECT_EQ(s.Depth1, 10);
    EXPECT_EQ(s.Depth2, 20);
    EXPECT_EQ(s.Graphtype, 1);
    EXPECT_EQ(s.GridHeight, 330);
    EXPECT_EQ(s.GridWidth, 485);
    EXPECT_EQ(s.GridTop, 120);
    EXPECT_EQ(s.GridLeft, 140);
    EXPECT_EQ(s.GridDNsw, 200);
    EXPECT_EQ(s.Port, 1);
    EXPECT_EQ(s.FileMode.FilterIndex, 1);
    EXPECT_EQ(s.KutenMaxD, 1);
    EXPECT_EQ(s.KutenMinN, 20);
    EXPECT_EQ(s.Raws, 40);
    EXPECT_FALSE(s.NaMode || s.KutenFlag || s.PrnColor || s.WswMode || s.TorqueGraph || s.Hide);
    EXPECT_EQ(s.FileMode.TempDir, QStringLiteral("/home/u/Documents/Vantrell"));
    EXPECT_EQ(s.FileMode.OpenDir, s.FileMode.TempDir);
    EXPECT_EQ(s.FileMode.SaveDir, s.FileMode.TempDir);
}

TEST(Settings, FolderDefaultsFollowTheStoredTempDir)
{
    TestSandbox sandbox;
    sandbox.settings().setValue("FileMode/TempDir", "/data/xfer");
    sandbox.settings().setValue("FileMode/SaveDir", "/data/out");
    const TSetting s = LoadSettings(sandbox.settings(), QStringLiteral("/docs"));
    EXPECT_EQ(s.FileMode.OpenDir, QStringLiteral("/data/xfer"));
    EXPECT_EQ(s.FileMode.SaveDir, QStringLiteral("/data/out"));
}

TEST(Settings, NonNumericValuesGiveTheDefault)
{
    TestSandbox sandbox;
    sandbox.settings().setValue("Data/DNsw", "abc");
    sandbox.settings().setValue("GraphMode/NMax", "");
    sandbox.settings().setValue("GridMode/NaMode", "yes");
    sandbox.settings().setValue("KutenNuki/Flag", "2");
    const TSetting s = LoadSettings(sandbox.settings(), QString());
    EXPECT_EQ(s.DNsw, 250);
    EXPECT_EQ(s.NMax, 25);
    EXPECT_FALSE(s.NaMode);
    EXPECT_TRUE(s.KutenFlag); // any non-zero integer is on
}

TEST(Settings, RowNumIsRoundedDownAndClampedOnLoad)
{
    const std::pair<const char *, int> cases[] = {{"43", 40}, {"50", 48}, {"45", 44},  {"48", 48},
                                                  {"12", 40}, {"-7", 40}, {"1000", 48}};
    for (auto [stored, used] : cases) {
        TestSandbox sandbox;
        sandbox.settings().setValue("PrnMode/RowNum", stored);
        EXPECT_EQ(LoadSettings(sandbox.settings(), QString()).RowNum, used) << stored;
    }
}

TEST(Settings, SaveWritesTextsAndRowNumRoundedDown)
{
    TestSandbox sandbox;
    TSetting s;
    s.RowNum = 47;
    s.NaMode = true;
    s.FileMode.TempDir = QStringLiteral("/t");
    SaveSettings(s, sandbox.settings());
    TSettingsStore &store = sandbox.settings();
    EXPECT_EQ(store.value("PrnMode/RowNum").toString(), QStringLiteral("44"));
    EXPECT_EQ(store.value("GridMode/NaMode").toString(), QStringLiteral("1"));
    EXPECT_EQ(store.value("PrnMode/Color").toString(), QStringLiteral("0"));
    EXPECT_EQ(store.value("GraphMode/Height").toString(), QStringLiteral("420"));
    EXPECT_EQ(store.value("GridMode/Height").toString(), QStringLiteral("330"));
    EXPECT_EQ(store.value("FileMode/TempDir").toString(), QStringLiteral("/t"));
}

TEST(Settings, SaveThenLoadRoundTrips)
{
    TestSandbox sandbox;
    TSetting s;
    s.DNsw = 300;
    s.NswMax = 500;
    s.GraphTop = -5;
    s.KutenFlag = true;
    s.KutenMinN = 15;
    s.FileMode = {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c"), 3};
    SaveSettings(s, sandbox.settings());
    const TSetting back = LoadSettings(sandbox.settings(), QStringLiteral("/elsewhere"));
    EXPECT_EQ(back.DNsw, 300);
    EXPECT_EQ(back.NswMax, 500);
    EXPECT_EQ(back.GraphTop, -5);
    EXPECT_TRUE(back.KutenFlag);
    EXPECT_EQ(back.KutenMinN, 15);
    EXPECT_EQ(back.FileMode.OpenDir, QStringLiteral("/b"));
    EXPECT_EQ(back.FileMode.SaveDir, QStringLiteral("/c"));
    EXPECT_EQ(back.FileMode.FilterIndex, 3);
}

TEST(Settings, SetSettingValueOverridesByStoreKey)
{
    TSetting s;
    EXPECT_TRUE(SetSettingValue(s, QStringLiteral("GridMode/NaMode"), QStringLiteral("1")));
    EXPECT_TRUE(SetSettingValue(s, QStringLiteral("KutenNuki/minN"), QStringLiteral("30")));
    EXPECT_TRUE(SetSettingValue(s, QStringLiteral("GraphMode/Height"), QStringLiteral("500")));
    EXPECT_FALSE(SetSettingValue(s, QStringLiteral("GridMode/Nothing"), QStringLiteral("1")));
    EXPECT_TRUE(s.NaMode);
    EXPECT_EQ(s.KutenMinN, 30);
    EXPECT_EQ(s.GraphHeight, 500);
    EXPECT_EQ(s.GridHeight, 330);
}

// A user who edits the file the documentation names must reach the program's own settings.
TEST(Settings, TheDocumentedSettingsFileIsTheOneTheStoreUses)
{
    const std::unique_ptr<TSettingsStore> store(OpenSettingsStore(QStringLiteral("tessmark")));
    const QString configHome =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString used =
        QStringLiteral("~/.config/") + QDir(configHome).relativeFilePath(store->fileName());
    const QDir source(QStringLiteral(TESSMARK_TEST_DATA_DIR "/.."));
    const QRegularExpression documented(QStringLiteral(R"(~/\.config/[^\s`<)]+)"));
    for (const char *name :
         {"README.md", "docs/protocol.md", "docs/man/tessmark.1", "docs/guide/index.html"}) {
        QFile file(source.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QString text = QString::fromUtf8(file.readAll());
        int found = 0;
        for (const QRegularExpressionMatch &match : documented.globalMatch(text)) {
            EXPECT_EQ(match.captured().toStdString(), used.toStdString()) << name;
            ++found;
        }
        EXPECT_GT(found, 0) << name;
    }
}

// The store reads the files the toolkit wrote before it, writes files the toolkit reads the same,
// and keeps texts whole that INI files treat specially.
TEST(Settings, TheStoreAndTheToolkitReadEachOthersFiles)
{
    const QMap<QString, QString> values = {
        {QStringLiteral("FileMode/TempDir"), QStringLiteral("/home/u/調査 データ,2026")},
        {QStringLiteral("FileMode/OpenDir"), QStringLiteral(" leading and trailing ")},
        {QStringLiteral("TermMode/Comm1"), QStringLiteral("C:\\dev\\ttyUSB0;\"x=1\"")},
        {QStringLiteral("Evaluation/BaseDepth"), QStringLiteral("@0.50")},
        {QStringLiteral("Data/Note"), QStringLiteral("two\nlines\tand a tab")},
        {QStringLiteral("Data/Empty"), QString()},
    };
    TestSandbox sandbox;
    const QString theirs = sandbox.filePath(QStringLiteral("theirs.ini"));
    {
        QSettings toolkit(theirs, QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            toolkit.setValue(it.key(), *it);
    }
    const TSettingsStore read(theirs);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(read.value(it.key()).toString(), *it) << it.key().toStdString();

    const QString ours = sandbox.filePath(QStringLiteral("ours.ini"));
    {
        TSettingsStore store(ours);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setValue(it.key(), *it);
        store.sync();
    }
    const QSettings toolkit(ours, QSettings::IniFormat);
    const TSettingsStore again(ours);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        EXPECT_EQ(toolkit.value(it.key()).toString(), *it) << it.key().toStdString();
        EXPECT_EQ(again.value(it.key()).toString(), *it) << it.key().toStdString();
    }
}

// A pipe, a device or a folder in the settings' place never keeps the program waiting: the
// defaults are used, the store says why, and what stands there is never replaced.
TEST(Settings, OnlyARegularFileIsReadAndReplaced)
{
    TestSandbox sandbox;
    const QString fifo = sandbox.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString folder = sandbox.filePath(QStringLiteral("folder.ini"));
    QDir().mkpath(folder);
    for (const QString &path : {fifo, folder, QStringLiteral("/dev/zero")}) {
        TSettingsStore store(path);
        EXPECT_TRUE(store.problem().contains(QStringLiteral("通常のファイルではありません")))
            << store.problem().toStdString();
        EXPECT_EQ(LoadSettings(store, QString()).RowNum, 40);
        store.setValue(QStringLiteral("PrnMode/RowNum"), QStringLiteral("44"));
        store.sync();
        EXPECT_FALSE(QFileInfo(path).isFile()) << path.toStdString();
    }
}

} // namespace
