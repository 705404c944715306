// The up and down arrows beside a number field, as the manual-input dialogs use them.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Holds a position within its limits and shows it in its buddy field. The arrows, and the Up
// and Down keys in the buddy, step it; a number typed into the buddy becomes the position,
// clamped into the limits, once it is read or the field is left. Text that is no number leaves
// the last position.
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    TUpDown(QLineEdit *buddy, int min, int max, QWidget *parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    // The position, taken from the buddy's text first.
    int Position();
    void SetPosition(int value);
    void StepBy(int steps);

    QToolButton *UpButton = nullptr;
    QToolButton *DownButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeBuddyText();

    QLineEdit *m_buddy;
    int m_min;
    int m_max;
    int m_position;
};
