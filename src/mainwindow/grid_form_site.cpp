// The main window's way to the site window: its two File menu items and the site files given
// on the command line or dropped on the window.
#include "grid_form.h"

#include "archivekeeper.h"
#include "filedialogs.h"
#include "menutexts.h"
#include "sitewindow.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

// After "一時ﾌｧｲﾙを開く...", before the print item's separator.
void Tgrid_form::createSiteItems()
{
    const auto item = [this](const char *name) {
        const TCommandText &texts = CommandText(name);
        auto *a = new QAction(texts.Caption, this);
        a->setObjectName(QLatin1String(name));
        a->setStatusTip(texts.Hint);
        a->setShortcut(texts.Shortcut);
        return a;
    };
    KNewSite = item("KNewSite");
    KOpenSite = item("KOpenSite");
    connect(KNewSite, &QAction::triggered, this, [this] { OpenSiteWindow(); });
    connect(KOpenSite, &QAction::triggered, this, &Tgrid_form::OpenSiteClick);
    QAction *before = File1->actions().value(File1->actions().indexOf(N14) + 1);
    File1->insertSeparator(before);
    File1->insertActions(before, {KNewSite, KOpenSite});
}

void Tgrid_form::OpenSiteClick()
{
    TFileDialogRequest request;
    request.Title = QStringLiteral("現場を開く");
    request.Filter = QStringLiteral("現場ファイル(*.tsite)|*.tsite|すべてのファイル(*.*)|*.*");
    request.Folder =
        QFileInfo(Setting.FileMode.OpenDir).isDir() ? Setting.FileMode.OpenDir : QString();
    if (const std::optional<TFileChoice> choice = FileDialogs().openFile(request, this))
        OpenSiteWindow(choice->Path);
}

void Tgrid_form::ShowTestFromWindow(const QString &path)
{
    if (AskSaveManualData())
        return;
    OpenDataFile(path);
    raise();
    activateWindow();
}

QWidget *Tgrid_form::OpenSiteWindow(const QString &path)
{
    auto *window = qobject_cast<TSiteWindow *>(m_siteWindow.data());
    if (!window) {
        TSiteWindowContext context;
        context.Setting = &Setting;
        context.Tables = &Tables;
        context.OpenTest = [this](const QString &file) {
            ShowTestFromWindow(file);
        };
        context.NearbyTests = [this](const TSiteData &data) {
            return Archive().NearbyTests(data, Setting);
        };
        window = new TSiteWindow(context, this);
        m_siteWindow = window;
    } else if (!window->MaySiteBeLost()) {
        window->raise();
        return nullptr;
    }
    if (path.isEmpty())
        window->NewSite();
    else
        window->OpenSite(path);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
