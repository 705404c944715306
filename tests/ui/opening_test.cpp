// The splash window: how it closes, and the command-line file the main window opens then.
#include "form_fixture.h"

#include "events.h"
#include "opening.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>

namespace {

using OpeningTest = FormFixture;

// Counts the start-file requests it receives.
class StartFileCounter : public QObject
{
public:
    int Requests = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == WM_OPENSTARTFILE) {
            ++Requests;
            return true;
        }
        return QObject::event(event);
    }
};

TEST_F(OpeningTest, ui_SplashClosingOpensTheOnlyCommandLineFile)
{
    const QString ktd = sample(QStringLiteral("sample.ktd"));
    const struct
    {
        const char *what;
        QStringList arguments;
        bool byTimer;
        QString opened;
    } cases[] = {
        {"nothing, closed by the timer", {}, true, QString()},
        {"one file, closed by a double click", {ktd}, false, ktd},
        {"two files", {ktd, sample(QStringLiteral("sample.kgd"))}, false, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto form = started(c.arguments);
        Tgrid_form *window = form.get();
        QElapsedTimer clock;
        clock.start();
        QPointer<TOpeningForm> splash = ShowOpeningForm([window] { return window; });
        // Nothing is opened before the splash closes.
        QCoreApplication::processEvents();
        EXPECT_TRUE(form->Test.CurrentFile.isEmpty());

        if (!c.byTimer) {
            QTest::mouseDClick(splash->Image1, Qt::LeftButton);
            EXPECT_FALSE(splash->isVisible()); // at once, not at the timer
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 5000));
        if (c.byTimer) {
            EXPECT_GE(clock.elapsed(), 1400);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(form->Test.CurrentFile, c.opened);
        EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
    }
}

TEST_F(OpeningTest, ui_WindowWithoutItsTablesOpensNoStartFile)
{
    QFile::remove(QDir(programDir()).filePath(QStringLiteral("Weighttbl.tbl")));
    auto form = started({sample(QStringLiteral("sample.ktd"))});
    QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_OPENSTARTFILE));
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Test.CurrentFile.isEmpty());
    EXPECT_EQ(messages.AskedBoxes.size(), 1); // the table failure only
}

TEST_F(OpeningTest, ui_SplashAsksForTheStartFileOnlyOnce)
{
    StartFileCounter counter;
    auto *splash = new TOpeningForm([&counter] { return &counter; });
    QPointer<TOpeningForm> alive = splash;
    splash->show();
    EXPECT_EQ(splash->size(), QSize(286, 168));
    QTest::mouseDClick(splash->Image1, Qt::LeftButton);
    splash->close(); // closed again before it is gone
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.Requests, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

} // namespace
