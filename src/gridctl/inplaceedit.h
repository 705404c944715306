// The grid's in-place editor: a line edit with the column's edit mask and length limit, and for
// drop-down columns a drop-down button and a list of the column's values.
#pragma once

#include "cellkind.h"

#include <QLineEdit>
#include <QListWidget>

class TComboGrid;
class TInplaceListBox;

class TComboInplaceEdit : public QLineEdit
{
    Q_OBJECT

public:
    TComboInplaceEdit(TComboGrid *grid, QWidget *parent);

    TComboGrid *Grid() const { return m_grid; }
    // The editor's own copy of the column's kind; none given makes it a plain text editor.
    const TCellKind &CellKind() const { return m_cellKind; }
    void SetCellKind(const TCellKind *kind);

    // Opens the drop-down list below the editor, right edges aligned, or closes it.
    void ToggleDropDown();
    TInplaceListBox *DropDownList() const { return m_list; }
    bool DropDownVisible() const;
    // x of the press on the drop-down button, -1 when there is none.
    int DownX() const { return m_downX; }

    // The width of the drop-down button: the style's scroll-bar arrow width, taken once.
    static int ButtonWidth();

    // An entry of the list becomes the editor's text; `chosen` commits it to the cell.
    void TakeEntry(const QString &text, bool chosen);

signals:
    // An entry was chosen with the mouse or Enter: the cell takes the text at once.
    void EntryChosen();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool isDropDown() const { return m_cellKind.Kind() == ckDropDown; }
    bool onButton(const QPoint &pos) const;

    TComboGrid *m_grid;
    TCellKind m_cellKind;
    TInplaceListBox *m_list = nullptr;
    int m_downX = -1;
    bool m_buttonDown = false;
};

// The drop-down list: a pop-up window owned by the editor, so it may reach beyond the grid and
// closes when the mouse is pressed anywhere else.
class TInplaceListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit TInplaceListBox(TComboInplaceEdit *editor);

    TComboInplaceEdit *Editor() const { return m_editor; }
    // Selects an entry (-1: none) without it counting as the user's choice.
    void SelectQuietly(int row);
    // Up and Down: the entry before or after the selected one (the first when none is).
    void Step(int delta);
    // Height for the given number of entries, at most eight shown at a time.
    int HeightFor(int entries) const;

signals:
    // The user changed the selected entry.
    void Click();

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TComboInplaceEdit *m_editor;
    bool m_quiet = false;
};
