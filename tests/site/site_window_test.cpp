// The site window on the offscreen platform: points added, moved and removed, values typed,
// the site saved and reopened, unsaved changes asked about, and the way from the main window.
#include "events.h"
#include "form_fixture.h"
#include "sitefile.h"
#include "sitesurveyform.h"
#include "sitetablemodel.h"
#include "sitetestdata.h"
#include "sitewindow.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QUrl>

namespace {

class SiteWindowTest : public FormFixture
{
protected:
    SiteWindowTest()
    {
        tables.LoadFrom(shippedDataDir());
        context.Setting = &setting;
        context.Tables = &tables;
        context.OpenTest = [this](const QString &file) {
            opened.append(file);
        };
    }

    // Three tests (A sinks to 1.25 m, B to 2.00 m, C none) in a site file with typed places.
    QString writeSite()
    {
        TSite site;
        site.Name = QStringLiteral("山田邸");
        const QList<TSiteTestShape> shapes{
            {600, {{50, 125, "050"}}, {}}, {600, {{75, 200, "075"}}, {}}, {600, {}, {}}};
        for (qsizetype i = 0; i < shapes.size(); ++i)
            site.Points.append({WriteSiteTest(box, QStringLiteral("t/%1.ktd").arg(i), shapes[i]),
                                DefaultPointLabel(i), QPointF(10.0 * i, 0), 0.1 * i});
        const QString path = box.filePath("house.tsite");
        WriteSiteFile(site, path);
        return path;
    }

    QString cell(const TSiteWindow &window, int row, int column) const
    {
        return window.PointTable->model()->index(row, column).data().toString();
    }

    // A window shown and active, as keys reach it.
    std::unique_ptr<TSiteWindow> activeWindow()
    {
        auto window = std::make_unique<TSiteWindow>(context);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    TSetting setting;
    TReferenceTables tables;
    TSiteWindowContext context;
    QStringList opened;
};

TEST_F(SiteWindowTest, PointsAreAddedMovedRemovedAndSaved)
{
    const QString path = writeSite();
    const std::unique_ptr<TSiteWindow> shown = activeWindow();
    TSiteWindow &window = *shown;
    ASSERT_TRUE(window.OpenSite(path));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("現場 - house.tsite[*]"));
    EXPECT_EQ(window.NameEdit->text(), QStringLiteral("山田邸"));
    ASSERT_EQ(window.PointTable->model()->rowCount(), 3);
    EXPECT_EQ(cell(window, 1, TSiteTableModel::MeanColumn), QStringLiteral("6.0"));
    EXPECT_EQ(cell(window, 1, TSiteTableModel::UpperColumn), QStringLiteral("1.25"));
    EXPECT_FALSE(window.IsModified());

    const QString added = WriteSiteTest(box, "t/d.ktd", {600, {}, {}});
    ASSERT_TRUE(window.AddTests({added}));
    EXPECT_EQ(cell(window, 3, TSiteTableModel::LabelColumn), QStringLiteral("No.4"));
    EXPECT_TRUE(window.isWindowModified());
    window.PointTable->setFocus();
    QTest::keyClick(window.PointTable, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(window.PointTable, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(cell(window, 1, TSiteTableModel::LabelColumn), QStringLiteral("No.4"));
    EXPECT_EQ(cell(window, 2, TSiteTableModel::LabelColumn), QStringLiteral("No.2"));
    window.PointTable->selectRow(0);
    QTest::keyClick(window.PointTable, Qt::Key_Delete);
    EXPECT_EQ(window.Data().Site.Points.size(), 3);
    EXPECT_EQ(cell(window, 0, TSiteTableModel::LabelColumn), QStringLiteral("No.4"));

    // The base depth changes the figures as it is typed.
    window.BaseEdit->selectAll();
    QTest::keyClicks(window.BaseEdit, QStringLiteral("1.00"));
    EXPECT_EQ(window.Data().Site.BaseDepth, 100);
    EXPECT_EQ(cell(window, 1, TSiteTableModel::UpperColumn), QStringLiteral("1.00"));

    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window.isWindowModified());
    const TSite saved = ReadSiteFile(path);
    EXPECT_EQ(saved, window.Data().Site);
    EXPECT_EQ(saved.Points.first().File, added);
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

// Typed positions and levels override the GPS ones and go back to them when emptied; what is
// no number is refused with a message and changes nothing.
TEST_F(SiteWindowTest, TypedValuesAreCheckedAndOverrideTheGps)
{
    TSiteWindow window(context);
    const QString gps = WriteSiteTest(box, "g.ktd", {600, {}, "35.6812 N 139.7671 E 40 m"});
    const QString other =
        WriteSiteTest(box, "h.ktd", {600, {}, "35.68119999 N 139.76820467 E 41.5 m"});
    ASSERT_TRUE(window.AddTests({gps, other}));
    QAbstractItemModel *model = window.PointTable->model();
    const QModelIndex x = model->index(1, TSiteTableModel::XColumn);
    EXPECT_EQ(x.data().toString(), QStringLiteral("100.00"));
    EXPECT_TRUE(x.data(Qt::FontRole).value<QFont>().italic());

    for (const char *bad : {"abc", "1,5", "12m"}) {
        EXPECT_FALSE(model->setData(x, QString::fromUtf8(bad)));
        EXPECT_TRUE(messages.texts().last().contains(QString::fromUtf8(bad)));
    }
    EXPECT_FALSE(window.Data().Site.Points[1].TypedPosition);
    ASSERT_TRUE(model->setData(x, QStringLiteral("12.5")));
    ASSERT_TRUE(window.Data().Site.Points[1].TypedPosition);
    EXPECT_DOUBLE_EQ(window.Data().Site.Points[1].TypedPosition->x(), 12.5);
    EXPECT_NEAR(window.Data().Site.Points[1].TypedPosition->y(), 0, 0.01); // as the GPS gave
    EXPECT_TRUE(model->index(1, TSiteTableModel::XColumn)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("GPS: 100.00")));
    ASSERT_TRUE(model->setData(model->index(1, TSiteTableModel::GroundColumn), "-0.25"));
    EXPECT_EQ(window.Data().Figures.Points[1].Ground, -0.25);
    ASSERT_TRUE(model->setData(x, QString()));
    EXPECT_FALSE(window.Data().Site.Points[1].TypedPosition);
    EXPECT_EQ(model->index(1, TSiteTableModel::XColumn).data().toString(),
              QStringLiteral("100.00"));

    EXPECT_FALSE(model->setData(model->index(1, TSiteTableModel::LabelColumn), "No.1"));
    EXPECT_TRUE(messages.texts().last().contains(QStringLiteral("No.1")));
}

// A missing test keeps its point (nothing typed for it is lost) and is named; a test that
// cannot be read is not added.
TEST_F(SiteWindowTest, AMissingTestIsNamedAndKept)
{
    const QString path = writeSite();
    const TSite site = ReadSiteFile(path);
    QFile::remove(site.Points[1].File);
    TSiteWindow window(context);
    ASSERT_TRUE(window.OpenSite(path));
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_TRUE(
        messages.texts().first().contains(QStringLiteral("No.2: 試験ファイルがありません")));
    EXPECT_EQ(window.PointTable->model()->rowCount(), 3);
    EXPECT_EQ(window.PointTable->model()
                  ->index(1, TSiteTableModel::LabelColumn)
                  .data(Qt::ForegroundRole)
                  .value<QBrush>()
                  .color(),
              QColor(Qt::red));

    EXPECT_FALSE(window.AddTests({box.writeFile("bad.ktd", "$T(\r\nnonsense\r\n)\r\n")}));
    EXPECT_TRUE(messages.texts().last().contains(QStringLiteral("bad.ktd")));
    EXPECT_EQ(window.Data().Site.Points.size(), 3);

    // Nor does a malformed site file replace the open one.
    EXPECT_FALSE(window.OpenSite(box.writeFile("broken.tsite", "{")));
    EXPECT_TRUE(messages.texts().last().contains(QStringLiteral("broken.tsite")));
    EXPECT_EQ(window.SitePath(), QFileInfo(path).absoluteFilePath());
}

TEST_F(SiteWindowTest, ClosingAsksAboutUnsavedChanges)
{
    const QString path = writeSite();
    const QByteArray before = box.readFile(path);
    TSiteWindow window(context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(window.OpenSite(path));
    window.show();
    QTest::keyClicks(window.NameEdit, QStringLiteral(" A"));

    messages.answer(QMessageBox::Cancel);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(messages.texts().last().contains(QStringLiteral("house.tsite")));
    messages.answer(QMessageBox::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(ReadSiteFile(path).Name, QStringLiteral("山田邸 A"));

    window.show();
    QTest::keyClicks(window.NameEdit, QStringLiteral("!"));
    messages.answer(QMessageBox::No);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(ReadSiteFile(path).Name, QStringLiteral("山田邸 A"));
    EXPECT_NE(box.readFile(path), before);
}

// Double-clicking a point's figures shows its test in the main window; dropped files join
// the site in the order they come.
TEST_F(SiteWindowTest, DoubleClickOpensTheTestAndDropsAddTests)
{
    TSiteWindow window(context);
    window.show();
    const QStringList files{WriteSiteTest(box, "a.ktd", {600, {}, {}}),
                            WriteSiteTest(box, "b.ktd", {600, {}, {}})};
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])});
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    ASSERT_EQ(window.Data().Site.Points.size(), 2);
    EXPECT_EQ(window.Data().Site.Points[1].File, files[1]);

    const QModelIndex file = window.PointTable->model()->index(1, TSiteTableModel::FileColumn);
    const QRect place = window.PointTable->visualRect(file);
    QTest::mouseClick(window.PointTable->viewport(), Qt::LeftButton, {}, place.center());
    QTest::mouseDClick(window.PointTable->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(opened, QStringList{files[1]});
}

// The survey panel is worked by keyboard alone: Ctrl+I to the site's form and Ctrl+Shift+I to
// the selected point's, Tab from field to field, Insert and Delete in the photo list adding and
// removing photos (never points). What is typed marks the site unsaved and is saved.
TEST_F(SiteWindowTest, TheSurveyFormsAreWorkedByKeyboard)
{
    const QString path = writeSite();
    const std::unique_ptr<TSiteWindow> shown = activeWindow();
    TSiteWindow &window = *shown;
    ASSERT_TRUE(window.OpenSite(path));
    // Japanese comes as an input method gives it, the rest key by key.
    const auto type = [](const QString &text) {
        QWidget *focus = QApplication::focusWidget();
        if (text.toLatin1() == text.toUtf8()) {
            QTest::keyClicks(focus, text);
            return;
        }
        QInputMethodEvent composed;
        composed.setCommitString(text);
        QCoreApplication::sendEvent(focus, &composed);
    };
    const auto typeThenTab = [&type](const QStringList &texts) {
        for (const QString &text : texts) {
            type(text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    };

    // Closed, the panel comes back with its command.
    window.findChild<QDockWidget *>("SurveyDock")->close();
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), window.SurveyPanel->SiteForm->ClientEdit);
    // A report date that is no day is not taken and gives way when the field is left.
    typeThenTab({"山田", "東京", "テスマーク", "佐藤", "2026-02-30", "木造", "べた基礎"});
    EXPECT_TRUE(window.SurveyPanel->SiteForm->ReportDateEdit->text().isEmpty());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    typeThenTab({"", "VT200"});
    type("一行目");
    key(Qt::Key_Return);
    type("二行目");
    EXPECT_TRUE(window.isWindowModified());
    const TSiteSurvey site = window.Data().Site.Survey;
    EXPECT_EQ(site,
              (TSiteSurvey{"東京", "山田", "テスマーク", "佐藤", std::nullopt, "木造", "べた基礎",
                           TSurveyEquipment::SemiAuto, "VT200", "一行目\n二行目"}));

    window.PointTable->selectRow(1);
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    TPointSurveyForm *form = window.SurveyPanel->PointForm;
    EXPECT_EQ(QApplication::focusWidget(), form->WeatherEdit);
    typeThenTab({"晴れ", "鈴木"});
    key(Qt::Key_Down); // 測定した: the depth follows
    typeThenTab({"", "1.25"});
    key(Qt::Key_Down);
    typeThenTab({"", "", "南西隅"});
    EXPECT_EQ(QApplication::focusWidget(), form->PhotoList);
    const QString jpeg = box.writeFile("p/a.jpg", "\xFF\xD8\xFF\xE0");
    const QString png = box.writeFile("p/b.png", "\x89PNG\r\n\x1A\n");
    dialogs.choose(jpeg);
    key(Qt::Key_Insert);
    type("全景");
    form->PhotoList->setFocus();
    dialogs.choose(png);
    key(Qt::Key_Insert);
    type("近景");
    form->PhotoList->setFocus();
    key(Qt::Key_Up);
    key(Qt::Key_Delete);
    EXPECT_EQ(window.Data().Site.Points.size(), 3);
    EXPECT_EQ(window.Data().Site.Points[1].Survey, (TPointSurvey{"晴れ",
                                                                 "鈴木",
                                                                 {TWaterLevelKind::Measured, 1.25},
                                                                 TEndReason::Depth,
                                                                 "",
                                                                 {{png, "近景"}},
                                                                 "南西隅"}));

    // The form follows the selection.
    window.PointTable->selectRow(0);
    EXPECT_TRUE(form->WeatherEdit->text().isEmpty());
    EXPECT_EQ(form->PhotoList->count(), 0);
    window.PointTable->selectRow(1);
    EXPECT_EQ(form->WeatherEdit->text(), QStringLiteral("晴れ"));
    EXPECT_EQ(form->CaptionEdit->text(), QStringLiteral("近景"));

    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(ReadSiteFile(path), window.Data().Site);
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

// At the window's opening size every figure shows without scrolling; a point far from the others
// is marked in its row and named, with its distance, in the status bar.
TEST_F(SiteWindowTest, EveryFigureShowsAtTheOpeningSizeAndAFarPointIsMarked)
{
    const QString path = writeSite();
    TSite site = ReadSiteFile(path);
    site.Points[2].TypedPosition = QPointF(0, 5000);
    WriteSiteFile(site, path);
    TSiteWindow window(context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(window.OpenSite(path));
    window.resize(1110, window.height());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QTableView *table = window.PointTable;
    for (int column = TSiteTableModel::XColumn; column < TSiteTableModel::ColumnCount; ++column) {
        EXPECT_LE(table->columnViewportPosition(column) + table->columnWidth(column),
                  table->viewport()->width())
            << column;
    }

    const QAbstractItemModel *model = table->model();
    EXPECT_TRUE(model->index(2, TSiteTableModel::QaColumn).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model->index(1, TSiteTableModel::QaColumn).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(window.StatusLabel->text().contains(
        QStringLiteral("No.3: 位置がほかの測点の中央から 5.0 km")))
        << window.StatusLabel->text().toStdString();
}

// The File menu's two items open the window; a site file given at start opens in it.
TEST_F(SiteWindowTest, TheMainWindowOpensSites)
{
    const QString path = writeSite();
    auto form = started({path});
    QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_OPENSTARTFILE));
    QCoreApplication::processEvents();
    auto *window = qobject_cast<TSiteWindow *>(form->SiteWindow());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->SitePath(), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();

    const QList<QAction *> items = form->File1->actions();
    const qsizetype temporary = items.indexOf(form->N14);
    EXPECT_EQ(items.value(temporary + 2), form->KNewSite);
    EXPECT_EQ(items.value(temporary + 3), form->KOpenSite);

    // The test of a point opens in the main window.
    window->PointTable->selectRow(1);
    window->OpenTestAction->trigger();
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("1.ktd")));

    // A changed site is asked about before the main window closes.
    QTest::keyClicks(window->NameEdit, QStringLiteral(" A"));
    messages.answer(QMessageBox::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->SiteWindow());
    form->KNewSite->trigger();
    EXPECT_TRUE(messages.texts().last().contains(QStringLiteral("変更されています")));
}

} // namespace
