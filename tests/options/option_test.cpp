// The settings dialog on its own: what it shows, what OK stores, the greyed group and the keys.
#include "numedit.h"
#include "option.h"
#include "sandbox.h"
#include "settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Every stored value of a settings record, as the store would hold it.
QMap<QString, QString> storedTexts(const TSetting &setting)
{
    TestSandbox box;
    SaveSettings(setting, box.settings());
    QMap<QString, QString> texts;
    for (const QString &key : box.settings().allKeys())
        texts.insert(key, box.settings().value(key).toString());
    return texts;
}

TSetting customSetting()
{
    TSetting s;
    s.Depth1 = 7;
    s.NswMax = 300;
    s.NMax = 30;
    s.TorqueMax = 120;
    s.WswMode = true;
    s.TorqueGraph = true;
    s.DNsw = 260;
    s.KutenFlag = true;
    s.KutenMaxD = 3;
    s.KutenMinN = 15;
    s.Port = 3;
    s.FileMode.TempDir = QStringLiteral("/data/transfer");
    s.RowNum = 44;
    return s;
}

void typeInto(TSettingUpDown *field, const QString &text)
{
    field->Buddy()->clear();
    QTest::keyClicks(field->Buddy(), text);
}

TEST(PagesDlgTest, options_ShowsTheSettingsAndOkWithoutChangeStoresThemAgain)
{
    TSetting setting = customSetting();
    const QMap<QString, QString> before = storedTexts(setting);
    TPagesDlg dialog(setting);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tessmark　各種設定"));

    const QStringList shown = {
        dialog.UDDepth1->Buddy()->text(), dialog.UDNswMax->Buddy()->text(),
        dialog.UDNmax->Buddy()->text(),   dialog.UDTorqueMax->Buddy()->text(),
        dialog.UDDNsw->Buddy()->text(),   dialog.UDmaxD->Buddy()->text(),
        dialog.UDminN->Buddy()->text(),   dialog.UDRowNum->Buddy()->text(),
        dialog.CommCombo->currentText(),  dialog.DirEdit->text(),
    };
    EXPECT_EQ(shown, QStringList({"7", "250", "30", "120", "260", "3", "15", "44", "Comm3",
                                  "/data/transfer"}));
    EXPECT_EQ(dialog.findChild<TNumEdit *>(QStringLiteral("NumEdit6")), dialog.UDNswMax->Buddy());
    EXPECT_TRUE(dialog.WswModeCB->isChecked());
    EXPECT_FALSE(dialog.NaModeCB->isChecked());
    EXPECT_TRUE(dialog.TorqueGraphCB->isChecked());

    dialog.OKBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(storedTexts(setting), before);
}

TEST(PagesDlgTest, options_OkStoresEachFieldByItsRule)
{
    const struct
    {
        const char *what;
        std::function<void(TPagesDlg &)> edit;
        std::function<int(const TSetting &)> field;
        int stored;
    } cases[] = {
        {"Nsw axis shown without its lead", [](TPagesDlg &d) { typeInto(d.UDNswMax, "100"); },
         [](const TSetting &s) { return s.NswMax; }, 150},
        {"print rows down to a multiple of 4", [](TPagesDlg &d) { typeInto(d.UDRowNum, "47"); },
         [](const TSetting &s) { return s.RowNum; }, 44},
        {"port from the list", [](TPagesDlg &d) { d.CommCombo->setCurrentIndex(2); },
         [](const TSetting &s) { return s.Port; }, 3},
        {"port from its fifth character",
         [](TPagesDlg &d) { d.CommCombo->setEditText(QStringLiteral("Comm12")); },
         [](const TSetting &s) { return s.Port; }, 1},
        {"no digit keeps the port",
         [](TPagesDlg &d) { d.CommCombo->setEditText(QStringLiteral("Commx")); },
         [](const TSetting &s) { return s.Port; }, 5},
        {"too short keeps the port",
         [](TPagesDlg &d) { d.CommCombo->setEditText(QStringLiteral("COM")); },
         [](const TSetting &s) { return s.Port; }, 5},
        {"depth step", [](TPagesDlg &d) { typeInto(d.UDDepth1, "12"); },
         [](const TSetting &s) { return s.Depth1; }, 12},
        {"smallest N may be zero",
         [](TPagesDlg &d) {
             d.KutenNukiCB->click(); // the group takes input only while ticked
             typeInto(d.UDminN, "0");
         },
         [](const TSetting &s) { return s.KutenMinN; }, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TSetting setting;
        setting.Port = 5;
        TPagesDlg dialog(setting);
        c.edit(dialog);
        dialog.OKBtn->click();
        EXPECT_EQ(c.field(setting), c.stored);
    }
}

TEST(PagesDlgTest, options_PortBoxShowsTheDevicePathOfTheChosenPort)
{
    TSetting setting;
    TPagesDlg dialog(setting);
    dialog.PortPath = [](int n) {
        return n == 4 ? QStringLiteral("/dev/ttyUSB3") : QString();
    };
    dialog.CommCombo->setEditText(QStringLiteral("Comm4"));
    EXPECT_EQ(dialog.CommPathLabel->text(), QStringLiteral("/dev/ttyUSB3"));
    dialog.CommCombo->setEditText(QStringLiteral("Comm7"));
    EXPECT_EQ(dialog.CommPathLabel->text(), QStringLiteral("(ﾎﾟｰﾄなし)"));
}

// The practice link and a USB adapter were reachable only by editing the settings file with the
// program closed: the page sets each port's device, stored only by OK.
TEST(PagesDlgTest, options_EachPortsDeviceIsSetOnThePageAndStoredByOk)
{
    for (const bool ok : {true, false}) {
        TSetting setting;
        setting.Comm[2] = QStringLiteral("/dev/ttyUSB9");
        TPagesDlg dialog(setting);
        dialog.PortPath = [](int n) {
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
        };
        dialog.CommCombo->setEditText(QStringLiteral("Comm3"));
        EXPECT_EQ(dialog.CommDeviceEdit->text(), QStringLiteral("/dev/ttyUSB9"));
        dialog.CommDeviceEdit->clear();
        QTest::keyClicks(dialog.CommDeviceEdit, QStringLiteral(" "));
        EXPECT_EQ(dialog.CommPathLabel->text(), QStringLiteral("/dev/ttyS2")); // the system's

        dialog.CommCombo->setEditText(QStringLiteral("Comm1"));
        EXPECT_TRUE(dialog.CommDeviceEdit->text().isEmpty());
        EXPECT_EQ(dialog.CommDeviceEdit->placeholderText(), QStringLiteral("/dev/ttyS0"));
        QTest::keyClicks(dialog.CommDeviceEdit, QStringLiteral("/tmp/vantrell"));
        EXPECT_EQ(dialog.CommPathLabel->text(), QStringLiteral("/tmp/vantrell"));
        dialog.CommCombo->setEditText(QStringLiteral("Comm2"));
        dialog.CommCombo->setEditText(QStringLiteral("Comm1")); // kept while the dialog is open
        EXPECT_EQ(dialog.CommDeviceEdit->text(), QStringLiteral("/tmp/vantrell"));

        (ok ? dialog.OKBtn : dialog.CancelBtn)->click();
        EXPECT_EQ(setting.Comm[0], ok ? QStringLiteral("/tmp/vantrell") : QString()) << ok;
        EXPECT_EQ(setting.Comm[2], ok ? QString() : QStringLiteral("/dev/ttyUSB9")) << ok;
    }
}

TEST(PagesDlgTest, options_UntickingRemovalGreysTheWholeGroupAndKeepsItsValues)
{
    TSetting setting = customSetting();
    TPagesDlg dialog(setting);
    const QList<QWidget *> group = dialog.KutenNukiGB->findChildren<QWidget *>();
    ASSERT_GE(group.size(), 7); // three labels, two up-downs, two edit fields
    for (QWidget *w : group)
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    QTest::mouseClick(dialog.KutenNukiCB, Qt::LeftButton, {},
                      QPoint(4, dialog.KutenNukiCB->height() / 2));
    EXPECT_FALSE(dialog.KutenNukiCB->isChecked());
    EXPECT_FALSE(dialog.KutenNukiGB->isEnabled());
    for (QWidget *w : group)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    dialog.OKBtn->click();
    EXPECT_FALSE(setting.KutenFlag);
    EXPECT_EQ(setting.KutenMaxD, 3);
    EXPECT_EQ(setting.KutenMinN, 15);

    // Opened again with the flag off, the group starts greyed.
    TPagesDlg again(setting);
    EXPECT_FALSE(again.UDminN->isEnabled());
}

TEST(PagesDlgTest, options_EnterInAnyNumericFieldStoresAllAndEscapeNothing)
{
    QStringList names;
    {
        TSetting probe;
        TPagesDlg dialog(probe);
        for (TSettingUpDown *field : dialog.UpDowns())
            names.append(field->objectName());
    }
    ASSERT_EQ(names.size(), 8);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            TSetting setting;
            setting.KutenFlag = true; // so the removal group takes input
            const QMap<QString, QString> before = storedTexts(setting);
            TSetting onlyCheckBox = setting;
            onlyCheckBox.WswMode = true;
            TPagesDlg dialog(setting);
            TSettingUpDown *target = dialog.findChild<TSettingUpDown *>(name);
            typeInto(target, QString::number(target->maximum()));
            // Another field changed too, to see that Enter takes every field.
            dialog.WswModeCB->setChecked(true);
            QTest::keyClick(target->Buddy(), key);
            if (key == Qt::Key_Return) {
                EXPECT_EQ(dialog.result(), QDialog::Accepted);
                EXPECT_TRUE(setting.WswMode);
                EXPECT_NE(storedTexts(setting), storedTexts(onlyCheckBox));
            } else {
                EXPECT_EQ(dialog.result(), QDialog::Rejected);
                EXPECT_EQ(storedTexts(setting), before);
            }
        }
    }
}

TEST(PagesDlgTest, options_FolderButtonTakesOnlyAChosenFolder)
{
    for (const QString &chosen : {QString(), QStringLiteral("/srv/vantrell")}) {
        TSetting setting;
        setting.FileMode.TempDir = QStringLiteral("/old/folder");
        TPagesDlg dialog(setting);
        QString startedAt;
        dialog.ChooseDir = [&](const QString &start) {
            startedAt = start;
            return chosen;
        };
        dialog.SpeedButton1->click();
        EXPECT_EQ(startedAt, QStringLiteral("/old/folder"));
        EXPECT_EQ(dialog.DirEdit->text(),
                  chosen.isEmpty() ? QStringLiteral("/old/folder") : chosen);
    }
}

} // namespace
