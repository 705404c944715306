// The archive from the main window: tests going in as they are opened and saved (or not, or
// with a catalogue that fails), the list 試験一覧 searching near the open test and opening the
// chosen one, also when its file is gone, and the settings page refusing a password.
#include "archivekeeper.h"
#include "archivetablemodel.h"
#include "archivewindow.h"
#include "catalogue.h"
#include "form_fixture.h"
#include "option.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace {

class ArchiveWindowTest : public FormFixture
{
protected:
    qint64 archived(Tgrid_form &form)
    {
        TCatalogue *catalogue = form.Archive().Catalogue(form.Setting);
        return catalogue ? catalogue->Count({}) : -1;
    }
};

} // namespace

TEST_F(ArchiveWindowTest, OpenedAndSavedTestsGoInUnlessTurnedOffAndAFailureOnlyGivesANote)
{
    struct Case
    {
        const char *name;
        bool on;
        QString database; // in the sandbox
        qint64 afterOpen;
        qint64 afterSave;
    };
    const Case cases[] = {
        {"on", true, QStringLiteral("on.sqlite"), 1, 2},
        {"off", false, QStringLiteral("off.sqlite"), 0, 0},
        // A catalogue that cannot be made: the test opens and saves all the same.
        {"unreachable", true, QStringLiteral("/dev/null/archive.sqlite"), -1, -1},
    };
    for (const Case &c : cases) {
        auto form = started();
        form->Setting.ArchiveOnOpenSave = c.on;
        form->Setting.ArchiveDatabase =
            c.database.startsWith(u'/') ? c.database : box.filePath(c.database);
        ASSERT_EQ(form->OpenDataFile(sample(QStringLiteral("sample.ktd"))), 0) << c.name;
        form->Archive().Retry();
        EXPECT_EQ(archived(*form), c.afterOpen) << c.name;
        const QString saved = QDir(dataDir()).filePath(QStringLiteral("saved-%1.kgd").arg(c.name));
        ASSERT_TRUE(form->SaveDataFile(saved)) << c.name;
        EXPECT_EQ(form->DataState, 1) << c.name;
        form->Archive().Retry();
        EXPECT_EQ(archived(*form), c.afterSave) << c.name;
        EXPECT_EQ(form->StatusBar1->currentMessage().contains(QStringLiteral("試験アーカイブ")),
                  c.afterOpen < 0)
            << c.name << ": " << form->StatusBar1->currentMessage().toStdString();
        EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << c.name;
    }
}

TEST_F(ArchiveWindowTest, TheListFindsTestsNearTheOpenOneAndOpensTheChosenOneEvenWhenItsFileIsGone)
{
    auto form = started();
    for (int n = 1; n <= 5; ++n) {
        const QString name = QStringLiteral("No%1.ktd").arg(n);
        QFile::copy(QDir(samplesDir()).filePath(QStringLiteral("site/") + name),
                    QDir(dataDir()).filePath(name));
        ASSERT_EQ(form->OpenDataFile(QDir(dataDir()).filePath(name)), 0);
    }
    ASSERT_EQ(form->OpenDataFile(QDir(dataDir()).filePath(QStringLiteral("No1.ktd"))), 0);

    QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
    auto *window = qobject_cast<TArchiveWindow *>(form->ArchiveWindow());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->Model()->rowCount(), 5);
    window->RadiusSpin->setValue(9);
    window->NearCombo->setCurrentIndex(TArchiveWindow::NearOpenTest);
    // No1 itself, then No5 (5.0 m), No4 (6.1 m) and No2 (7.9 m); No3 lies 10 m away.
    QStringList files;
    for (int row = 0; row < window->Model()->rowCount(); ++row)
        files.append(window->Model()->Hit(row).Entry.FileName);
    ASSERT_EQ(files, (QStringList{"No1.ktd", "No5.ktd", "No4.ktd", "No2.ktd"}));

    // Its file gone, the archived bytes are opened from a copy.
    const QString gone = QDir(dataDir()).filePath(QStringLiteral("No2.ktd"));
    const QByteArray bytes = [&] {
        QFile file(gone);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    ASSERT_TRUE(QFile::remove(gone));
    window->TestTable->setFocus();
    window->TestTable->selectRow(3);
    QTest::keyClick(window->TestTable, Qt::Key_Return);
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("No2.ktd")));
    EXPECT_NE(form->Test.CurrentFile, gone);
    QFile restored(form->Test.CurrentFile);
    ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
    EXPECT_EQ(restored.readAll(), bytes);
    EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(ArchiveWindowTest, TheSettingsPageRefusesAPasswordAndStoresTheChoice)
{
    TSetting setting;
    TPagesDlg dialog(setting);
    dialog.ArchiveUrlRB->setChecked(true);
    dialog.ArchiveUrlEdit->setText(QStringLiteral("postgresql://survey:secret@db/tests"));
    dialog.OKBtnClick();
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_TRUE(messages.AskedBoxes.first().Text.contains(QStringLiteral(".pgpass")));
    EXPECT_TRUE(setting.ArchiveDatabase.isEmpty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.ArchiveUrlEdit->setText(QStringLiteral("postgresql://survey@db.office/tests"));
    dialog.ArchiveOnOpenSaveCB->setChecked(false);
    dialog.ArchiveRadiusSpin->setValue(350);
    dialog.OKBtnClick();
    EXPECT_EQ(setting.ArchiveDatabase, QStringLiteral("postgresql://survey@db.office/tests"));
    EXPECT_FALSE(setting.ArchiveOnOpenSave);
    EXPECT_EQ(setting.ArchiveRadius, 350);
}
