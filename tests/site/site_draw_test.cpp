// The plan and the section drawn on pictures: points to scale, labels clear of each other,
// columns at their distances and levels, black and white without colour; the sample site's
// photos.
#include "recordingdevice.h"
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
#include <cmath>
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

    // `count` points `step` metres apart from west to east, sinking and rising a little.
    TSiteData lineSite(int count, double step)
    {
        TSiteData data = gridSite(count, count);
        for (int i = 0; i < count; ++i) {
            data.Site.Points[i].TypedPosition = QPointF(i * step, 0);
            data.Site.Points[i].TypedGround = 0.02 * (i % 7);
        }
        data.Site.Outline.clear();
        data.Recompute();
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
    data.Site.Points[1].Survey.Water = {TWaterLevelKind::Measured, 2.0};
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
    // Its water level 2.00 m below its ground, right of the rod.
    const int water = int(std::lround(layout.YOf(ground - 2.0)));
    const int right = x + layout.HalfWidth * 9 / 10;
    EXPECT_TRUE(image.pixelColor(right, water) == QColor(0, 90, 200) ||
                image.pixelColor(right, water - 1) == QColor(0, 90, 200));
    EXPECT_NE(image.pixelColor(right, int(layout.YOf(ground - 2.5))), QColor(0, 90, 200));

    data.Site.Points[1].TypedPosition.reset();
    data.Recompute();
    {
        QPainter painter(&image);
        layout = DrawSiteSection(painter, image.rect(), data, {true, 12, true});
    }
    EXPECT_DOUBLE_EQ(layout.ColumnX[1] - layout.ColumnX[0], layout.ColumnX[2] - layout.ColumnX[1]);
}

// The boxes of everything written, each a pixel smaller so that touching is not overlapping.
QList<QRectF> textBoxes(const TRecordingDevice &device)
{
    QList<QRectF> boxes;
    for (const TRecordedText &text : device.Texts)
        boxes.append(device.boxOf(text).adjusted(1, 1, -1, -1));
    return boxes;
}

// Texts cut off, overlapping another, lying on a filled shape (a column's bars) or crossed by a
// line ("" when none).
QString clashes(const TRecordingDevice &device)
{
    const QList<QRectF> boxes = textBoxes(device);
    QStringList found;
    if (const QString overlapping = device.OverlappingTexts(); !overlapping.isEmpty())
        found.append(overlapping);
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        if (!QRectF(0, 0, device.width(), device.height()).contains(boxes[i]))
            found.append(device.Texts[i].Text + QStringLiteral(" cut off"));
        for (const TRecordedRect &shape : device.Rects) {
            const bool filled =
                shape.Brush.style() != Qt::NoBrush && shape.Brush.color() != QColor(Qt::white);
            if (filled && shape.Rect.intersects(boxes[i]))
                found.append(device.Texts[i].Text + QStringLiteral(" on a shape"));
        }
        for (const TRecordedLine &line : device.Lines) {
            for (double t = 0; t <= 1; t += 1 / std::max(1.0, line.Line.length() * 2)) {
                if (boxes[i].contains(line.Line.pointAt(t))) {
                    found.append(device.Texts[i].Text + QStringLiteral(" crossed"));
                    break;
                }
            }
        }
    }
    return found.join(u' ');
}

// 60 points 2 m apart in a line, at the pictures' default sizes: the plan's labels cannot all
// stand beside their marks, so the marks are numbered and listed beside it; on the plan and the
// section no text lies over another, over a mark, over a column or across a line.
TEST_F(SiteDrawTest, SixtyCrowdedPointsKeepEveryTextClear)
{
    const TSiteData data = lineSite(60, 2);
    // The picture's default size, and a report page: there the labels would all fit, but on
    // leaders too many to tell which is whose.
    const struct
    {
        QSize size;
        int textHeight;
    } plans[] = {{{800, 800}, 14}, {{2300, 3300}, 33}};
    for (const auto &p : plans) {
        SCOPED_TRACE(p.size.width());
        TRecordingDevice plan(p.size.width(), p.size.height());
        TSitePlanLayout layout;
        {
            QPainter painter(&plan);
            layout =
                DrawSitePlan(painter, QRect(QPoint(), p.size), data, {false, p.textHeight, true});
        }
        EXPECT_TRUE(layout.Numbered);
        ASSERT_EQ(layout.Drawn.size(), 60);
        for (int i = 0; i < 60; ++i) {
            EXPECT_EQ(plan.textsNamed(DefaultPointLabel(i)).size(), 1) << i;   // in the list
            EXPECT_GE(plan.textsNamed(QString::number(i + 1)).size(), 2) << i; // at its mark
        }
        EXPECT_EQ(clashes(plan).toStdString(), "");
        for (const QRectF &box : textBoxes(plan)) {
            for (const TSitePointFigures &point : data.Figures.Points)
                EXPECT_FALSE(box.contains(layout.Map(*point.Position)));
        }
    }

    TRecordingDevice section(1200, 800);
    TSiteSectionLayout columns;
    {
        QPainter painter(&section);
        columns = DrawSiteSection(painter, QRect(0, 0, 1200, 800), data, {false, 14, true});
    }
    EXPECT_EQ(clashes(section).toStdString(), "");
    EXPECT_EQ(columns.ColumnX.size(), 60);
    EXPECT_FALSE(section.textsNamed(QStringLiteral("No.60")).isEmpty());
}

// A misread position is left off the plan and named under it; the others keep their scale.
TEST_F(SiteDrawTest, AFarPointIsNotedAndTheOthersKeepTheirScale)
{
    TSiteData data = gridSite(6, 5);
    data.Site.Points[5].TypedPosition.reset();
    data.Recompute();
    const auto draw = [](const TSiteData &site, TRecordingDevice &device) {
        QPainter painter(&device);
        return DrawSitePlan(painter, QRect(0, 0, 900, 700), site, {true, 14, true});
    };
    TRecordingDevice near(900, 700);
    const TSitePlanLayout without = draw(data, near);
    data.Site.Points[5].TypedPosition = QPointF(0, 3e6);
    data.Recompute();
    TRecordingDevice far(900, 700);
    const TSitePlanLayout with = draw(data, far);
    EXPECT_DOUBLE_EQ(with.PixelsPerMetre, without.PixelsPerMetre);
    EXPECT_FALSE(with.Drawn.contains(5));
    bool noted = false;
    for (const TRecordedText &text : far.Texts)
        noted = noted || (text.Text.contains(QStringLiteral("No.6（3000.0 km）")));
    EXPECT_TRUE(noted);
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
