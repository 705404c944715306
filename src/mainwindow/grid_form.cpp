#include "grid_form.h"

#include "cmbgrid.h"
#include "events.h"
#include "formtexts.h"
#include "messages.h"
#include "presentation.h"
#include "toolicons.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
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
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

Tgrid_form *theGridForm = nullptr;

const QString kHelpFileName = QStringLiteral("tessmarkhelp.chm");
const QString kTransferWorkFile = QStringLiteral("pavlink.tmp");
const QString kMakerHomePage = QStringLiteral("https://www.korvath.example/");
const char *const kHintProperty = "tessmarkHint";

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
    m_openUrl = options.OpenUrl ? options.OpenUrl : [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };

    createToolBar();
    createMenus();
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

    auto button = [this](const char *name, const QString &caption, TToolIcon icon,
                         const QString &hint, bool enabled, void (Tgrid_form::*handler)()) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setIcon(ToolIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setProperty(kHintProperty, hint);
        b->setMinimumWidth(52);
        setToolButtonEnabled(b, enabled);
        connect(b, &QToolButton::clicked, this, handler);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolButton1 =
        button("ToolButton1", QStringLiteral("開く"), TToolIcon::Open,
               QStringLiteral("一時ファイルを開く|Vantrellから転送された一時ファイルを開きます"),
               true, &Tgrid_form::ToolButton1Click);
    SaveBtn = button("SaveBtn", QStringLiteral("保存"), TToolIcon::Save,
                     QStringLiteral("名前を付けて保存|名前を付けてファイルとして保存します"), false,
                     &Tgrid_form::SaveAsDialog);
    PrintBtn = button("PrintBtn", QStringLiteral("印刷"), TToolIcon::Print,
                      QStringLiteral("印刷|データを印刷します"), false, &Tgrid_form::PrintBtnClick);
    ToolButton3 = button(
        "ToolButton3", QStringLiteral("通信"), TToolIcon::Transfer,
        QStringLiteral(
            "Vantrellからのデータ転送|Vantrellから転送されたデータを受信しファイルを作成します"),
        true, &Tgrid_form::ToolButton3Click);
    GraphBtn = button(
        "GraphBtn", QStringLiteral("グラフ"), TToolIcon::Graph,
        QStringLiteral(
            "グラフの作成・切り替え|グラフを作成し、Ｎｓｗと換算Ｎ値のグラフの表示を切り替えます"),
        false, &Tgrid_form::GraphBtnClick);
    ChangeBtn = button(
        "ChangeBtn", QStringLiteral("まるめ"), TToolIcon::Rounding,
        QStringLiteral(
            "まるめ計算・表示切り替え|通常のデータと２５ｃｍにまるめたデータの表示を切り替えます"),
        false, &Tgrid_form::ChangeBtnClick);
}

void Tgrid_form::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    auto menu = [this, bar](const char *name, const QString &caption, const QString &hint) {
        auto *m = new QMenu(caption, this);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m->menuAction()->setStatusTip(hint);
        bar->addMenu(m);
        return m;
    };
    auto item = [this](QMenu *m, const char *name, const QString &caption, const QString &hint,
                       const QKeySequence &shortcut, void (Tgrid_form::*handler)()) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        a->setStatusTip(hint);
        a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, handler);
        m->addAction(a);
        return a;
    };
    // A top-level item with its own shortcut opens its menu, as Alt and its letter would.
    auto openOnShortcut = [this, bar](QMenu *m, const QKeySequence &shortcut) {
        m->menuAction()->setShortcut(shortcut);
        connect(m->menuAction(), &QAction::triggered, this,
                [bar, m] { bar->setActiveAction(m->menuAction()); });
    };

    File1 = menu("File1", QStringLiteral("ﾌｧｲﾙ(&F)"),
                 QStringLiteral("ファイルを作成・保存・印刷します"));
    New1 = item(File1, "New1", QStringLiteral("新規作成(&N)..."),
                QStringLiteral("手入力を開始としてデータを新規作成します。"), {},
                &Tgrid_form::New1Click);
    SaveAs1 =
        item(File1, "SaveAs1", QStringLiteral("名前を付けて保存(&A)..."),
             QStringLiteral("名前を付けてファイルとして保存します"), {}, &Tgrid_form::SaveAsDialog);
    Open1 = item(File1, "Open1", QStringLiteral("開く(&O)..."),
                 QStringLiteral("Tessmarkで保存したファイルを開きます"),
                 QKeySequence(Qt::CTRL | Qt::Key_O), &Tgrid_form::Open1Click);
    N14 = item(File1, "N14", QStringLiteral("一時ﾌｧｲﾙを開く..."),
               QStringLiteral("Vantrellから転送された一時ファイルを開きます"), {},
               &Tgrid_form::ToolButton1Click);
    File1->addSeparator();
    Print1 =
        item(File1, "Print1", QStringLiteral("印刷(&P)..."), QStringLiteral("データを印刷します"),
             QKeySequence(Qt::CTRL | Qt::Key_P), &Tgrid_form::PrintBtnClick);
    File1->addSeparator();
    Exit1 = item(File1, "Exit1", QStringLiteral("終了(&E)"), QStringLiteral("Tessmarkを終了します"),
                 {}, &Tgrid_form::Exit1Click);

    Term = menu("Term", QStringLiteral("ﾃﾞｰﾀ通信(&T)"),
                QStringLiteral("Vantrellとデータ通信を行います"));
    openOnShortcut(Term, QKeySequence(Qt::CTRL | Qt::Key_T));
    TermStart = item(Term, "TermStart", QStringLiteral("通信..."),
                     QStringLiteral("Vantrellから転送されたデータを受信しファイルを作成します"),
                     QKeySequence(Qt::Key_F5), &Tgrid_form::ToolButton3Click);

    K3 = menu("K3", QStringLiteral("ﾃﾞｰﾀ入力(&I)"),
              QStringLiteral("手入力のデータを入力・編集します"));
    KManuInp = item(K3, "KManuInp", QStringLiteral("入力モード"),
                    QStringLiteral("手入力の入力モードにします"),
                    QKeySequence(Qt::CTRL | Qt::Key_I), &Tgrid_form::KManuInpClick);
    KManuEdit = item(K3, "KManuEdit", QStringLiteral("編集モード"),
                     QStringLiteral("手入力の編集モードにします"),
                     QKeySequence(Qt::CTRL | Qt::Key_E), &Tgrid_form::KManuEditClick);

    G1 = menu("G1", QStringLiteral("ｸﾞﾗﾌ(&G)"), QStringLiteral("グラフを作成・表示します"));
    MakeGraph = item(G1, "MakeGraph", QStringLiteral("ｸﾞﾗﾌ作成"),
                     QStringLiteral("Ｎｓｗと換算Ｎ値のグラフを作成します"),
                     QKeySequence(Qt::Key_F12), &Tgrid_form::MakeGraphClick);
    N3 = item(G1, "N3", QStringLiteral("ｸﾞﾗﾌ切り替え"),
              QStringLiteral("Ｎｓｗと換算Ｎ値のグラフの表示を切り替えます"),
              QKeySequence(Qt::Key_F11), &Tgrid_form::N3Click);

    KG1 = menu("KG1", QStringLiteral("ﾃﾞｰﾀ(&D)"), QStringLiteral("表示するデータを切り替えます"));
    openOnShortcut(KG1, QKeySequence(Qt::Key_F3));
    Knd = item(KG1, "Knd", QStringLiteral("通常のﾃﾞｰﾀ"), QStringLiteral("通常のデータを表示します"),
               QKeySequence(Qt::CTRL | Qt::Key_F2), &Tgrid_form::KndClick);
    Knd->setCheckable(true);
    Knd->setChecked(true);
    K25 = item(KG1, "K25", QStringLiteral("25cmまるめ"),
               QStringLiteral("２５ｃｍにまるめたデータを表示します"), QKeySequence(Qt::Key_F2),
               &Tgrid_form::K25Click);
    K25->setCheckable(true);

    O1 = menu("O1", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"), QStringLiteral("Tessmarkの設定を変更します"));
    KS1 = item(O1, "KS1", QStringLiteral("設定(&S)..."),
               QStringLiteral("Tessmarkの設定を変更します"), {}, &Tgrid_form::KS1Click);

    Help1 = menu("Help1", QStringLiteral("ﾍﾙﾌﾟ(&H)"), QStringLiteral("ヘルプを表示します"));
    khelp = item(Help1, "khelp", QStringLiteral("ﾄﾋﾟｯｸの検索(&H)"),
                 QStringLiteral("ヘルプの目次を表示します"), QKeySequence(Qt::Key_F1),
                 &Tgrid_form::khelpClick);
    Help1->addSeparator();
    Homepage1 =
        item(Help1, "Homepage1", QStringLiteral("Korvath ホームページ(&N)"),
             QStringLiteral("Korvathのホームページを開きます"), {}, &Tgrid_form::Homepage1Click);
    Help1->addSeparator();
    About1 =
        item(Help1, "About1", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."),
             QStringLiteral("Tessmarkのバージョン情報を表示します"), {}, &Tgrid_form::About1Click);

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
    SoundGrid->SetDefaultRowHeight(kGridRowHeight);
    DataKind = 0;
    CommandMode = false;
    HelpFile = QDir(ProgramFolder).filePath(kHelpFileName);
    Test.RawLines.clear();

    // The transfer files land in "Vantrell" in the documents folder; a failure shows later,
    // when a file is written there.
    QDir(DocumentsDir).mkdir(QStringLiteral("Vantrell"));
    setAcceptDrops(true);

    Setting = LoadSettings(*m_settings, DocumentsDir.chopped(1));
    MonitorFlag = false;
    RoundedView = false;

    resize(Setting.GridWidth, Setting.GridHeight);
    int top = Setting.GridTop;
    int left = Setting.GridLeft;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        top = placedWithin(top, screen->size().height());
        left = placedWithin(left, screen->size().width());
    }
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
    // The command-line file is opened once the tables are there to read it with. (When a splash
    // window precedes the main window, its closing asks for this instead.)
    if (ReadReferenceTables())
        QCoreApplication::postEvent(this, new TWindowMessage(WM_OPENSTARTFILE));
}

bool Tgrid_form::ReadReferenceTables()
{
    const QDir folder(ProgramFolder);
    bool weightsRead;
    {
        TWaitCursor wait;
        weightsRead = Tables.LoadWeightTable(folder.filePath(QStringLiteral("Weighttbl.tbl")));
    }
    if (!weightsRead) {
        Messages().error(kTableFailureLines.join(u'\r'), this);
        // The ordinary close, once start-up has finished, so the settings are still written.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
    {
        TWaitCursor wait;
        Tables.LoadObsTable(folder.filePath(QStringLiteral("Obstbl.tbl")));
        RebuildTablePopups();
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
    if (AskSaveManualData()) {
        event->ignore();
        return;
    }
    const QString workFile = QDir(TempFolder).filePath(kTransferWorkFile);
    if (QFile::exists(workFile))
        QFile::remove(workFile);
    CloseGraph();
    Test.RawLines.clear();

    // A minimised or maximised window is stored with its ordinary place and size.
    const bool ordinary = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    const QRect place = ordinary ? QRect(pos(), size()) : normalGeometry();
    Setting.GridHeight = place.height();
    Setting.GridWidth = place.width();
    Setting.GridTop = place.top();
    Setting.GridLeft = place.left();
    SaveSettings(Setting, *m_settings);
    event->accept();
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
        SaveAsDialog();
        return false;
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
    if (!m_openUrl(QUrl::fromLocalFile(HelpFile)))
        Messages().information(QStringLiteral("ヘルプファイルを開けません。\r") +
                                   QDir::toNativeSeparators(HelpFile),
                               this);
}

void Tgrid_form::Homepage1Click()
{
    if (!m_openUrl(QUrl(kMakerHomePage)))
        Messages().information(QStringLiteral("ホームページを開けません。\r") + kMakerHomePage,
                               this);
}

// Commands whose windows join the program later: they tell the user so instead of doing
// nothing silently.
void Tgrid_form::notReadyYet()
{
    SetStatusText(1, QStringLiteral("この機能は準備中です"));
}

void Tgrid_form::Exit1Click()
{
    close();
}

void Tgrid_form::KS1Click()
{
    notReadyYet();
}

void Tgrid_form::About1Click()
{
    notReadyYet();
}
