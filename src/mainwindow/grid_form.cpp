#include "grid_form.h"

#include "archivekeeper.h"
#include "cmbgrid.h"
#include "desktopopen.h"
#include "errors.h"
#include "events.h"
#include "formtexts.h"
#include "menutexts.h"
#include "messages.h"
#include "presentation.h"
#include "programfiles.h"
#include "settingsstore.h"
#include "toolicons.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QtDebug>

namespace {

Tgrid_form *theGridForm = nullptr;

// The user's guide, opened in the desktop's browser.
const QString kHelpFileName = QStringLiteral("guide/index.html");
const QString kMakerHomePage = QStringLiteral("https://www.korvath.example/");
const char *const kHintProperty = "tessmarkHint";
// Short enough for the status bar of the narrow window; the dialogs then show where they are.
const QString kNoTransferFolderNote =
    QStringLiteral("Vantrellフォルダを作成できません。ホームフォルダを使います");
// The settings file is left as it is found; the program keeps its own settings in memory.
const QString kSettingsNotReadNote =
    QStringLiteral("設定ファイルを読めないため既定の設定で起動しました（設定は保存されません）: ");
const QString kSettingsNotSavedText =
    QStringLiteral("設定を保存できません。前の設定ファイルはそのまま残っています。\r");

const QStringList kTableFailureLines = {
    QStringLiteral("Tessmarkを起動できません"),
    QString(),
    QStringLiteral("必要なファイルObsTbl,WeightTblがみつからない、もしくは異常です。"),
    QStringLiteral("このファイルが含まれているかを確認してください"),
    QStringLiteral("よく原因が分からない場合は再インストールをしてください。"),
};

// The long part of a "short|long" hint; the whole hint when it has no "|".
QString longHintOf(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString shortHintOf(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

// A menu caption shows table texts literally: "&" is not a mnemonic there.
QString literalCaption(const QString &text)
{
    QString caption = text;
    caption.replace(u'&', QLatin1String("&&"));
    return caption;
}

// Within 0 .. limit, else 0.
int placedWithin(int stored, int limit)
{
    return stored >= 0 && stored <= limit ? stored : 0;
}

} // namespace

Tgrid_form *grid_form()
{
    return theGridForm;
}

Tgrid_form::Tgrid_form(const TGridFormOptions &options, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("grid_form"));
    ProgramFolder = options.ProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                    : options.ProgramFolder;
    TempFolder = options.TempFolder.isEmpty() ? QDir::tempPath() : options.TempFolder;
    DocumentsDir =
        QDir(options.DocumentsFolder.isEmpty() ? DocumentsFolder() : options.DocumentsFolder)
            .absolutePath() +
        u'/';
    StartArguments = options.Arguments;
    if (options.Settings) {
        m_settings = options.Settings;
    } else {
        m_ownedSettings.reset(OpenSettingsStore());
        m_settings = m_ownedSettings.get();
    }
    m_openUrl = options.OpenUrl;
    m_archive = std::make_unique<TArchiveKeeper>(options.DataFolder);

    createToolBar();
    createMenus();
    createEvaluationItem();
    createSiteItems();
    createArchiveItem();
    createPanels();
    createManualInput();
    FormCreate();
    if (!theGridForm)
        theGridForm = this;
}

Tgrid_form::~Tgrid_form()
{
    // The graph window refers to the test and the settings, which go with this window.
    delete m_graphWindow.data();
    delete m_archiveWindow.data();
    if (theGridForm == this)
        theGridForm = nullptr;
}

void Tgrid_form::createToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    auto button = [this](const char *name, TToolIcon icon, bool enabled,
                         void (Tgrid_form::*handler)()) {
        const TCommandText &texts = CommandText(name);
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setText(texts.Caption);
        b->setIcon(ToolIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setProperty(kHintProperty, texts.Hint);
        b->setMinimumWidth(52);
        setToolButtonEnabled(b, enabled);
        connect(b, &QToolButton::clicked, this, handler);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolButton1 = button("ToolButton1", TToolIcon::Open, true, &Tgrid_form::ToolButton1Click);
    SaveBtn = button("SaveBtn", TToolIcon::Save, false, &Tgrid_form::SaveAs1Click);
    PrintBtn = button("PrintBtn", TToolIcon::Print, false, &Tgrid_form::PrintBtnClick);
    ToolButton3 = button("ToolButton3", TToolIcon::Transfer, true, &Tgrid_form::ToolButton3Click);
    GraphBtn = button("GraphBtn", TToolIcon::Graph, false, &Tgrid_form::GraphBtnClick);
    ChangeBtn = button("ChangeBtn", TToolIcon::Rounding, false, &Tgrid_form::ChangeBtnClick);
}

void Tgrid_form::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    // A top-level item with its own shortcut opens its menu, as Alt and its letter would.
    auto menu = [this, bar](const char *name) {
        const TCommandText &texts = CommandText(name);
        auto *m = new QMenu(texts.Caption, this);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m->menuAction()->setStatusTip(texts.Hint);
        bar->addMenu(m);
        if (!texts.Shortcut.isEmpty()) {
            m->menuAction()->setShortcut(texts.Shortcut);
            connect(m->menuAction(), &QAction::triggered, this,
                    [bar, m] { bar->setActiveAction(m->menuAction()); });
        }
        return m;
    };
    auto item = [this](QMenu *m, const char *name, void (Tgrid_form::*handler)()) {
        const TCommandText &texts = CommandText(name);
        auto *a = new QAction(texts.Caption, this);
        a->setObjectName(QLatin1String(name));
        a->setStatusTip(texts.Hint);
        a->setShortcut(texts.Shortcut);
        connect(a, &QAction::triggered, this, handler);
        m->addAction(a);
        return a;
    };

    File1 = menu("File1");
    New1 = item(File1, "New1", &Tgrid_form::New1Click);
    SaveAs1 = item(File1, "SaveAs1", &Tgrid_form::SaveAs1Click);
    Open1 = item(File1, "Open1", &Tgrid_form::Open1Click);
    N14 = item(File1, "N14", &Tgrid_form::ToolButton1Click);
    File1->addSeparator();
    Print1 = item(File1, "Print1", &Tgrid_form::PrintBtnClick);
    File1->addSeparator();
    Exit1 = item(File1, "Exit1", &Tgrid_form::Exit1Click);

    Term = menu("Term");
    TermStart = item(Term, "TermStart", &Tgrid_form::ToolButton3Click);

    K3 = menu("K3");
    KManuInp = item(K3, "KManuInp", &Tgrid_form::KManuInpClick);
    KManuEdit = item(K3, "KManuEdit", &Tgrid_form::KManuEditClick);
    KManuInf = item(K3, "KManuInf", &Tgrid_form::GroupBox1Click);

    G1 = menu("G1");
    MakeGraph = item(G1, "MakeGraph", &Tgrid_form::MakeGraphClick);
    N3 = item(G1, "N3", &Tgrid_form::N3Click);

    KG1 = menu("KG1");
    Knd = item(KG1, "Knd", &Tgrid_form::KndClick);
    Knd->setCheckable(true);
    Knd->setChecked(true);
    K25 = item(KG1, "K25", &Tgrid_form::K25Click);
    K25->setCheckable(true);

    O1 = menu("O1");
    KS1 = item(O1, "KS1", &Tgrid_form::KS1Click);

    Help1 = menu("Help1");
    khelp = item(Help1, "khelp", &Tgrid_form::khelpClick);
    Help1->addSeparator();
    Homepage1 = item(Help1, "Homepage1", &Tgrid_form::Homepage1Click);
    Help1->addSeparator();
    About1 = item(Help1, "About1", &Tgrid_form::About1Click);

    // Start states: nothing that needs a test works before one is loaded.
    SaveAs1->setEnabled(false);
    Print1->setEnabled(false);
    G1->menuAction()->setEnabled(false);
    KG1->menuAction()->setEnabled(false);
    K3->menuAction()->setEnabled(false);

    // The grid's table-driven context menus; filled once the tables are read.
    ObsPopUp = new QMenu(this);
    ObsPopUp->setObjectName(QStringLiteral("ObsPopUp"));
    d_selPopup = new QMenu(this);
    d_selPopup->setObjectName(QStringLiteral("d_selPopup"));
    DoshituPopup = new QMenu(this);
    DoshituPopup->setObjectName(QStringLiteral("DoshituPopup"));
}

void Tgrid_form::createPanels()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralPanel"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    GroupBox1 = new QGroupBox(central);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(57);
    auto label = [this](const char *name, int left, int top, const QString &caption) {
        auto *l = new QLabel(caption, GroupBox1);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->move(left, top);
        l->adjustSize();
        return l;
    };
    lblTestCode = label("lblTestCode", 8, 8, QStringLiteral("試験コード"));
    lblPCode = label("lblPCode", 200, 8, QStringLiteral("測点番号"));
    lblDepth = label("lblDepth", 312, 8, QStringLiteral("最終貫入深さ"));
    lblTime = label("lblTime", 8, 24, QStringLiteral("試験時間"));
    lblGPS = label("lblGPS", 8, 40, QStringLiteral("GPS測位"));
    layout->addWidget(GroupBox1);

    createSoundGrid(central);
    layout->addWidget(SoundGrid, 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        auto *panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i == 0)
            panel->setFixedWidth(100);
        else
            panel->setMinimumWidth(1);
        StatusBar1->addWidget(panel, i == 0 ? 0 : 1);
        m_statusPanels[i] = panel;
    }
    setStatusBar(StatusBar1);
}

void Tgrid_form::FormCreate()
{
    DataState = 3;
    setWindowTitle(kCaptionWord);
    CaptionPrefix = kCaptionWord;
    DataKind = 0;
    CommandMode = false;
    HelpFile = ProgramFilePath(ProgramFolder, kHelpFileName);
    Test.RawLines.clear();

    // The transfer files land in "Vantrell" in the documents folder. A fresh account may not
    // have the documents folder yet, so the whole path is made; when even that fails the file
    // dialogs start in the home folder instead, and the user is told once.
    const QString transferFolder = DocumentsDir + QStringLiteral("Vantrell");
    if (!QDir().mkpath(transferFolder))
        SetStatusText(1, kNoTransferFolderNote);
    setAcceptDrops(true);

    Setting = LoadSettings(*m_settings, DocumentsDir.chopped(1));
    if (!m_settings->problem().isEmpty()) {
        const QString note = kSettingsNotReadNote + m_settings->problem();
        SetStatusText(1, note);
        qWarning().noquote() << note;
    }
    MonitorFlag = false;
    RoundedView = false;

    QSize size(Setting.GridWidth, Setting.GridHeight);
    int top = Setting.GridTop;
    int left = Setting.GridLeft;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        // A garbled settings file must not ask for a window no screen (or memory) can hold.
        size = size.boundedTo(screen->size());
        top = placedWithin(top, screen->size().height());
        left = placedWithin(left, screen->size().width());
    }
    resize(size);
    move(left, top);
    fixWidth();
}

void Tgrid_form::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    FormShow();
}

void Tgrid_form::FormShow()
{
    // The command-line file is opened when the splash window closes (WM_OPENSTARTFILE); a
    // window that could not read its tables is closing and opens nothing.
    if (!ReadReferenceTables())
        m_startFileDone = true;
}

bool Tgrid_form::ReadReferenceTables()
{
    bool weightsRead;
    {
        TWaitCursor wait;
        weightsRead =
            Tables.LoadWeightTable(ProgramFilePath(ProgramFolder, QStringLiteral("Weighttbl.tbl")));
    }
    if (!weightsRead) {
        Messages().error(kTableFailureLines.join(u'\r'), this);
        // The ordinary close, once start-up has finished, so the settings are still written.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
    {
        TWaitCursor wait;
        const QString observations = ProgramFilePath(ProgramFolder, QStringLiteral("Obstbl.tbl"));
        Tables.LoadObsTable(observations);
        RebuildTablePopups();
        // Read as missing; the user is told, since a missing table is otherwise silent.
        if (QFileInfo::exists(observations) && !QFileInfo(observations).isFile())
            SetStatusText(1, QDir::toNativeSeparators(observations) +
                                 QStringLiteral(" は通常のファイルではないため読んでいません"));
    }
    return weightsRead;
}

void Tgrid_form::RebuildTablePopups()
{
    QStringList observations;
    ObsPopUp->clear();
    auto addObsItem = [this, &observations](const QString &text) {
        connect(ObsPopUp->addAction(literalCaption(text)), &QAction::triggered, this,
                [this, text] { N1001Click(text); });
        observations.append(text);
    };
    for (const TCodeData &entry : std::as_const(Tables.ObsTable)) {
        if (!entry.ObsText.isEmpty())
            addObsItem(entry.ObsText);
    }
    addObsItem(QString());
    ObsPopUp->addSeparator();
    connect(ObsPopUp->addAction(QStringLiteral("逐一入力")), &QAction::triggered, this,
            &Tgrid_form::TikuitiMenuClick);

    d_selPopup->clear();
    for (const TCalcData &entry : std::as_const(Tables.CalcTable)) {
        if (entry.SoilName.isEmpty())
            continue;
        const QString soil = entry.SoilName;
        connect(d_selPopup->addAction(literalCaption(soil)), &QAction::triggered, this,
                [this, soil] { d_selPopUpClick(soil); });
    }
    connect(d_selPopup->addAction(QStringLiteral("元に戻す")), &QAction::triggered, this,
            &Tgrid_form::Undo1Click);
    d_selPopup->addSeparator();
    connect(d_selPopup->addAction(QStringLiteral("ｺﾋﾟｰ")), &QAction::triggered, this,
            &Tgrid_form::copyselClick);

    QStringList soilTypes;
    DoshituPopup->clear();
    for (const TCalcData &entry : std::as_const(Tables.CalcTable)) {
        if (entry.SoilName.isEmpty())
            continue;
        const QString soil = entry.SoilName;
        connect(DoshituPopup->addAction(literalCaption(soil)), &QAction::triggered, this,
                [this, soil] { N1001Click(soil); });
        soilTypes.append(soil);
    }
    DoshituPopup->addSeparator();
    connect(DoshituPopup->addAction(QStringLiteral("逐一入力")), &QAction::triggered, this,
            &Tgrid_form::TikuitiMenuClick);

    SetGridPickLists(observations, soilTypes);
}

QStringList Tgrid_form::ObsPickList() const
{
    return SoundGrid->GetCellKind(kObsColumn).ItemTexts();
}

QStringList Tgrid_form::SoilPickList() const
{
    return SoundGrid->GetCellKind(kSoilColumn).ItemTexts();
}

void Tgrid_form::SetGridPickLists(const QStringList &observations, const QStringList &soilTypes)
{
    SoundGrid->GetCellKind(kObsColumn).SetItems(observations);
    SoundGrid->GetCellKind(kSoilColumn).SetItems(soilTypes);
}

void Tgrid_form::closeEvent(QCloseEvent *event)
{
    if (ConfirmClose && !ConfirmClose()) {
        event->ignore();
        return;
    }
    // The site window asks about its own unsaved site first.
    if (m_siteWindow && !m_siteWindow->close()) {
        event->ignore();
        return;
    }
    if (AskSaveManualData()) {
        event->ignore();
        return;
    }
    CloseGraph();
    Test.RawLines.clear();

    // A minimised or maximised window is stored with its ordinary place and size.
    const bool ordinary = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    const QRect place = ordinary ? QRect(pos(), size()) : normalGeometry();
    Setting.GridHeight = place.height();
    Setting.GridWidth = place.width();
    Setting.GridTop = place.top();
    Setting.GridLeft = place.left();
    try {
        SaveSettings(Setting, *m_settings);
    } catch (const ECantWriteFile &failure) {
        // The window closes all the same: its test is saved or given up by now, and the old
        // settings file stays as it was.
        const QString text = kSettingsNotSavedText + failure.message();
        if (m_closingUnattended)
            qWarning().noquote() << QString(text).replace(u'\r', u'\n');
        else
            Messages().error(text, this);
    }
    event->accept();
}

void Tgrid_form::CloseUnattended()
{
    m_closingUnattended = true;
    close();
}

bool Tgrid_form::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    if (event->type() == WM_OPENSTARTFILE) {
        OpenStartFile();
        return true;
    }
    return QMainWindow::event(event);
}

void Tgrid_form::ShowHint(const QString &hint)
{
    SetStatusText(1, longHintOf(hint));
}

void Tgrid_form::SetStatusText(int panel, const QString &text)
{
    if (panel >= 0 && panel < 2)
        m_statusPanels[panel]->setText(text);
}

QString Tgrid_form::StatusText(int panel) const
{
    return panel >= 0 && panel < 2 ? m_statusPanels[panel]->text() : QString();
}

void Tgrid_form::setToolButtonEnabled(QToolButton *button, bool on)
{
    // A disabled button shows no hint.
    const QString hint = on ? button->property(kHintProperty).toString() : QString();
    button->setEnabled(on);
    button->setToolTip(shortHintOf(hint));
    button->setStatusTip(longHintOf(hint));
}

void Tgrid_form::SetDataActions(bool on)
{
    for (QToolButton *button : {SaveBtn, PrintBtn, GraphBtn, ChangeBtn})
        setToolButtonEnabled(button, on);
    SaveAs1->setEnabled(on);
    Print1->setEnabled(on);
    G1->menuAction()->setEnabled(on);
    O1->menuAction()->setEnabled(on);
    KG1->menuAction()->setEnabled(on);
}

bool Tgrid_form::AskSaveManualData()
{
    if (DataState != 2 || DataKind != 2)
        return false;
    switch (Messages().yesNoCancel(QStringLiteral("ファイルを保存しますか"), this)) {
    case QMessageBox::Yes:
        if (!EditMode) {
            Messages().notice(
                QStringLiteral(
                    "ファイルを保存できません。すべてのデータを設定して編集モードにしてください"),
                this);
            return true;
        }
        // The typed test is kept unless it really was saved: a cancelled or failed save also
        // cancels the close, open or new test that asked.
        return !SaveAsDialog();
    case QMessageBox::No:
        return false;
    default:
        return true;
    }
}

void Tgrid_form::Set_Inf(const TTestInfo &info)
{
    lblTestCode->setText(TestCodeText(info));
    lblPCode->setText(PointNoText(info));
    lblTime->setText(TestTimeText(info));
    lblDepth->setText(FinalDepthText(info));
    for (QLabel *label : {lblTestCode, lblPCode, lblTime, lblDepth})
        label->adjustSize();
}

void Tgrid_form::Set_GPS(const TGPSData &gps)
{
    lblGPS->setText(GpsText(gps));
    lblGPS->adjustSize();
}

void Tgrid_form::Clear_GPS(TGPSData &gps)
{
    ::Clear_GPS(gps);
}

void Tgrid_form::khelpClick()
{
    if (!QFileInfo::exists(HelpFile)) {
        Messages().information(QStringLiteral("ヘルプファイルが見つかりません。\r") +
                                   QDir::toNativeSeparators(HelpFile),
                               this);
        return;
    }
    // The file is there: what fails is finding a program that shows it.
    openOutside(QUrl::fromLocalFile(HelpFile),
                QStringLiteral("ヘルプファイルを開くプログラムが見つかりません。\r") +
                    QDir::toNativeSeparators(HelpFile));
}

void Tgrid_form::Homepage1Click()
{
    openOutside(QUrl(kMakerHomePage),
                QStringLiteral("ホームページを開けません。\r") + kMakerHomePage);
}

void Tgrid_form::openOutside(const QUrl &url, const QString &failure)
{
    const auto tell = [this, failure] {
        Messages().information(failure, this);
    };
    if (m_openUrl) {
        if (!m_openUrl(url))
            tell();
        return;
    }
    OpenWithDesktop(url, this, tell);
}

void Tgrid_form::Exit1Click()
{
    close();
}
