#include "updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TUpDown::TUpDown(QLineEdit *buddy, int min, int max, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_min(min), m_max(max), m_position(min)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto arrow = [this, layout](Qt::ArrowType type, int step) {
        auto *button = new QToolButton(this);
        button->setArrowType(type);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(17, 11);
        connect(button, &QToolButton::clicked, this, [this, step] { StepBy(step); });
        layout->addWidget(button);
        return button;
    };
    UpButton = arrow(Qt::UpArrow, 1);
    DownButton = arrow(Qt::DownArrow, -1);
    m_buddy->installEventFilter(this);
    connect(m_buddy, &QLineEdit::editingFinished, this, [this] { SetPosition(Position()); });
    SetPosition(min);
}

int TUpDown::Position()
{
    takeBuddyText();
    return m_position;
}

void TUpDown::SetPosition(int value)
{
    m_position = qBound(m_min, value, m_max);
    m_buddy->setText(QString::number(m_position));
}

void TUpDown::StepBy(int steps)
{
    SetPosition(Position() + steps);
    m_buddy->selectAll();
}

void TUpDown::takeBuddyText()
{
    bool ok = false;
    const qlonglong typed = m_buddy->text().trimmed().toLongLong(&ok);
    if (ok)
        m_position = int(qBound(qlonglong(m_min), typed, qlonglong(m_max)));
}

bool TUpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
