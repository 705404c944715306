// The plan and the section drawn on pictures: points to scale, labels clear of each other,
// columns at their distances and levels, black and white without colour; the sample site's
// photos.
#include "reftables.h"
#include "settings.h"
#include "site.h"
#include "sitefile.h"
#include "siteplan.h"
#include "sitesection.h"
#include "sitetestdata.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

class SiteDrawTest : public ::testing::Test
{
protected:
    // Points on a grid `columns` wide, 9.5 m by 7 m apart, each sinking below the base to a
    // depth that changes from point to point; ground levels rising to the east.
    TSiteData gridSite(int count, int columns)
    {
        TSiteData data;
        for (int i = 0; i < count; ++i) {
            const TSiteTestShape shape{500 + 25 * (i % 4), {{50, 100 + 25 * (i % 5), "050"}}, {}};
            TSiteTestPoint point;
            point.File = WriteSiteTest(sandbox, QStringLiteral("p%1.ktd").arg(i), shape);
            point.Label = DefaultPointLabel(i);
            point.TypedPosition = QPointF((i % columns) * 9.5, (i / columns) * 7.0);
            point.TypedGround = 0.05 * (i % columns) * 9.5;
            data.Site.Points.append(point);
        }
        data.Site.Outline = {{-2, -2}, {40, -2}, {40, 30}, {-2, 30}};
        TReferenceTables tables;
        tables.LoadFrom(shippedDataDir());
        data.ReadTests(TSetting(), tables);
        return data;
    }

    static QImage picture(QSize size = {900, 700})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }

    TestSandbox sandbox;
};

TEST_F(SiteDrawTest, ThePlanKeepsItsScaleAndItsLabelsClear)
{
    for (const int count : {5, 25}) {
        SCOPED_TRACE(count);
        TSiteData data = gridSite(count, 5);
        // Two points close by the first, so their labels must make way for each other.
        data.Site.Points[1].TypedPosition = QPointF(0.6, 0.4);
        data.Site.Points[2].TypedPosition = QPointF(0.3, -0.5);
        data.Recompute();
        QImage image = picture();
        TSitePlanLayout layout;
        {
            QPainter painter(&image);
            layout = DrawSitePlan(painter, image.rect(), data, {true, 14, true});
        }
        // Metres to pixels alike in both directions, north up.
        const QPointF a = layout.Map(*data.Figures.Points[3].Position);
        const QPointF b = layout.Map(*data.Figures.Points[4].Position);
        EXPECT_NEAR(b.x() - a.x(), 9.5 * layout.PixelsPerMetre, 0.01);
        EXPECT_DOUBLE_EQ(b.y(), a.y());
        if (count > 5) {
            EXPECT_LT(layout.Map(*data.Figures.Points[5].Position).y(),
                      layout.Map(*data.Figures.Points[0].Position).y());
        }
        EXPECT_EQ(image.pixelColor(a.toPoint()), QColor(210, 0, 0)); // the mark's cross
        EXPECT_TRUE(layout.Plot.contains(layout.Map(QPointF(40, 30)).toPoint()));

        // A round scale bar no longer than a quarter of the plan.
        EXPECT_LE(layout.ScaleMetres * layout.PixelsPerMetre, layout.Plot.width() / 4.0);
        EXPECT_GT(layout.ScaleMetres * layout.PixelsPerMetre, layout.Plot.width() / 10.0);

        ASSERT_EQ(layout.LabelBoxes.size(), count);
        for (qsizetype i = 0; i < count; ++i) {
            EXPECT_TRUE(layout.Plot.contains(layout.LabelBoxes[i])) << i;
            for (qsizetype j = 0; j < count; ++j) {
                const QPoint mark = layout.Map(*data.Figures.Points[j].Position).toPoint();
                EXPECT_FALSE(layout.LabelBoxes[i].contains(mark)) << i << " covers " << j;
                if (j > i) {
                    EXPECT_FALSE(layout.LabelBoxes[i].intersects(layout.LabelBoxes[j]))
                        << i << " and " << j;
                }
            }
        }
    }

    // Without any position there is nothing to scale: the plan says so and places nothing.
    TSiteData unplaced = gridSite(3, 3);
    for (TSiteTestPoint &point : unplaced.Site.Points)
        point.TypedPosition.reset();
    unplaced.Recompute();
    QImage image = picture();
    QPainter painter(&image);
    const TSitePlanLayout layout = DrawSitePlan(painter, image.rect(), unplaced, {true, 14, true});
    EXPECT_EQ(layout.PixelsPerMetre, 0);
    EXPECT_TRUE(layout.LabelBoxes.isEmpty());
}

// Columns stand at their distances along the section, or evenly when a point has no position;
// each is drawn at its ground level: self-sinking left of the rod, Nsw right of it.
TEST_F(SiteDrawTest, SectionColumnsStandAtTheirDistancesAndLevels)
{
    TSiteData data = gridSite(3, 3);
    data.Site.Points[2].TypedPosition = QPointF(9.5, 7.5); // 9.5 m, then 7.5 m
    data.Recompute();
    QImage image = picture({1000, 700});
    TSiteSectionLayout layout;
    {
        QPainter painter(&image);
        layout = DrawSiteSection(painter, image.rect(), data, {true, 12, true});
    }
    ASSERT_EQ(layout.ColumnX.size(), 3);
    EXPECT_NEAR((layout.ColumnX[1] - layout.ColumnX[0]) / (layout.ColumnX[2] - layout.ColumnX[1]),
                9.5 / 7.5, 1e-9);
    // Point 1: ground +0.475 m, sinking from 0.50 to 1.25 m, turning below.
    const double ground = 0.475;
    const int inSinking = int(layout.YOf(ground - 1.0));
    const int inTurning = int(layout.YOf(ground - 3.0));
    const int x = int(layout.ColumnX[1]);
    EXPECT_EQ(image.pixelColor(x - layout.HalfWidth / 4, inSinking), QColor(220, 30, 30));
    EXPECT_EQ(image.pixelColor(x + 2, inTurning), QColor(90, 140, 220));
    EXPECT_EQ(image.pixelColor(x + 2, inSinking), QColor(Qt::white));

    data.Site.Points[1].TypedPosition.reset();
    data.Recompute();
    {
        QPainter painter(&image);
        layout = DrawSiteSection(painter, image.rect(), data, {true, 12, true});
    }
    EXPECT_DOUBLE_EQ(layout.ColumnX[1] - layout.ColumnX[0], layout.ColumnX[2] - layout.ColumnX[1]);
}

TEST_F(SiteDrawTest, BlackAndWhiteDrawingsHoldNoColour)
{
    const TSiteData data = gridSite(5, 5);
    for (const bool plan : {true, false}) {
        QImage image = picture();
        {
            QPainter painter(&image);
            const TSiteDrawStyle style{false, 14, true};
            if (plan)
                DrawSitePlan(painter, image.rect(), data, style);
            else
                DrawSiteSection(painter, image.rect(), data, style);
        }
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                coloured += std::abs(c.red() - c.green()) > 8 || std::abs(c.green() - c.blue()) > 8;
            }
        }
        EXPECT_EQ(coloured, 0) << (plan ? "plan" : "section");
    }
}

// Report pages: as many points as stay legible, neighbouring pages sharing a point, one scale.
TEST_F(SiteDrawTest, SectionPagesShareAPointAndOneScale)
{
    const TSiteData five = gridSite(5, 5);
    EXPECT_EQ(SiteSectionPages(five, 2000, 40).size(), 1);

    const TSiteData data = gridSite(25, 5);
    const QList<TSiteSectionRange> pages = SiteSectionPages(data, 2000, 40);
    ASSERT_GT(pages.size(), 1);
    EXPECT_EQ(pages.first().First, 0);
    EXPECT_EQ(pages.last().Last, 24);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        EXPECT_LE(pages[p].Last - pages[p].First + 1,
                  (2000 - 2 * 40 - kSectionSideRoom * 40) / 200 + 1);
        EXPECT_DOUBLE_EQ(pages[p].PixelsPerUnit, pages[0].PixelsPerUnit);
        if (p > 0) {
            EXPECT_EQ(pages[p].First, pages[p - 1].Last);
        }
    }
}

} // namespace

namespace {

// The shipped sample carries what a report shows: every field set, two photos a point that
// can be read, and a picture held on its side that the EXIF orientation turns upright.
TEST(SampleSite, HasItsParticularsAndReadablePhotos)
{
    const TSite site = ReadSiteFile(QDir(samplesDir()).filePath("site/sample.tsite"));
    EXPECT_FALSE(site.Survey.Client.isEmpty());
    EXPECT_NE(site.Survey.Equipment, TSurveyEquipment::Unset);
    ASSERT_EQ(site.Points.size(), 5);
    for (const TSiteTestPoint &point : site.Points) {
        EXPECT_NE(point.Survey.EndReason, TEndReason::Unset) << point.Label.toStdString();
        ASSERT_EQ(point.Survey.Photos.size(), 2) << point.Label.toStdString();
        for (const TSitePhoto &photo : point.Survey.Photos) {
            EXPECT_EQ(PhotoProblem(photo.File), QString());
            EXPECT_LT(QFileInfo(photo.File).size(), 60 * 1024) << photo.File.toStdString();
            EXPECT_FALSE(QImage(photo.File).isNull()) << photo.File.toStdString();
        }
    }
    QImageReader sideways(site.Points[0].Survey.Photos[1].File);
    sideways.setAutoTransform(true);
    EXPECT_EQ(sideways.transformation(), QImageIOHandler::TransformationRotate90);
    EXPECT_EQ(sideways.read().size(), QSize(480, 640));
}

} // namespace
