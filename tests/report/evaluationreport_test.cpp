// The evaluation report of `tessmark-cli report`: its depth scale, its self-sinking bars and
// base lines, and its pages numbered "N / M" like every report's.
#include "evaluationreport.h"

#include "reftables.h"
#include "reporttestdata.h"
#include "settings.h"
#include "site.h"
#include "sitetestdata.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

class EvaluationReportTest : public ::testing::Test
{
protected:
    EvaluationReportTest() { tables.LoadFrom(shippedDataDir()); }

    TEvaluationPoint point(const TSiteTestShape &shape, int base = 50)
    {
        const TSitePointTest read = ReadSitePointTest(
            WriteSiteTest(sandbox, QStringLiteral("p.ktd"), shape), setting, tables);
        EXPECT_TRUE(read.Test) << read.Problem.toStdString();
        TEvaluationPoint point{QStringLiteral("No1"), *read.Test, {}};
        point.Result = EvaluateBearing(point.Test.RoundedLog, base);
        return point;
    }

    TestSandbox sandbox;
    TSetting setting;
    TReferenceTables tables;
};

TEST_F(EvaluationReportTest, TheDepthScaleFitsTheDeepestTestInWholeMetres)
{
    const std::pair<int, int> cases[] = {{0, 5},   {450, 5}, {500, 5},
                                         {501, 6}, {700, 7}, {1510, 16}};
    for (const auto &[deepest, metres] : cases)
        EXPECT_EQ(EvaluationDepthRange(deepest), metres) << deepest;
}

// A stretch sinking under the full 1.00 kN fills the load part like any other load, and the
// dashed base line never runs through the load written beside a stretch.
TEST_F(EvaluationReportTest, SelfSinkingLoadsGetTheirBarsAndTheBaseLineKeepsClearOfTheirLabels)
{
    // 0.50–1.00 m at 0.75 kN, labelled from the base (0.50 m) down; 1.00–1.50 m at 1.00 kN.
    const TEvaluationPoint sample = point({600, {{50, 100, "075"}, {100, 150, "100"}}, {}});
    const QRect area(0, 0, 800, 1600);

    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    PlotRect plot;
    {
        QPainter painter(&image);
        plot = DrawEvaluationGraph(painter, area, sample, 6, 50, false, setting, tables);
    }
    // The middle of the load part at 1.25 m is drawn on.
    const int x = plot.Left + plot.Width() * 25 / setting.NswMax; // the load part is 50 units
    const int y = plot.Top + plot.Height() * 125 / 600;
    EXPECT_NE(image.pixel(x, y), QColor(Qt::white).rgb());

    TRecordingDevice device(area.width(), area.height());
    {
        QPainter painter(&device);
        DrawEvaluationGraph(painter, area, sample, 6, 50, false, setting, tables);
    }
    const QList<TRecordedText> labels = device.textsNamed(QStringLiteral("0.75"));
    ASSERT_FALSE(labels.isEmpty());
    const int baseY = plot.Top + plot.Height() * 50 / 600;
    int dashed = 0;
    for (const TRecordedLine &line : device.Lines) {
        if (line.Pen.style() != Qt::DashLine || qAbs(line.Line.y1() - baseY) > 1)
            continue;
        ++dashed;
        for (const TRecordedText &label : labels) {
            const QRectF box = device.boxOf(label);
            EXPECT_FALSE(line.Line.x1() < box.right() && line.Line.x2() > box.left() &&
                         box.top() <= baseY && box.bottom() >= baseY)
                << line.Line.x1() << "–" << line.Line.x2();
        }
    }
    EXPECT_GT(dashed, 0);
}

TEST_F(EvaluationReportTest, EveryPageIsNumberedNOfM)
{
    TEvaluationReportInput input;
    for (int i = 0; i < 5; ++i)
        input.Points.append(point({600 + 100 * i, {{50, 125, "050"}}, {}}));
    auto device = A4Recorder();
    const TReportDocument document =
        LayReport(*device, EvaluationReportParts(input, setting, tables),
                  EvaluationReportFurniture(input), input.Color);
    ASSERT_GE(document.PageCount(), 3);
    for (int i = 0; i < document.PageCount(); ++i)
        EXPECT_EQ(PageProblems(document, i, *RecordPage(document, i)).toStdString(), "");
}

} // namespace
