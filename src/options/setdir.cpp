#include "setdir.h"

#include "messages.h"
#include "placement.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

const QString kDriveMissingMessage =
    QStringLiteral("ﾄﾞﾗｲﾌﾞが存在しません。FDを選択した場合にはFDが入っていない場合があります。"
                   "FDを一時ﾌｧｲﾙﾌｫﾙﾀﾞとして選択する場合には常にFDをﾄﾞﾗｲﾌﾞに挿入しておいてください");

namespace {

constexpr int kPathRole = Qt::UserRole;

// The system's volumes stand for drives: the one holding the system root first, then by path.
QList<QStorageInfo> volumes()
{
    QList<QStorageInfo> list;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid())
            list.append(volume);
    const QString systemRoot = QStorageInfo::root().rootPath();
    std::stable_sort(list.begin(), list.end(), [&](const QStorageInfo &a, const QStorageInfo &b) {
        const bool aRoot = a.rootPath() == systemRoot;
        const bool bRoot = b.rootPath() == systemRoot;
        if (aRoot != bRoot)
            return aRoot;
        return a.rootPath() < b.rootPath();
    });
    return list;
}

// A folder whose entries can really be listed: the permission bits alone do not tell, for
// example for an administrator, a network share that stopped answering, or a drive without
// its medium.
bool isReadableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    std::error_code error;
    const std::filesystem::directory_iterator entries(
        std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    return !error;
}

} // namespace

TSetDirForm::TSetDirForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetDirForm"));
    setWindowTitle(QStringLiteral("一時ﾌｧｲﾙ保存位置設定"));

    DirLabel = new QLabel(this);
    DirLabel->setObjectName(QStringLiteral("DirLabel"));
    DirLabel->setTextFormat(Qt::PlainText);
    DirLabel->setMinimumWidth(1);
    DirectoryListBox1 = new QListWidget(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch(1);
    auto *lists = new QVBoxLayout;
    lists->addWidget(DirectoryListBox1, 1);
    lists->addWidget(DriveComboBox1);
    auto *body = new QHBoxLayout;
    body->addLayout(lists, 1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DirLabel);
    layout->addLayout(body, 1);

    FormCreate();
    // Room for a few folder levels; a fixed box like the other dialogs of the program.
    setFixedSize(QSize(320, 240).expandedTo(sizeHint()));
    CentreOnScreen(this);
}

void TSetDirForm::FormCreate()
{
    for (const QStorageInfo &volume : volumes()) {
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        const QString name = volume.name();
        DriveComboBox1->addItem(name.isEmpty() ? root : root + QStringLiteral(" [") + name + u']',
                                volume.rootPath());
    }
    connect(DriveComboBox1, &QComboBox::activated, this, &TSetDirForm::DriveComboBox1Change);
    // A double click opens an entry; Enter is taken before the list sees it (eventFilter), so
    // it opens the entry instead of also pressing the default button.
    connect(DirectoryListBox1, &QListWidget::itemActivated, this,
            &TSetDirForm::DirectoryListBox1Open);
    DirectoryListBox1->installEventFilter(this);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSetDirForm::SetDirectory(const QString &folder)
{
    if (folder.isEmpty() || !isReadableFolder(folder))
        return false;
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    fillFolderList(path);
    selectDriveOf(path);
    return true;
}

QString TSetDirForm::Directory() const
{
    return QDir::toNativeSeparators(m_directory);
}

bool TSetDirForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DirectoryListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DirectoryListBox1Open(DirectoryListBox1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The label shows the current folder, shortened in the middle when the path is long.
void TSetDirForm::showDirectory()
{
    const QString path = Directory();
    DirLabel->setToolTip(path);
    DirLabel->setText(DirLabel->fontMetrics().elidedText(path, Qt::ElideMiddle,
                                                         qMax(DirLabel->width(), width() - 24)));
}

QStringList TSetDirForm::Drives() const
{
    QStringList roots;
    for (int i = 0; i < DriveComboBox1->count(); ++i)
        roots.append(DriveComboBox1->itemData(i).toString());
    return roots;
}

void TSetDirForm::selectDriveOf(const QString &folder)
{
    const int index = DriveComboBox1->findData(QStorageInfo(folder).rootPath());
    if (index >= 0)
        DriveComboBox1->setCurrentIndex(index);
}

// The path from the volume's root down to `folder`, each level indented one step further, then
// the subfolders of `folder`; `folder` itself is selected.
void TSetDirForm::fillFolderList(const QString &folder)
{
    const QString root = QDir::cleanPath(QStorageInfo(folder).rootPath());
    QStringList path;
    QDir dir(folder);
    path.prepend(dir.absolutePath());
    while (QDir::cleanPath(dir.absolutePath()) != root && dir.cdUp())
        path.prepend(dir.absolutePath());

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QString &fullPath, int level, const QIcon &icon) {
        const QString name = QFileInfo(fullPath).fileName();
        auto *item = new QListWidgetItem(
            icon,
            QString(level * 2, u' ') + (name.isEmpty() ? QDir::toNativeSeparators(fullPath) : name),
            DirectoryListBox1);
        item->setData(kPathRole, fullPath);
        return item;
    };

    DirectoryListBox1->clear();
    QListWidgetItem *current = nullptr;
    for (int level = 0; level < path.size(); ++level)
        current = add(path.at(level), level, open);
    const QStringList children =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children)
        add(QDir(folder).filePath(child), int(path.size()), closed);
    DirectoryListBox1->setCurrentItem(current);
    m_directory = folder;
    showDirectory();
}

// An entry that cannot be listed does not become current: the chooser stays where it was, so
// OK never answers a folder that cannot be read.
void TSetDirForm::DirectoryListBox1Open(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString folder = item->data(kPathRole).toString();
    if (!isReadableFolder(folder)) {
        Messages().error(kDriveMissingMessage, this);
        return;
    }
    fillFolderList(folder);
}

void TSetDirForm::DriveComboBox1Change(int index)
{
    const QString root = DriveComboBox1->itemData(index).toString();
    if (!QStorageInfo(root).isReady() || !isReadableFolder(root)) {
        Messages().error(kDriveMissingMessage, this);
        reject();
        return;
    }
    fillFolderList(QDir::cleanPath(root));
}

QString ChooseFolder(const QString &startFolder, QWidget *parent)
{
    TSetDirForm form(parent);
    // An empty field simply starts where the program is.
    const QString start = startFolder.isEmpty() ? QDir::currentPath() : startFolder;
    if (!form.SetDirectory(start)) {
        Messages().error(kDriveMissingMessage, parent);
        form.SetDirectory(QDir::currentPath());
    }
    if (form.exec() != QDialog::Accepted)
        return QString();
    return form.Directory();
}
