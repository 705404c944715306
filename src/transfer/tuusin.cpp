#include "tuusin.h"

#include "placement.h"

#include <QLabel>
#include <QTimer>

namespace {
const QString kBusyCaption = QStringLiteral("Vantrell通信中");
}

TTuusinForm::TTuusinForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TuusinForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Nothing to type here: the dialog behind keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(205, 52);
    // No caption bar, but a thin border.
    setStyleSheet(QStringLiteral("TTuusinForm { border: 1px solid palette(shadow); }"));
    setAttribute(Qt::WA_StyledBackground);

    Panel1 = new QLabel(kBusyCaption, this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 193, 33);
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    QFont font = Panel1->font();
    font.setBold(true);
    Panel1->setFont(font);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TTuusinForm::Timer1Timer);
    Timer1->start();

    CentreOnScreen(this);
}

void TTuusinForm::Timer1Timer()
{
    Timer1->stop();
    Panel1->setText(Panel1->text().isEmpty() ? kBusyCaption : QString());
    Timer1->start();
}
