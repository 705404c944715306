#include "grid_form.h"

#include "codec.h"
#include "events.h"
#include "filedialogs.h"
#include "menutexts.h"
#include "messages.h"
#include "sandbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kTableFailure = QStringLiteral(
    "Tessmarkを起動できません\r\r必要なファイルObsTbl,WeightTblがみつからない、もしくは異常です。\r"
    "このファイルが含まれているかを確認してください\rよく原因が分からない場合は再インストールをして"
    "く"
    "ださい。");
const QString kAskSave = QStringLiteral("ファイルを保存しますか");
const QString kCannotSave =
    QStringLiteral("ファイルを保存できません。すべてのデータを設定して編集モードにしてください");

class GridFormTest : public ::testing::Test
{
protected:
    GridFormTest() : scope(messages), dialogScope(dialogs)
    {
        QDir(box.path()).mkpath(QStringLiteral("program"));
        QDir(box.path()).mkpath(QStringLiteral("docs"));
        QDir(box.path()).mkpath(QStringLiteral("tmp"));
    }

    QString programDir() const { return box.filePath(QStringLiteral("program")); }
    QString docsDir() const { return box.filePath(QStringLiteral("docs")); }
    QString tempDir() const { return box.filePath(QStringLiteral("tmp")); }

    void shipTables()
    {
        for (const char *name : {"Obstbl.tbl", "Weighttbl.tbl"})
            QFile::copy(QDir(shippedDataDir()).filePath(QLatin1String(name)),
                        QDir(programDir()).filePath(QLatin1String(name)));
    }

    std::unique_ptr<Tgrid_form> create()
    {
        TGridFormOptions options;
        options.ProgramFolder = programDir();
        options.Settings = &box.settings();
        options.DocumentsFolder = docsDir();
        options.TempFolder = tempDir();
        options.DataFolder = tempDir();
        if (!desktopOpener)
            options.OpenUrl = [this](const QUrl &url) {
                openedUrls.append(url);
                return openSucceeds;
            };
        return std::make_unique<Tgrid_form>(options);
    }

    // A window shown with the shipped tables, as after an ordinary start.
    std::unique_ptr<Tgrid_form> started()
    {
        shipTables();
        auto form = create();
        form->show();
        EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
        return form;
    }

    QString stored(const char *key)
    {
        box.settings().sync();
        return box.settings().value(QLatin1String(key)).toString();
    }

    TestSandbox box;
    TScriptedMessages messages;
    TScopedMessages scope;
    TScriptedFileDialogs dialogs; // no file chosen unless a test scripts one
    TScopedFileDialogs dialogScope;
    QList<QUrl> openedUrls;
    bool openSucceeds = true;
    bool desktopOpener = false; // the window's own way of opening, not the recorded one
};

QStringList captionsOf(const QList<QAction *> &actions)
{
    QStringList captions;
    for (const QAction *action : actions)
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

// ---------------------------------------------------------------- start-up

TEST_F(GridFormTest, mainwindow_CreationSetsStateFolderAndDefaults)
{
    auto form = create();
    EXPECT_TRUE(QDir(docsDir()).exists(QStringLiteral("Vantrell")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessmark     "));
    EXPECT_EQ(form->DataState, 3);
    EXPECT_EQ(form->DataKind, 0);
    EXPECT_FALSE(form->RoundedView);
    EXPECT_FALSE(form->MonitorFlag);
    EXPECT_FALSE(form->CommandMode);
    EXPECT_EQ(form->HelpFile, QDir(programDir()).filePath(QStringLiteral("guide/index.html")));
    EXPECT_EQ(form->Setting.FileMode.TempDir, QDir(docsDir()).filePath(QStringLiteral("Vantrell")));
    EXPECT_EQ(form->Setting.FileMode.OpenDir, form->Setting.FileMode.TempDir);
    EXPECT_EQ(form->Setting.RowNum, 40);
    EXPECT_EQ(form->size(), QSize(485, 330));
    EXPECT_EQ(form->pos(), QPoint(140, 120));
    // Nothing is read before the window is shown.
    EXPECT_TRUE(form->Tables.ObsTable.isEmpty());
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

// A fresh account has no documents folder yet: the whole path is made and the dialogs start in
// it. Where it cannot be made (a file is in the way) the user is told and the dialogs start at
// home, while the settings keep naming the folder. The window finds the documents folder itself,
// in a home folder of the sandbox.
TEST_F(GridFormTest, mainwindow_TransferFolderIsMadeWithItsWholePath)
{
    const QByteArray realHome = qgetenv("HOME");
    const struct
    {
        const char *home;
        bool made;
    } cases[] = {{"fresh", true}, {"blocked", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.home);
        const QString home = box.filePath(QLatin1String(c.home));
        QDir().mkpath(home);
        if (!c.made)
            box.writeFile(QLatin1String(c.home) + QStringLiteral("/Documents"), "not a folder");
        const QString folder = home + QStringLiteral("/Documents/Vantrell");
        dialogs.ShownDialogs.clear();
        qputenv("HOME", QFile::encodeName(home));
        TGridFormOptions options;
        options.ProgramFolder = programDir();
        options.Settings = &box.settings();
        options.TempFolder = tempDir();
        options.DataFolder = tempDir();
        Tgrid_form form(options);
        EXPECT_EQ(QFileInfo(folder).isDir(), c.made);
        EXPECT_EQ(form.StatusText(1).contains(QStringLiteral("Vantrellフォルダを作成できません")),
                  !c.made);
        EXPECT_EQ(form.Setting.FileMode.TempDir, folder);
        EXPECT_EQ(form.Setting.FileMode.OpenDir, folder);

        form.Open1->trigger();
        form.N14->trigger();
        qputenv("HOME", realHome);
        ASSERT_EQ(dialogs.ShownDialogs.size(), 2);
        for (const auto &shown : std::as_const(dialogs.ShownDialogs))
            EXPECT_EQ(shown.Request.Folder, c.made ? folder : home);
    }
}

TEST_F(GridFormTest, mainwindow_StoredPlacementIsClampedToTheScreen)
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const struct
    {
        int top, left;
        QPoint expected;
    } cases[] = {
        {50, 60, {60, 50}},
        {-1, 60, {60, 0}},
        {screen.height() + 1, 60, {60, 0}},
        {screen.height(), 60, {60, screen.height()}},
        {50, -30, {0, 50}},
        {50, screen.width() + 200, {0, 50}},
        {-32000, -32000, {0, 0}},
    };
    for (const auto &c : cases) {
        box.settings().setValue(QStringLiteral("GridMode/Top"), QString::number(c.top));
        box.settings().setValue(QStringLiteral("GridMode/Left"), QString::number(c.left));
        box.settings().setValue(QStringLiteral("GridMode/Height"), QStringLiteral("400"));
        box.settings().setValue(QStringLiteral("GridMode/Width"), QStringLiteral("500"));
        auto form = create();
        EXPECT_EQ(form->pos(), c.expected) << c.top << "," << c.left;
        EXPECT_EQ(form->size(), QSize(500, 400));
    }
}

// ---------------------------------------------------------------- menus and tool bar

TEST_F(GridFormTest, mainwindow_MenuBarHasTheMenusInOrder)
{
    auto form = create();
    EXPECT_EQ(captionsOf(form->menuBar()->actions()),
              QStringList({"ﾌｧｲﾙ(&F)", "ﾃﾞｰﾀ通信(&T)", "ﾃﾞｰﾀ入力(&I)", "ｸﾞﾗﾌ(&G)", "ﾃﾞｰﾀ(&D)",
                           "ｵﾌﾟｼｮﾝ(&O)", "ﾍﾙﾌﾟ(&H)"}));
    EXPECT_EQ(captionsOf(form->File1->actions()),
              QStringList({"新規作成(&N)...", "名前を付けて保存(&A)...", "開く(&O)...",
                           "一時ﾌｧｲﾙを開く...", "-", "新規現場(&J)...", "現場を開く(&K)...",
                           "試験一覧(&L)...", "-", "印刷(&P)...", "-", "終了(&E)"}));
    EXPECT_EQ(captionsOf(form->Help1->actions()),
              QStringList(
                  {"ﾄﾋﾟｯｸの検索(&H)", "-", "Korvathホームページ(&N)", "-", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."}));
    EXPECT_EQ(captionsOf(form->KG1->actions()),
              QStringList({"通常のﾃﾞｰﾀ", "25cmまるめ", "-", "地盤評価(&V)..."}));
}

// Every command of the window with the texts the user sees: a command missing here, or a
// text that differs, fails.
TEST_F(GridFormTest, mainwindow_EveryCommandHasItsCaptionShortcutHintAndStartState)
{
    auto form = create();
    const struct
    {
        const char *name;
        const char *caption;
        QKeySequence shortcut;
        bool enabled;
        const char *hint;
    } commands[] = {
        {"ToolButton1",
         "開く",
         {},
         true,
         "一時ファイルを開く|Vantrellから転送された一時ファイルを開きます"},
        {"SaveBtn", "保存", {}, false, "名前を付けて保存|名前を付けてファイルとして保存します"},
        {"PrintBtn", "印刷", {}, false, "印刷|データを印刷します"},
        {"ToolButton3",
         "通信",
         {},
         true,
         "Vantrellからのデータ転送|Vantrellから転送されたデータを受信しファイルを作成します"},
        {"GraphBtn",
         "グラフ",
         {},
         false,
         "グラフの作成・切り替え|グラフを作成し、Ｎｓｗと換算Ｎ値のグラフの表示を切り替えます"},
        {"ChangeBtn",
         "まるめ",
         {},
         false,
         "まるめ計算・表示切り替え|通常のデータと２５ｃｍにまるめたデータの表示を切り替えます"},
        {"File1", "ﾌｧｲﾙ(&F)", {}, true, "ファイルを作成・保存・印刷します"},
        {"New1", "新規作成(&N)...", {}, true, "手入力を開始としてデータを新規作成します。"},
        {"SaveAs1", "名前を付けて保存(&A)...", {}, false, "名前を付けてファイルとして保存します"},
        {"Open1", "開く(&O)...", QKeySequence("Ctrl+O"), true,
         "Tessmarkで保存したファイルを開きます"},
        {"N14", "一時ﾌｧｲﾙを開く...", {}, true, "Vantrellから転送された一時ファイルを開きます"},
        {"KNewSite",
         "新規現場(&J)...",
         {},
         true,
         "複数の測点をまとめる現場を新しく作ります（位置図・断面図）"},
        {"KOpenSite", "現場を開く(&K)...", QKeySequence("Ctrl+Shift+O"), true,
         "現場ファイル（.tsite）を開きます"},
        {"KArchive", "試験一覧(&L)...", QKeySequence("Ctrl+L"), true,
         "保管したすべての試験を、場所・日付・名前で探します"},
        {"Print1", "印刷(&P)...", QKeySequence("Ctrl+P"), false, "データを印刷します"},
        {"Exit1", "終了(&E)", {}, true, "Tessmarkを終了します"},
        {"Term", "ﾃﾞｰﾀ通信(&T)", QKeySequence("Ctrl+T"), true, "Vantrellとデータ通信を行います"},
        {"TermStart", "通信...", QKeySequence("F5"), true,
         "Vantrellから転送されたデータを受信しファイルを作成します"},
        {"K3", "ﾃﾞｰﾀ入力(&I)", {}, false, "手入力のデータを入力・編集します"},
        {"KManuInp", "入力モード", QKeySequence("Ctrl+I"), true,
         "手入力において入力モードにします"},
        {"KManuEdit", "編集モード", QKeySequence("Ctrl+E"), true,
         "手入力において編集モードにします"},
        {"KManuInf", "試験情報入力...", QKeySequence("Ctrl+H"), true,
         "手入力において試験情報を入力します"},
        {"G1", "ｸﾞﾗﾌ(&G)", {}, false, "グラフを作成・表示します"},
        {"MakeGraph", "ｸﾞﾗﾌ作成", QKeySequence("F12"), true, "グラフを作成します"},
        {"N3", "ｸﾞﾗﾌ切り替え", QKeySequence("F11"), true,
         "Ｎｓｗと換算Ｎ値のグラフの表示を切り替えます"},
        {"KG1", "ﾃﾞｰﾀ(&D)", QKeySequence("F3"), false, "表示するデータを切り替えます"},
        {"Knd", "通常のﾃﾞｰﾀ", QKeySequence("Ctrl+F2"), true, "通常のデータを表示します"},
        {"K25", "25cmまるめ", QKeySequence("F2"), true, "２５ｃｍにまるめたデータを表示します"},
        {"KEvaluate", "地盤評価(&V)...", QKeySequence("F6"), true,
         "基礎底面下の許容支持力と自沈層を評価します"},
        {"O1", "ｵﾌﾟｼｮﾝ(&O)", {}, true, "Tessmarkの設定を変更します"},
        {"KS1", "設定(&S)...", {}, true, "各種設定を行います"},
        {"Help1", "ﾍﾙﾌﾟ(&H)", {}, true, "ヘルプを表示します"},
        {"khelp", "ﾄﾋﾟｯｸの検索(&H)", QKeySequence("F1"), true, "ヘルプの目次を表示します"},
        {"Homepage1", "Korvathホームページ(&N)", {}, true, "Korvathのホームページを開きます"},
        {"About1", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", {}, true, "バージョン情報を表示します"},
    };
    QStringList expectedNames;
    for (const auto &c : commands) {
        SCOPED_TRACE(c.name);
        expectedNames.append(QLatin1String(c.name));
        if (auto *button = form->ToolBar1->findChild<QToolButton *>(QLatin1String(c.name))) {
            EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
            EXPECT_EQ(button->isEnabled(), c.enabled);
            continue;
        }
        // A menu's own action carries the menu's name too.
        QAction *action = nullptr;
        if (auto *menu = form->findChild<QMenu *>(QLatin1String(c.name)))
            action = menu->menuAction();
        else
            action = form->findChild<QAction *>(QLatin1String(c.name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(action->shortcut(), c.shortcut);
        EXPECT_EQ(action->isEnabled(), c.enabled);
        EXPECT_EQ(action->statusTip(), QString::fromUtf8(c.hint));
    }
    // Enabled buttons show the short hint as tool tip and the long one in the status bar.
    form->SetDataActions(true);
    for (const auto &c : commands) {
        if (auto *button = form->ToolBar1->findChild<QToolButton *>(QLatin1String(c.name))) {
            EXPECT_EQ(button->toolTip() + u'|' + button->statusTip(), QString::fromUtf8(c.hint));
        }
    }

    // Nothing in the menu bar or the tool bar, nor in the text table, that the list above
    // leaves out. (The grid's context menus carry no hints and keep their own texts.)
    QStringList shownNames, tableNames;
    std::function<void(const QList<QAction *> &)> collect = [&](const QList<QAction *> &actions) {
        for (const QAction *action : actions) {
            if (!action->isSeparator() && !action->objectName().isEmpty())
                shownNames.append(action->objectName());
            if (action->menu())
                collect(action->menu()->actions());
        }
    };
    collect(form->menuBar()->actions());
    for (const QToolButton *button : form->ToolBar1->findChildren<QToolButton *>()) {
        if (!button->objectName().isEmpty() && !button->objectName().startsWith(u"qt_"))
            shownNames.append(button->objectName());
    }
    for (const TCommandText &text : CommandTexts())
        tableNames.append(text.Name);
    shownNames.removeDuplicates();
    for (QStringList *names : {&expectedNames, &shownNames, &tableNames})
        names->sort();
    EXPECT_EQ(shownNames.join(u' ').toStdString(), expectedNames.join(u' ').toStdString());
    EXPECT_EQ(tableNames.join(u' ').toStdString(), expectedNames.join(u' ').toStdString());

    EXPECT_TRUE(form->Knd->isCheckable());
    EXPECT_TRUE(form->Knd->isChecked());
    EXPECT_TRUE(form->K25->isCheckable());
    EXPECT_FALSE(form->K25->isChecked());
}

TEST_F(GridFormTest, mainwindow_ToolBarHasSixButtonsInOrderWithHints)
{
    auto form = create();
    const struct
    {
        const char *name;
        const char *caption;
        bool enabled;
        const char *shortHint;
    } buttons[] = {
        {"ToolButton1", "開く", true, "一時ファイルを開く"},
        {"SaveBtn", "保存", false, ""},
        {"PrintBtn", "印刷", false, ""},
        {"ToolButton3", "通信", true, "Vantrellからのデータ転送"},
        {"GraphBtn", "グラフ", false, ""},
        {"ChangeBtn", "まるめ", false, ""},
    };
    const QList<QAction *> actions = form->ToolBar1->actions();
    ASSERT_EQ(actions.size(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(buttons[i].name);
        auto *button = qobject_cast<QToolButton *>(form->ToolBar1->widgetForAction(actions[i]));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName(), QLatin1String(buttons[i].name));
        EXPECT_EQ(button->text(), QString::fromUtf8(buttons[i].caption));
        EXPECT_EQ(button->isEnabled(), buttons[i].enabled);
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(button->icon().isNull());
        // A disabled button shows no hint.
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(buttons[i].shortHint));
    }
}

TEST_F(GridFormTest, mainwindow_SetDataActionsTogglesExactlyTheDataCommands)
{
    auto form = create();
    // Every command of the window with its enabled state.
    auto states = [&form] {
        QMap<QString, bool> result;
        for (QToolButton *button : form->ToolBar1->findChildren<QToolButton *>())
            if (!button->objectName().isEmpty())
                result.insert(button->objectName(), button->isEnabled());
        for (QAction *action : form->findChildren<QAction *>())
            if (!action->objectName().isEmpty())
                result.insert(action->objectName(), action->isEnabled());
        return result;
    };
    const QStringList toggled = {"SaveBtn", "PrintBtn", "GraphBtn", "ChangeBtn", "SaveAs1",
                                 "Print1",  "G1",       "O1",       "KG1"};
    const auto before = states();
    form->SetDataActions(true);
    const auto on = states();
    form->SetDataActions(false);
    const auto off = states();
    ASSERT_EQ(before.keys(), on.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        if (toggled.contains(it.key())) {
            EXPECT_TRUE(on.value(it.key()));
            EXPECT_FALSE(off.value(it.key()));
        } else {
            EXPECT_EQ(on.value(it.key()), it.value());
            EXPECT_EQ(off.value(it.key()), it.value());
        }
    }
    EXPECT_TRUE(toggled.size() == 9 && before.contains("K3") && !on.value("K3"));

    form->SetDataActions(true);
    EXPECT_EQ(form->SaveBtn->toolTip(), QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(form->SaveBtn->statusTip(), QStringLiteral("名前を付けてファイルとして保存します"));
    form->SetDataActions(false);
    EXPECT_TRUE(form->SaveBtn->toolTip().isEmpty());
    EXPECT_TRUE(form->SaveBtn->statusTip().isEmpty());
}

TEST_F(GridFormTest, mainwindow_TopLevelShortcutsOpenTheirMenusWhenEnabled)
{
    auto form = started();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    QTest::keyClick(form.get(), Qt::Key_F3);
    EXPECT_EQ(form->menuBar()->activeAction(), nullptr);

    QTest::keyClick(form.get(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(form->menuBar()->activeAction(), form->Term->menuAction());
    form->Term->close();

    form->SetDataActions(true);
    QTest::keyClick(form.get(), Qt::Key_F3);
    EXPECT_EQ(form->menuBar()->activeAction(), form->KG1->menuAction());
    form->KG1->close();
}

// ---------------------------------------------------------------- status bar and header panel

TEST_F(GridFormTest, mainwindow_StatusBarShowsTheLongPartOfHints)
{
    auto form = started();
    EXPECT_EQ(form->StatusBar1->objectName(), QStringLiteral("StatusBar1"));
    auto *first = form->StatusBar1->findChild<QLabel *>(QStringLiteral("StatusPanel0"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width(), 100);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(form->ToolButton1, &enter);
    EXPECT_EQ(form->StatusText(1), QStringLiteral("Vantrellから転送された一時ファイルを開きます"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(form->ToolButton1, &leave);
    EXPECT_EQ(form->StatusText(1), QString());

    form->Open1->showStatusText(form->menuBar());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("Tessmarkで保存したファイルを開きます"));

    form->ShowHint(QStringLiteral("短い|長い説明|続き"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("長い説明|続き"));
    form->ShowHint(QStringLiteral("区切りなし"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("区切りなし"));
    EXPECT_EQ(form->StatusText(0), QString());
}

TEST_F(GridFormTest, mainwindow_HeaderPanelSitsBetweenToolBarAndGrid)
{
    auto form = started();
    EXPECT_EQ(form->GroupBox1->height(), 57);
    const struct
    {
        QLabel *label;
        QPoint place;
        const char *caption;
    } labels[] = {
        {form->lblTestCode, {8, 8}, "試験コード"},  {form->lblPCode, {200, 8}, "測点番号"},
        {form->lblDepth, {312, 8}, "最終貫入深さ"}, {form->lblTime, {8, 24}, "試験時間"},
        {form->lblGPS, {8, 40}, "GPS測位"},
    };
    for (const auto &l : labels) {
        EXPECT_EQ(l.label->parentWidget(), form->GroupBox1);
        EXPECT_EQ(l.label->pos(), l.place);
        EXPECT_EQ(l.label->text(), QString::fromUtf8(l.caption));
    }
    const QRect panel(form->GroupBox1->mapTo(form.get(), QPoint()), form->GroupBox1->size());
    const QRect grid(form->SoundGrid->mapTo(form.get(), QPoint()), form->SoundGrid->size());
    const QRect tools(form->ToolBar1->pos(), form->ToolBar1->size());
    EXPECT_GE(panel.top(), tools.bottom());
    EXPECT_GE(grid.top(), panel.bottom());
    EXPECT_GT(grid.height(), 0);

    TGPSData gps;
    gps.Status = QStringLiteral("1");
    form->Set_GPS(gps);
    EXPECT_TRUE(form->lblGPS->text().startsWith(QStringLiteral("GPS測位  緯度")));
    Clear_GPS(gps);
    form->Set_GPS(gps);
    EXPECT_EQ(form->lblGPS->text(), QStringLiteral("GPS未測位"));
}

// ---------------------------------------------------------------- closing

TEST_F(GridFormTest, mainwindow_CloseAsksOnlyAboutUnsavedManualInput)
{
    const auto Yes = QMessageBox::Yes, No = QMessageBox::No, Cancel = QMessageBox::Cancel;
    const struct
    {
        const char *what;
        quint8 dataState, dataKind;
        bool editMode;
        QList<QMessageBox::StandardButton> answers;
        bool closes;
        QStringList asked;
        const char *savedAs = nullptr; // the Save As dialog's answer; none: cancelled
    } cases[] = {
        {"nothing loaded", 3, 0, false, {}, true, {}},
        {"standard data", 0, 1, false, {}, true, {}},
        {"standard data after a manual change flag", 2, 1, false, {}, true, {}},
        {"saved manual data", 1, 2, false, {}, true, {}},
        {"incomplete manual data, Yes", 2, 2, false, {Yes}, false, {kAskSave, kCannotSave}},
        // Only a completed save lets the window go; a cancelled one keeps the typed test.
        {"complete manual data, Yes, save cancelled", 2, 2, true, {Yes}, false, {kAskSave}},
        {"complete manual data, Yes, saved", 2, 2, true, {Yes}, true, {kAskSave}, "typed.kmd"},
        {"manual data, No", 2, 2, false, {No}, true, {kAskSave}},
        {"manual data, Cancel", 2, 2, true, {Cancel}, false, {kAskSave}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        box.settings().clear();
        messages.AskedBoxes.clear();
        auto form = started();
        // A test is saved only with rows to save.
        if (c.savedAs) {
            ASSERT_EQ(form->OpenDataFile(QDir(samplesDir()).filePath("sample.kmd")), 0);
        }
        form->DataState = c.dataState;
        form->DataKind = c.dataKind;
        form->EditMode = c.editMode;
        for (auto answer : c.answers)
            messages.answer(answer);
        if (c.savedAs)
            dialogs.choose(box.filePath(QLatin1String(c.savedAs)));
        EXPECT_EQ(form->close(), c.closes);
        EXPECT_EQ(form->isVisible(), !c.closes);
        EXPECT_EQ(messages.texts(), c.asked);
        if (!c.asked.isEmpty()) {
            EXPECT_EQ(messages.AskedBoxes[0].ButtonSet,
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        }
        if (c.asked.size() > 1) {
            EXPECT_EQ(messages.AskedBoxes[1].ButtonSet, TMessages::Buttons(QMessageBox::Ok));
            EXPECT_EQ(messages.AskedBoxes[1].Kind, TMessageKind::Confirmation);
        }
        // Complete manual data are offered the Save As dialog before the window goes.
        const bool savesFirst = c.editMode && !c.answers.isEmpty() && c.answers[0] == Yes;
        EXPECT_EQ(dialogs.ShownDialogs.size(), savesFirst ? 1 : 0);
        dialogs.ShownDialogs.clear();
        // Settings are written only by a close that happens.
        EXPECT_EQ(box.settings().contains(QStringLiteral("GridMode/Height")), c.closes);
        EXPECT_TRUE(messages.Answers.isEmpty());
    }
}

// Work files in the temporary folder may be another transfer's: the window leaves them alone.
TEST_F(GridFormTest, mainwindow_CloseWritesSettingsBackAndLeavesOtherWorkFilesAlone)
{
    box.settings().setValue(QStringLiteral("PrnMode/RowNum"), QStringLiteral("47"));
    box.settings().setValue(QStringLiteral("TermMode/Port"), QStringLiteral("3"));
    const QString workFile = QDir(tempDir()).filePath(QStringLiteral("pavlink.tmp"));
    const QString otherFile = QDir(tempDir()).filePath(QStringLiteral("Errordata.ktd"));
    for (const QString &path : {workFile, otherFile}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("LIST\r\n");
    }

    auto form = started();
    EXPECT_EQ(form->Setting.RowNum, 44);
    form->resize(485, 420);
    form->move(210, 160);
    const QPoint place = form->pos();
    const QSize size = form->size();
    ASSERT_TRUE(form->close());

    EXPECT_TRUE(QFile::exists(workFile));
    EXPECT_TRUE(QFile::exists(otherFile));
    EXPECT_EQ(stored("PrnMode/RowNum"), QStringLiteral("44"));
    EXPECT_EQ(stored("TermMode/Port"), QStringLiteral("3"));
    EXPECT_EQ(stored("GridMode/Top"), QString::number(place.y()));
    EXPECT_EQ(stored("GridMode/Left"), QString::number(place.x()));
    EXPECT_EQ(stored("GridMode/Height"), QString::number(size.height()));
    EXPECT_EQ(stored("GridMode/Width"), QString::number(size.width()));
    EXPECT_EQ(stored("FileMode/TempDir"), QDir(docsDir()).filePath(QStringLiteral("Vantrell")));
}

TEST_F(GridFormTest, mainwindow_CancelledCloseKeepsTheWorkFile)
{
    const QString workFile = QDir(tempDir()).filePath(QStringLiteral("pavlink.tmp"));
    QFile file(workFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    auto form = started();
    form->DataState = 2;
    form->DataKind = 2;
    messages.answer(QMessageBox::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(QFile::exists(workFile));
}

TEST_F(GridFormTest, mainwindow_ExitClosesThroughTheOrdinaryPath)
{
    auto form = started();
    form->DataState = 2;
    form->DataKind = 2;
    messages.answer(QMessageBox::No);
    form->Exit1->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(messages.texts(), QStringList{kAskSave});
    EXPECT_TRUE(box.settings().contains(QStringLiteral("GridMode/Height")));
}

// ---------------------------------------------------------------- reference tables

TEST_F(GridFormTest, mainwindow_MissingWeightTableTellsTheUserAndCloses)
{
    // Obstbl.tbl alone: the start-up still reads it and builds the menus before closing.
    QFile::copy(QDir(shippedDataDir()).filePath(QStringLiteral("Obstbl.tbl")),
                QDir(programDir()).filePath(QStringLiteral("Obstbl.tbl")));
    auto form = create();
    form->show();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Text, kTableFailure);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
    EXPECT_EQ(messages.AskedBoxes[0].ButtonSet, TMessages::Buttons(QMessageBox::Ok));
    EXPECT_FALSE(form->SoilPickList().isEmpty());
    // The close comes once start-up has finished.
    EXPECT_TRUE(form->isVisible());

    EXPECT_TRUE(QTest::qWaitFor([&form] { return !form->isVisible(); }));
    EXPECT_TRUE(box.settings().contains(QStringLiteral("GridMode/Height")));
    EXPECT_EQ(messages.AskedBoxes.size(), 1);
}

TEST_F(GridFormTest, mainwindow_NoTablesAtAllStillEndsInTheOrdinaryClose)
{
    auto form = create();
    form->show();
    EXPECT_EQ(messages.texts(), QStringList{kTableFailure});
    // The observation menu still has its fixed items.
    EXPECT_EQ(captionsOf(form->ObsPopUp->actions()), QStringList({"", "-", "逐一入力"}));
    EXPECT_EQ(form->ObsPickList(), QStringList{QString()});
    EXPECT_TRUE(form->SoilPickList().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&form] { return !form->isVisible(); }));
}

TEST_F(GridFormTest, mainwindow_PopUpMenusAndPickListsComeFromTheTables)
{
    auto form = started();
    ASSERT_FALSE(form->Tables.ObsTable.isEmpty());

    QStringList observations;
    for (const TCodeData &entry : std::as_const(form->Tables.ObsTable))
        if (!entry.ObsText.isEmpty())
            observations.append(entry.ObsText);
    EXPECT_TRUE(observations.contains(QStringLiteral("ｼﾞｬﾘｼﾞｬﾘ")));
    EXPECT_EQ(captionsOf(form->ObsPopUp->actions()),
              observations + QStringList({"", "-", "逐一入力"}));
    EXPECT_EQ(form->ObsPickList(), observations + QStringList{QString()});

    const QStringList soils = {"砂質土", "粘性土", "礫質土"};
    EXPECT_EQ(captionsOf(form->d_selPopup->actions()),
              soils + QStringList({"元に戻す", "-", "ｺﾋﾟｰ"}));
    EXPECT_EQ(captionsOf(form->DoshituPopup->actions()), soils + QStringList({"-", "逐一入力"}));
    EXPECT_EQ(form->SoilPickList(), soils);
    EXPECT_EQ(form->ObsPopUp->objectName(), QStringLiteral("ObsPopUp"));
    EXPECT_EQ(form->d_selPopup->objectName(), QStringLiteral("d_selPopup"));
    EXPECT_EQ(form->DoshituPopup->objectName(), QStringLiteral("DoshituPopup"));
}

TEST_F(GridFormTest, mainwindow_TablesAreReadOnceAndTextsShownLiterally)
{
    const QStringList table = {"[J01]", "obs=A&B", "Doshitu=砂&礫", "[換算N値]", "砂&礫=1"};
    box.writeCp932Lines(QStringLiteral("program/Obstbl.tbl"), table);
    box.writeCp932Lines(QStringLiteral("program/Weighttbl.tbl"), {"list_end"});
    auto form = create();
    form->show();
    EXPECT_EQ(form->ObsPickList(), QStringList({"A&B", ""}));
    EXPECT_EQ(form->ObsPopUp->actions().first()->text(), QStringLiteral("A&&B"));
    EXPECT_EQ(form->SoilPickList(), QStringList{"砂&礫"});

    // Showing again (after hiding) does not read the tables a second time.
    box.writeCp932Lines(QStringLiteral("program/Obstbl.tbl"), {"[J09]", "obs=別"});
    form->hide();
    form->show();
    EXPECT_EQ(form->ObsPickList(), QStringList({"A&B", ""}));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

// ---------------------------------------------------------------- help

TEST_F(GridFormTest, mainwindow_HelpOpensTheHelpFileBesideTheProgram)
{
    auto form = started();
    form->khelp->trigger();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Information);
    EXPECT_TRUE(messages.AskedBoxes[0].Text.contains(QStringLiteral("index.html")));
    EXPECT_TRUE(openedUrls.isEmpty());

    box.writeFile(QStringLiteral("program/guide/index.html"), "<html></html>");
    messages.AskedBoxes.clear();
    form->khelp->trigger();
    EXPECT_EQ(openedUrls, QList<QUrl>{QUrl::fromLocalFile(form->HelpFile)});
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());

    // No program on this system opens it: say so instead of doing nothing.
    openSucceeds = false;
    form->khelp->trigger();
    EXPECT_EQ(messages.AskedBoxes.size(), 1);
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// The desktop's opener that starts but finds no viewer (xdg-open's exit status 3), or that is
// missing: the guide's file is named in a message.
TEST_F(GridFormTest, mainwindow_HelpSaysSoWhenNoViewerOpensTheGuide)
{
    box.writeFile(QStringLiteral("program/guide/index.html"), "<html></html>");
    const QString bin = box.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QByteArray path = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    desktopOpener = true;
    for (const char *opener : {"#!/bin/sh\nexit 3\n", ""}) {
        SCOPED_TRACE(opener);
        QFile::remove(QDir(bin).filePath("xdg-open"));
        if (*opener) {
            box.writeFile(QStringLiteral("bin/xdg-open"), opener);
            QFile::setPermissions(QDir(bin).filePath("xdg-open"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", bin.toLocal8Bit());
        messages.AskedBoxes.clear();
        auto form = started();
        form->khelp->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.AskedBoxes.isEmpty(); }, 10000));
        EXPECT_TRUE(messages.texts().value(0).contains(QDir::toNativeSeparators(form->HelpFile)))
            << messages.texts().join('|').toStdString();
        // The guide is there: the message blames the missing program, not the file.
        EXPECT_TRUE(
            messages.texts().value(0).contains(QStringLiteral("開くプログラムが見つかりません")));
    }
}
#endif

TEST_F(GridFormTest, mainwindow_HomePageItemOpensTheMakersPage)
{
    auto form = started();
    form->Homepage1->trigger();
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_TRUE(openedUrls[0].scheme().startsWith(QStringLiteral("http")));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

} // namespace
