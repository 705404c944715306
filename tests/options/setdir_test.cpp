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
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

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

// Takes from this thread, while it lives, the capabilities by which an administrator lists any
// folder, so a folder without read permission cannot be listed even when the tests run as root.
class TWithoutReadOverride
{
public:
    TWithoutReadOverride()
    {
#ifdef __linux__
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &m_header, reduced) == 0;
#endif
    }
    ~TWithoutReadOverride()
    {
#ifdef __linux__
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
#endif
    }
    TWithoutReadOverride(const TWithoutReadOverride &) = delete;
    TWithoutReadOverride &operator=(const TWithoutReadOverride &) = delete;

private:
#ifdef __linux__
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
#endif
    bool m_active = false;
};

// Moves the list's highlight with Home and Down to the entry named `name`.
void highlight(TSetDirForm &form, const QString &name)
{
    QListWidget *list = form.DirectoryListBox1;
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count() && list->currentItem()->text().trimmed() != name; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentItem()->text().trimmed(), name);
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
            shown = form.Directory();
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

// By keyboard: Up and Down move the highlight, Enter opens the highlighted entry however deep,
// and Enter on OK answers the current folder. An entry that cannot be listed stays closed.
TEST_F(SetDirTest, options_KeyboardOpensEntriesAndOkAnswersTheCurrentFolder)
{
    for (const char *name : {"a/inner", "b", "locked"})
        QDir(box.path()).mkpath(QLatin1String(name));
    const QString locked = box.filePath(QStringLiteral("locked"));
    QFile::setPermissions(locked, {});
    const TWithoutReadOverride withoutOverride;
    std::error_code error;
    std::filesystem::directory_iterator(QFile::encodeName(locked).toStdString(), error);
    if (!error)
        GTEST_SKIP() << "a folder without permissions can still be listed here";

    const struct
    {
        const char *what;
        QStringList opened;    // entries opened with Enter, in turn
        const char *highlight; // then highlighted without opening
        const char *answer;    // below the start folder
        int messages;
    } cases[] = {
        {"two levels down", {"a", "inner"}, nullptr, "a/inner", 0},
        {"highlighted only", {}, "b", "", 0},
        {"unreadable", {"locked"}, nullptr, "", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.AskedBoxes.clear();
        const QString result = chooseWith(box.path(), [&](TSetDirForm &form) {
            for (const QString &name : c.opened) {
                highlight(form, name);
                QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
                ASSERT_TRUE(form.isVisible());
            }
            if (c.highlight)
                highlight(form, QLatin1String(c.highlight));
            form.OKBtn->setFocus();
            QTest::keyClick(form.OKBtn, Qt::Key_Return);
            EXPECT_EQ(form.result(), QDialog::Accepted);
        });
        EXPECT_EQ(result,
                  QDir::toNativeSeparators(QDir::cleanPath(box.filePath(QLatin1String(c.answer)))));
        EXPECT_EQ(messages.texts(), QStringList(c.messages, kDriveMissingMessage));
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
