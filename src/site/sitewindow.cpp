#include "sitewindow.h"

#include "events.h"
#include "filedialogs.h"
#include "messages.h"
#include "printout.h"
#include "settings.h"
#include "sitedrawingview.h"
#include "sitefile.h"
#include "sitesurveyform.h"
#include "sitetablemodel.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kSiteFilter =
    QStringLiteral("現場ファイル(*.tsite)|*.tsite|すべてのファイル(*.*)|*.*");
const QString kTestFilter =
    QStringLiteral("試験データ(*.ktd;*.kgd;*.kmd;*.ksd)|*.ktd;*.kgd;*.kmd;*.ksd|"
                   "すべてのファイル(*.*)|*.*");
const QString kPdfFilter = QStringLiteral("PDFファイル(*.pdf)|*.pdf");
const QString kOverwrite = QStringLiteral("同名のファイルが存在します。上書きしますか?");

QString withSuffix(const QString &path, const QString &suffix)
{
    return QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0
               ? path
               : path + u'.' + suffix;
}

} // namespace

TSiteWindow::TSiteWindow(const TSiteWindowContext &context, QWidget *parent)
    : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("SiteWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    m_model = new TSiteTableModel(m_data, this);
    createActions();
    createControls();
    resize(1200, 720);
    showSite();
}

TSiteWindow::~TSiteWindow() = default;

void TSiteWindow::createActions()
{
    const auto action = [this](const char *name, const QString &text, const QKeySequence &keys,
                               void (TSiteWindow::*handler)()) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    NewAction = new QAction(QStringLiteral("新規現場(&N)"), this);
    NewAction->setObjectName(QStringLiteral("NewAction"));
    NewAction->setShortcut(QKeySequence::New);
    connect(NewAction, &QAction::triggered, this, [this] { NewSite(); });
    OpenAction = action("OpenAction", QStringLiteral("現場を開く(&O)..."), QKeySequence::Open,
                        &TSiteWindow::openFromDialog);
    SaveAction = new QAction(QStringLiteral("上書き保存(&S)"), this);
    SaveAction->setObjectName(QStringLiteral("SaveAction"));
    SaveAction->setShortcut(QKeySequence::Save);
    connect(SaveAction, &QAction::triggered, this, [this] { Save(); });
    SaveAsAction = new QAction(QStringLiteral("名前を付けて保存(&A)..."), this);
    SaveAsAction->setObjectName(QStringLiteral("SaveAsAction"));
    SaveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(SaveAsAction, &QAction::triggered, this, [this] { SaveAs(); });
    PrintAction = new QAction(QStringLiteral("報告書を印刷(&P)..."), this);
    PrintAction->setObjectName(QStringLiteral("PrintAction"));
    PrintAction->setShortcut(QKeySequence::Print);
    connect(PrintAction, &QAction::triggered, this, [this] { PrintReport(); });
    PdfAction = new QAction(QStringLiteral("報告書をPDFに保存(&D)..."), this);
    PdfAction->setObjectName(QStringLiteral("PdfAction"));
    PdfAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(PdfAction, &QAction::triggered, this, [this] { SaveReportAs(); });
    ColorAction = new QAction(QStringLiteral("カラーで印刷(&L)"), this);
    ColorAction->setObjectName(QStringLiteral("ColorAction"));
    ColorAction->setCheckable(true);
    ColorAction->setChecked(m_context.Setting && m_context.Setting->PrnColor);
    CloseAction = new QAction(QStringLiteral("閉じる(&C)"), this);
    CloseAction->setObjectName(QStringLiteral("CloseAction"));
    CloseAction->setShortcut(QKeySequence::Close);
    connect(CloseAction, &QAction::triggered, this, &QWidget::close);

    AddAction = action("AddAction", QStringLiteral("試験を追加(&A)..."),
                       QKeySequence(Qt::Key_Insert), &TSiteWindow::addFromDialog);
    RemoveAction = action("RemoveAction", QStringLiteral("測点を削除(&D)"),
                          QKeySequence(Qt::Key_Delete), &TSiteWindow::RemoveSelected);
    UpAction = new QAction(QStringLiteral("断面の前へ(&U)"), this);
    UpAction->setObjectName(QStringLiteral("UpAction"));
    UpAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    connect(UpAction, &QAction::triggered, this, [this] { MoveSelected(-1); });
    DownAction = new QAction(QStringLiteral("断面の後へ(&W)"), this);
    DownAction->setObjectName(QStringLiteral("DownAction"));
    DownAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    connect(DownAction, &QAction::triggered, this, [this] { MoveSelected(1); });
    OpenTestAction =
        action("OpenTestAction", QStringLiteral("試験をメインウィンドウで開く(&T)"),
               QKeySequence(Qt::CTRL | Qt::Key_Return), &TSiteWindow::OpenSelectedTest);

    QMenu *file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->addActions({NewAction, OpenAction, SaveAction, SaveAsAction});
    file->addSeparator();
    file->addActions({PrintAction, PdfAction, ColorAction});
    file->addSeparator();
    file->addAction(CloseAction);
    QMenu *points = menuBar()->addMenu(QStringLiteral("測点(&P)"));
    points->addActions({AddAction, RemoveAction, UpAction, DownAction});
    points->addSeparator();
    points->addAction(OpenTestAction);

    QToolBar *tools = addToolBar(QStringLiteral("現場"));
    tools->setObjectName(QStringLiteral("SiteToolBar"));
    tools->setMovable(false);
    tools->toggleViewAction()->setVisible(false);
    tools->addActions({NewAction, OpenAction, SaveAction});
    tools->addSeparator();
    tools->addActions({AddAction, RemoveAction, UpAction, DownAction});
    tools->addSeparator();
    tools->addActions({PrintAction, PdfAction});
}

void TSiteWindow::createControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *fields = new QHBoxLayout;
    NameEdit = new QLineEdit(central);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setPlaceholderText(QStringLiteral("物件名"));
    connect(NameEdit, &QLineEdit::textEdited, this, &TSiteWindow::NameEditChange);
    BaseEdit = new QLineEdit(central);
    BaseEdit->setObjectName(QStringLiteral("BaseEdit"));
    BaseEdit->setMaxLength(5);
    BaseEdit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00.000")) * 2);
    BaseEdit->setToolTip(QStringLiteral("基礎底面の地表面からの深さ（0.00～99.99 m）"));
    connect(BaseEdit, &QLineEdit::textEdited, this, &TSiteWindow::BaseEditChange);
    connect(BaseEdit, &QLineEdit::editingFinished, this, [this] {
        // Something that is no depth gives way to the depth in use.
        if (!ParseBaseDepth(BaseEdit->text()))
            BaseEdit->setText(MetresText(m_data.Site.BaseDepth));
    });
    auto *nameLabel = new QLabel(QStringLiteral("物件名(&M)"), central);
    nameLabel->setBuddy(NameEdit);
    auto *baseLabel = new QLabel(QStringLiteral("基礎底面の深さ B(&B) [m]"), central);
    baseLabel->setBuddy(BaseEdit);
    fields->addWidget(nameLabel);
    fields->addWidget(NameEdit, 1);
    fields->addSpacing(fontMetrics().averageCharWidth() * 2);
    fields->addWidget(baseLabel);
    fields->addWidget(BaseEdit);
    layout->addLayout(fields);

    PointTable = new QTableView(central);
    PointTable->setObjectName(QStringLiteral("PointTable"));
    PointTable->setModel(m_model);
    PointTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PointTable->setSelectionMode(QAbstractItemView::SingleSelection);
    PointTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    // The file's name takes what the figures leave, so they all show without scrolling.
    PointTable->horizontalHeader()->setSectionResizeMode(TSiteTableModel::FileColumn,
                                                         QHeaderView::Stretch);
    PointTable->setTextElideMode(Qt::ElideMiddle);
    PointTable->setAlternatingRowColors(true);
    connect(PointTable, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        // The columns that are not typed in open the test; the others start the editor.
        if (!(m_model->flags(index) & Qt::ItemIsEditable))
            OpenSelectedTest();
    });
    connect(m_model, &TSiteTableModel::SiteEdited, this, &TSiteWindow::siteChanged);
    connect(m_model, &TSiteTableModel::EditRefused, this,
            [this](const QString &message) { Messages().warning(message, this); });

    // The table across the window's width, the plan and the section side by side below it.
    PlanView = new TSiteDrawingView(TSiteDrawingView::Kind::Plan, m_data, central);
    SectionView = new TSiteDrawingView(TSiteDrawingView::Kind::Section, m_data, central);
    auto *drawings = new QSplitter(Qt::Horizontal, central);
    drawings->addWidget(PlanView);
    drawings->addWidget(SectionView);
    drawings->setStretchFactor(0, 2);
    drawings->setStretchFactor(1, 3);
    auto *split = new QSplitter(Qt::Vertical, central);
    split->setObjectName(QStringLiteral("SiteSplitter"));
    split->addWidget(PointTable);
    split->addWidget(drawings);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    // Rows as high as the text needs; room for a house's usual five or six points to start with,
    // the drawings taking what remains.
    PointTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() * 3 / 2);
    split->setSizes({PointTable->horizontalHeader()->sizeHint().height() +
                         7 * PointTable->verticalHeader()->defaultSectionSize(),
                     1000});
    layout->addWidget(split, 1);
    setCentralWidget(central);

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    statusBar()->addWidget(StatusLabel, 1);
    connect(PointTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { siteChanged(); });

    // The survey's particulars in a panel of their own, beside whatever the centre shows.
    SurveyPanel = new TSiteSurveyPanel(m_data, this);
    auto *dock = new QDockWidget(QStringLiteral("調査の情報"), this);
    dock->setObjectName(QStringLiteral("SurveyDock"));
    dock->setWidget(SurveyPanel);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    resizeDocks({dock}, {fontMetrics().averageCharWidth() * 40}, Qt::Horizontal);
    QAction *showPanel = dock->toggleViewAction();
    showPanel->setText(QStringLiteral("調査の情報を表示(&V)"));
    menuBar()
        ->addMenu(QStringLiteral("調査(&S)"))
        ->addActions({SurveyPanel->SiteInfoAction, SurveyPanel->PointInfoAction, showPanel});
    // The particulars change neither the points, the status nor the plan, and the panel shows
    // its own edits already: only the unsaved mark and the section's water levels follow.
    connect(SurveyPanel, &TSiteSurveyPanel::SiteEdited, this, [this] {
        setWindowModified(IsModified());
        SectionView->update();
    });
}

void TSiteWindow::showSite()
{
    m_model->Reload();
    NameEdit->setText(m_data.Site.Name);
    BaseEdit->setText(MetresText(m_data.Site.BaseDepth));
    PointTable->resizeColumnsToContents();
    siteChanged();
}

void TSiteWindow::siteChanged()
{
    const QString name =
        m_path.isEmpty() ? QStringLiteral("新しい現場") : QFileInfo(m_path).fileName();
    setWindowTitle(QStringLiteral("現場 - %1[*]").arg(name));
    setWindowModified(IsModified());
    const qsizetype row = selectedRow();
    const qsizetype count = m_data.Site.Points.size();
    SurveyPanel->Reload(row);
    RemoveAction->setEnabled(row >= 0);
    UpAction->setEnabled(row > 0);
    DownAction->setEnabled(row >= 0 && row + 1 < count);
    OpenTestAction->setEnabled(row >= 0 && m_context.OpenTest);
    PrintAction->setEnabled(count > 0);
    PdfAction->setEnabled(count > 0);

    QStringList status{QStringLiteral("測点 %1").arg(count)};
    const QStringList problems = m_data.TestProblems();
    if (!problems.isEmpty())
        status.append(QStringLiteral("読めない試験: ") + problems.join(QStringLiteral("／")));
    qsizetype unplaced = 0;
    for (const TSitePointFigures &point : m_data.Figures.Points)
        unplaced += point.Position ? 0 : 1;
    if (unplaced > 0)
        status.append(QStringLiteral("位置なし %1 点").arg(unplaced));
    for (const TSiteFarPoint &far : m_data.Figures.FarPoints)
        status.append(m_data.Site.Points.at(far.Index).Label + QStringLiteral(": ") +
                      FarPointText(far));
    StatusLabel->setText(status.join(QStringLiteral("　")));
    PlanView->update();
    SectionView->update();
}

qsizetype TSiteWindow::selectedRow() const
{
    const QModelIndexList rows = PointTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TSiteWindow::selectRow(qsizetype row)
{
    if (row >= 0 && row < m_data.Site.Points.size())
        PointTable->selectRow(int(row));
}

QString TSiteWindow::dialogFolder() const
{
    if (!m_path.isEmpty())
        return QFileInfo(m_path).absolutePath();
    const QString remembered = m_context.Setting ? m_context.Setting->FileMode.OpenDir : QString();
    return !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered : QDir::homePath();
}

bool TSiteWindow::MaySiteBeLost()
{
    if (!IsModified())
        return true;
    const QString name =
        m_path.isEmpty() ? QStringLiteral("新しい現場") : QFileInfo(m_path).fileName();
    switch (Messages().yesNoCancel(
        QStringLiteral("現場「%1」は変更されています。保存しますか?").arg(name), this)) {
    case QMessageBox::Yes:
        return Save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TSiteWindow::NewSite()
{
    if (!MaySiteBeLost())
        return false;
    m_data = TSiteData();
    m_saved = m_data.Site;
    m_path.clear();
    showSite();
    return true;
}

bool TSiteWindow::OpenSite(const QString &path)
{
    TSiteData read;
    try {
        TWaitCursor wait;
        read = ReadSiteWithTests(path, *m_context.Setting, *m_context.Tables);
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return false;
    }
    m_data = std::move(read);
    m_saved = m_data.Site;
    m_path = QFileInfo(path).absoluteFilePath();
    showSite();
    // Points whose test is missing stay in the site, so nothing typed for them is lost.
    const QStringList problems = m_data.TestProblems();
    if (!problems.isEmpty())
        Messages().warning(QStringLiteral("読めない試験があります。\r") + problems.join(u'\r'),
                           this);
    return true;
}

void TSiteWindow::openFromDialog()
{
    if (!MaySiteBeLost())
        return;
    TFileDialogRequest request;
    request.Title = QStringLiteral("現場を開く");
    request.Filter = kSiteFilter;
    request.Folder = dialogFolder();
    if (const std::optional<TFileChoice> choice = FileDialogs().openFile(request, this))
        OpenSite(choice->Path);
}

bool TSiteWindow::Save()
{
    return m_path.isEmpty() ? SaveAs() : SaveTo(m_path);
}

std::optional<QString> TSiteWindow::chooseSavePath(const QString &title, const QString &filter,
                                                   const QString &suffix)
{
    TFileDialogRequest request;
    request.Title = title;
    request.Filter = filter;
    request.Folder = dialogFolder();
    request.FileName = m_path.isEmpty() ? m_data.Site.Name : QFileInfo(m_path).completeBaseName();
    const std::optional<TFileChoice> choice = FileDialogs().saveFile(request, this);
    if (!choice)
        return std::nullopt;
    const QString path = withSuffix(choice->Path, suffix);
    if (QFileInfo::exists(path) && QFileInfo(path) != QFileInfo(m_path) &&
        Messages().yesNo(kOverwrite, this) != QMessageBox::Yes)
        return std::nullopt;
    return path;
}

bool TSiteWindow::SaveAs()
{
    const std::optional<QString> path =
        chooseSavePath(QStringLiteral("現場を名前を付けて保存"), kSiteFilter, kSiteFileSuffix);
    return path && SaveTo(*path);
}

bool TSiteWindow::SaveTo(const QString &path)
{
    try {
        TWaitCursor wait;
        WriteSiteFile(m_data.Site, path);
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    m_saved = m_data.Site;
    siteChanged();
    return true;
}

bool TSiteWindow::AddTests(const QStringList &files)
{
    if (files.size() == 1 && IsSiteFile(files.first()))
        return MaySiteBeLost() && OpenSite(files.first());
    QStringList refused;
    {
        TWaitCursor wait;
        for (const QString &file : files) {
            if (IsSiteFile(file)) {
                refused.append(QStringLiteral("%1: 現場ファイルは試験として追加できません")
                                   .arg(QDir::toNativeSeparators(file)));
                continue;
            }
            TSitePointTest test = ReadSitePointTest(QFileInfo(file).absoluteFilePath(),
                                                    *m_context.Setting, *m_context.Tables);
            if (!test.Test) {
                refused.append(test.Problem);
                continue;
            }
            m_data.AddPoint(file, std::move(test));
        }
    }
    m_model->Reload();
    PointTable->resizeColumnsToContents();
    selectRow(m_data.Site.Points.size() - 1);
    siteChanged();
    if (!refused.isEmpty())
        Messages().warning(QStringLiteral("次の試験は追加しませんでした。\r") + refused.join(u'\r'),
                           this);
    return refused.isEmpty();
}

void TSiteWindow::addFromDialog()
{
    TFileDialogRequest request;
    request.Title = QStringLiteral("現場に試験を追加");
    request.Filter = kTestFilter;
    request.Folder = dialogFolder();
    if (const std::optional<TFileChoice> choice = FileDialogs().openFile(request, this))
        AddTests({choice->Path});
}

void TSiteWindow::RemoveSelected()
{
    const qsizetype row = selectedRow();
    if (row < 0)
        return;
    m_data.RemovePoint(row);
    m_model->Reload();
    selectRow(std::min(row, m_data.Site.Points.size() - 1));
    siteChanged();
}

void TSiteWindow::MoveSelected(int step)
{
    const qsizetype row = selectedRow();
    const qsizetype to = row + step;
    if (row < 0 || to < 0 || to >= m_data.Site.Points.size())
        return;
    m_data.MovePoint(row, to);
    m_model->Reload();
    selectRow(to);
    siteChanged();
}

void TSiteWindow::OpenSelectedTest()
{
    const qsizetype row = selectedRow();
    if (row < 0 || !m_context.OpenTest)
        return;
    if (!m_data.Tests.value(row).Test) {
        Messages().warning(m_data.Tests.value(row).Problem, this);
        return;
    }
    m_context.OpenTest(m_data.Site.Points.at(row).File);
}

bool TSiteWindow::PrintReport()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    try {
        TWaitCursor wait;
        PrintSurveyReport(*m_printer, m_data, reportOptions(), *m_context.Setting,
                          *m_context.Tables);
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return false;
    }
    return true;
}

TSurveyReportOptions TSiteWindow::reportOptions() const
{
    TSurveyReportOptions options;
    options.Color = ColorAction->isChecked();
    options.Today = QDate::currentDate();
    if (m_context.NearbyTests)
        options.Nearby = m_context.NearbyTests(m_data);
    return options;
}

bool TSiteWindow::SaveReportAs()
{
    const std::optional<QString> path =
        chooseSavePath(QStringLiteral("報告書をPDFに保存"), kPdfFilter, QStringLiteral("pdf"));
    return path && WriteReportPdf(*path);
}

bool TSiteWindow::WriteReportPdf(const QString &path)
{
    try {
        TWaitCursor wait;
        WritePdfFile(path, [this](QPdfWriter &writer) {
            PrintSurveyReport(writer, m_data, reportOptions(), *m_context.Setting,
                              *m_context.Tables);
        });
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return false;
    }
    return true;
}

void TSiteWindow::BaseEditChange()
{
    const std::optional<int> base = ParseBaseDepth(BaseEdit->text());
    if (!base) {
        StatusLabel->setText(QStringLiteral("基礎底面の深さは 0.00～99.99 m で入力してください"));
        return;
    }
    m_data.Site.BaseDepth = *base;
    m_data.Recompute();
    m_model->Refresh();
    siteChanged();
}

void TSiteWindow::NameEditChange()
{
    m_data.Site.Name = NameEdit->text();
    siteChanged();
}

void TSiteWindow::closeEvent(QCloseEvent *event)
{
    if (!MaySiteBeLost()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TSiteWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TSiteWindow::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has finished, so a question box does not hold the dragging program.
    QMetaObject::invokeMethod(
        this, [this, files] { AddTests(files); }, Qt::QueuedConnection);
}
