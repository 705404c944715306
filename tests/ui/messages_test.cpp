#include "events.h"
#include "messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using Button = TMessages::Button;

TEST(ui_Messages, CarriageReturnsBecomeLineBreaks)
{
    const struct
    {
        QString given;
        QString shown;
    } cases[] = {
        {QStringLiteral("一行"), QStringLiteral("一行")},
        {QStringLiteral("上\r下"), QStringLiteral("上\n下")},
        {QStringLiteral("上\r\r下"), QStringLiteral("上\n\n下")},
        {QStringLiteral("上\r\n下"), QStringLiteral("上\n下")},
        {QStringLiteral("上\n下"), QStringLiteral("上\n下")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MessageBoxText(c.given), c.shown) << c.given.toStdString();
}

TEST(ui_Messages, ClosingWithoutChoosingNeverConfirms)
{
    const struct
    {
        TMessages::Buttons buttons;
        Button escape;
    } cases[] = {
        {QMessageBox::Ok, QMessageBox::Ok},
        {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel},
        {QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
        {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EscapeButtonOf(c.buttons), c.escape);
}

TEST(ui_Messages, ScriptedAnswersInOrderAndRecordsEveryBox)
{
    TScriptedMessages script;
    script.answer(QMessageBox::No);
    script.answer(QMessageBox::Yes);

    EXPECT_EQ(script.yesNoCancel(QStringLiteral("一")), QMessageBox::No);
    EXPECT_EQ(script.yesNo(QStringLiteral("二")), QMessageBox::Yes);
    // The queue is empty: the harmless answer.
    EXPECT_EQ(script.confirm(QStringLiteral("三")), QMessageBox::Cancel);
    script.error(QStringLiteral("四"));

    EXPECT_EQ(script.texts(), QStringList({"一", "二", "三", "四"}));
    ASSERT_EQ(script.AskedBoxes.size(), 4);
    EXPECT_EQ(script.AskedBoxes[0].ButtonSet,
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(script.AskedBoxes[2].Kind, TMessageKind::Confirmation);
    EXPECT_EQ(script.AskedBoxes[3].Kind, TMessageKind::Error);
    EXPECT_EQ(script.AskedBoxes[3].ButtonSet, TMessages::Buttons(QMessageBox::Ok));
}

TEST(ui_Messages, ScopedInstanceReplacesAndRestoresTheCurrentOne)
{
    TMessages *boxes = &Messages();
    TScriptedMessages outer;
    {
        TScopedMessages outerScope(outer);
        TScriptedMessages inner;
        {
            TScopedMessages innerScope(inner);
            Messages().information(QStringLiteral("内"));
        }
        Messages().information(QStringLiteral("外"));
        EXPECT_EQ(inner.texts(), QStringList{"内"});
    }
    EXPECT_EQ(outer.texts(), QStringList{"外"});
    EXPECT_EQ(&Messages(), boxes);
}

// Presses `button` of the message box once it is up, after checking what it shows.
struct BoxInspection
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

void pressWhenShown(QMessageBox::StandardButton button, BoxInspection &seen)
{
    QTimer::singleShot(0, [button, &seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            pressWhenShown(button, seen);
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.buttons = box->standardButtons();
        seen.icon = box->icon();
        if (button == QMessageBox::NoButton)
            box->reject();
        else
            box->button(button)->click();
    });
}

TEST(ui_Messages, RealBoxShowsTitleLinesAndButtons)
{
    TBoxMessages boxes;
    BoxInspection seen;
    pressWhenShown(QMessageBox::No, seen);
    EXPECT_EQ(boxes.yesNoCancel(QStringLiteral("保存しますか\r次の行")), QMessageBox::No);
    EXPECT_EQ(seen.title, QStringLiteral("Tessmark"));
    EXPECT_EQ(seen.text, QStringLiteral("保存しますか\n次の行"));
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(seen.icon, QMessageBox::Question);

    BoxInspection error;
    pressWhenShown(QMessageBox::Ok, error);
    boxes.error(QStringLiteral("失敗"));
    EXPECT_EQ(error.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(error.icon, QMessageBox::Critical);

    BoxInspection plain;
    pressWhenShown(QMessageBox::Ok, plain);
    EXPECT_EQ(boxes.confirmPlain(QStringLiteral("始めますか?")), QMessageBox::Ok);
    EXPECT_EQ(plain.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
}

TEST(ui_Messages, RealBoxDismissedAnswersTheEscapeButton)
{
    TBoxMessages boxes;
    BoxInspection seen;
    pressWhenShown(QMessageBox::NoButton, seen);
    EXPECT_EQ(boxes.yesNo(QStringLiteral("続けますか")), QMessageBox::No);
}

TEST(ui_Messages, RealBoxUnderTheHourglassShowsTheNormalCursor)
{
    TBoxMessages boxes;
    TWaitCursor wait;
    Qt::CursorShape during = Qt::WaitCursor;
    QTimer::singleShot(0, [&during] {
        during = QGuiApplication::overrideCursor()->shape();
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    boxes.information(QStringLiteral("お知らせ"));
    EXPECT_EQ(during, Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

TEST(ui_WaitCursor, RestoresTheCursorEvenWhenWorkFails)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    try {
        TWaitCursor wait;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw std::runtime_error("work failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
