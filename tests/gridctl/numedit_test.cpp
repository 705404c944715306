#include "errors.h"
#include "numedit.h"

#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

struct ReadCase
{
    const char *text;
    int number;
};

class NumEditReadTest : public ::testing::TestWithParam<ReadCase>
{};

TEST_P(NumEditReadTest, ReadsTheTextAsADecimalInteger)
{
    TNumEdit edit;
    edit.setText(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(edit.Number(), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumEditReadTest,
                         ::testing::Values(ReadCase{"25", 25}, ReadCase{"007", 7},
                                           ReadCase{"-3", -3}, ReadCase{"0", 0},
                                           ReadCase{"2147483647", 2147483647},
                                           ReadCase{"-2147483648", -2147483647 - 1}));

class NumEditRefusalTest : public ::testing::TestWithParam<const char *>
{};

TEST_P(NumEditRefusalTest, RefusesATextThatIsNoIntegerAndKeepsIt)
{
    const QString text = QString::fromUtf8(GetParam());
    TNumEdit edit;
    edit.setText(text);
    try {
        (void)edit.Number();
        FAIL() << "no error for '" << GetParam() << "'";
    } catch (const EConvertError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("'%1' は整数ではありません").arg(text));
    }
    EXPECT_EQ(edit.text(), text);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumEditRefusalTest,
                         ::testing::Values("", "   ", "abc", "1.5", "12a", "2147483648",
                                           "-2147483649", "１２"));

TEST(NumEditTest, WritesTheDecimalFormRightAligned)
{
    TNumEdit edit;
    edit.SetNumber(7);
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
    edit.SetNumber(-3);
    EXPECT_EQ(edit.text(), QStringLiteral("-3"));
    EXPECT_EQ(edit.Number(), -3);
    EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
}

TEST(NumEditTest, TabbingInSelectsTheWholeTextOnlyWithAutoSelect)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *first = new TNumEdit;
    auto *second = new TNumEdit;
    layout->addWidget(first);
    layout->addWidget(second);
    second->SetNumber(1234);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();

    first->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());
    EXPECT_EQ(second->selectedText(), QStringLiteral("1234"));

    second->SetAutoSelect(false);
    second->deselect();
    first->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());
    EXPECT_TRUE(second->selectedText().isEmpty());
}

TEST(NumEditTest, GainingTheFocusFromTheProgramSelectsTheText)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new TNumEdit;
    layout->addWidget(edit);
    edit->SetNumber(25);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    edit->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("25"));
}

} // namespace
