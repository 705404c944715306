// The program's string grid: text cells with fixed header rows and columns, and per column a cell
// kind that decides how its cells are drawn, edited and clicked (text, drop-down list, push
// button, toggle box).
#pragma once

#include "cellkind.h"
#include "inplaceedit.h"

#include <QFlags>
#include <QPointer>
#include <QTableView>
#include <QVariantList>
#include <memory>
#include <vector>

class QAbstractButton;
class QKeyEvent;
class QPainter;
class TGridModel;
class TFixedHeader;
class TFixedCorner;
class TCellKindDelegate;

enum TGridOption : quint32 {
    goFixedVertLine = 0x001,
    goFixedHorzLine = 0x002,
    goVertLine = 0x004, // the view draws one set of lines: vertical or horizontal turns both on
    goHorzLine = 0x008,
    goRangeSelect = 0x010,
    goRowSizing = 0x040,
    goColSizing = 0x080,
    goEditing = 0x100,
    goTabs = 0x200,
    goRowSelect = 0x400,
    goAlwaysShowEditor = 0x800,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// The four grid-line options together.
inline constexpr TGridOptions kGridLines =
    TGridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);

enum TGridDrawStateFlag : quint32 {
    gdSelected = 0x1,
    gdFocused = 0x2,
    gdFixed = 0x4,
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// A rectangle of cells, all four inclusive.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect &) const = default;
};

// Cells are addressed as (column, row) over the whole grid, the fixed rows and columns included
// (row 0 is the first header row). The fixed rows are drawn in the view's top header, the fixed
// columns in its left header; both stay in place while the data cells scroll. A new grid has five
// columns of 64 and five rows of 24 pixels, one of each fixed, lines and range selection on.
class TComboGrid : public QTableView
{
    Q_OBJECT

public:
    explicit TComboGrid(QWidget *parent = nullptr);
    ~TComboGrid() override;

    // Shape. A grid may consist of its fixed rows only (a header without data rows).
    int ColCount() const;
    void SetColCount(int value);
    int RowCount() const;
    void SetRowCount(int value);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int value);

    // Sizes in pixels, grid lines not included. Setting a default size resets every column
    // (row) to it.
    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int value);
    int ColWidths(int ACol) const;
    void SetColWidths(int ACol, int value);
    int RowHeights(int ARow) const;
    void SetRowHeights(int ARow, int value);

    // Editing, selection and lines. "Range" behaviour: kGridLines | goRangeSelect; "one by
    // one": kGridLines | goEditing.
    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions value);
    // Off: cells are not drawn at all, only OnDrawCell is raised.
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool value);

    // Texts; cells outside the grid read as empty and ignore writes.
    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString &text);
    // The text a cell shows: the number picture applied, or a button column's caption.
    QString DisplayText(int ACol, int ARow) const;

    // The current cell (never a fixed one) and the selected rectangle, which always holds it.
    int Col() const;
    int Row() const;
    void SetCol(int ACol);
    void SetRow(int ARow);
    void FocusCell(int ACol, int ARow);
    TGridRect Selection() const;
    void SetSelection(const TGridRect &rect);

    // Geometry in the grid's own coordinates. CellRect is empty for a cell out of view.
    QRect CellRect(int ACol, int ARow) const;
    // Answers false (and -1, -1) when the point lies on no cell.
    bool MouseToCell(const QPoint &pos, int &ACol, int &ARow) const;

    // The in-place editor while a cell is edited.
    bool EditorMode() const;
    void SetEditorMode(bool value);
    TComboInplaceEdit *InplaceEditor() const { return m_editor; }

    // The kind of column ACol (>= 0), created with defaults when the column has none yet.
    TCellKind &GetCellKind(int ACol);
    // Whether the editor may open on the current cell.
    bool CanEditShow();

    // The button or toggle cell held down by the mouse or Space; -1 when none.
    int PressedCol() const { return m_pressedCol; }
    int PressedRow() const { return m_pressedRow; }
    bool PressedFocused() const { return m_pressedFocused; }

    // The toggle cell's next state: the first state of value 1 after one of value 0, else the
    // first state.
    void NextToggleState(int ACol, int ARow);

    // Persistence with the window description: ordered lists of int, string and bool values.
    // "CellData": column, row, text for every non-empty cell, row by row.
    QVariantList WriteCellData() const;
    void ReadCellData(const QVariantList &values);
    // "CellKind": per column Kind, TitleAlign, Align, item count, items (text, and the state
    // value for toggle columns), DropDownWidth, Margin, MaxLength, Editable.
    QVariantList WriteCellKind();
    // Replaces every kind. A malformed list raises ETessmarkError and changes nothing.
    void ReadCellKind(const QVariantList &values);

    // The edit mask and length limit of a cell's editor: a text column's entry 0 and MaxLength,
    // else these (no mask, no limit).
    virtual QString GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit();

    // Repaints after a kind changed (called by the kinds).
    void CellKindChanged();

    using QTableView::edit;

signals:
    // A button or toggle cell was clicked, Enter was pressed on a button cell, or an entry of a
    // drop-down list was chosen.
    void OnGridBtnClick(int ACol, int ARow);
    // After a cell has been drawn; painter and rectangle are those of the widget drawing it.
    void OnDrawCell(QPainter *painter, int ACol, int ARow, const QRect &rect, TGridDrawState state);
    // Mouse buttons over the grid, fixed cells included; X, Y in the grid's coordinates.
    // Only the left button acts on cells and selection; the others are left to these handlers.
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int X, int Y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int X, int Y);
    // Before the grid handles a key: the event arrives ignored; a handler that accepts it keeps
    // the grid from handling it.
    void OnKeyPress(QKeyEvent *event);
    // Tab was pressed on the last cell it reaches (goTabs). A handler may add rows, which the
    // same Tab then enters.
    void OnTabPastLastCell();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void updateGeometries() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    // With goTabs, Tab and Shift+Tab step over the data cells the editor opens on (every data
    // cell without goEditing), row after row, and stop at the first and the last.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    friend class TFixedHeader;
    friend class TFixedCorner;
    friend class TCellKindDelegate;
    friend class TComboInplaceEdit;

    int gridLine() const; // width of the lines between cells
    int fixedRowsHeight() const;
    int fixedColsWidth() const;
    void applySizes();
    void applyFixed(int oldRows, int oldCols);
    void applyOptions();
    void ensureCurrent();
    void refreshFixed();
    QRect fixedCellRect(int ACol, int ARow) const;
    // The column's kind, or the defaults when it has none yet (for const readers).
    const TCellKind &kindOf(int ACol) const;
    bool columnMayEdit(int ACol);
    // The next (step 1) or previous (step -1) data cell Tab stops on after the current one;
    // invalid when there is none.
    QModelIndex tabStop(int step);

    // Drawing of one cell (data or fixed) by whichever widget shows it.
    void drawCell(QPainter &painter, int ACol, int ARow, const QRect &rect, TGridDrawState state,
                  const QPalette &palette);
    void repaintCell(int ACol, int ARow);

    // Pressing and releasing button and toggle cells; points in grid coordinates.
    void pressAt(const QPoint &pos);
    void releaseAt(const QPoint &pos);
    bool isPressable(int ACol);
    void fixedMousePress(QMouseEvent *event, QWidget *source);
    void fixedMouseRelease(QMouseEvent *event, QWidget *source);

    void editorCreated(TComboInplaceEdit *editor);
    void commitEditor();

    TGridModel *m_model = nullptr;
    TCellKindDelegate *m_delegate = nullptr;
    TFixedHeader *m_topHeader = nullptr;
    TFixedHeader *m_leftHeader = nullptr;
    TFixedCorner *m_corner = nullptr;
    std::vector<std::unique_ptr<TCellKind>> m_cellKinds;
    QList<int> m_colWidths;
    QList<int> m_rowHeights;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    TGridOptions m_options = kGridLines | goRangeSelect;
    bool m_defaultDrawing = true;
    int m_pressedCol = -1;
    int m_pressedRow = -1;
    bool m_pressedFocused = false;
    bool m_leftHeld = false;  // the left button is down on the grid
    QPoint m_spacePressPoint; // where Space pressed the current cell
    bool m_spaceHeld = false;
    bool m_syncing = false; // sizes are being pushed to the headers, not changed by the user
    QPointer<TComboInplaceEdit> m_editor;
};
