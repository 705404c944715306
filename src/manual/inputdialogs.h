// The three small dialogs of manual input: the number of rows of a new test, the test
// information, and the start and increment with which depth cells are filled.
#pragma once

#include "record.h"

#include <QDialog>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TNumEdit;
class TUpDown;
struct TSetting;

// Shared frame: fixed size, centred on the screen, OK (default) and Cancel buttons.
class TManualDialog : public QDialog
{
    Q_OBJECT

public:
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    TManualDialog(const QString &caption, QWidget *parent);
    // A row of the number grid: label, field, its up-down, and an optional unit.
    TUpDown *addNumberRow(QLabel *&label, const QString &caption, QLineEdit *field, int maxLength,
                          int min, int max, const QString &unit = {});
    // Puts the buttons under the rows and fixes the size: the designed client size, or more
    // when the fonts need it.
    void finish(const QSize &clientSize);

    QGridLayout *m_rows = nullptr;
    QList<QLineEdit *> m_fields; // in row order
};

// "入力行数設定": the number of data rows of a new manual test, kept in the settings.
class TInpRawsForm : public TManualDialog
{
    Q_OBJECT

public:
    explicit TInpRawsForm(TSetting &setting, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    TUpDown *RawsUD = nullptr;

private:
    void OKBtnClick();

    TSetting &m_setting;
};

// "試験情報入力": the twelve header fields of a test (not the final depth).
class TInfInputForm : public TManualDialog
{
    Q_OBJECT

public:
    explicit TInfInputForm(TTestInfo &info, QWidget *parent = nullptr);

    static constexpr int kRows = 12;
    QLabel *Labels[kRows] = {};
    TNumEdit *NumEdits[kRows] = {};
    TUpDown *UpDowns[kRows] = {}; // TN1UD .. TN4UD, SokutenUD, YearUD .. EndMinUD

private:
    void OKBtnClick();

    TTestInfo &m_info;
};

// "貫入深さ入力": start value and increment (cm) for filling depth cells; 25 and 25 each time.
class TSetDepthForm : public TManualDialog
{
    Q_OBJECT

public:
    explicit TSetDepthForm(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    TNumEdit *NumEdit1 = nullptr;
    TNumEdit *NumEdit2 = nullptr;
    TUpDown *StartUD = nullptr;
    TUpDown *IncUD = nullptr;
};
