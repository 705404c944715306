// The folder chooser: where it starts, what it answers, and the unreadable folder or volume.
#include "messages.h"
#include "sandbox.h"
#include "setdir.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `inside` on the chooser once it is shown modally, then answers what ChooseFolder gave.
QString chooseWith(const QString &start, std::function<void(TSetDirForm &)> inside)
{
    QTimer::singleShot(0, [inside] {
        auto *form = qobject_cast<TSetDirForm *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        inside(*form);
        if (form->isVisible())
            form->CancelBtn->click();
    });
    return ChooseFolder(start);
}

QStringList listedTexts(const TSetDirForm &form)
{
    QStringList texts;
    for (int i = 0; i < form.DirectoryListBox1->count(); ++i)
        texts.append(form.DirectoryListBox1->item(i)->text().trimmed());
    return texts;
}

class SetDirTest : public ::testing::Test
{
protected:
    SetDirTest() : scope(messages) {}
    TestSandbox box;
    TScriptedMessages messages;
    TScopedMessages scope;
};

TEST_F(SetDirTest, options_MissingStartFolderWarnsOnceAndStartsAtTheCurrentFolder)
{
    QString shown;
    const QString result =
        chooseWith(box.filePath(QStringLiteral("gone/away")), [&](TSetDirForm &form) {
            shown = form.SelectedDirectory();
            EXPECT_EQ(form.DirLabel->toolTip(), shown);
        });
    EXPECT_EQ(result, QString()); // cancelled
    EXPECT_EQ(shown, QDir::toNativeSeparators(QDir::currentPath()));
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Text, kDriveMissingMessage);
    EXPECT_EQ(messages.AskedBoxes[0].Kind, TMessageKind::Error);
}

TEST_F(SetDirTest, options_OpeningAnEntryMakesItCurrentAndOkAnswersIt)
{
    for (const char *name : {"b", "a", "a/inner"})
        QDir(box.path()).mkpath(QLatin1String(name));
    const QString result = chooseWith(box.path(), [&](TSetDirForm &form) {
        // The path down to the start folder, then its subfolders in name order.
        const QStringList listed = listedTexts(form);
        ASSERT_GE(listed.size(), 3);
        EXPECT_EQ(listed.mid(listed.size() - 3),
                  QStringList({QDir(box.path()).dirName(), "a", "b"}));
        EXPECT_EQ(form.DriveComboBox1->currentData().toString(),
                  QStorageInfo(box.path()).rootPath());

        QListWidgetItem *a = form.DirectoryListBox1->item(int(listed.size()) - 2);
        emit form.DirectoryListBox1->itemActivated(a);
        EXPECT_EQ(listedTexts(form).last(), QStringLiteral("inner"));
        EXPECT_EQ(form.DirLabel->toolTip(),
                  QDir::toNativeSeparators(box.filePath(QStringLiteral("a"))));
        form.OKBtn->click();
    });
    EXPECT_EQ(result, QDir::toNativeSeparators(box.filePath(QStringLiteral("a"))));
    EXPECT_TRUE(messages.AskedBoxes.isEmpty());
}

TEST_F(SetDirTest, options_VolumesStartWithTheSystemRootAndAnUnreadableOneCancels)
{
    const QString result = chooseWith(box.path(), [&](TSetDirForm &form) {
        ASSERT_FALSE(form.Drives().isEmpty());
        EXPECT_EQ(form.Drives().first(), QStorageInfo::root().rootPath());
        // A volume that went away after the list was made, like a drive without its disk.
        form.DriveComboBox1->addItem(QStringLiteral("gone"), box.filePath(QStringLiteral("no")));
        emit form.DriveComboBox1->activated(form.DriveComboBox1->count() - 1);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
    });
    EXPECT_EQ(result, QString());
    ASSERT_EQ(messages.AskedBoxes.size(), 1);
    EXPECT_EQ(messages.AskedBoxes[0].Text, kDriveMissingMessage);
}

} // namespace
