// The busy window "Vantrell通信中", blinking while a command to the instrument runs.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

class TTuusinForm : public QWidget
{
    Q_OBJECT

public:
    explicit TTuusinForm(QWidget *parent = nullptr);

    // Shows the caption if it was empty and empties it if it was shown.
    void Timer1Timer();

    QLabel *Panel1 = nullptr;
    QTimer *Timer1 = nullptr;
};
