// The About box: the version it shows and the service codes typed into it; the tools' --version.
#include "form_fixture.h"

#include "version.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

using AboutTest = FormFixture;

struct TFlags
{
    bool Log, Command, Monitor;
    bool operator==(const TFlags &) const = default;
};

TFlags flagsOf(const Tgrid_form &form)
{
    return {form.LogFlag, form.CommandMode, form.MonitorFlag};
}

TEST_F(AboutTest, ui_TypedServiceCodeSwitchesItsFlagHoweverTheBoxCloses)
{
    enum class Close { OkButton, Escape, Window };
    const struct
    {
        const char *typed;
        Close close;
        TFlags flags;
    } cases[] = {
        {"qzj", Close::OkButton, {true, false, false}},
        {"QZJ", Close::Escape, {true, false, false}},
        {"QZJX", Close::OkButton, {false, false, false}},
        {"wuktav", Close::Window, {false, true, false}},
        {"XrPf", Close::OkButton, {false, false, true}},
        {"", Close::Window, {false, false, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        auto form = started();
        messages.AskedBoxes.clear();
        TAboutBox *box = form->CreateAboutBox();
        box->show();
        EXPECT_EQ(box->VerLabel->text(), QStringLiteral("Version" TESSMARK_PROJECT_VERSION));
        QTest::keyClicks(box->OKButton, QLatin1String(c.typed));
        switch (c.close) {
        case Close::OkButton:
            QTest::mouseClick(box->OKButton, Qt::LeftButton);
            break;
        case Close::Escape:
            QTest::keyClick(box->OKButton, Qt::Key_Escape);
            break;
        case Close::Window:
            box->close();
            break;
        }
        EXPECT_FALSE(box->isVisible());
        EXPECT_TRUE(flagsOf(*form) == c.flags);
        const bool matched = !(c.flags == TFlags{false, false, false});
        EXPECT_EQ(messages.texts(),
                  matched ? QStringList{QStringLiteral("Command 受信しました")} : QStringList{});
    }
}

TEST(VersionTest, ui_ToolsTellTheBuildsVersion)
{
    for (const char *tool : {"tessmark", "tessmark-cli"}) {
        SCOPED_TRACE(tool);
        QProcess process;
        process.start(QStringLiteral(TESSMARK_BIN_DIR "/") + QLatin1String(tool),
                      {QStringLiteral("--version")});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
                  QLatin1String(tool) + QStringLiteral(" " TESSMARK_PROJECT_VERSION "\n"));
    }
}

} // namespace
