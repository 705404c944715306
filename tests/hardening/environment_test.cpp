// A bad environment: a garbled settings file, reference tables with bytes that are not CP932.
#include "form_fixture.h"
#include "reader.h"
#include "reftables.h"
#include "settings.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

namespace {

class EnvironmentTest : public FormFixture
{};

// Letters in numbers, numbers beyond any screen or field, negative sizes: the program starts,
// shows a test and draws its graph, in windows the screen can hold.
TEST_F(EnvironmentTest, AGarbledSettingsFileStartsWithSaneValues)
{
    const std::pair<const char *, const char *> garbage[] = {
        {"GridMode/Width", "2000000000"},
        {"GridMode/Height", "99999999999"},
        {"GridMode/Top", "-2000000000"},
        {"GridMode/Left", "abc"},
        {"GraphMode/Width", "2147483647"},
        {"GraphMode/Height", "-300"},
        {"GraphMode/Depth1", "2000000000"},
        {"GraphMode/NswMax", "-5"},
        {"GraphMode/NMax", "0"},
        {"GraphMode/TorqueGraph", "1"},
        {"GraphMode/TorqueMax", "-1"},
        {"PrnMode/RowNum", "x1"},
        {"ManuInp/Raws", "-40"},
        {"TermMode/Port", "77"},
        {"FileMode/FilterIndex", "-3"},
        {"Data/DNsw", "1e9"},
    };
    for (const auto &[key, value] : garbage)
        box.settings().setValue(QLatin1String(key), QLatin1String(value));

    auto form = showing(QStringLiteral("sample.ktd"));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_LE(form->width(), screen.width());
    EXPECT_LE(form->height(), screen.height());
    EXPECT_EQ(form->Setting.DNsw, 250);
    EXPECT_EQ(form->Setting.RowNum, 40);

    form->MakeGraph->trigger();
    QWidget *graph = form->GraphWindow();
    ASSERT_NE(graph, nullptr);
    EXPECT_LE(graph->width(), screen.width());
    EXPECT_LE(graph->height(), screen.height());
    EXPECT_FALSE(graph->grab().isNull());
}

// Bytes that are no CP932 text in a reference table become replacement characters in that
// entry only: the table loads, the entries after it keep their texts and a test opens.
TEST_F(EnvironmentTest, ReferenceTablesWithBytesThatAreNotCp932StillLoad)
{
    const QString folder = box.copyShippedTables();
    const QString obsPath = QDir(folder).filePath(QStringLiteral("Obstbl.tbl"));
    const QString weightPath = QDir(folder).filePath(QStringLiteral("Weighttbl.tbl"));
    QFile obsFile(obsPath);
    ASSERT_TRUE(obsFile.open(QIODevice::ReadOnly));
    QByteArray obs = obsFile.readAll();
    obsFile.close();
    // A lead byte without its trail byte, a trail byte that is none, and bytes CP932 never uses.
    const QByteArray broken = "\x81\x7f\xff\xa0\x82";
    const QByteArray j01 = "[J01]\r\nobs=";
    ASSERT_TRUE(obs.contains(j01));
    obs.replace(j01, QByteArray(j01 + broken));
    obs.replace("[J03]", "[J\x82"
                         "03]");
    box.writeFile(QDir(box.path()).relativeFilePath(obsPath), obs);
    QFile weightFile(weightPath);
    ASSERT_TRUE(weightFile.open(QIODevice::ReadOnly));
    const QByteArray weight = "998 " + broken + "\r\n" + weightFile.readAll();
    weightFile.close();
    box.writeFile(QDir(box.path()).relativeFilePath(weightPath), weight);

    TReferenceTables tables;
    ASSERT_TRUE(tables.LoadFrom(folder));
    EXPECT_TRUE(tables.ObsTextOf(QStringLiteral("J01")).contains(QChar(0xFFFD)));
    EXPECT_EQ(tables.ObsTextOf(QStringLiteral("J02")), QStringLiteral("ｶﾞﾘｶﾞﾘ"));
    EXPECT_EQ(tables.ObsTextOf(QStringLiteral("J04")), QStringLiteral("無音"));
    EXPECT_TRUE(tables.IsSkippedLoad(QStringLiteral("998")));
    EXPECT_TRUE(tables.IsSkippedLoad(QStringLiteral("999")));

    const TSoundingTest test =
        OpenTestFile(sample(QStringLiteral("sample.ktd")), TSetting(), tables);
    EXPECT_GT(test.NormalLog.Count, 0);
}

} // namespace
