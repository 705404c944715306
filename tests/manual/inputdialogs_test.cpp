#include "inputdialogs.h"
#include "numedit.h"
#include "settings.h"
#include "updown.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Typing replaces the field's text, as a user selecting it first would.
void typeInto(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Each dialog opens on its first field with the text selected: typed digits replace the value
// and Enter answers OK, without a click.
TEST(ManualDialogs, OpenOnTheFirstFieldSoTypingReplacesItAndEnterIsOk)
{
    TSetting setting;
    setting.Raws = 40;
    TTestInfo info;
    info.Code1 = 7;
    const struct
    {
        const char *caption;
        std::function<QDialog *()> make;
        std::function<int(QDialog &)> taken; // the first field's value after OK
    } cases[] = {
        {"入力行数設定", [&] { return new TInpRawsForm(setting); },
         [&](QDialog &) {
             return setting.Raws;
         }},
        {"試験情報入力", [&] { return new TInfInputForm(info); },
         [&](QDialog &) {
             return info.Code1;
         }},
        {"貫入深さ入力", [] { return new TSetDepthForm; },
         [](QDialog &d) {
             return static_cast<TSetDepthForm &>(d).StartUD->Position();
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        const std::unique_ptr<QDialog> dialog(c.make());
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(c.caption));
        dialog->show();
        QWidget *focus = dialog->focusWidget();
        ASSERT_NE(qobject_cast<QLineEdit *>(focus), nullptr);
        QTest::keyClicks(focus, QStringLiteral("31"));
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(c.taken(*dialog), 31);
    }
}

TEST(InpRawsForm, ProposesTheSettingAndStoresTheChoiceOnOkOnly)
{
    TSetting setting;
    setting.Raws = 40;
    {
        TInpRawsForm dialog(setting);
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("40"));
        typeInto(dialog.Edit1, QStringLiteral("25"));
        dialog.CancelBtn->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(setting.Raws, 40);
    }
    {
        TInpRawsForm dialog(setting);
        typeInto(dialog.Edit1, QStringLiteral("25"));
        dialog.OKBtn->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(setting.Raws, 25);
    }
    TInpRawsForm next(setting);
    EXPECT_EQ(next.Edit1->text(), QStringLiteral("25"));
}

// Enter in any field stores every field; values beyond a limit are clamped into it, and text
// that is no number keeps the field's value.
TEST(InfInputForm, EnterStoresAllTwelveClampedIntoTheirLimits)
{
    TTestInfo info;
    info.Code1 = 103;
    info.Month = 6;
    info.Day = 3;
    info.FinalDepth = 1025;
    TInfInputForm dialog(info);
    dialog.show();
    EXPECT_EQ(dialog.NumEdits[0]->text(), QStringLiteral("103"));
    EXPECT_EQ(dialog.NumEdits[6]->text(), QStringLiteral("6"));

    const char *const typed[TInfInputForm::kRows] = {"12", "3", "45", "6789", "25", "5",
                                                     "15", "0", "9",  "5",    "9",  "zz"};
    for (int i = 0; i < TInfInputForm::kRows; ++i)
        typeInto(dialog.NumEdits[i], QLatin1String(typed[i]));
    dialog.UpDowns[9]->UpButton->click(); // start minute 5 -> 6
    QTest::keyClick(dialog.NumEdits[1], Qt::Key_Return);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    TTestInfo expected;
    expected.Code1 = 12;
    expected.Code2 = 3;
    expected.Code3 = 45;
    expected.Code4 = 6789;
    expected.PointNo = 20;
    expected.Year = 5;
    expected.Month = 12;
    expected.Day = 1;
    expected.StartHour = 9;
    expected.StartMin = 6;
    expected.EndHour = 9;
    expected.EndMin = 0;
    expected.FinalDepth = 1025;
    EXPECT_EQ(info, expected);
}

TEST(InfInputForm, EscapeLeavesTheHeader)
{
    TTestInfo info;
    info.Code1 = 7;
    const TTestInfo before = info;
    TInfInputForm dialog(info);
    dialog.show();
    typeInto(dialog.NumEdits[0], QStringLiteral("99"));
    QTest::keyClick(dialog.NumEdits[0], Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(info, before);
}

TEST(SetDepthForm, StartsWithTwentyFiveAndClampsEachValue)
{
    TSetDepthForm dialog;
    EXPECT_EQ(dialog.StartUD->Position(), 25);
    EXPECT_EQ(dialog.IncUD->Position(), 25);
    typeInto(dialog.NumEdit1, QStringLiteral("9999"));
    typeInto(dialog.NumEdit2, QStringLiteral("150"));
    EXPECT_EQ(dialog.StartUD->Position(), 4000);
    EXPECT_EQ(dialog.IncUD->Position(), 100);
    QTest::keyClick(dialog.NumEdit2, Qt::Key_Down);
    EXPECT_EQ(dialog.NumEdit2->text(), QStringLiteral("99"));
}

} // namespace
