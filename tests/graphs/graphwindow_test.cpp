// The graph window: placement and its write-back, size limits, reloading on the refresh message,
// switching graphs, copying to the clipboard and when the torque curve is shown.
#include "graphtestlog.h"
#include "graphunit.h"

#include "events.h"
#include "messages.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 340 x 400 client gives the plot left 68, top 60, right 323, bottom 380; with NswMax 300
// the zero line is at x 110 and one Nsw unit is 0.85 pixels, one cm of a 10 m range 0.32.
constexpr int kPlotLeft = 68;
constexpr int kPlotTop = 60;
constexpr int kPlotBottom = 380;
const QColor kSandBlue(Qt::blue);

class GraphWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QGuiApplication::clipboard()->clear();
        setting.GraphWidth = 340;
        setting.GraphHeight = 400;
        setting.GraphLeft = 150;
        setting.GraphTop = 70;
        test.DisplayLog = MakeLog({{100, "100", "100", 5.0, kSand}});
        owner.show();
    }
    void TearDown() override { CloseGraphWindow(form); }

    TGraphForm *open()
    {
        OpenGraphWindow(
            form, test, setting, tables, [this] { return rounded; }, &owner);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.data()));
        return form;
    }
    QImage shown() const { return form->grab().toImage(); }

    TSoundingTest test;
    TSetting setting;
    TReferenceTables tables = MakeTables();
    bool rounded = false;
    QWidget owner;
    QPointer<TGraphForm> form;
};

bool AnyDarkPixel(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                return true;
    return false;
}

} // namespace

TEST_F(GraphWindowTest, OpensAsAToolWindowAtTheStoredPlaceWithTheNswGraph)
{
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ｸﾞﾗﾌ表示"));
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_EQ(form->parentWidget(), &owner);
    EXPECT_FALSE(form->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->toolTip(), QStringLiteral("ダブルクリックするとｸﾞﾗﾌが切り替わります"));
    EXPECT_EQ(form->font().pixelSize(), 12);
    EXPECT_EQ(form->pos(), QPoint(150, 70));
    EXPECT_EQ(form->size(), QSize(340, 400));
    EXPECT_EQ(form->Kind(), TGraphKind::Nsw);
    ASSERT_EQ(form->CurrentStyle().Data.Count, 1);
    EXPECT_DOUBLE_EQ(form->CurrentStyle().Data.Points[1].Value, 100);
    // The bar from 0 to 1 m reaches Nsw 100 (x 195) in the sand colour.
    EXPECT_EQ(shown().pixelColor(150, 75), kSandBlue);
    EXPECT_EQ(shown().pixelColor(200, 75), QColor(Qt::white));
}

TEST_F(GraphWindowTest, OpeningAnOpenWindowNeitherTogglesNorReloads)
{
    TGraphForm *first = open();
    form->ToggleGraph();
    test.DisplayLog = MakeLog({{100, "100", "40", 9.0, kSand}, {200, "100", "60", 9.0, kSand}});
    EXPECT_EQ(OpenGraphWindow(form, test, setting, tables, {}, &owner), first);
    EXPECT_EQ(form->Kind(), TGraphKind::N);
    EXPECT_EQ(form->CurrentStyle().Data.Count, 1);
}

TEST_F(GraphWindowTest, ClosingWritesTheGeometryBackAndClearsTheReference)
{
    open();
    form->move(210, 90);
    form->resize(300, 500);
    form->close();
    EXPECT_EQ(setting.GraphLeft, 210);
    EXPECT_EQ(setting.GraphTop, 90);
    EXPECT_EQ(setting.GraphWidth, 300);
    EXPECT_EQ(setting.GraphHeight, 500);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());

    // Opened again it shows the Nsw graph where it was left.
    open();
    EXPECT_EQ(form->Kind(), TGraphKind::Nsw);
    EXPECT_EQ(form->pos(), QPoint(210, 90));
    EXPECT_EQ(form->size(), QSize(300, 500));

    // The close at shut-down writes the geometry too and leaves no window behind.
    form->move(40, 50);
    CloseGraphWindow(form);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(setting.GraphLeft, 40);
    EXPECT_EQ(setting.GraphTop, 50);
}

TEST_F(GraphWindowTest, NeverSmallerThan120By120)
{
    setting.GraphWidth = 60;
    setting.GraphHeight = 30;
    open();
    EXPECT_EQ(form->minimumSize(), QSize(120, 120));
    EXPECT_EQ(form->size(), QSize(120, 120));
    form->resize(10, 500);
    EXPECT_EQ(form->size(), QSize(120, 500));
}

TEST_F(GraphWindowTest, RefreshMessageReloadsTheShownLogAndTheAxisRange)
{
    test.DisplayLog = MakeLog({});
    open();
    EXPECT_EQ(form->CurrentStyle().Data.Count, 0);
    EXPECT_EQ(shown().pixelColor(150, 75), QColor(Qt::white));

    test.DisplayLog =
        MakeLog({{100, "100", "100", 5.0, kSand}, {200, "050", kSelfSinking, 1.0, kClay}});
    setting.NswMax = 250;
    PostGraphRefresh(form);
    EXPECT_EQ(form->CurrentStyle().Data.Count, 0) << "posted, not sent";
    QCoreApplication::sendPostedEvents(form, WM_GRAPHREFRESH);
    ASSERT_EQ(form->CurrentStyle().Data.Count, 2);
    EXPECT_DOUBLE_EQ(form->CurrentStyle().Data.Points[2].Value, -25);
    EXPECT_EQ(form->CurrentStyle().AxisMax, 250);
    // NswMax 250: 1.02 px per unit, zero line at x 119, the sand bar ends at x 221.
    const QImage image = shown();
    EXPECT_EQ(image.pixelColor(215, 75), kSandBlue);
    EXPECT_EQ(image.pixelColor(225, 75), QColor(Qt::white));
}

TEST_F(GraphWindowTest, DoubleClickAndToggleGraphSwitchBetweenNswAndN)
{
    EXPECT_FALSE(ToggleGraph(form)) << "nothing to switch while closed";
    open();
    QTest::mouseDClick(form.data(), Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(form->Kind(), TGraphKind::N);
    EXPECT_DOUBLE_EQ(form->CurrentStyle().Data.Points[1].Value, 5.0);
    // N 5 of 25 across 255 pixels: the bar ends at x 119.
    EXPECT_EQ(shown().pixelColor(110, 75), kSandBlue);
    EXPECT_EQ(shown().pixelColor(125, 75), QColor(Qt::white));

    EXPECT_TRUE(ToggleGraph(form));
    EXPECT_EQ(form->Kind(), TGraphKind::Nsw);
    EXPECT_DOUBLE_EQ(form->CurrentStyle().Data.Points[1].Value, 100);
    // A right double click does not switch.
    QTest::mouseDClick(form.data(), Qt::RightButton, {}, QPoint(200, 200));
    QWidget *popup = QApplication::activePopupWidget();
    if (popup != nullptr)
        popup->close();
    EXPECT_EQ(form->Kind(), TGraphKind::Nsw);
}

TEST_F(GraphWindowTest, CopyPutsTheClientShiftedOnePixelUpAndLeft)
{
    open();
    const QImage screen = shown();
    form->copyselClick();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), form->size());
    // The frame's top-left corner (68, 60) lands at (67, 59); its left edge is one column in.
    EXPECT_EQ(screen.pixelColor(kPlotLeft, kPlotTop), QColor(Qt::black));
    EXPECT_EQ(copied.pixelColor(kPlotLeft - 1, kPlotTop - 1), QColor(Qt::black));
    EXPECT_EQ(copied.pixelColor(kPlotLeft, kPlotTop + 5), QColor(Qt::white));
    const QRect overlap(0, 0, copied.width() - 1, copied.height() - 1);
    EXPECT_EQ(copied.copy(overlap).convertToFormat(QImage::Format_RGB32),
              screen.copy(overlap.translated(1, 1)).convertToFormat(QImage::Format_RGB32));
    // The column and row uncovered by the shift stay white.
    EXPECT_EQ(copied.pixelColor(copied.width() - 1, kPlotBottom), QColor(Qt::white));
}

TEST_F(GraphWindowTest, ContextMenuCopyAndCtrlCCopy)
{
    open();
    QTest::mousePress(form.data(), Qt::RightButton, {}, QPoint(100, 120));
    ASSERT_TRUE(form->PopupMenu1->isVisible());
    ASSERT_EQ(form->PopupMenu1->actions(), QList<QAction *>{form->copysel});
    EXPECT_EQ(form->copysel->text(), QStringLiteral("ｺﾋﾟｰ"));
    EXPECT_EQ(form->PopupMenu1->pos(), form->mapToGlobal(QPoint(100, 120)));
    QTest::mouseClick(form->PopupMenu1, Qt::LeftButton, {},
                      form->PopupMenu1->actionGeometry(form->copysel).center());
    EXPECT_FALSE(form->PopupMenu1->isVisible());
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), form->size());

    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    QTest::keyClick(form.data(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), form->size());
}

TEST_F(GraphWindowTest, TorqueOnlyWithTorqueGraphOnAndNotTheRoundedView)
{
    test.TestQuantities = {{50, 20}, {100, 60}};
    struct Case
    {
        bool TorqueGraph;
        bool Rounded;
        bool Shown;
    };
    const Case cases[] = {
        {false, false, false}, {true, false, true}, {true, true, false}, {false, true, false}};
    open();
    for (const Case &c : cases) {
        setting.TorqueGraph = c.TorqueGraph;
        rounded = c.Rounded;
        PostGraphRefresh(form);
        QCoreApplication::sendPostedEvents(form, WM_GRAPHREFRESH);
        EXPECT_EQ(form->TorqueShown(), c.Shown) << c.TorqueGraph << c.Rounded;
        // The torque axis labels are the only thing drawn below the frame.
        const QImage image = shown();
        EXPECT_EQ(AnyDarkPixel(image, QRect(kPlotLeft, kPlotBottom + 2, 340 - kPlotLeft, 17)),
                  c.Shown)
            << c.TorqueGraph << c.Rounded;
    }
}

TEST_F(GraphWindowTest, ANonNumericValueIsReportedAndLeavesTheGraphWithoutBars)
{
    TScriptedMessages messages;
    TScopedMessages scoped(messages);
    open();
    test.DisplayLog.row(1).Nsw = QStringLiteral("1x");
    PostGraphRefresh(form);
    QCoreApplication::sendPostedEvents(form, WM_GRAPHREFRESH);
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->CurrentStyle().Data.Count, 0);
    EXPECT_EQ(shown().pixelColor(150, 75), QColor(Qt::white));
    // The converted-N graph needs no text conversion and still draws.
    form->ToggleGraph();
    EXPECT_EQ(form->CurrentStyle().Data.Count, 1);
    EXPECT_EQ(messages.AskedBoxes.size(), 1);
}
