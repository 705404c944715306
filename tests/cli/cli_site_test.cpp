// The site commands of the command-line tool, run in-process on hand-made tests.
#include "cli_fixture.h"
#include "sitefile.h"
#include "sitetestdata.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

namespace {

class CliSiteTest : public CliTest
{
protected:
    // The three points of the hand-worked site (B = 0.50 m): A sinks at 0.50 kN from 0.50 to
    // 1.25 m, B at 0.75 kN from 0.75 to 2.00 m, C at 0.50 kN from 2.25 to 3.00 m.
    QStringList writeTests()
    {
        return {WriteSiteTest(sandbox, "tests/a.ktd", {600, {{50, 125, "050"}}, {}}),
                WriteSiteTest(sandbox, "tests/b.ktd", {600, {{75, 200, "075"}}, {}}),
                WriteSiteTest(sandbox, "tests/c.ktd", {600, {{225, 300, "050"}}, {}})};
    }
    QString site() const { return sandbox.filePath("house.tsite"); }
};

TEST_F(CliSiteTest, NewSetAndShowGiveTheHandWorkedFigures)
{
    const QStringList tests = writeTests();
    ASSERT_EQ(run(QStringList{"site", "new", site()} + tests + QStringList{"--base", "0.5"}).status,
              0);
    const struct
    {
        const char *label, *xy, *ground;
    } edits[] = {{"No.1", "0,0", "0"}, {"No.2", "10,0", "0.30"}, {"No.3", "10,7.5", "-0.2"}};
    for (const auto &e : edits) {
        const CliRun r = run({"site", "set", site(), e.label, "--xy", e.xy, "--ground", e.ground});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }
    ASSERT_EQ(run({"site", "set", site(), "No.3", "--label", "北東"}).status, 0);

    const CliRun shown = run({"site", "show", site()});
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
    EXPECT_EQ(
        shown.out,
        QStringLiteral("point\tNo.1\ttests/a.ktd\t0.00\t0.00\t0.00\t10.0\t36.0\t0.75\t0.00\n"
                       "point\tNo.2\ttests/b.ktd\t10.00\t0.00\t0.30\t6.0\t33.6\t1.25\t0.00\n"
                       "point\t北東\ttests/c.ktd\t10.00\t7.50\t-0.20\t14.0\t38.4\t0.25\t0.50\n"
                       "pair\tNo.1\tNo.2\t10.00\t-0.45\t-45.0\n"
                       "pair\tNo.2\t北東\t7.50\t-1.50\t-200.0\n"));
    EXPECT_TRUE(shown.err.isEmpty());

    // "-" goes back to what the test gives: no GPS, so no position and no level.
    ASSERT_EQ(run({"site", "set", site(), "No.2", "--xy", "-", "--ground", "-"}).status, 0);
    EXPECT_TRUE(run({"site", "show", site()})
                    .out.contains(QStringLiteral("point\tNo.2\ttests/b.ktd\t-\t-\t-\t6.0")));
}

// The site's particulars are set by info and printed back in a form its options take again;
// a point's by set, listed by show after the figures.
TEST_F(CliSiteTest, InfoAndSetKeepTheSurveyParticulars)
{
    ASSERT_EQ(
        run(QStringList{"site", "new", site()} + writeTests() + QStringList{"--name", "山田邸"})
            .status,
        0);
    const CliRun set = run({"site",
                            "info",
                            site(),
                            "--client",
                            "山田 一郎",
                            "--address",
                            "東京",
                            "--company",
                            "テスマーク",
                            "--engineer",
                            "佐藤",
                            "--building",
                            "木造",
                            "--foundation",
                            "べた基礎",
                            "--equipment",
                            "semi-auto",
                            "--equipment-name",
                            "VT200",
                            "--report-date",
                            "2026-03-01",
                            "--findings",
                            "一行目\\n二行目 C:\\\\x"});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    const QString printed = QStringLiteral(
        "name\t山田邸\nclient\t山田 一郎\naddress\t東京\ncompany\tテスマーク\nengineer\t佐藤\n"
        "building\t木造\nfoundation\tべた基礎\nequipment\tsemi-auto\nequipment-name\tVT200\n"
        "report-date\t2026-03-01\nfindings\t一行目\\n二行目 C:\\\\x\n");
    EXPECT_EQ(run({"site", "info", site()}).out, printed);
    EXPECT_EQ(ReadSiteFile(site()).Survey.Findings, QStringLiteral("一行目\n二行目 C:\\x"));

    // Standard input gives the findings as they are; "-" takes the report date back.
    ASSERT_EQ(run({"site", "info", site(), "--findings", "-", "--report-date", "-"},
                  "所見\r\n\\n のまま\n\n")
                  .status,
              0);
    EXPECT_EQ(ReadSiteFile(site()).Survey.Findings, QStringLiteral("所見\n\\n のまま"));
    EXPECT_FALSE(ReadSiteFile(site()).Survey.ReportDate);

    const QString jpeg = sandbox.writeFile("photos/a.jpg", "\xFF\xD8\xFF\xE0");
    const QString png = sandbox.writeFile("b,c.png", "\x89PNG\r\n\x1A\n");
    ASSERT_EQ(run({"site",       "set",  site(),         "No.2",
                   "--weather",  "晴れ", "--tester",     "鈴木",
                   "--water",    "1.20", "--end-reason", "refusal",
                   "--end-note", "礫",   "--photo",      jpeg + ",全景, 北から",
                   "--photo",    png,    "--note",       "南西隅"})
                  .status,
              0);
    ASSERT_EQ(run({"site", "set", site(), "No.3", "--water", "none", "--photo", jpeg}).status, 0);
    // The same photo again changes its caption; --no-photos drops the others first.
    ASSERT_EQ(run({"site", "set", site(), "No.3", "--no-photos", "--photo", png + ",近景"}).status,
              0);
    const CliRun shown = run({"site", "show", site()});
    EXPECT_TRUE(shown.out.endsWith(
        QStringLiteral("survey\tNo.2\t晴れ\t鈴木\t1.20\trefusal\t礫\t南西隅\n"
                       "photo\tNo.2\tphotos/a.jpg\t全景, 北から\nphoto\tNo.2\tb,c.png\t\n"
                       "survey\tNo.3\t\t\tnone\t\t\t\nphoto\tNo.3\tb,c.png\t近景\n")))
        << shown.out.toStdString();
    EXPECT_EQ(shown.out.count(QStringLiteral("point\t")), 3);
}

// A test that cannot be read is named after the figures of the others; an unreadable GPS
// record is told but does not fail the command.
TEST_F(CliSiteTest, ShowNamesWhatItCouldNotRead)
{
    const QStringList tests = writeTests();
    WriteSiteTest(sandbox, "tests/b.ktd", {600, {}, "35.68x N 139.7671 E 40 m"});
    ASSERT_EQ(run(QStringList{"site", "new", site()} + tests).status, 0);
    QFile::remove(tests[2]);

    const CliRun r = run({"site", "show", site()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.count(QStringLiteral("point\t")), 3);
    EXPECT_TRUE(r.out.contains(QStringLiteral("point\tNo.3\ttests/c.ktd\t-\t-\t-\t-\t-\t-\t-\n")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("No.2: GPSの緯度「35.68x」は数値ではありません")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("No.3: 試験ファイルがありません: ") +
                               QDir::toNativeSeparators(tests[2])));
}

// A misread latitude is named with its distance; files are shown as the site file names them,
// and one that is no regular file is said to be so.
TEST_F(CliSiteTest, ShowWarnsOfAFarPointAndNamesFilesAsTheSiteDoes)
{
    WriteSiteTest(sandbox, "tests/a.ktd", {600, {}, "35.6812 N 139.7671 E 40 m"});
    const QString b = WriteSiteTest(sandbox, "b.ktd", {600, {}, "35.6813 N 139.7672 E 40 m"});
    WriteSiteTest(sandbox, "tests/c.ktd", {600, {}, "356.812 N 139.7671 E 40 m"});
    sandbox.writeFile("house.tsite",
                      QStringLiteral("{\"format\": \"Tessmark site\", \"version\": 1, "
                                     "\"points\": [{\"file\": \"tests/a.ktd\"}, "
                                     "{\"file\": \"%1\"}, {\"file\": \"tests/c.ktd\"}, "
                                     "{\"file\": \"/dev/zero\"}]}")
                          .arg(b)
                          .toUtf8());
    const CliRun r = run({"site", "show", site()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("point\tNo.2\t%1\t").arg(b)));
    EXPECT_TRUE(r.out.contains(QStringLiteral("point\tNo.4\t/dev/zero\t")));
    EXPECT_TRUE(r.err.contains(QRegularExpression(
        QStringLiteral("No.3: 位置がほかの測点の中央から 35\\d\\d\\.\\d km 離れています"))))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("No.1: 位置")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("No.4: 試験ファイルは通常のファイルではありません")));
}

// The report is the survey report: cover, contents, overview, plan, a sheet per point,
// section, comparison, nearby tests (unless left out; looking for them makes no archive) and
// findings; pictures take the asked size. A site with a test that cannot be read draws nothing.
TEST_F(CliSiteTest, ReportPlanAndSectionAreDrawnOnlyWithEveryTest)
{
    const QStringList tests = writeTests();
    ASSERT_EQ(run(QStringList{"site", "new", site()} + tests).status, 0);
    const QString pdf = sandbox.filePath("site.pdf");
    const CliRun report = run({"site", "report", site(), pdf, "--color"});
    ASSERT_EQ(report.status, 0) << report.err.toStdString();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    EXPECT_EQ(QString::fromLatin1(sandbox.readFile(pdf)).count(page), 8 + 3);
    EXPECT_FALSE(QFile::exists(sandbox.filePath("data/archive.sqlite")));
    ASSERT_EQ(run({"site", "report", site(), pdf, "--no-nearby"}).status, 0);
    EXPECT_EQ(QString::fromLatin1(sandbox.readFile(pdf)).count(page), 7 + 3);

    const struct
    {
        const char *action;
        QStringList size;
        QSize expected;
    } pictures[] = {{"plan", {"--size", "640x480"}, {640, 480}}, {"section", {}, {1200, 800}}};
    for (const auto &p : pictures) {
        const QString png = sandbox.filePath(QStringLiteral("%1.png").arg(p.action));
        const CliRun r = run(QStringList{"site", p.action, site(), png} + p.size);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(QImage(png).size(), p.expected);
    }

    QFile::remove(pdf);
    QFile::remove(tests[1]);
    const CliRun missing = run({"site", "report", site(), pdf});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("No.2: 試験ファイルがありません")));
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(CliSiteTest, RefusalsLeaveEveryFileAsItWas)
{
    const QStringList tests = writeTests();
    ASSERT_EQ(run(QStringList{"site", "new", site()} + tests).status, 0);
    const QByteArray before = sandbox.readFile(site());
    const QString broken = sandbox.writeFile("broken.tsite", "{\"format\": \"Tessmark site\"}");
    const QString fresh = sandbox.filePath("fresh.tsite");
    const QString notPhoto = sandbox.writeFile("notes.jpg", "text");
    const struct
    {
        QStringList arguments;
        int status;
        const char *named;
    } cases[] = {
        {{"site", "new", site(), tests[0]}, 1, "すでにあります"},
        {{"site", "new", fresh, tests[0], sandbox.filePath("none.ktd")}, 1, "none.ktd"},
        {{"site", "new", tests[0], tests[1]}, 2, ".tsite"},
        {{"site", "set", site(), "No.1", "--xy", "3,x"}, 2, "3,x"},
        {{"site", "set", site(), "No.1", "--ground", "high"}, 2, "high"},
        {{"site", "set", site(), "No.9", "--ground", "1"}, 1, "No.9"},
        {{"site", "set", site(), "No.1", "--label", "No.2"}, 1, "No.2"},
        {{"site", "set", site(), "No.1"}, 2, "--xy"},
        {{"site", "show", broken}, 1, "\"version\""},
        {{"site", "report", site(), sandbox.filePath("out.png")}, 2, ".pdf"},
        {{"site", "plan", site(), sandbox.filePath("p.png"), "--no-nearby"}, 2, "site report"},
        {{"site", "report", site(), sandbox.filePath("o.pdf"), "--database",
          "postgresql://u:pw@h/db"},
         2,
         "パスワード"},
        {{"site", "rename", site()}, 2, "site takes"},
        // A value that cannot be taken names its field, also after others that could.
        {{"site", "set", site(), "No.1", "--weather", "晴れ", "--water", "deep"}, 1, "孔内水位"},
        {{"site", "set", site(), "No.1", "--water", "-1"}, 1, "--water"},
        {{"site", "set", site(), "No.1", "--end-reason", "Depth"}, 1, "試験終了の理由"},
        {{"site", "set", site(), "No.1", "--photo", notPhoto + ",x"}, 1, "JPEG か PNG"},
        {{"site", "set", site(), "No.1", "--photo", "none.jpg"}, 1, "写真（--photo）"},
        {{"site", "set", site(), "No.1", "--tester", "a\nb"}, 1, "試験者"},
        {{"site", "info", site(), "--client", "x", "--equipment", "hand"}, 1, "試験装置"},
        {{"site", "info", site(), "--report-date", "2026-02-30"}, 1, "報告日"},
        {{"site", "info", site(), "--weather", "晴れ"}, 2, "goes with site set"},
        {{"site", "set", site(), "No.1", "--client", "x"}, 2, "goes with site info"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CliRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.named))) << r.err.toStdString();
        EXPECT_EQ(sandbox.readFile(site()), before);
        EXPECT_FALSE(QFile::exists(fresh));
    }
}

} // namespace
