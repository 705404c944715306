// The settings dialog's page for the test archive.
#include "option.h"

#include "catalogue.h"
#include "messages.h"
#include "settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

void TPagesDlg::createArchiveSheet()
{
    ArchiveSheet = new QWidget;
    ArchiveSheet->setObjectName(QStringLiteral("ArchiveSheet"));
    auto *grid = new QGridLayout(ArchiveSheet);

    ArchiveLocalRB = new QRadioButton(QStringLiteral("このコンピューター(&C)"), ArchiveSheet);
    ArchiveLocalRB->setObjectName(QStringLiteral("ArchiveLocalRB"));
    auto *localPath = new QLabel(
        QDir::toNativeSeparators(DefaultCataloguePath(ProgramDataFolder())), ArchiveSheet);
    localPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    localPath->setWordWrap(true);
    ArchiveUrlRB = new QRadioButton(QStringLiteral("ファイルまたは共有サーバー(&U)"), ArchiveSheet);
    ArchiveUrlRB->setObjectName(QStringLiteral("ArchiveUrlRB"));
    auto *choice = new QButtonGroup(ArchiveSheet);
    choice->addButton(ArchiveLocalRB);
    choice->addButton(ArchiveUrlRB);
    ArchiveUrlEdit = new QLineEdit(ArchiveSheet);
    ArchiveUrlEdit->setObjectName(QStringLiteral("ArchiveUrlEdit"));
    ArchiveUrlEdit->setPlaceholderText(QStringLiteral("postgresql://USER@HOST:5432/DBNAME"));
    auto *urlNote = new QLabel(QStringLiteral("ファイルのパス、sqlite:パス、または "
                                              "postgresql://ユーザー@ホスト:ポート/データベース名。"
                                              "パスワードは書かず、~/.pgpass に書いてください。"),
                               ArchiveSheet);
    urlNote->setWordWrap(true);
    connect(ArchiveUrlRB, &QRadioButton::toggled, ArchiveUrlEdit, &QWidget::setEnabled);

    ArchiveOnOpenSaveCB = new QCheckBox(
        QStringLiteral("開いた試験・保存した試験もアーカイブに入れる(&A)"), ArchiveSheet);
    ArchiveOnOpenSaveCB->setObjectName(QStringLiteral("ArchiveOnOpenSaveCB"));
    ArchiveRadiusSpin = new QSpinBox(ArchiveSheet);
    ArchiveRadiusSpin->setObjectName(QStringLiteral("ArchiveRadiusSpin"));
    ArchiveRadiusSpin->setRange(1, 100000);
    ArchiveRadiusSpin->setSuffix(QStringLiteral(" m"));

    grid->addWidget(new QLabel(QStringLiteral("試験アーカイブの保管場所"), ArchiveSheet), 0, 0, 1,
                    3);
    grid->addWidget(ArchiveLocalRB, 1, 0, 1, 3);
    grid->addWidget(localPath, 2, 1, 1, 2);
    grid->addWidget(ArchiveUrlRB, 3, 0, 1, 3);
    grid->addWidget(ArchiveUrlEdit, 4, 1, 1, 2);
    grid->addWidget(urlNote, 5, 1, 1, 2);
    grid->addWidget(ArchiveOnOpenSaveCB, 6, 0, 1, 3);
    auto *radiusLabel = new QLabel(QStringLiteral("近くとみなす半径(&R)"), ArchiveSheet);
    radiusLabel->setBuddy(ArchiveRadiusSpin);
    grid->addWidget(radiusLabel, 7, 0, 1, 2);
    grid->addWidget(ArchiveRadiusSpin, 7, 2, Qt::AlignLeft);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(8, 1);
    PageControl1->addTab(ArchiveSheet, QStringLiteral("アーカイブ"));
}

void TPagesDlg::loadArchiveSheet()
{
    const TSetting &s = m_setting;
    const bool local = s.ArchiveDatabase.trimmed().isEmpty();
    ArchiveLocalRB->setChecked(local);
    ArchiveUrlRB->setChecked(!local);
    ArchiveUrlEdit->setEnabled(!local);
    ArchiveUrlEdit->setText(s.ArchiveDatabase);
    ArchiveOnOpenSaveCB->setChecked(s.ArchiveOnOpenSave);
    ArchiveRadiusSpin->setValue(s.ArchiveRadius);
}

bool TPagesDlg::storeArchiveSheet()
{
    const QString url = ArchiveUrlRB->isChecked() ? ArchiveUrlEdit->text().trimmed() : QString();
    try {
        // Only the form is checked here: a server away today may be back tomorrow.
        ParseCatalogueUrl(url, ProgramDataFolder());
    } catch (const ECatalogueError &e) {
        PageControl1->setCurrentWidget(ArchiveSheet);
        Messages().warning(e.message(), this);
        ArchiveUrlEdit->setFocus();
        return false;
    }
    TSetting &s = m_setting;
    s.ArchiveDatabase = url;
    s.ArchiveOnOpenSave = ArchiveOnOpenSaveCB->isChecked();
    s.ArchiveRadius = ArchiveRadiusSpin->value();
    return true;
}
