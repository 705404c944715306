// The main window's ways in and out of data files: the open dialogs, dropped files, the
// command-line file, and Save As.
#include "grid_form.h"

#include "cmbgrid.h"
#include "derived.h"
#include "errors.h"
#include "events.h"
#include "filedialogs.h"
#include "formtexts.h"
#include "manualinput.h"
#include "messages.h"
#include "reader.h"
#include "sitefile.h"
#include "writer.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

namespace {

const QString kOpenTitle = QStringLiteral("ファイルを開く");
const QString kOpenFilter =
    QStringLiteral("Tessmarkﾌｧｲﾙ(*.kgd)|*.kgd|Pavlinkｻﾝﾌﾟﾙ版ﾌｧｲﾙ(*.ksd)|*.KSD|"
                   "手入力ﾃﾞｰﾀﾌｧｲﾙ(*.kmd)|*.kmd|すべてのファイル(*.*)|*.*");
const QString kTempOpenTitle = QStringLiteral("Vantrellから転送されたファイルを開く");
const QString kTempOpenFilter =
    QStringLiteral("Tessmark一時ﾌｧｲﾙ(*.ktd)|*.KTD|すべてのファイル(*.*)|*.*");
const QString kSaveTitle = QStringLiteral("名前を付けて保存");
const QString kStandardSaveFilter =
    QStringLiteral("Tessmark ﾌｧｲﾙ (*.kgd)|*.kgd|丸めﾌｧｲﾙ(*.k25)|*.k25|"
                   "丸め形式Tessmark ﾌｧｲﾙ(*.k00)|*.k00");
const QString kManualSaveFilter =
    QStringLiteral("Tessmark手入力ﾌｧｲﾙ (*.kmd)|*.kmd|丸めﾌｧｲﾙ(*.k25)|*.k25|"
                   "丸め形式Tessmark ﾌｧｲﾙ(*.k00)|*.k00");

// Where a file dialog starts: the remembered folder, or the home folder while that folder
// does not exist (removed, or never made on this account).
QString dialogFolder(const QString &remembered)
{
    return !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered : QDir::homePath();
}

// The four types a save writes.
bool isWrittenType(const QString &path)
{
    const QString ext = FileExtensionOf(path).toLower();
    return ext == u".kgd" || ext == u".k25" || ext == u".kmd" || ext == u".k00";
}

// The extension a name without one of the written types gets from the chosen filter.
QString extensionForFilter(int filterIndex, bool standardData)
{
    switch (filterIndex) {
    case 1:
        return standardData ? QStringLiteral(".kgd") : QStringLiteral(".kmd");
    case 2:
        return QStringLiteral(".k25");
    case 3:
        return QStringLiteral(".k00");
    default:
        return QString();
    }
}

} // namespace

int Tgrid_form::OpenDataFile(const QString &path)
{
    // The automation host starts the program with one of these switches as its only argument.
    const QString upper = path.toUpper();
    if (upper == u"-EMBEDDING" || upper == u"-AUTOMATION")
        return 1;

    TSoundingTest opened;
    QByteArray bytes;
    std::optional<EDataFileError> failure;
    std::optional<ETypedFileError> typedFailure;
    {
        TWaitCursor wait;
        try {
            opened = OpenTestFile(path, Setting, Tables, &bytes);
        } catch (const ETypedFileError &e) {
            typedFailure = e;
            opened = e.Test;
        } catch (const EDataFileError &e) {
            failure = e;
        } catch (const ETessmarkError &e) {
            failure = EDataFileError(EDataFileError::Malformed, e.message());
        }
    }
    if (failure) {
        // The window keeps showing the test it showed: the file was read into a test of its own.
        if (failure->reason() == EDataFileError::Malformed)
            Messages().error(failure->message(), this);
        else
            Messages().information(failure->message(), this);
        return 1;
    }

    Test = std::move(opened);
    CaptionPrefix = kCaptionWord + QFileInfo(path).fileName();
    ViewSuffix = NormalViewSuffix();
    setWindowTitle(CaptionPrefix + ViewSuffix);
    showDisplayLog();
    DataState = 0;

    if (DataKindOfFile(path) == DataKindManual) {
        K3->menuAction()->setEnabled(true);
        DataKind = DataKindManual;
        if (typedFailure) {
            // Rows the switch to edit mode would refuse open for mending, as if just typed.
            EnterInputMode();
            Messages().error(typedFailure->message(), this);
            SoundGrid->FocusCell(GridColumnOf(typedFailure->Field), typedFailure->Row);
            return 0;
        }
        // The reader took the typed rows as the switch to edit mode does; the grid shows them.
        // A file without rows cannot be edited and opens in input mode, where rows can be typed.
        if (Test.NormalLog.Count > 0)
            ShowManualEditMode();
        else
            EnterManualEditMode();
    } else {
        K3->menuAction()->setEnabled(false);
        DataKind = DataKindMeasured;
        Knd->setChecked(true);
        K25->setChecked(false);
        SetDataActions(true);
        SetStatusText(0, QString());
        // Measured data are looked at, never typed over.
        SoundGrid->SetOptions(kGridLines | goRangeSelect);
    }
    ArchiveOpenedOrSaved(path, bytes, true);
    return 0;
}

void Tgrid_form::openFromDialog(const TFileDialogRequest &request, bool remembersFolder)
{
    const std::optional<TFileChoice> choice = FileDialogs().openFile(request, this);
    if (!choice)
        return;
    Setting.FileMode.FilterIndex = choice->FilterIndex;
    if (remembersFolder)
        Setting.FileMode.OpenDir = QFileInfo(choice->Path).absolutePath();
    OpenDataFile(choice->Path);
}

void Tgrid_form::Open1Click()
{
    if (AskSaveManualData())
        return;
    TFileDialogRequest request;
    request.Title = kOpenTitle;
    request.Filter = kOpenFilter;
    request.FilterIndex = Setting.FileMode.FilterIndex;
    request.Folder = dialogFolder(Setting.FileMode.OpenDir);
    openFromDialog(request, true);
}

void Tgrid_form::ToolButton1Click()
{
    if (AskSaveManualData())
        return;
    TFileDialogRequest request;
    request.Title = kTempOpenTitle;
    request.Filter = kTempOpenFilter;
    request.FilterIndex = 1;
    request.Folder = dialogFolder(Setting.FileMode.TempDir);
    openFromDialog(request, false);
}

void Tgrid_form::OpenStartFile()
{
    if (m_startFileDone)
        return;
    m_startFileDone = true;
    if (StartArguments.size() == 1 && IsSiteFile(StartArguments.first()))
        OpenSiteWindow(StartArguments.first());
    else if (StartArguments.size() == 1)
        OpenDataFile(StartArguments.first());
}

void Tgrid_form::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Tgrid_form::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Tgrid_form::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        paths.append(url.isLocalFile() ? url.toLocalFile() : QString());
    event->acceptProposedAction();
    // Questions and the open come after the drop has finished, so the dragging program is
    // not kept waiting behind a message box.
    QMetaObject::invokeMethod(
        this, [this, paths] { openDroppedFiles(paths); }, Qt::QueuedConnection);
}

void Tgrid_form::openDroppedFiles(const QStringList &paths)
{
    if (paths.size() == 1 && IsSiteFile(paths.first())) {
        OpenSiteWindow(paths.first());
        return;
    }
    if (AskSaveManualData())
        return;
    if (paths.size() != 1 || paths.first().isEmpty())
        return;
    OpenDataFile(paths.first());
}

bool Tgrid_form::SaveAsDialog()
{
    const bool standardData = DataKind == DataKindMeasured;
    TFileDialogRequest request;
    request.Title = kSaveTitle;
    request.Filter = standardData ? kStandardSaveFilter : kManualSaveFilter;
    request.FilterIndex = 1;
    request.Folder = dialogFolder(Setting.FileMode.SaveDir);
    request.FileName = QFileInfo(Test.CurrentFile).completeBaseName();
    const std::optional<TFileChoice> choice = FileDialogs().saveFile(request, this);
    if (!choice)
        return false;
    QString path = choice->Path;
    if (!isWrittenType(path))
        path += extensionForFilter(choice->FilterIndex, standardData);
    try {
        return SaveDataFile(path);
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return false;
    }
}

bool Tgrid_form::SaveDataFile(const QString &path)
{
    if (QFileInfo::exists(path) && Messages().confirm(kOverwriteQuestion, this) != QMessageBox::Ok)
        return false;
    TWaitCursor wait;
    const QByteArray bytes = SaveTestFile(Test, path, Setting, Tables);
    // Only a completed save counts as saved.
    DataState = 1;
    Setting.FileMode.SaveDir = QFileInfo(path).absolutePath();
    if (FileExtensionOf(path) == u".kmd") {
        CaptionPrefix = kCaptionWord + QFileInfo(path).fileName();
        setWindowTitle(CaptionPrefix + ViewSuffix);
    }
    // Writing the rounded type rebuilt the rounded rows without their derived values; the
    // printout reads them from there.
    if (FileExtensionOf(path).toLower() == u".k25") {
        ComputeNsw(Test.RoundedLog, true, Setting, Tables);
        ComputeNValue(Test.RoundedLog, Tables);
    }
    ArchiveOpenedOrSaved(path, bytes, false);
    return true;
}
