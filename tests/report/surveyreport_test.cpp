// The survey report laid out for sites of 1 and 60 points: each part's pages in order, the
// contents pointing at them, nothing outside the frame, the sheets' rows level with their
// depths beside the graphs, and the photos the right way up.
#include "errors.h"
#include "reftables.h"
#include "reporttestdata.h"
#include "settings.h"
#include "site.h"
#include "sitetestdata.h"
#include "surveyreport.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class SurveyReportTest : public ::testing::Test
{
protected:
    SurveyReportTest() { tables.LoadFrom(shippedDataDir()); }

    // `count` points in a row 4 m apart: 6 m tests, every seventh 15 m deep (two sheets),
    // sinking at 0.75 kN under the base; No.1 with its particulars filled in.
    TSiteData site(int count)
    {
        TSiteData data;
        data.Site.Name = QStringLiteral("試験邸 新築工事");
        data.Site.Survey.Client = QStringLiteral("依頼者の例");
        data.Site.Survey.Company = QStringLiteral("調査会社の例");
        data.Site.Survey.Equipment = TSurveyEquipment::Auto;
        data.Site.Survey.Findings = QStringLiteral("一行目の所見\n二行目の所見");
        for (int i = 0; i < count; ++i) {
            const TSiteTestShape shape{
                i % 7 == 6 ? 1500 : 600, {{50, 100 + 25 * (i % 3), "075"}}, {}};
            TSiteTestPoint point;
            point.File = WriteSiteTest(sandbox, QStringLiteral("p%1.ktd").arg(i), shape);
            point.Label = DefaultPointLabel(i);
            point.TypedPosition = QPointF(4.0 * i, 0);
            point.TypedGround = 0.02 * i;
            data.Site.Points.append(point);
        }
        TPointSurvey &first = data.Site.Points[0].Survey;
        first.Weather = QStringLiteral("晴れ");
        first.Water = {TWaterLevelKind::Measured, 1.20};
        first.EndReason = TEndReason::Depth;
        data.ReadTests(setting, tables);
        return data;
    }

    TReportDocument lay(const TSiteData &data, TRecordingDevice &device,
                        std::optional<TNearbyTests> nearby = std::nullopt)
    {
        const TSurveyContext context{
            data, {false, QDate(2025, 1, 31), std::move(nearby)}, setting, tables};
        return LayReport(device, SurveyReportParts(context), SurveyReportFurniture(data), false);
    }

    QString photo(const QString &name, QSize size,
                  QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QImageWriter writer(sandbox.filePath(name));
        writer.setTransformation(turn);
        EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
        return sandbox.filePath(name);
    }

    TestSandbox sandbox;
    TSetting setting;
    TReferenceTables tables;
};

// Which part a page belongs to: its title up to the point's label or page count.
QString partOf(const QString &title)
{
    return title.section(u'　', 0, 0).section(u'（', 0, 0);
}

TEST_F(SurveyReportTest, EveryPartHasItsPagesInOrderAndNothingLeavesTheFrame)
{
    for (const int count : {1, 60}) {
        SCOPED_TRACE(count);
        TSiteData data = site(count);
        data.Site.Points[0].Survey.Photos = {
            {photo("a.png", {640, 480}), QStringLiteral("全景")},
            {photo("b.png", {480, 640}), QStringLiteral("試験位置")}};
        auto device = A4Recorder();
        const TReportDocument document = lay(data, *device);

        QStringList parts;
        QMap<QString, int> pages;
        for (const TReportPage &page : document.Pages) {
            const QString part = partOf(page.Title);
            if (parts.isEmpty() || parts.last() != part)
                parts.append(part);
            ++pages[part];
        }
        EXPECT_EQ(parts, QStringList({"表紙", "目次", "調査概要", "試験位置図", "データシート",
                                      "推定断面図", "測点の比較", "考察", "写真"}));
        EXPECT_EQ(pages["データシート"], count + count / 7);
        EXPECT_EQ(pages["写真"], 1);
        EXPECT_EQ(pages["表紙"], 1);
        EXPECT_EQ(pages["試験位置図"], 1);
        // Every contents line points at the page its part or point starts on.
        ASSERT_EQ(document.Entries.size(), 7 + count);
        for (const TReportEntry &entry : document.Entries) {
            const QString title = document.Pages.at(entry.Page - 1).Title;
            EXPECT_TRUE(entry.Level == 0 ? partOf(title) == entry.Title
                                         : title.contains(u'　' + entry.Title + u'（') ||
                                               title.endsWith(u'　' + entry.Title))
                << entry.Title.toStdString() << " → " << title.toStdString();
        }
        for (int i = 0; i < document.PageCount(); ++i) {
            const auto page = RecordPage(document, i);
            ASSERT_EQ(PageProblems(document, i, *page).toStdString(), "");
            // On the sheets no text runs into another.
            if (partOf(document.Pages.at(i).Title) != QStringLiteral("データシート"))
                continue;
            ASSERT_EQ(page->OverlappingTexts().toStdString(), "") << i;
        }
    }
}

// A row of the table stands level with its depth on the graphs beside it: the metre labels,
// the water level and the base lines all sit at the foot of the row of their depth.
TEST_F(SurveyReportTest, SheetRowsStandLevelWithTheirDepthsOnTheGraphs)
{
    const TSiteData data = site(1);
    auto device = A4Recorder();
    const TReportDocument document = lay(data, *device);
    const auto sheet =
        std::find_if(document.Pages.cbegin(), document.Pages.cend(), [](const TReportPage &page) {
            return page.Title.startsWith(QStringLiteral("データシート"));
        });
    ASSERT_NE(sheet, document.Pages.cend());
    const auto page = RecordPage(document, int(sheet - document.Pages.cbegin()));
    // The foot of the row whose depth reads `depth`.
    const auto rowFoot = [&](const char *depth) {
        const QList<TRecordedText> found = page->textsNamed(QString::fromUtf8(depth));
        EXPECT_EQ(found.size(), 1) << depth;
        const QRectF box = page->boxOf(found.value(0));
        const double lineHeight = document.Frame.Mm(4.2);
        return box.center().y() + lineHeight / 2;
    };
    const double line = document.Frame.Mm(4.2);

    const QList<TRecordedText> metre = page->textsNamed(QStringLiteral("2"));
    ASSERT_FALSE(metre.isEmpty());
    EXPECT_NEAR(page->boxOf(metre.last()).center().y(), rowFoot("2.00"), line / 4);

    const QList<TRecordedText> water = page->textsNamed(QStringLiteral("1.20"));
    ASSERT_EQ(water.size(), 1);
    EXPECT_NEAR(page->boxOf(water.first()).bottom(), rowFoot("1.25") - line / 5, line / 4);

    for (const char *depth : {"0.50", "2.50"}) {
        const double y = rowFoot(depth);
        EXPECT_TRUE(std::any_of(page->Lines.cbegin(), page->Lines.cend(),
                                [&](const TRecordedLine &drawn) {
                                    return drawn.Pen.style() == Qt::DashLine &&
                                           qAbs(drawn.Line.y1() - y) < 3 &&
                                           qAbs(drawn.Line.y2() - y) < 3;
                                }))
            << depth;
    }
}

// Photos go three to a page in their own shape, one stored sideways with its orientation turned
// upright; a photo that cannot be read stops the report before a page is drawn, naming it.
TEST_F(SurveyReportTest, PhotosStandTheRightWayUpThreeToAPage)
{
    TSiteData data = site(2);
    data.Site.Points[0].Survey.Photos = {
        {photo("wide.png", {640, 480}), QStringLiteral("全景")},
        {photo("tall.png", {480, 640}), QStringLiteral("試験位置")}};
    data.Site.Points[1].Survey.Photos = {
        {photo("turned.jpg", {640, 480}, QImageIOHandler::TransformationRotate90),
         QStringLiteral("横向きに記録")},
        {photo("wide2.png", {640, 480}), QString()}};
    auto device = A4Recorder();
    const TReportDocument document = lay(data, *device);
    QList<QRectF> shown;
    int pages = 0;
    for (int i = 0; i < document.PageCount(); ++i) {
        if (document.Pages.at(i).Title != QStringLiteral("写真"))
            continue;
        ++pages;
        const auto page = RecordPage(document, i);
        for (const QRectF &image : page->Images) {
            EXPECT_TRUE(QRectF(document.Frame.Body).contains(image));
            shown.append(image);
        }
        EXPECT_FALSE(page->textsNamed(QStringLiteral("No.1　全景")).isEmpty() && pages == 1);
    }
    EXPECT_EQ(pages, 2);
    ASSERT_EQ(shown.size(), 4);
    EXPECT_GT(shown[0].width(), shown[0].height());
    EXPECT_LT(shown[1].width(), shown[1].height());
    EXPECT_LT(shown[2].width(), shown[2].height()); // stored 640 × 480, shown upright
    EXPECT_GT(shown[3].width(), shown[3].height());

    data.Site.Points[1].Survey.Photos.append({sandbox.filePath("gone.jpg"), QString()});
    try {
        lay(data, *device);
        FAIL() << "a missing photo was not refused";
    } catch (const ETessmarkError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("gone.jpg"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("No.2")));
    }
}

// A misread latitude puts a point thousands of kilometres away: the comparison says so first.
TEST_F(SurveyReportTest, AFarPointIsNotedBeforeTheComparisonsNotes)
{
    TSiteData data;
    const char *positions[] = {"35.6812 N 139.7671 E 40 m", "35.6813 N 139.7672 E 40 m",
                               "356.812 N 139.7671 E 40 m"};
    for (int i = 0; i < 3; ++i)
        data.Site.Points.append(
            {WriteSiteTest(sandbox, QStringLiteral("g%1.ktd").arg(i), {600, {}, positions[i]}),
             DefaultPointLabel(i), std::nullopt, std::nullopt});
    data.ReadTests(setting, tables);
    auto device = A4Recorder();
    const TReportDocument document = lay(data, *device);
    QStringList notes;
    for (int i = 0; i < document.PageCount(); ++i) {
        if (document.Pages.at(i).Title != QStringLiteral("測点の比較"))
            continue;
        const auto page = RecordPage(document, i);
        for (const TRecordedText &text : page->Texts) {
            if (text.Text.startsWith(QStringLiteral("注意：")) ||
                text.Text.startsWith(QStringLiteral("位置：")))
                notes.append(text.Text);
        }
    }
    ASSERT_EQ(notes.size(), 2);
    EXPECT_TRUE(notes[0].startsWith(QStringLiteral("注意：No.3 の位置がほかの測点の中央から")))
        << notes[0].toStdString();
}

// The archive's nearby tests stand between the comparison and the findings: at most 50 of them
// with a note of the rest, or why there are none, and a map of where they lie whose numbers
// never overlap (those without room are counted in a note); without a lookup there is no part.
TEST_F(SurveyReportTest, NearbyTestsStandBeforeTheFindingsOrSayWhyThereAreNone)
{
    // `count` tests 5.5 m apart going north from the site's place.
    const auto hits = [](int count) {
        QList<TArchiveHit> list;
        for (int i = 0; i < count; ++i) {
            TArchiveHit hit;
            hit.Entry.Id = 1000 + i;
            hit.Entry.Figures.Code = QStringLiteral("102-004-017-%1").arg(i, 4, 10, QChar(u'0'));
            hit.Entry.Figures.TestedAt = QStringLiteral("2024-05-17 09:30");
            hit.Entry.Figures.MeanNswTenths = 123;
            hit.Entry.Figures.Position = TGeoPosition{35.6812 + 0.00005 * (i + 1), 139.7671};
            hit.Distance = 10.0 + i;
            list.append(hit);
        }
        return list;
    };
    const struct
    {
        std::optional<TNearbyTests> nearby;
        QStringList shown;   // texts on the part's pages
        QStringList missing; // and texts that must not be there
        int marks;           // tests on the map
    } cases[] = {
        {std::nullopt, {}, {}, 0},
        {TNearbyTests{200, hits(3), {}},
         {"1000", "1002", "12.0", "2024-05-17", "12.3", "参考データ", "近隣の試験の位置"},
         {"1003", "全部で"},
         3},
        {TNearbyTests{150, hits(51), {}}, {"1049", "全部で 51 件"}, {"1050"}, 50},
        {TNearbyTests{200, {}, {}},
         {"半径 200 m 以内に保管された他の試験はありません。"},
         {"近隣の試験の位置"},
         0},
        {TNearbyTests{200, {}, QStringLiteral("試験アーカイブを開けないため。")},
         {"試験アーカイブを開けないため。"},
         {"ありません"},
         0},
    };
    TSiteData data;
    for (int i = 0; i < 2; ++i)
        data.Site.Points.append({WriteSiteTest(sandbox, QStringLiteral("g%1.ktd").arg(i),
                                               {600, {}, "35.6812 N 139.7671 E 40 m"}),
                                 DefaultPointLabel(i), std::nullopt, std::nullopt});
    data.ReadTests(setting, tables);
    static const QRegularExpression note(QStringLiteral("書く場所のない印が (\\d+) 個"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown.join(u' ').toStdString());
        auto device = A4Recorder();
        const TReportDocument document = lay(data, *device, c.nearby);
        QStringList parts;
        QStringList texts;
        for (int i = 0; i < document.PageCount(); ++i) {
            const QString part = partOf(document.Pages.at(i).Title);
            if (parts.isEmpty() || parts.last() != part)
                parts.append(part);
            if (part != QStringLiteral("近隣データ"))
                continue;
            const auto page = RecordPage(document, i);
            ASSERT_EQ(PageProblems(document, i, *page).toStdString(), "");
            ASSERT_EQ(page->OverlappingTexts().toStdString(), "");
            for (const TRecordedText &text : page->Texts)
                texts.append(text.Text);
        }
        const qsizetype findings = parts.indexOf(QStringLiteral("考察"));
        EXPECT_EQ(parts.at(findings - 1),
                  c.nearby ? QStringLiteral("近隣データ") : QStringLiteral("測点の比較"));
        const QString all = texts.join(QString());
        for (const QString &text : c.shown)
            EXPECT_TRUE(texts.contains(text) || all.contains(text)) << text.toStdString();
        for (const QString &text : c.missing)
            EXPECT_FALSE(all.contains(text)) << text.toStdString();
        // Each listed number stands once in the table and once more beside its mark, unless
        // the note counts it.
        int numbered = 0;
        for (int i = 0; i < c.marks; ++i)
            numbered += int(texts.count(QString::number(1000 + i))) - 1;
        const QRegularExpressionMatch counted = note.match(all);
        EXPECT_EQ(numbered + (counted.hasMatch() ? counted.captured(1).toInt() : 0), c.marks);
    }
}

} // namespace
