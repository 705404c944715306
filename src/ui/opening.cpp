#include "opening.h"

#include "artwork.h"
#include "events.h"
#include "placement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

TOpeningForm::TOpeningForm(std::function<QObject *()> mainForm, QWidget *parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_mainForm(std::move(mainForm))
{
    setObjectName(QStringLiteral("OpeningForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A borderless window with a raised edge, as a thick frame gives it.
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setFixedSize(286, 168);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(4, 8, 273, 153);
    Image1->setPixmap(SplashPicture());
    Image1->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1500);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        close();
    });
    Timer1->start();
}

bool TOpeningForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonDblClick) {
        close();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void TOpeningForm::closeEvent(QCloseEvent *event)
{
    Timer1->stop();
    if (FirstClose) {
        FirstClose = false;
        if (QObject *target = m_mainForm ? m_mainForm() : nullptr)
            QCoreApplication::postEvent(target, new TWindowMessage(WM_OPENSTARTFILE));
    }
    event->accept();
}

TOpeningForm *ShowOpeningForm(std::function<QObject *()> mainForm)
{
    auto *form = new TOpeningForm(std::move(mainForm));
    CentreOnScreen(form);
    form->show();
    form->raise();
    // Painted now: the main window's creation keeps the message loop busy for a while.
    form->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return form;
}
