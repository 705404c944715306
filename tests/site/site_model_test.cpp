// The site model: GPS texts to plan positions, the figures that compare the points, the
// site file.
#include "errors.h"
#include "gpsposition.h"
#include "reftables.h"
#include "settings.h"
#include "site.h"
#include "sitefile.h"
#include "sitefindings.h"
#include "sitetestdata.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr double kCentimetre = 0.01;

TReferenceTables shippedTables()
{
    TReferenceTables tables;
    EXPECT_TRUE(tables.LoadFrom(shippedDataDir()));
    return tables;
}

// Offsets worked out on the ellipsoid (geodesic direct problem) from each origin; the texts
// are what receivers write, in decimal degrees and in degrees and minutes.
TEST(SiteGps, KnownOffsetsComeOutWithinACentimetre)
{
    struct Case
    {
        const char *originLat, *originNS, *originLon, *originEW;
        const char *lat, *ns, *lon, *ew;
        double x, y;
    };
    const Case cases[] = {
        {"35.6812", "N", "139.7671", "E", "35.68119999", "N", "139.76820467", "E", 100, 0},
        {"35.6812", "N", "139.7671", "E", "3540.899038", "N", "13946.026000", "E", 0, 50},
        {"3540.872", "n", "13946.026", "e", "3540.893631", "N", "13946.045884", "E", 30, 40},
        {"35.6812", "N", "139.7671", "E", "35.67849612", "N", "139.76986157", "E", 250, -300},
        {"33.8688", "S", "151.2093", "E", "3352.171409", "S", "15112.479860", "E", -120.5, -80.25},
        {"51.4779", "N", "0.0015", "W", "51.47520349", "N", "0.00209825", "E", 250, -300},
        {"5128.674", "N", "00000.090000", "W", "51.47825953", "N", "0.00106818", "W", 30, 40},
    };
    for (const Case &c : cases) {
        const TGeoPosition origin{ReadGpsAngle(c.originLat, c.originNS, false),
                                  ReadGpsAngle(c.originLon, c.originEW, true)};
        const TGeoPosition point{ReadGpsAngle(c.lat, c.ns, false), ReadGpsAngle(c.lon, c.ew, true)};
        const QPointF offset = LocalPlaneOffset(origin, point);
        EXPECT_NEAR(offset.x(), c.x, kCentimetre) << c.lat << ' ' << c.lon;
        EXPECT_NEAR(offset.y(), c.y, kCentimetre) << c.lat << ' ' << c.lon;
    }
}

TEST(SiteGps, TextsThatAreNoAngleAreRefusedByName)
{
    struct Case
    {
        const char *text, *hemisphere;
        bool longitude;
        const char *named;
    };
    const Case cases[] = {
        {"35.68x", "N", false, "35.68x"},    {"", "N", false, "緯度「」"},
        {"-35.6", "N", false, "-35.6"},      {"3575.0", "N", false, "分が60以上"},
        {"95.0", "N", false, "範囲外"},      {"181.0", "E", true, "範囲外"},
        {"123456.7", "E", true, "123456.7"}, {"35.6", "X", false, "「X」"},
        {"139.7", "N", true, "EでもW"},
    };
    for (const Case &c : cases) {
        try {
            ReadGpsAngle(c.text, c.hemisphere, c.longitude);
            ADD_FAILURE() << c.text << " was read";
        } catch (const EConvertError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.named)))
                << e.message().toStdString();
        }
    }
}

class SiteTest : public ::testing::Test
{
protected:
    TSiteData site(const QList<TSiteTestShape> &shapes, int base = 50)
    {
        TSiteData data;
        data.Site.BaseDepth = base;
        for (qsizetype i = 0; i < shapes.size(); ++i)
            data.Site.Points.append(
                {WriteSiteTest(sandbox, QStringLiteral("t%1.ktd").arg(i), shapes.at(i)),
                 DefaultPointLabel(i), std::nullopt, std::nullopt});
        data.ReadTests(setting, tables);
        return data;
    }

    TestSandbox sandbox;
    TSetting setting;
    TReferenceTables tables = shippedTables();
};

// Positions are measured from the first point with a GPS position, levels from the first with
// an altitude; typed values win and the GPS value stays known; a point whose GPS is unreadable
// or absent has no position but stays in the site.
TEST_F(SiteTest, GpsGivesPositionsAndLevelsThatTypedValuesOverride)
{
    TSiteData data = site({
        {600, {}, {}},
        {600, {}, "35.6812 N 139.7671 E 40 m"},
        {600, {}, "3540.893631 N 13946.045884 E 41.25 m"},
        {600, {}, "35.68119999 N 139.76820467 E 39.5 m"},
        {600, {}, "35.68x N 139.7671 E 40 M"},
    });
    data.Site.Points[3].TypedPosition = QPointF(5, 6);
    data.Site.Points[3].TypedGround = 0.8;
    data.Recompute();
    const TSiteFigures &f = data.Figures;
    EXPECT_EQ(f.PositionOrigin, 1);
    EXPECT_EQ(f.GroundOrigin, 1);

    EXPECT_FALSE(f.Points[0].Position);
    EXPECT_EQ(f.Points[0].PositionSource, TValueSource::None);
    EXPECT_FALSE(f.Points[0].Ground);
    EXPECT_EQ(f.Points[1].Position, QPointF(0, 0));
    EXPECT_NEAR(f.Points[2].Position->x(), 30, kCentimetre);
    EXPECT_NEAR(f.Points[2].Position->y(), 40, kCentimetre);
    EXPECT_EQ(f.Points[2].PositionSource, TValueSource::Gps);
    EXPECT_DOUBLE_EQ(*f.Points[2].Ground, 1.25);

    EXPECT_EQ(f.Points[3].Position, QPointF(5, 6));
    EXPECT_EQ(f.Points[3].PositionSource, TValueSource::Typed);
    EXPECT_NEAR(f.Points[3].GpsPosition->x(), 100, kCentimetre);
    EXPECT_DOUBLE_EQ(*f.Points[3].Ground, 0.8);
    EXPECT_EQ(f.Points[3].GroundSource, TValueSource::Typed);
    EXPECT_DOUBLE_EQ(*f.Points[3].GpsGround, -0.5);

    EXPECT_FALSE(f.Points[4].Position);
    ASSERT_GE(f.Points[4].Problems.size(), 1);
    EXPECT_TRUE(f.Points[4].Problems[0].contains(QStringLiteral("35.68x")));
    // The altitude beside a position that could not be read is in doubt too.
    EXPECT_FALSE(f.Points[4].Ground);
    EXPECT_FALSE(f.TrueSpacing());
    ASSERT_TRUE(f.Pairs[1].Distance);
    EXPECT_NEAR(*f.Pairs[1].Distance, 50, kCentimetre);
}

// A "$G(" line that gives no position costs the position (and its altitude) with a note, never
// the test: its figures stay.
TEST_F(SiteTest, GpsLinesWithoutAPositionKeepTheTest)
{
    struct Case
    {
        const char *line;
        const char *note; // in the point's problems
    };
    const Case cases[] = {
        {"1 35.6812 N 139.7671 E", "項目が 5 つ"},
        {"1 35.6812 N", "項目が 3 つ"},
        {"1", "項目が 1 つ"},
        {"1 35.68x N 139.7671 E 40 m 08 1.2", "海抜高度も使いません"},
        {"2 356.812 N 139.7671 X 40 m 08 1.2", "「X」"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        TSiteTestShape shape{600, {{50, 125, "050"}}, {}};
        shape.GpsLine = QString::fromUtf8(c.line);
        const TSiteData data = site({{600, {}, "35.6812 N 139.7671 E 40 m"}, shape});
        ASSERT_TRUE(data.Tests[1].Test) << data.Tests[1].Problem.toStdString();
        const TSitePointFigures &point = data.Figures.Points[1];
        EXPECT_FALSE(point.Position);
        EXPECT_FALSE(point.Ground);
        ASSERT_TRUE(point.Result);
        EXPECT_EQ(point.UpperThickness, 75);
        EXPECT_TRUE(point.Problems.join(u'|').contains(QString::fromUtf8(c.note)))
            << point.Problems.join(u'|').toStdString();
    }
}

// A position more than 1 km from the median of the positions is named with its distance; the
// median stays among the good points however far the bad one lies, where a mean would not.
TEST(SiteRules, PointsFarFromTheMedianAreNamed)
{
    struct Case
    {
        QList<QPointF> places;
        QList<qsizetype> far;
    };
    const Case cases[] = {
        {{{0, 0}, {10, 0}, {0, 10}, {1010, 0}}, {3}}, // 1005 m from (5, 0)
        {{{0, 0}, {10, 0}, {0, 10}, {1004, 0}}, {}},  // 999 m
        {{{0, 0}, {8, 0}, {8, 6}, {0, 6}, {4, 3e6}}, {4}},
        {{{0, 0}, {3e6, 0}}, {0, 1}}, // two: which is wrong cannot be told
        {{{0, 0}}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.places.size());
        TSite site;
        QList<TSitePointTest> tests;
        for (const QPointF &place : c.places) {
            site.Points.append({QStringLiteral("t.ktd"), DefaultPointLabel(site.Points.size()),
                                place, std::nullopt});
            tests.append(TSitePointTest());
        }
        const TSiteFigures figures = ComputeSiteFigures(site, tests);
        QList<qsizetype> far;
        for (const TSiteFarPoint &point : figures.FarPoints)
            far.append(point.Index);
        EXPECT_EQ(far, c.far);
        EXPECT_EQ(figures.TrueSpacing(), c.far.isEmpty());
    }
    const TSiteFarPoint misread{2, 3513200};
    EXPECT_TRUE(FarPointText(misread).contains(QStringLiteral("3513.2 km")));
}

// B = 0.50 m. A sinks at 0.50 kN from 0.50 to 1.25 m, B at 0.75 kN from 0.75 to 2.00 m, C at
// 0.50 kN from 2.25 to 3.00 m (across B+2 m), D never. Ground levels 0.00, +0.30, -0.20, +0.10;
// A (0, 0), B (10, 0), C (10, 7.5), D (4, 7.5).
TEST_F(SiteTest, ThicknessesBottomsAndSlopesOfAThreePointSite)
{
    TSiteData data = site({
        {600, {{50, 125, "050"}}, {}},
        {600, {{75, 200, "075"}}, {}},
        {600, {{225, 300, "050"}}, {}},
        {600, {}, {}},
    });
    const QList<QPointF> places{{0, 0}, {10, 0}, {10, 7.5}, {4, 7.5}};
    const QList<double> grounds{0.0, 0.3, -0.2, 0.1};
    for (qsizetype i = 0; i < places.size(); ++i) {
        data.Site.Points[i].TypedPosition = places[i];
        data.Site.Points[i].TypedGround = grounds[i];
    }
    data.Recompute();
    const TSiteFigures &f = data.Figures;

    struct Expected
    {
        int upper, lower;
        std::optional<int> bottom;
        int meanTenths;
    };
    const Expected points[] = {
        {75, 0, 125, 100}, {125, 0, 200, 60}, {25, 50, 300, 140}, {0, 0, std::nullopt, 160}};
    for (qsizetype i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.Points[i].UpperThickness, points[i].upper);
        EXPECT_EQ(f.Points[i].LowerThickness, points[i].lower);
        EXPECT_EQ(f.Points[i].SoftBottom, points[i].bottom);
        EXPECT_EQ(f.Points[i].Result->MeanNswTenths, points[i].meanTenths);
    }
    EXPECT_EQ(f.Points[2].UpperStretches, (QList<TSelfSinkingLayer>{{225, 250, 50}}));
    EXPECT_EQ(f.Points[2].LowerStretches, (QList<TSelfSinkingLayer>{{250, 300, 50}}));

    struct Pair
    {
        double distance;
        std::optional<double> difference, slope;
    };
    const Pair pairs[] = {{10, -0.45, -45.0}, {7.5, -1.5, -200.0}, {6, {}, {}}};
    ASSERT_EQ(f.Pairs.size(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(*f.Pairs[i].Distance, pairs[i].distance, 1e-9);
        EXPECT_EQ(f.Pairs[i].BottomDifference.has_value(), pairs[i].difference.has_value());
        EXPECT_EQ(f.Pairs[i].SlopePermille.has_value(), pairs[i].slope.has_value());
        if (pairs[i].difference) {
            EXPECT_NEAR(*f.Pairs[i].BottomDifference, *pairs[i].difference, 1e-9);
            EXPECT_NEAR(*f.Pairs[i].SlopePermille, *pairs[i].slope, 1e-9);
        }
    }
    EXPECT_TRUE(f.TrueSpacing());
}

// A missing test is named; the other points keep their figures.
// The findings name the points whose self-sinking calls for a settlement study: at most
// 1.00 kN within 2 m under the base, at most 0.50 kN from 2 to 5 m under it, each band up to
// and including its edge; the weakest qa and the steepest slope either way.
TEST_F(SiteTest, FindingsFollowTheSelfSinkingBandsToTheirEdges)
{
    const struct
    {
        TSinkingSpan span;
        bool listed;
    } cases[] = {
        {{50, 75, "100"}, true},   // 1.00 kN just under the base
        {{225, 250, "075"}, true}, // 0.75 kN ending at B + 2 m
        {{250, 275, "075"}, false}, {{250, 275, "050"}, true},
        {{525, 550, "050"}, true},                            // ending at B + 5 m
        {{550, 575, "025"}, false}, {{25, 50, "025"}, false}, // above the base
    };
    QList<TSiteTestShape> shapes;
    QList<qsizetype> listed;
    for (const auto &c : cases) {
        if (c.listed)
            listed.append(shapes.size());
        shapes.append({700, {c.span}, {}});
    }
    TSiteData data = site(shapes);
    for (qsizetype i = 0; i < data.Site.Points.size(); ++i)
        data.Site.Points[i].TypedPosition = QPointF(5.0 * i, 0);
    data.Site.Points[3].TypedGround = 0;
    data.Site.Points[4].TypedGround = 0.5;
    data.Recompute();

    const TSiteFindings findings = FindSiteFindings(data);
    EXPECT_EQ(findings.SettlementPoints, listed);
    // Sinking within B..B+2 m lowers N̄sw; of the two points alike the first is named.
    EXPECT_EQ(findings.WeakestPoint, 0);
    EXPECT_LT(findings.WeakestQaTenths, data.Figures.Points.at(2).Result->QaTenths);
    EXPECT_EQ(findings.SteepestPair, 3); // the only pair with two levels and two bottoms
    EXPECT_TRUE(findings.WithoutQa.isEmpty());
}

TEST_F(SiteTest, AMissingTestIsNamedAndTheRestOfTheSiteStays)
{
    TSiteData data = site({{600, {{50, 125, "050"}}, {}}, {600, {}, {}}});
    QFile::remove(data.Site.Points[1].File);
    data.ReadTests(setting, tables);
    EXPECT_TRUE(data.Tests[0].Test);
    EXPECT_FALSE(data.Tests[1].Test);
    EXPECT_EQ(data.TestProblems(), QStringList{QStringLiteral("No.2: 試験ファイルがありません: ") +
                                               QDir::toNativeSeparators(data.Site.Points[1].File)});
    EXPECT_EQ(data.Figures.Points[0].UpperThickness, 75);
    EXPECT_FALSE(data.Figures.Points[1].Result);
    EXPECT_FALSE(data.Figures.Pairs[0].BottomDifference);
}

// What stands under a test's name but holds no test is told apart from a test that is missing.
TEST_F(SiteTest, ATestThatIsNoRegularFileIsNamedAsSuch)
{
    QDir().mkpath(sandbox.filePath(QStringLiteral("folder.ktd")));
    const QString fifo = sandbox.filePath(QStringLiteral("pipe.ktd"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const struct
    {
        QString file;
        const char *problem;
    } cases[] = {
        {sandbox.filePath(QStringLiteral("folder.ktd")), "通常のファイルではありません"},
        {QStringLiteral("/dev/zero"), "通常のファイルではありません"},
        {fifo, "通常のファイルではありません"},
        {sandbox.filePath(QStringLiteral("gone.ktd")), "試験ファイルがありません"},
    };
    for (const auto &c : cases) {
        const TSitePointTest read = ReadSitePointTest(c.file, setting, tables);
        EXPECT_FALSE(read.Test);
        EXPECT_TRUE(read.Problem.contains(QString::fromUtf8(c.problem)) &&
                    read.Problem.contains(QDir::toNativeSeparators(c.file)))
            << read.Problem.toStdString();
    }
}

TEST_F(SiteTest, TheSiteFileKeepsEverythingWithTestsRelativeToIt)
{
    TSite site;
    site.Name = QStringLiteral("山田邸　新築工事");
    site.BaseDepth = 75;
    site.Points = {{sandbox.filePath("tests/a.ktd"), "No.1", QPointF(1.5, -2.25), 0.35},
                   {sandbox.filePath("b.kgd"), "北東隅", std::nullopt, std::nullopt},
                   {sandbox.filePath("tests/c.ksd"), "No.3", std::nullopt, -0.1}};
    site.Outline = {{0, 0}, {9.1, 0}, {9.1, 7.28}, {0, 7.28}};
    site.Survey = {"東京都千代田区1-2",
                   "山田 一郎",
                   "テスマーク地盤",
                   "佐藤",
                   QDate(2026, 2, 28),
                   "木造2階建て",
                   "べた基礎",
                   TSurveyEquipment::SemiAuto,
                   "VT200",
                   "一行目\n二行目\t\"引用\""};
    site.Points[0].Survey = {
        "晴れ",
        "鈴木",
        {TWaterLevelKind::Measured, 1.2},
        TEndReason::Refusal,
        "礫",
        {{sandbox.filePath("photos/a 1.jpg"), "全景"}, {sandbox.filePath("site/b.png"), ""}},
        "南西隅"};
    site.Points[1].Survey.Water = {TWaterLevelKind::NotFound, 0};
    site.Points[2].Survey.EndReason = TEndReason::Other;
    const QString path = sandbox.filePath("site/house.tsite");
    QDir().mkpath(sandbox.filePath("site"));
    WriteSiteFile(site, path);

    EXPECT_EQ(ReadSiteFile(path), site);
    const QByteArray document = sandbox.readFile(path);
    for (const char *relative : {"\"../tests/a.ktd\"", "\"../photos/a 1.jpg\"", "\"b.png\""})
        EXPECT_TRUE(document.contains(relative)) << relative << document.toStdString();
    EXPECT_FALSE(document.contains(sandbox.path().toUtf8()));

    // A test the file names by its absolute path keeps that name when the site is saved again,
    // and takes one relative to a new folder only where the old name no longer fits.
    TSite named =
        ParseSiteDocument("{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": "
                          "\"/srv/survey/No1.ktd\"}, {\"file\": \"tests/No2.ktd\"}]}",
                          QStringLiteral("/home/u/sites"), QStringLiteral("x.tsite"));
    EXPECT_EQ(SiteFileReference(named.Points[0], QStringLiteral("/home/u/sites")),
              QStringLiteral("/srv/survey/No1.ktd"));
    EXPECT_EQ(SiteFileReference(named.Points[0], QStringLiteral("/home/u/other")),
              QStringLiteral("/srv/survey/No1.ktd"));
    EXPECT_EQ(SiteFileReference(named.Points[1], QStringLiteral("/home/u/sites")),
              QStringLiteral("tests/No2.ktd"));
    EXPECT_EQ(SiteFileReference(named.Points[1], QStringLiteral("/home/u/other")),
              QStringLiteral("../sites/tests/No2.ktd"));
    // What is not set is not written.
    EXPECT_EQ(document.count("\"water\""), 2);
}

// A file written before the survey's particulars existed opens as it did (nothing set), and
// is written as version 2 only when it is saved.
TEST_F(SiteTest, AVersionOneFileReadsAsBeforeAndIsSavedAsVersionTwo)
{
    const QByteArray version1 =
        "{\"base_depth\": 0.75, \"format\": \"Tessmark site\", \"name\": \"旧邸\",\n"
        " \"points\": [{\"file\": \"t/a.ktd\", \"label\": \"No.1\"},\n"
        "            {\"file\": \"b.ktd\", \"label\": \"角\", \"x\": 1.5, \"y\": 2, "
        "\"ground\": -0.1}],\n"
        " \"version\": 1}\n";
    const QString path = sandbox.writeFile("old.tsite", version1);
    TSite expected;
    expected.Name = QStringLiteral("旧邸");
    expected.BaseDepth = 75;
    expected.Points = {{sandbox.filePath("t/a.ktd"), "No.1", std::nullopt, std::nullopt},
                       {sandbox.filePath("b.ktd"), "角", QPointF(1.5, 2), -0.1}};
    EXPECT_EQ(ReadSiteFile(path), expected);
    EXPECT_EQ(sandbox.readFile(path), version1);

    WriteSiteFile(expected, path);
    EXPECT_TRUE(sandbox.readFile(path).contains("\"version\": 2"));
    EXPECT_EQ(ReadSiteFile(path), expected);
}

TEST(SiteSurveyRules, ValuesAreTakenOrRefused)
{
    const QList<std::pair<QString, std::optional<TWaterLevel>>> waters = {
        {"1.20", TWaterLevel{TWaterLevelKind::Measured, 1.2}},
        {"0", TWaterLevel{TWaterLevelKind::Measured, 0}},
        {"99.99", TWaterLevel{TWaterLevelKind::Measured, 99.99}},
        {"none", TWaterLevel{TWaterLevelKind::NotFound, 0}},
        {"unmeasured", TWaterLevel{}},
        {"100", {}},
        {"-0.5", {}},
        {"", {}},
        {"None", {}},
        {"1.2m", {}}};
    for (const auto &[text, water] : waters)
        EXPECT_EQ(WaterLevelOfKey(text), water) << text.toStdString();

    const QList<std::pair<QString, std::optional<QDate>>> dates = {
        {"2028-02-29", QDate(2028, 2, 29)},
        {"2026-02-29", {}},
        {"2026-3-1", {}},
        {"2026/03/01", {}},
        {"2026-03-01T10:00", {}}};
    for (const auto &[text, date] : dates)
        EXPECT_EQ(ParseReportDate(text), date) << text.toStdString();

    TestSandbox sandbox;
    QDir().mkpath(sandbox.filePath("folder.jpg"));
    const struct
    {
        QString file;
        const char *problem; // empty: taken
    } photos[] = {
        {sandbox.writeFile("a.jpg", "\xFF\xD8\xFF\xE0rest"), ""},
        {sandbox.writeFile("b.png", "\x89PNG\r\n\x1A\nrest"), ""},
        {sandbox.writeFile("c.jpg", "GIF89a"), "JPEG か PNG"},
        {sandbox.writeFile("d.png", ""), "JPEG か PNG"},
        {sandbox.filePath("none.jpg"), "がありません"},
        {sandbox.filePath("folder.jpg"), "通常のファイルではありません"},
    };
    for (const auto &photo : photos) {
        const QString problem = PhotoProblem(photo.file);
        EXPECT_EQ(problem.isEmpty(), !*photo.problem) << problem.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(photo.problem)));
    }
}

TEST(SiteFile, MalformedPartsAreNamed)
{
    struct Case
    {
        const char *document;
        const char *named;
    };
    const Case cases[] = {
        {"{\"format\": \"Tessmark site\", \"version\": 1,", "JSON"},
        {"{\"format\": \"something else\", \"version\": 1}", "\"format\""},
        {"[1, 2]", "\"format\""},
        {"{\"format\": \"Tessmark site\", \"version\": 3}", "\"version\" が 3"},
        {"{\"format\": \"Tessmark site\", \"version\": \"1\"}", "\"version\""},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"base_depth\": -1}", "\"base_depth\""},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a.ktd\"},"
         " {\"file\": \"b.ktd\", \"x\": \"east\", \"y\": 1}]}",
         "測点 2 の \"x\""},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"label\": \"No.1\"}]}",
         "測点 1 の \"file\""},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a\", \"x\": "
         "1}]}",
         "測点 1 の \"x\" と \"y\""},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"outline\": [[0, 0], [1, \"a\"]]}",
         "建物外形の頂点 2 の y"},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"outline\": [[0, 0], [1, 1]]}",
         "\"outline\""},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"client\": 5}", ": \"client\" が文字列"},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"equipment\": \"hand\"}",
         ": \"equipment\" が \"manual\""},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"report_date\": \"2026-02-30\"}",
         ": \"report_date\""},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"points\": [{\"file\": \"a\"},"
         " {\"file\": \"b\", \"water\": -1}]}",
         "測点 2 の \"water\" が 0～99.99 m"},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"points\": [{\"file\": \"a\", "
         "\"water\": \"dry\"}]}",
         "測点 1 の \"water\""},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"points\": [{\"file\": \"a\", "
         "\"end_reason\": \"Depth\"}]}",
         "測点 1 の \"end_reason\""},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"points\": [{\"file\": \"a\", "
         "\"photos\": {}}]}",
         "測点 1 の \"photos\""},
        {"{\"format\": \"Tessmark site\", \"version\": 2, \"points\": [{\"file\": \"a\", "
         "\"photos\": [{\"file\": \"p.jpg\"}, {\"caption\": \"x\"}]}]}",
         "測点 1 の写真 2 の \"file\""},
        // Numbers beyond what the table and the command line take.
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a\", "
         "\"x\": 1e308, \"y\": 0}]}",
         "測点 1 の \"x\" が ±99999.99 m"},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a\"}, "
         "{\"file\": \"b\", \"ground\": -100000}]}",
         "測点 2 の \"ground\""},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"outline\": [[0, 0], [1, 0], "
         "[0, 1e9]]}",
         "建物外形の頂点 3 の y"},
        // Labels that no command could tell apart or name.
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a\", "
         "\"label\": \"No.1\"}, {\"file\": \"b\", \"label\": \"No.2\"}, {\"file\": \"c\", "
         "\"label\": \"No.1\"}]}",
         "測点 3 の \"label\" 「No.1」 は測点 1 と同じ"},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a\"}, "
         "{\"file\": \"b\", \"label\": \"No.1\"}]}",
         "「No.1」 は測点 1 と同じ"},
        {"{\"format\": \"Tessmark site\", \"version\": 1, \"points\": [{\"file\": \"a\", "
         "\"label\": \" \"}]}",
         "測点 1 の \"label\" が空です"},
    };
    for (const Case &c : cases) {
        try {
            ParseSiteDocument(c.document, QStringLiteral("/sites"), QStringLiteral("x.tsite"));
            ADD_FAILURE() << c.document << " was read";
        } catch (const ESiteFileError &e) {
            EXPECT_TRUE(
                e.message().startsWith(QStringLiteral("現場ファイル x.tsite を読めません")));
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.named)))
                << e.message().toStdString();
        }
    }
}

TEST(SiteRules, LabelsAndTypedMetres)
{
    TSite site;
    site.Points = {{"a", "No.1", {}, {}}, {"b", "No.3", {}, {}}, {"c", "No.3", {}, {}}};
    EXPECT_EQ(NextPointLabel(site), QStringLiteral("No.4"));
    site.Points[2].Label = QStringLiteral("No.4");
    EXPECT_EQ(NextPointLabel(site), QStringLiteral("No.5"));
    EXPECT_EQ(FindPointLabel(site, QStringLiteral("No.3")), 1);
    EXPECT_EQ(FindPointLabel(site, QStringLiteral("No.9")), -1);
    EXPECT_TRUE(LabelProblem(site, 0, QStringLiteral("No.3")).contains(QStringLiteral("No.3")));
    EXPECT_FALSE(LabelProblem(site, 0, QStringLiteral(" ")).isEmpty());
    EXPECT_TRUE(LabelProblem(site, 1, QStringLiteral("No.3")).isEmpty());

    const QList<std::pair<QString, std::optional<double>>> texts = {
        {"1.5", 1.5}, {"-0.25", -0.25}, {" +12 ", 12}, {".5", 0.5},    {"abc", {}},
        {"1,5", {}},  {"", {}},         {"1e3", {}},   {"123456", {}}, {"99999.999", {}}};
    for (const auto &[text, value] : texts)
        EXPECT_EQ(ParseSiteMetres(text), value) << text.toStdString();
    EXPECT_EQ(SiteMetresText(-0.001), QStringLiteral("0.00"));
    EXPECT_EQ(SiteMetresText(std::optional<double>()), QStringLiteral("-"));
}

} // namespace
