#include "numedit.h"

#include "errors.h"

#include <QFocusEvent>

TNumEdit::TNumEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

int TNumEdit::Number() const
{
    return StrToInt(text());
}

void TNumEdit::SetNumber(int value)
{
    setText(QString::number(value));
}

void TNumEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::MouseFocusReason)
        return;
    if (m_autoSelect) {
        selectAll();
    } else if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        // The line edit selects everything on Tab by itself; without AutoSelect the caret
        // goes to the end instead.
        deselect();
        end(false);
    }
}
