// The splash window: the start-up picture, which hands the command-line file to the main
// window when it closes.
#pragma once

#include <QFrame>
#include <functional>

class QLabel;
class QTimer;

class TOpeningForm : public QFrame
{
    Q_OBJECT

public:
    // `mainForm` answers the window that is told to open the command-line file; it is asked
    // when the splash closes, since the main window is created after the splash.
    explicit TOpeningForm(std::function<QObject *()> mainForm, QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QTimer *Timer1 = nullptr;
    bool FirstClose = true;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<QObject *()> m_mainForm;
};

// Creates the splash window, centred and on top, shows it and paints it at once. It closes after
// 1500 ms or on a double click, posts WM_OPENSTARTFILE to the main window on its first close
// and deletes itself.
TOpeningForm *ShowOpeningForm(std::function<QObject *()> mainForm);
