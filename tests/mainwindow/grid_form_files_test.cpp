// Opening from the main window (dialogs, drop, command line) and Save As.
#include "form_fixture.h"

#include "events.h"
#include "presentation.h"
#include "reader.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <functional>

namespace {

const QString kAskSave = QStringLiteral("ファイルを保存しますか");
const QString kOverwrite = QStringLiteral("同名のファイルが存在します。保存しますか?");
const QString kCannotWrite = QStringLiteral("データを保存できません\r");
const QString kStandardSaveFilter =
    QStringLiteral("Tessmark ﾌｧｲﾙ (*.kgd)|*.kgd|丸めﾌｧｲﾙ(*.k25)|*.k25|"
                   "丸め形式Tessmark ﾌｧｲﾙ(*.k00)|*.k00");
const QString kManualSaveFilter =
    QStringLiteral("Tessmark手入力ﾌｧｲﾙ (*.kmd)|*.kmd|丸めﾌｧｲﾙ(*.k25)|*.k25|"
                   "丸め形式Tessmark ﾌｧｲﾙ(*.k00)|*.k00");

using OpenSaveTest = FormFixture;

// What a failed open must leave exactly as it was.
struct WindowState
{
    QString caption;
    QString currentFile;
    QStringList grid;
    QStringList labels;
    int dataState;
    int dataKind;
    int normalCount;
    QList<QByteArray> rawLines;
    bool operator==(const WindowState &) const = default;
};

WindowState stateOf(const Tgrid_form &form)
{
    return {form.windowTitle(),        form.Test.CurrentFile, gridTexts(form),
            labelTexts(form),          form.DataState,        form.DataKind,
            form.Test.NormalLog.Count, form.Test.RawLines};
}

void dropFiles(Tgrid_form &form, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(100, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    EXPECT_TRUE(drop.isAccepted());
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------- opening

TEST_F(OpenSaveTest, mainwindow_EachSampleKindOpensIntoGridAndHeaderPanel)
{
    const struct
    {
        const char *file;
        int rows;
        QStringList firstRow, lastRow;
        QStringList labels;
        int dataKind;
    } cases[] = {
        {"sample.ktd",
         50,
         {"0.08", "0.05", "自沈", "0", "無音", "粘性土", "0.1"},
         {"10.05", "1.00", "16", "160", "空転", "粘性土", "11.0"},
         {"試験コード  102-004-017-0025", "測点番号 03", "最終貫入深さ   10.05 m",
          "試験時間       2024年  5月 17日 09時30分～10時12分",
          "GPS測位  緯度 35.6812N 経度139.7671E 海抜高度40m"},
         1},
        {"sample.kgd",
         28,
         {"0.12", "0.25", "自沈", "0", "無音", "粘性土", "0.7"},
         {},
         {"試験コード  102-004-017-0026", "測点番号 04", "最終貫入深さ   6.00 m",
          "試験時間       2024年  5月 17日 10時40分～11時05分",
          "GPS測位  緯度 35.6815N 経度139.7664E 海抜高度41m"},
         1},
        {"sample.kmd",
         14,
         {"0.30", "0.50", "自沈", "0", "無音", "粘性土", "1.5"},
         {},
         {"試験コード  103-011-002-0007", "測点番号 01", "最終貫入深さ   3.00 m",
          "試験時間       2024年  6月  3日 14時05分～14時30分", "GPS未測位"},
         2},
        {"sample.ksd",
         18,
         {"0.10", "0.05", "自沈", "0", "無音", "粘性土", "0.1"},
         {"4.00", "1.00", "24", "96", "ｺﾞﾘｺﾞﾘ", "礫質土", "8.4"},
         {"試験コード  102-004-017-0031", "測点番号 02", "最終貫入深さ   4.00 m",
          "試験時間       2024年  6月 10日 13時20分～13時41分", "GPS未測位"},
         1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        // Each opens over a window that already shows another test.
        auto form = showing(QStringLiteral("sample.ksd"));
        ASSERT_EQ(form->OpenDataFile(sample(QLatin1String(c.file))), 0);
        EXPECT_TRUE(messages.AskedBoxes.isEmpty());

        EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessmark     %1  [標準データ]").arg(c.file));
        EXPECT_EQ(form->Test.CurrentFile, sample(QLatin1String(c.file)));
        ASSERT_EQ(form->Test.DisplayLog.Count, c.rows);
        ASSERT_EQ(form->SoundGrid->RowCount(), c.rows + 1);
        EXPECT_EQ(gridRow(*form, 0), GridHeaderTexts());
        EXPECT_EQ(gridRow(*form, 1), c.firstRow);
        if (!c.lastRow.isEmpty()) {
            EXPECT_EQ(gridRow(*form, c.rows), c.lastRow);
        }
        for (int i = 1; i <= c.rows; ++i)
            ASSERT_EQ(gridRow(*form, i), GridRowTexts(form->Test.DisplayLog.row(i), false)) << i;
        EXPECT_EQ(labelTexts(*form), c.labels);

        EXPECT_EQ(form->DataState, 0);
        EXPECT_EQ(form->DataKind, c.dataKind);
        EXPECT_EQ(form->K3->menuAction()->isEnabled(), c.dataKind == 2);
        EXPECT_TRUE(form->SaveBtn->isEnabled());
        EXPECT_TRUE(form->ChangeBtn->isEnabled());
        EXPECT_TRUE(form->KG1->menuAction()->isEnabled());
        EXPECT_TRUE(form->Knd->isChecked());
        EXPECT_FALSE(form->K25->isChecked());
        EXPECT_FALSE(form->SoundGrid->Options() & goEditing);
        EXPECT_EQ(form->StatusText(0),
                  c.dataKind == 2 ? QStringLiteral("手入力 -編集") : QString());
        EXPECT_EQ(form->EditMode, c.dataKind == 2);
        // The rounded log is ready for the view switch and the rounded file type.
        EXPECT_GT(form->Test.RoundedLog.Count, 0);
    }
}

TEST_F(OpenSaveTest, mainwindow_OpenDialogsUseTheirTitlesFiltersAndFolders)
{
    box.settings().setValue(QStringLiteral("FileMode/FilterIndex"), QStringLiteral("3"));
    box.settings().setValue(QStringLiteral("FileMode/OpenDir"), box.filePath("docs"));
    auto form = started();
    const QString tempDir = form->Setting.FileMode.TempDir;

    dialogs.choose(sample(QStringLiteral("sample.kgd")), 4);
    form->Open1->trigger();
    ASSERT_EQ(dialogs.ShownDialogs.size(), 1);
    const TFileDialogRequest &open = dialogs.ShownDialogs[0].Request;
    EXPECT_EQ(dialogs.ShownDialogs[0].DialogKind, TScriptedFileDialogs::Kind::Open);
    EXPECT_EQ(open.Title, QStringLiteral("ファイルを開く"));
    EXPECT_EQ(open.Filter,
              QStringLiteral("Tessmarkﾌｧｲﾙ(*.kgd)|*.kgd|Pavlinkｻﾝﾌﾟﾙ版ﾌｧｲﾙ(*.ksd)|*."
                             "KSD|手入力ﾃﾞｰﾀﾌｧｲﾙ(*.kmd)|*.kmd|すべてのファイル(*.*)|*.*"));
    EXPECT_EQ(open.FilterIndex, 3);
    EXPECT_EQ(open.Folder, box.filePath("docs"));
    EXPECT_TRUE(open.FileName.isEmpty());
    EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.kgd")));
    EXPECT_EQ(form->Setting.FileMode.FilterIndex, 4);
    EXPECT_EQ(form->Setting.FileMode.OpenDir, dataDir());

    // The temporary-file dialog: its own folder, filter index 1, and it leaves TempDir alone.
    const std::function<void()> tempOpeners[] = {[&form] { form->ToolButton1->click(); },
                                                 [&form] {
                                                     form->N14->trigger();
                                                 }};
    for (const auto &openTemp : tempOpeners) {
        dialogs.ShownDialogs.clear();
        dialogs.choose(sample(QStringLiteral("sample.ktd")), 2);
        openTemp();
        ASSERT_EQ(dialogs.ShownDialogs.size(), 1);
        const TFileDialogRequest &temp = dialogs.ShownDialogs[0].Request;
        EXPECT_EQ(temp.Title, QStringLiteral("Vantrellから転送されたファイルを開く"));
        EXPECT_EQ(temp.Filter,
                  QStringLiteral("Tessmark一時ﾌｧｲﾙ(*.ktd)|*.KTD|すべてのファイル(*.*)|*.*"));
        EXPECT_EQ(temp.FilterIndex, 1);
        EXPECT_EQ(temp.Folder, tempDir);
        EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.ktd")));
        EXPECT_EQ(form->Setting.FileMode.FilterIndex, 2);
        EXPECT_EQ(form->Setting.FileMode.TempDir, tempDir);
        EXPECT_EQ(form->Setting.FileMode.OpenDir, dataDir());
    }

    // Cancel changes nothing.
    form->Setting.FileMode.FilterIndex = 3;
    dialogs.cancel();
    form->Open1->trigger();
    EXPECT_EQ(form->Setting.FileMode.FilterIndex, 3);
    EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.ktd")));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());

    // Ctrl+O reaches the Open dialog from the keyboard.
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    dialogs.ShownDialogs.clear();
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.ShownDialogs.size(), 1);
    EXPECT_EQ(dialogs.ShownDialogs[0].Request.Title, QStringLiteral("ファイルを開く"));
}

TEST_F(OpenSaveTest, mainwindow_UnsavedManualInputIsAskedBeforeEveryOpen)
{
    auto form = showing(QStringLiteral("sample.kgd"));
    const auto Cancel = QMessageBox::Cancel, No = QMessageBox::No;
    const struct
    {
        const char *what;
        std::function<void()> open;
    } ways[] = {
        {"Open",
         [&form] {
             form->Open1->trigger();
         }},
        {"temporary file",
         [&form] {
             form->N14->trigger();
         }},
        {"drop",
         [&form, this] {
             dropFiles(*form, {sample(QStringLiteral("sample.ktd"))});
         }},
        {"drop of two",
         [&form, this] {
             dropFiles(*form, {sample(QStringLiteral("sample.ktd")), sample("sample.ksd")});
         }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.what);
        form->DataState = 2;
        form->DataKind = 2;
        messages.AskedBoxes.clear();
        dialogs.ShownDialogs.clear();
        messages.answer(Cancel);
        dialogs.choose(sample(QStringLiteral("sample.ktd")));
        way.open();
        EXPECT_EQ(messages.texts(), QStringList{kAskSave});
        EXPECT_TRUE(dialogs.ShownDialogs.isEmpty());
        EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.kgd")));
        dialogs.Answers.clear();
    }

    // No: the open goes ahead.
    messages.AskedBoxes.clear();
    messages.answer(No);
    dropFiles(*form, {sample(QStringLiteral("sample.ktd"))});
    EXPECT_EQ(messages.texts(), QStringList{kAskSave});
    EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.ktd")));
}

TEST_F(OpenSaveTest, mainwindow_DropOpensExactlyOneFile)
{
    auto form = showing(QStringLiteral("sample.kgd"));
    dropFiles(*form, {sample(QStringLiteral("sample.ktd")), sample(QStringLiteral("sample.ksd"))});
    EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.kgd")));
    dropFiles(*form, {sample(QStringLiteral("sample.ktd"))});
    EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.ktd")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessmark     sample.ktd  [標準データ]"));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

TEST_F(OpenSaveTest, mainwindow_FailedOpenLeavesTheWindowAsItWas)
{
    const QString malformed =
        box.writeCp932Lines(QStringLiteral("data/broken.kgd"),
                            {"$T(", "102 004 017 0026 04 24 05 17 10 40", "100 0025 J04 003 粘性土",
                             "100 00x5 J04 004 粘性土", "T11 05", ")"});
    QDir(dataDir()).mkdir(QStringLiteral("folder.ktd"));
    const QString folderNamedLikeData = QDir(dataDir()).filePath(QStringLiteral("folder.ktd"));
    const struct
    {
        const char *what;
        QString path;
        TMessageKind kind;
        QString text; // empty: the text names the file
    } cases[] = {
        {"unsupported type", box.writeFile("data/notes.txt", "text\r\n"), TMessageKind::Information,
         QStringLiteral("このファイルタイプには対応していません")},
        {"missing file", box.filePath("data/missing.ktd"), TMessageKind::Information,
         QStringLiteral("ファイルエラー\r") + box.filePath("data/missing.ktd") +
             QStringLiteral(": ") + systemReasonForOpening(box.filePath("data/missing.ktd"))},
        {"folder named like a data file", folderNamedLikeData, TMessageKind::Information,
         QStringLiteral("ファイルエラー\r") + folderNamedLikeData +
             QStringLiteral(" は通常のファイルではありません")},
        {"malformed line", malformed, TMessageKind::Error, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.AskedBoxes.clear();
        auto form = showing(QStringLiteral("sample.ktd"));
        form->K25->trigger(); // the rounded view, so the view state must survive too
        const WindowState before = stateOf(*form);
        messages.AskedBoxes.clear();

        EXPECT_EQ(form->OpenDataFile(c.path), 1);
        ASSERT_EQ(messages.AskedBoxes.size(), 1);
        EXPECT_EQ(messages.AskedBoxes[0].Kind, c.kind);
        EXPECT_EQ(messages.AskedBoxes[0].ButtonSet, TMessages::Buttons(QMessageBox::Ok));
        if (c.text.isEmpty()) {
            EXPECT_TRUE(messages.AskedBoxes[0].Text.contains(QStringLiteral("broken.kgd")));
            EXPECT_TRUE(messages.AskedBoxes[0].Text.contains(QStringLiteral("4 行目")));
        } else {
            EXPECT_EQ(messages.AskedBoxes[0].Text, c.text);
        }
        EXPECT_TRUE(stateOf(*form) == before);
        EXPECT_TRUE(form->K25->isChecked());
    }
}

TEST_F(OpenSaveTest, mainwindow_CommandLineOpensExactlyOneArgumentOnce)
{
    const QString ktd = sample(QStringLiteral("sample.ktd"));
    const struct
    {
        const char *what;
        QStringList arguments;
        QString opened;
    } cases[] = {
        {"one file", {ktd}, ktd},
        {"two files", {ktd, sample(QStringLiteral("sample.kgd"))}, QString()},
        {"automation switch", {QStringLiteral("-Embedding")}, QString()},
        {"automation switch upper case", {QStringLiteral("-EMBEDDING")}, QString()},
        {"nothing", {}, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto form = started(c.arguments);
        // The splash window asks for the file as it closes.
        QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_OPENSTARTFILE));
        QCoreApplication::processEvents();
        EXPECT_EQ(form->Test.CurrentFile, c.opened);
        EXPECT_TRUE(messages.AskedBoxes.isEmpty());
        EXPECT_EQ(form->DataState, c.opened.isEmpty() ? 3 : 0);

        // A second request does not open it again.
        form->DataState = 1;
        QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_OPENSTARTFILE));
        QCoreApplication::processEvents();
        EXPECT_EQ(form->DataState, 1);
    }
}

// ---------------------------------------------------------------- saving

TEST_F(OpenSaveTest, mainwindow_SaveAsAppendsTheExtensionOfTheChosenFilter)
{
    const struct
    {
        const char *chosen;
        int filterIndex;
        const char *written;
        int dataRows; // -1: the rounded rows
    } cases[] = {
        // The standard type re-emits the transferred lines, the calibration row included.
        {"out", 1, "out.kgd", 51},       {"out", 2, "out.k25", -1},
        {"out", 3, "out.k00", 50},       {"keep.kgd", 2, "keep.kgd", 51},
        {"KEEP.K25", 1, "KEEP.K25", -1}, {"name.with.dot", 3, "name.with.dot.k00", 50},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen);
        auto form = showing(QStringLiteral("sample.ktd"));
        const QString caption = form->windowTitle();
        QDir(box.path()).mkpath(QStringLiteral("saved"));
        const QString folder = box.filePath(QStringLiteral("saved"));
        dialogs.choose(QDir(folder).filePath(QLatin1String(c.chosen)), c.filterIndex);
        form->SaveBtn->click();

        ASSERT_EQ(dialogs.ShownDialogs.size(), 1);
        const TFileDialogRequest &request = dialogs.ShownDialogs[0].Request;
        EXPECT_EQ(dialogs.ShownDialogs[0].DialogKind, TScriptedFileDialogs::Kind::Save);
        EXPECT_EQ(request.Filter, kStandardSaveFilter);
        EXPECT_EQ(request.FileName, QStringLiteral("sample"));
        EXPECT_EQ(request.Folder, form->Setting.FileMode.TempDir);
        dialogs.ShownDialogs.clear();

        const QString written = QDir(folder).filePath(QLatin1String(c.written));
        ASSERT_TRUE(QFile::exists(written));
        EXPECT_TRUE(messages.AskedBoxes.isEmpty());
        EXPECT_EQ(form->DataState, 1);
        EXPECT_EQ(form->Setting.FileMode.SaveDir, folder);
        EXPECT_EQ(form->windowTitle(), caption);
        EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.ktd")));

        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QRegularExpression dataRow(QStringLiteral("^\\d{3} \\d{4} "));
        int dataRows = 0;
        for (const QByteArray &line : file.readAll().split('\n'))
            dataRows += dataRow.match(QString::fromLatin1(line)).hasMatch();
        EXPECT_EQ(dataRows, c.dataRows < 0 ? form->Test.RoundedLog.Count : c.dataRows);
        // The derived values of the rounded rows survive writing them.
        EXPECT_FALSE(form->Test.RoundedLog.row(1).Nsw.isEmpty());
    }
}

TEST_F(OpenSaveTest, mainwindow_SavingManualDataAsKmdMakesItTheCurrentFile)
{
    auto form = showing(QStringLiteral("sample.kmd"));
    form->K25->trigger();
    QDir(box.path()).mkpath(QStringLiteral("saved"));
    const QString target = box.filePath(QStringLiteral("saved/new"));
    dialogs.choose(target, 1);
    form->SaveAs1->trigger();
    ASSERT_EQ(dialogs.ShownDialogs.size(), 1);
    EXPECT_EQ(dialogs.ShownDialogs[0].Request.Filter, kManualSaveFilter);
    EXPECT_EQ(dialogs.ShownDialogs[0].Request.FileName, QStringLiteral("sample"));
    EXPECT_TRUE(QFile::exists(target + ".kmd"));
    EXPECT_EQ(form->Test.CurrentFile, target + ".kmd");
    // The caption names the new file and still the view it shows.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessmark     new.kmd  [25cmまるめ ]"));
    EXPECT_EQ(form->DataState, 1);

    // Saved as the rounded type, it stays the file that was opened.
    dialogs.choose(box.filePath(QStringLiteral("saved/r")), 2);
    form->SaveAs1->trigger();
    EXPECT_TRUE(QFile::exists(box.filePath(QStringLiteral("saved/r.k25"))));
    EXPECT_EQ(form->Test.CurrentFile, target + ".kmd");
}

TEST_F(OpenSaveTest, mainwindow_OverwriteIsAskedAndDecliningWritesNothing)
{
    auto form = showing(QStringLiteral("sample.kgd"));
    const QString existing = box.writeFile(QStringLiteral("data/old.kgd"), "old content\r\n");
    const QString saveDir = form->Setting.FileMode.SaveDir;

    for (auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
        messages.AskedBoxes.clear();
        messages.answer(answer);
        dialogs.choose(existing, 1);
        form->SaveBtn->click();
        ASSERT_EQ(messages.texts(), QStringList{kOverwrite});
        EXPECT_EQ(messages.AskedBoxes[0].ButtonSet, QMessageBox::Ok | QMessageBox::Cancel);
        const bool written = answer == QMessageBox::Ok;
        EXPECT_EQ(box.readFile(QStringLiteral("data/old.kgd")) == "old content\r\n", !written);
        EXPECT_EQ(form->DataState, written ? 1 : 0);
        EXPECT_EQ(form->Setting.FileMode.SaveDir, written ? dataDir() : saveDir);
    }
    EXPECT_TRUE(box.readFile(QStringLiteral("data/old.kgd")).startsWith("$T(\r\n"));
}

TEST_F(OpenSaveTest, mainwindow_AWriteThatFailsIsShownAndChangesNothing)
{
    auto form = showing(QStringLiteral("sample.ktd"));
    const QString saveDir = form->Setting.FileMode.SaveDir;
    const QString caption = form->windowTitle();
    dialogs.choose(box.filePath(QStringLiteral("no/such/folder/out")), 1);
    form->SaveAs1->trigger();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
    // The reason is the missing folder, not the disk's space.
    EXPECT_TRUE(messages.AskedBoxes[0].Text.startsWith(
        kCannotWrite + box.filePath(QStringLiteral("no/such/folder/out.kgd: "))))
        << messages.AskedBoxes[0].Text.toStdString();
    EXPECT_EQ(form->DataState, 0);
    EXPECT_EQ(form->Setting.FileMode.SaveDir, saveDir);
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_FALSE(QDir(box.filePath(QStringLiteral("no"))).exists());

    // Cancelling the dialog does nothing at all.
    messages.AskedBoxes.clear();
    dialogs.cancel();
    form->SaveBtn->click();
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
    EXPECT_EQ(form->DataState, 0);
}

TEST_F(OpenSaveTest, mainwindow_SaveQuestionsYesSavesCompleteManualData)
{
    auto form = showing(QStringLiteral("sample.kmd"));
    form->DataState = 2;
    QDir(box.path()).mkpath(QStringLiteral("saved"));
    messages.answer(QMessageBox::Yes);
    dialogs.choose(box.filePath(QStringLiteral("saved/before-open")), 1);
    dialogs.choose(sample(QStringLiteral("sample.kgd")), 1);
    form->Open1->trigger();
    EXPECT_EQ(messages.texts(), QStringList{kAskSave});
    EXPECT_TRUE(QFile::exists(box.filePath(QStringLiteral("saved/before-open.kmd"))));
    // Then the open goes ahead.
    EXPECT_EQ(form->Test.CurrentFile, sample(QStringLiteral("sample.kgd")));
    EXPECT_EQ(form->DataKind, 1);
}

// A manual-input file is read by the model as the window takes it into edit mode: a load below
// 1.00 kN or empty half-turns make a self-sinking row, and the file's position and lines are not
// the typed test's. The command-line tool shows, rounds and saves exactly what the window does.
TEST_F(OpenSaveTest, mainwindow_AManualInputFileReadsAsTheCommandLineToolReadsIt)
{
    const QString file = box.writeCp932Lines(
        QStringLiteral("data/typed.kmd"),
        {"$T(", "103 011 002 0007 01 24 06 03 14 05", "100 0025 J01 004 砂質土",
         "015 0288 J06 032.0 粘性土", "100 0300 J01  砂質土", "100 0325 J01 010 砂質土",
         "075 0350 J01 JTN 粘性土", "100 0375 J01 012", "T14 30", ")", "$G(",
         "1 35.6812 N 139.7671 E 40 m x y", ")"});
    const auto cli = [this](const QStringList &args) {
        QProcess process;
        process.start(QDir(QStringLiteral(TESSMARK_BIN_DIR)).filePath("tessmark-cli"),
                      args + QStringList{"--tables", programDir()});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput())
            .split(u'\n', Qt::SkipEmptyParts)
            .join(u'\n')
            .toStdString();
    };
    // The header panel in the tool's order, then the grid; one text, so a difference reads.
    const auto shown = [](const Tgrid_form &form) {
        QStringList lines = {form.lblTestCode->text(), form.lblPCode->text(), form.lblTime->text(),
                             form.lblDepth->text(), form.lblGPS->text()};
        for (int row = 0; row < form.SoundGrid->RowCount(); ++row)
            lines.append(gridRow(form, row).join(u'\t'));
        return lines.join(u'\n').toStdString();
    };

    auto form = started();
    ASSERT_EQ(form->OpenDataFile(file), 0) << messages.texts().join('|').toStdString();
    ASSERT_TRUE(form->EditMode);
    const std::string normal = shown(*form);
    // Below 1.00 kN, and without half-turns, a row sank by itself.
    for (const char *row :
         {"2.88\t0.15\t自沈\t0\t", "3.00\t1.00\t自沈\t0\t", "3.25\t1.00\t10\t40\t"})
        EXPECT_NE(normal.find(std::string("\n") + row), std::string::npos) << row;
    EXPECT_NE(normal.find("\nGPS未測位\n"), std::string::npos);
    EXPECT_EQ(cli({"show", file}), normal);
    ASSERT_TRUE(form->ShowRoundedData());
    EXPECT_EQ(cli({"show", file, "--rounded"}), shown(*form));

    // Saved by either, the files are the same, and the self-sinking rows stay so on reopening.
    for (const char *type : {".kgd", ".k25", ".k00", ".kmd"}) {
        SCOPED_TRACE(type);
        const QString mine = box.filePath(QStringLiteral("window") + QLatin1String(type));
        const QString theirs = box.filePath(QStringLiteral("cli") + QLatin1String(type));
        ASSERT_TRUE(form->SaveDataFile(mine));
        cli({"save", file, theirs});
        EXPECT_EQ(box.readFile(QFileInfo(mine).fileName()),
                  box.readFile(QFileInfo(theirs).fileName()));
        const QByteArray written = box.readFile(QFileInfo(mine).fileName());
        EXPECT_TRUE(written.contains(QLatin1String(type) == u".k25" ? " JTN " : " 0288 J06 JTN "))
            << written.toStdString();
    }
    auto reopened = started();
    ASSERT_EQ(reopened->OpenDataFile(box.filePath(QStringLiteral("window.kgd"))), 0);
    EXPECT_EQ(shown(*reopened), normal);
}

} // namespace
