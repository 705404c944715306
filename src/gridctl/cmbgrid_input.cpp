// The grid's mouse and keyboard: pressing button and toggle cells, the buttons and keys the grid
// leaves to its handlers, and Shift extending the selection.
#include "cmbgrid.h"

#include "cmbgrid_p.h"

#include <QKeyEvent>
#include <QMouseEvent>

bool TComboGrid::isPressable(int ACol)
{
    const TCellKind &kind = GetCellKind(ACol);
    return isButton(kind) || (isToggle(kind) && kind.Editable() && (m_options & goEditing));
}

void TComboGrid::pressAt(const QPoint &pos)
{
    if (m_pressedCol >= 0)
        repaintCell(m_pressedCol, m_pressedRow);
    m_pressedCol = m_pressedRow = -1;
    int col = -1;
    int row = -1;
    if (!MouseToCell(pos, col, row) || !CellRect(col, row).contains(pos))
        return;
    if (row < m_fixedRows || !isPressable(col))
        return;
    m_pressedCol = col;
    m_pressedRow = row;
    m_pressedFocused = col == Col() && row == Row();
    repaintCell(col, row);
}

void TComboGrid::releaseAt(const QPoint &pos)
{
    if (m_pressedCol < 0)
        return;
    const int col = m_pressedCol;
    const int row = m_pressedRow;
    m_pressedCol = m_pressedRow = -1;
    repaintCell(col, row);
    if (!CellRect(col, row).contains(pos))
        return;
    const TCellKind &kind = GetCellKind(col);
    if (isToggle(kind))
        NextToggleState(col, row);
    if (isToggle(kind) || isButton(kind))
        emit OnGridBtnClick(col, row);
}

void TComboGrid::fixedMousePress(QMouseEvent *event, QWidget *source)
{
    const QPoint pos = source->mapTo(this, event->position().toPoint());
    emit OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() == Qt::LeftButton) {
        m_leftHeld = true;
        pressAt(pos);
    }
}

void TComboGrid::fixedMouseRelease(QMouseEvent *event, QWidget *source)
{
    const QPoint pos = source->mapTo(this, event->position().toPoint());
    emit OnMouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() == Qt::LeftButton) {
        m_leftHeld = false;
        releaseAt(pos);
    }
}

void TComboGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = viewport()->mapTo(this, event->position().toPoint());
    // Only the left button moves the current cell and the selection, so a right click keeps
    // the selection a context menu works on.
    if (event->button() == Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        m_leftHeld = true;
    }
    emit OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() == Qt::LeftButton)
        pressAt(pos);
}

void TComboGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = viewport()->mapTo(this, event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        QTableView::mouseReleaseEvent(event);
    emit OnMouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() == Qt::LeftButton) {
        m_leftHeld = false;
        releaseAt(pos);
    }
}

void TComboGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a quick double click on a button or toggle counts as a click of
    // its own; elsewhere a double click opens the editor.
    int col = -1;
    int row = -1;
    const QPoint pos = viewport()->mapTo(this, event->position().toPoint());
    const bool onPressable = MouseToCell(pos, col, row) && row >= m_fixedRows && isPressable(col);
    if (event->button() != Qt::LeftButton || onPressable) {
        mousePressEvent(event);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TComboGrid::keyPressEvent(QKeyEvent *event)
{
    event->ignore();
    emit OnKeyPress(event);
    if (event->isAccepted())
        return;
    event->accept();
    const bool current = currentIndex().isValid();
    const TCellKind &kind = GetCellKind(Col());
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (current && enter && isButton(kind)) {
        emit OnGridBtnClick(Col(), Row());
        return;
    }
    if (current && event->key() == Qt::Key_Space && (isButton(kind) || isToggle(kind))) {
        // Space presses, releases and so clicks the cell like the mouse; a held key repeats
        // nothing.
        if (!event->isAutoRepeat() && !m_leftHeld && !m_spaceHeld) {
            scrollTo(currentIndex());
            m_spacePressPoint = CellRect(Col(), Row()).topLeft();
            m_spaceHeld = true;
            pressAt(m_spacePressPoint);
        }
        return;
    }
    if (current && enter && state() != QAbstractItemView::EditingState && CanEditShow()) {
        edit(currentIndex(), QAbstractItemView::EditKeyPressed, event);
        return;
    }
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    QTableView::keyPressEvent(event);
    // Tab at the first or last stop stays in the grid.
    if (tab && (m_options & goTabs))
        event->accept();
}

// Shift extends the range whatever else is held: Shift+Ctrl+End reaches the last cell with the
// range from the anchor, as Shift+End and Shift+PgDn do, instead of dropping it.
QItemSelectionModel::SelectionFlags TComboGrid::selectionCommand(const QModelIndex &index,
                                                                 const QEvent *event) const
{
    if (event && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        const Qt::KeyboardModifiers held = key->modifiers();
        const bool moves = key->key() == Qt::Key_Home || key->key() == Qt::Key_End ||
                           key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown ||
                           key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                           key->key() == Qt::Key_Left || key->key() == Qt::Key_Right;
        if (moves && (held & Qt::ShiftModifier) && (held & Qt::ControlModifier)) {
            const QKeyEvent shifted(QEvent::KeyPress, key->key(), held & ~Qt::ControlModifier);
            return QTableView::selectionCommand(index, &shifted);
        }
    }
    return QTableView::selectionCommand(index, event);
}

void TComboGrid::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && m_spaceHeld) {
        if (!event->isAutoRepeat()) {
            m_spaceHeld = false;
            releaseAt(m_spacePressPoint);
        }
        return;
    }
    QTableView::keyReleaseEvent(event);
}

QModelIndex TComboGrid::tabStop(int step)
{
    const int cols = ColCount();
    const int rows = RowCount();
    if (cols <= m_fixedCols)
        return {};
    // Cells counted row by row from the first data cell.
    const int width = cols - m_fixedCols;
    const int last = (rows - m_fixedRows) * width - 1;
    int at = (Row() - m_fixedRows) * width + (Col() - m_fixedCols);
    for (at += step; at >= 0 && at <= last; at += step) {
        const int col = m_fixedCols + at % width;
        if (!(m_options & goEditing) || columnMayEdit(col))
            return m_model->index(m_fixedRows + at / width, col);
    }
    return {};
}

QModelIndex TComboGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const bool next = cursorAction == MoveNext;
    if ((!next && cursorAction != MovePrevious) || !(m_options & goTabs) ||
        !currentIndex().isValid())
        return QTableView::moveCursor(cursorAction, modifiers);
    QModelIndex stop = tabStop(next ? 1 : -1);
    if (!stop.isValid() && next) {
        emit OnTabPastLastCell();
        stop = tabStop(1);
    }
    // At either end Tab stays on its cell rather than leave the grid unnoticed.
    return stop.isValid() ? stop : currentIndex();
}
