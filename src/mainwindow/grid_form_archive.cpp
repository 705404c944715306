// The main window's way to the archive: the File menu item "試験一覧" and the tests it adds as
// they are opened and saved.
#include "grid_form.h"

#include "archiveentry.h"
#include "archivekeeper.h"
#include "archivewindow.h"
#include "menutexts.h"
#include "messages.h"
#include "reader.h"
#include "sitewindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QStatusBar>

// After the site items, before the print item's separator.
void Tgrid_form::createArchiveItem()
{
    const TCommandText &texts = CommandText("KArchive");
    KArchive = new QAction(texts.Caption, this);
    KArchive->setObjectName(QStringLiteral("KArchive"));
    KArchive->setStatusTip(texts.Hint);
    KArchive->setShortcut(texts.Shortcut);
    connect(KArchive, &QAction::triggered, this, [this] { OpenArchiveWindow(); });
    File1->insertAction(File1->actions().value(File1->actions().indexOf(KOpenSite) + 1), KArchive);
}

void Tgrid_form::ArchiveOpenedOrSaved(const QString &path, const QByteArray &bytes, bool opened)
{
    // Rounded and other written types are outputs, not tests.
    if (!Setting.ArchiveOnOpenSave || !IsReadableDataFile(path))
        return;
    // The bytes the file holds go in: an opened test's figures are taken from it, a saved
    // one's are read from what was written.
    const QString note = opened ? m_archive->ArchiveOpenedTest(bytes, path, Test, Setting)
                                : m_archive->ArchiveBytes(bytes, path, Setting, Tables);
    if (!note.isEmpty())
        StatusBar1->showMessage(note, 15000);
}

void Tgrid_form::ArchiveTransferred(const QByteArray &bytes, const QString &path)
{
    const QString note = m_archive->ArchiveTransferred(bytes, path, Setting, Tables);
    if (!note.isEmpty())
        StatusBar1->showMessage(note, 15000);
}

QWidget *Tgrid_form::OpenArchiveWindow()
{
    QWidget *window = m_archiveWindow.data();
    if (!window)
        window = m_archiveWindow = createArchiveWindow();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QWidget *Tgrid_form::createArchiveWindow()
{
    TArchiveWindowContext context;
    context.Setting = &Setting;
    context.Keeper = m_archive.get();
    context.RestoreFolder = QDir(TempFolder).filePath(QStringLiteral("Tessmark-archive"));
    context.OpenTestPlace = [this](QString &why) -> std::optional<TGeoPosition> {
        if (DataState == 3) {
            why = QStringLiteral("開いている試験がありません");
            return std::nullopt;
        }
        try {
            if (std::optional<TGeoPosition> place = ReadGpsPosition(Test.TestGps))
                return place;
            why = QStringLiteral("開いている試験にはGPSの位置がありません");
        } catch (const EConvertError &e) {
            why = e.message();
        }
        return std::nullopt;
    };
    context.OpenSitePlace = [this](QString &why) -> std::optional<TGeoPosition> {
        const auto *site = qobject_cast<TSiteWindow *>(m_siteWindow.data());
        if (!site) {
            why = QStringLiteral("開いている現場がありません");
            return std::nullopt;
        }
        const std::optional<TGeoPosition> place = SitePlace(site->Data());
        if (!place)
            why = QStringLiteral("開いている現場の試験にはGPSの位置がありません");
        return place;
    };
    context.OpenTest = [this](const QString &file) {
        ShowTestFromWindow(file);
    };
    context.AddToSite = [this](const QString &file) {
        auto *site = qobject_cast<TSiteWindow *>(m_siteWindow.data());
        if (!site) {
            Messages().information(QStringLiteral("開いている現場がありません。\r"
                                                  "ﾌｧｲﾙ → 新規現場 / 現場を開く で現場を開いて"
                                                  "から追加してください。"),
                                   m_archiveWindow.data());
            return false;
        }
        const bool added = site->AddTests({file});
        if (added) {
            site->raise();
            site->activateWindow();
        }
        return added;
    };
    auto *window = new TArchiveWindow(context, this);
    window->setWindowFlag(Qt::Window);
    return window;
}
