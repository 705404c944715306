// The folder chooser for the transfer folder: the machine's volumes and the folder list of one.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Shown when a folder or volume cannot be read.
extern const QString kDriveMissingMessage;

class TSetDirForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSetDirForm(QWidget *parent = nullptr);

    // Makes `folder` current and selects the volume that holds it; false (nothing changed) when
    // the folder does not exist or cannot be read.
    bool SetDirectory(const QString &folder);
    // The current folder, shown above the list: what OK answers. Up and Down only move the
    // highlight; Enter or a double click opens the highlighted entry and makes it current.
    QString Directory() const;
    // The root folders of the volumes listed, in list order.
    QStringList Drives() const;

    QLabel *DirLabel = nullptr;
    QListWidget *DirectoryListBox1 = nullptr;
    QComboBox *DriveComboBox1 = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void DriveComboBox1Change(int index);
    void DirectoryListBox1Open(QListWidgetItem *item);
    void fillFolderList(const QString &folder);
    void selectDriveOf(const QString &folder);
    void showDirectory();

    QString m_directory;
};

// Lets the user choose a folder, starting at `startFolder` (the message box first, and the
// process's current folder instead, when it cannot be read). Answers the folder chosen with OK,
// or an empty text.
QString ChooseFolder(const QString &startFolder, QWidget *parent = nullptr);
