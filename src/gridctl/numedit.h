// The single-line edit used wherever a dialog asks for a whole number.
#pragma once

#include <QLineEdit>

// A right-aligned line edit whose text is read and written as a decimal integer. Any character
// can be typed; the dialogs check their fields themselves.
class TNumEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TNumEdit(QWidget *parent = nullptr);

    // The text as a decimal integer; raises EConvertError "'<text>' は整数ではありません" when it
    // is not one (empty, blank, letters, beyond 32 bits). Nothing changes then.
    int Number() const;
    // The text becomes the decimal form: a minus for negative values, no leading zeros.
    void SetNumber(int value);

    // On: the whole text is selected whenever the field gains the focus from the keyboard or
    // the program (a click places the caret as usual).
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool value) { m_autoSelect = value; }

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    bool m_autoSelect = true;
};
