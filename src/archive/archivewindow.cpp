#include "archivewindow.h"

#include "archiveentry.h"
#include "archivekeeper.h"
#include "archivetablemodel.h"
#include "events.h"
#include "filedialogs.h"
#include "messages.h"
#include "safewrite.h"
#include "settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kOverwrite = QStringLiteral("同名のファイルが存在します。上書きしますか?");

QLabel *label(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

// "35.6812, 139.7671" (or with a space, or a full-width comma) in decimal degrees.
std::optional<TGeoPosition> typedPlace(const QString &text)
{
    return ParseDecimalPlace(text.trimmed().replace(u'，', u','));
}

} // namespace

TArchiveWindow::TArchiveWindow(const TArchiveWindowContext &context, QWidget *parent)
    : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("ArchiveWindow"));
    setWindowTitle(QStringLiteral("試験一覧"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new TArchiveTableModel([this] { return catalogue(); }, this);
    connect(m_model, &TArchiveTableModel::failed, this, &TArchiveWindow::showProblem);
    createControls();
    resize(1100, 640);
    Search();
}

TArchiveWindow::~TArchiveWindow() = default;

void TArchiveWindow::createControls()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);

    SearchEdit = new QLineEdit(central);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setPlaceholderText(QStringLiteral("試験コード・ファイル名・フォルダー"));
    SearchEdit->setClearButtonEnabled(true);
    SearchEdit->installEventFilter(this);
    FromCheck = new QCheckBox(QStringLiteral("開始(&B)"), central);
    FromCheck->setObjectName(QStringLiteral("FromCheck"));
    FromEdit = new QDateEdit(QDate::currentDate().addYears(-1), central);
    FromEdit->setObjectName(QStringLiteral("FromEdit"));
    ToCheck = new QCheckBox(QStringLiteral("終了(&E)"), central);
    ToCheck->setObjectName(QStringLiteral("ToCheck"));
    ToEdit = new QDateEdit(QDate::currentDate(), central);
    ToEdit->setObjectName(QStringLiteral("ToEdit"));
    for (QDateEdit *edit : {FromEdit, ToEdit}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }

    NearCombo = new QComboBox(central);
    NearCombo->setObjectName(QStringLiteral("NearCombo"));
    NearCombo->addItems({QStringLiteral("指定しない"), QStringLiteral("開いている試験"),
                         QStringLiteral("開いている現場"), QStringLiteral("位置を入力")});
    PlaceEdit = new QLineEdit(central);
    PlaceEdit->setObjectName(QStringLiteral("PlaceEdit"));
    PlaceEdit->setPlaceholderText(QStringLiteral("緯度, 経度（例 35.6812, 139.7671）"));
    PlaceEdit->setEnabled(false);
    RadiusSpin = new QSpinBox(central);
    RadiusSpin->setObjectName(QStringLiteral("RadiusSpin"));
    RadiusSpin->setRange(1, 100000);
    RadiusSpin->setSuffix(QStringLiteral(" m"));
    RadiusSpin->setValue(m_context.Setting ? m_context.Setting->ArchiveRadius : 200);

    auto *filters = new QGridLayout;
    filters->addWidget(label(QStringLiteral("検索(&S)"), SearchEdit, central), 0, 0);
    filters->addWidget(SearchEdit, 0, 1, 1, 3);
    filters->addWidget(FromCheck, 0, 4);
    filters->addWidget(FromEdit, 0, 5);
    filters->addWidget(ToCheck, 0, 6);
    filters->addWidget(ToEdit, 0, 7);
    filters->addWidget(label(QStringLiteral("近く(&N)"), NearCombo, central), 1, 0);
    filters->addWidget(NearCombo, 1, 1);
    filters->addWidget(PlaceEdit, 1, 2, 1, 2);
    filters->addWidget(label(QStringLiteral("半径(&R)"), RadiusSpin, central), 1, 4);
    filters->addWidget(RadiusSpin, 1, 5);
    filters->setColumnStretch(2, 1);

    TestTable = new QTableView(central);
    TestTable->setObjectName(QStringLiteral("TestTable"));
    TestTable->setModel(m_model);
    TestTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    TestTable->setSelectionMode(QAbstractItemView::SingleSelection);
    TestTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TestTable->setTabKeyNavigation(false);
    TestTable->verticalHeader()->hide();
    TestTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TestTable->horizontalHeader()->setStretchLastSection(true);
    TestTable->setAlternatingRowColors(true);
    TestTable->installEventFilter(this);
    const QFontMetrics metrics = TestTable->fontMetrics();
    const auto width = [&](const QString &sample) {
        return metrics.horizontalAdvance(sample) + 24;
    };
    TestTable->setColumnWidth(TArchiveTableModel::Distance, width(QStringLiteral("距離(m)__")));
    TestTable->setColumnWidth(TArchiveTableModel::TestedAt,
                              width(QStringLiteral("2024-05-17 09:30")));
    TestTable->setColumnWidth(TArchiveTableModel::Code, width(QStringLiteral("102-004-017-0025")));
    TestTable->setColumnWidth(TArchiveTableModel::Point, width(QStringLiteral("測点")));
    TestTable->setColumnWidth(TArchiveTableModel::Place,
                              width(QStringLiteral("-35.681200, -139.767100")));
    TestTable->setColumnWidth(TArchiveTableModel::FinalDepth, width(QStringLiteral("最終深さ(m)")));
    TestTable->setColumnWidth(TArchiveTableModel::MeanNsw, width(QStringLiteral("平均Nsw")));
    TestTable->setColumnWidth(TArchiveTableModel::Qa, width(QStringLiteral("qa(kN/m²)")));
    TestTable->setColumnWidth(TArchiveTableModel::Sinking, width(QStringLiteral("自沈層厚(m)_")));

    CountLabel = new QLabel(central);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    OpenButton = new QPushButton(QStringLiteral("開く(&O)"), central);
    OpenButton->setObjectName(QStringLiteral("OpenButton"));
    OpenButton->setToolTip(QStringLiteral("メインウィンドウで開きます（Enter）"));
    AddButton = new QPushButton(QStringLiteral("現場に追加(&A)"), central);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    AddButton->setToolTip(QStringLiteral("開いている現場の測点にします（Ctrl+J）"));
    SaveButton = new QPushButton(QStringLiteral("別名で保存(&V)..."), central);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setToolTip(QStringLiteral("試験ファイルをほかの場所に保存します（Ctrl+S）"));
    auto *closeButton = new QPushButton(QStringLiteral("閉じる"), central);
    closeButton->setObjectName(QStringLiteral("CloseButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CountLabel, 1);
    for (QPushButton *button : {OpenButton, AddButton, SaveButton, closeButton}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    auto *layout = new QVBoxLayout(central);
    layout->addLayout(filters);
    layout->addWidget(TestTable, 1);
    layout->addLayout(buttons);
    statusBar()->setSizeGripEnabled(true);

    const auto shortcut = [this](const QKeySequence &keys, auto handler) {
        auto *a = new QAction(this);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        addAction(a);
    };
    shortcut(QKeySequence::Find, [this] {
        SearchEdit->setFocus();
        SearchEdit->selectAll();
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_J), [this] { AddSelectedToSite(); });
    shortcut(QKeySequence::Save, [this] { SaveSelectedAs(); });
    shortcut(QKeySequence(Qt::Key_F5), [this] { Search(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });

    // Typing searches once the user pauses, not at every letter.
    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(250);
    connect(m_typing, &QTimer::timeout, this, &TArchiveWindow::Search);
    connect(SearchEdit, &QLineEdit::textChanged, m_typing, qOverload<>(&QTimer::start));
    connect(SearchEdit, &QLineEdit::returnPressed, this, &TArchiveWindow::Search);
    connect(PlaceEdit, &QLineEdit::textChanged, m_typing, qOverload<>(&QTimer::start));
    connect(FromCheck, &QCheckBox::toggled, FromEdit, &QWidget::setEnabled);
    connect(ToCheck, &QCheckBox::toggled, ToEdit, &QWidget::setEnabled);
    for (QCheckBox *check : {FromCheck, ToCheck})
        connect(check, &QCheckBox::toggled, this, &TArchiveWindow::Search);
    for (QDateEdit *edit : {FromEdit, ToEdit})
        connect(edit, &QDateEdit::dateChanged, m_typing, qOverload<>(&QTimer::start));
    connect(RadiusSpin, &QSpinBox::valueChanged, m_typing, qOverload<>(&QTimer::start));
    connect(NearCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        PlaceEdit->setEnabled(index == NearTypedPlace);
        if (index == NearTypedPlace)
            PlaceEdit->setFocus();
        Search();
    });
    connect(TestTable, &QTableView::doubleClicked, this, [this] { OpenSelected(); });
    connect(OpenButton, &QPushButton::clicked, this, [this] { OpenSelected(); });
    connect(AddButton, &QPushButton::clicked, this, [this] { AddSelectedToSite(); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveSelectedAs(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(TestTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TArchiveWindow::updateButtons);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TArchiveWindow::updateButtons);
    setTabOrder(SearchEdit, FromCheck);
    setTabOrder(FromCheck, FromEdit);
    setTabOrder(FromEdit, ToCheck);
    setTabOrder(ToCheck, ToEdit);
    setTabOrder(ToEdit, NearCombo);
    setTabOrder(NearCombo, PlaceEdit);
    setTabOrder(PlaceEdit, RadiusSpin);
    setTabOrder(RadiusSpin, TestTable);
}

bool TArchiveWindow::eventFilter(QObject *watched, QEvent *event)
{
    // From the search field the arrow keys go down into the list, as in a search box.
    if (watched == SearchEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) {
            TestTable->setFocus();
            return true;
        }
    }
    if (watched == TestTable && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            OpenSelected();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

TCatalogue *TArchiveWindow::catalogue()
{
    if (!m_context.Keeper || !m_context.Setting)
        return nullptr;
    TCatalogue *catalogue = m_context.Keeper->Catalogue(*m_context.Setting);
    if (!catalogue) {
        // Asked for by the user: tried again at once the next time.
        showProblem(m_context.Keeper->Problem());
        m_context.Keeper->Retry();
    }
    return catalogue;
}

std::optional<TArchiveQuery> TArchiveWindow::queryOfFilters(QString &why)
{
    TArchiveQuery query;
    query.Text = SearchEdit->text().trimmed();
    if (FromCheck->isChecked())
        query.From = FromEdit->date();
    if (ToCheck->isChecked())
        query.To = ToEdit->date();
    query.Radius = RadiusSpin->value();
    switch (NearCombo->currentIndex()) {
    case NearOpenTest:
        query.Near = m_context.OpenTestPlace ? m_context.OpenTestPlace(why) : std::nullopt;
        break;
    case NearOpenSite:
        query.Near = m_context.OpenSitePlace ? m_context.OpenSitePlace(why) : std::nullopt;
        break;
    case NearTypedPlace:
        query.Near = typedPlace(PlaceEdit->text());
        if (!query.Near)
            why = QStringLiteral("位置は「緯度, 経度」を10進の度で入力してください"
                                 "（南緯・西経は負）");
        break;
    default:
        return query;
    }
    if (!query.Near)
        return std::nullopt;
    return query;
}

void TArchiveWindow::Search()
{
    m_typing->stop();
    QString why;
    const std::optional<TArchiveQuery> query = queryOfFilters(why);
    TestTable->setColumnHidden(TArchiveTableModel::Distance, !query || !query->Near);
    if (!query) {
        m_model->Clear();
        CountLabel->setText(QString());
        statusBar()->showMessage(why);
        return;
    }
    const TWaitCursor hourglass;
    TCatalogue *catalogue = this->catalogue();
    if (!catalogue) {
        m_model->Clear();
        CountLabel->setText(QString());
        return;
    }
    m_model->Show(*query);
    statusBar()->clearMessage();
    if (m_model->rowCount() > 0)
        TestTable->selectRow(0);
    if (query->Near) {
        CountLabel->setText(QStringLiteral("半径 %1 m 以内に %2 件")
                                .arg(RadiusSpin->value())
                                .arg(m_model->rowCount()));
        return;
    }
    try {
        CountLabel->setText(QStringLiteral("%1 件").arg(catalogue->Count(*query)));
    } catch (const ECatalogueError &e) {
        showProblem(e.message());
    }
}

void TArchiveWindow::showProblem(const QString &text)
{
    statusBar()->showMessage(QString(text).replace(u'\r', u' '));
}

void TArchiveWindow::updateButtons()
{
    const bool selected = TestTable->selectionModel()->hasSelection();
    OpenButton->setEnabled(selected);
    AddButton->setEnabled(selected && m_context.AddToSite);
    SaveButton->setEnabled(selected);
}

std::optional<TArchiveEntry> TArchiveWindow::selectedEntry()
{
    const QModelIndexList rows = TestTable->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("試験を選んでください"));
        return std::nullopt;
    }
    return m_model->Hit(rows.first().row()).Entry;
}

bool TArchiveWindow::OpenSelected()
{
    const std::optional<TArchiveEntry> entry = selectedEntry();
    TCatalogue *catalogue = entry ? this->catalogue() : nullptr;
    if (!catalogue || !m_context.OpenTest)
        return false;
    QString file;
    try {
        const TWaitCursor hourglass;
        file = ArchivedFileToOpen(*catalogue, *entry, m_context.RestoreFolder);
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return false;
    }
    if (file != ArchivedPath(*entry))
        statusBar()->showMessage(QStringLiteral("元のファイル %1 がないか変わっているため、"
                                                "アーカイブの内容を開きました: %2")
                                     .arg(QDir::toNativeSeparators(ArchivedPath(*entry)),
                                          QDir::toNativeSeparators(file)));
    m_context.OpenTest(file);
    return true;
}

bool TArchiveWindow::AddSelectedToSite()
{
    const std::optional<TArchiveEntry> entry = selectedEntry();
    if (!entry || !m_context.AddToSite)
        return false;
    if (ArchivedFileIsIntact(*entry))
        return m_context.AddToSite(ArchivedPath(*entry));
    // A site names its tests by their files: a test whose file is gone is saved again first.
    Messages().information(QStringLiteral("元のファイル %1 がないか変わっています。\r"
                                          "アーカイブの内容を保存してから現場に追加します。")
                               .arg(QDir::toNativeSeparators(ArchivedPath(*entry))),
                           this);
    const std::optional<QString> saved = saveCopy(*entry);
    return saved && m_context.AddToSite(*saved);
}

bool TArchiveWindow::SaveSelectedAs()
{
    const std::optional<TArchiveEntry> entry = selectedEntry();
    return entry && saveCopy(*entry);
}

std::optional<QString> TArchiveWindow::saveCopy(const TArchiveEntry &entry)
{
    TCatalogue *catalogue = this->catalogue();
    if (!catalogue)
        return std::nullopt;
    const QString suffix = QFileInfo(entry.FileName).suffix();
    TFileDialogRequest request;
    request.Title = QStringLiteral("試験ファイルを保存");
    request.Filter = QStringLiteral("試験データ(*.%1)|*.%1|すべてのファイル(*.*)|*.*").arg(suffix);
    request.FileName = entry.FileName;
    if (m_context.Setting && QFileInfo(m_context.Setting->FileMode.SaveDir).isDir())
        request.Folder = m_context.Setting->FileMode.SaveDir;
    const std::optional<TFileChoice> choice = FileDialogs().saveFile(request, this);
    if (!choice)
        return std::nullopt;
    QString path = choice->Path;
    if (QFileInfo(path).suffix().isEmpty() && !suffix.isEmpty())
        path += u'.' + suffix;
    if (QFileInfo::exists(path) && Messages().yesNo(kOverwrite, this) != QMessageBox::Yes)
        return std::nullopt;
    try {
        const TWaitCursor hourglass;
        WriteFileAtomically(path, catalogue->Bytes(entry.Id));
    } catch (const ETessmarkError &e) {
        Messages().error(e.message(), this);
        return std::nullopt;
    }
    statusBar()->showMessage(
        QStringLiteral("保存しました: %1").arg(QDir::toNativeSeparators(path)));
    return path;
}
