#include "cmbgrid.h"

#include "cellpaint.h"
#include "cmbdelegate.h"
#include "cmbgrid_p.h"
#include "inplaceedit.h"
#include "numpicture.h"

#include <QPainter>

namespace {

const TCellKind &defaultKind()
{
    static const TCellKind kind;
    return kind;
}

// Kinds other than button and toggle are drawn and edited as text.
bool isTextLike(const TCellKind &kind)
{
    return !isButton(kind) && !isToggle(kind);
}

QString buttonCaption(const TCellKind &kind, const QString &cellText)
{
    const QString caption = kind.ItemText(0);
    return caption == kUseCellData ? cellText : caption;
}

QString pictured(const TCellKind &kind, const QString &text)
{
    const QString picture = kind.ItemText(1);
    double value = 0;
    if (picture.isEmpty() || text.isEmpty() || !CellTextToFloat(text, value))
        return text;
    return FormatFloat(picture, value);
}

} // namespace

TComboGrid::TComboGrid(QWidget *parent) : QTableView(parent)
{
    m_model = new TGridModel(this);
    m_topHeader = new TFixedHeader(Qt::Horizontal, this);
    m_leftHeader = new TFixedHeader(Qt::Vertical, this);
    setHorizontalHeader(m_topHeader);
    setVerticalHeader(m_leftHeader);
    setModel(m_model);
    m_delegate = new TCellKindDelegate(this);
    setItemDelegate(m_delegate);
    m_corner = new TFixedCorner(this);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setAutoScroll(true);

    connect(m_topHeader, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (!m_syncing && col >= m_fixedCols && col < m_colWidths.size())
            m_colWidths[col] = qMax(0, size - gridLine());
    });
    connect(m_leftHeader, &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (!m_syncing && row >= m_fixedRows && row < m_rowHeights.size())
            m_rowHeights[row] = qMax(0, size - gridLine());
    });

    // A new grid: five columns and rows, the first of each fixed.
    SetColCount(5);
    SetRowCount(5);
    SetFixedCols(1);
    SetFixedRows(1);
    applyOptions();
    applySizes();
}

TComboGrid::~TComboGrid() = default;

int TComboGrid::gridLine() const
{
    return showGrid() ? 1 : 0;
}

int TComboGrid::fixedRowsHeight() const
{
    int height = 0;
    for (int row = 0; row < m_fixedRows; ++row)
        height += RowHeights(row) + gridLine();
    return height;
}

int TComboGrid::fixedColsWidth() const
{
    int width = 0;
    for (int col = 0; col < m_fixedCols; ++col)
        width += ColWidths(col) + gridLine();
    return width;
}

int TComboGrid::ColCount() const
{
    return m_model->columnCount();
}

void TComboGrid::SetColCount(int value)
{
    value = qMax(value, 1);
    const int old = ColCount();
    if (value == old)
        return;
    if (m_pressedCol >= value)
        m_pressedCol = m_pressedRow = -1;
    const int oldFixed = m_fixedCols;
    m_fixedCols = qMin(m_fixedCols, value);
    m_syncing = true;
    m_model->setColCount(value);
    m_colWidths.resize(value, m_defaultColWidth);
    for (int col = old; col < value; ++col)
        setColumnWidth(col, m_colWidths.at(col) + gridLine());
    m_syncing = false;
    applyFixed(m_fixedRows, oldFixed);
}

int TComboGrid::RowCount() const
{
    return m_model->rowCount();
}

void TComboGrid::SetRowCount(int value)
{
    value = qMax(value, 1);
    const int old = RowCount();
    if (value == old)
        return;
    if (m_pressedRow >= value)
        m_pressedCol = m_pressedRow = -1;
    const int oldFixed = m_fixedRows;
    // A grid of its fixed rows only keeps them fixed: the header never turns into data.
    m_fixedRows = qMin(m_fixedRows, value);
    m_syncing = true;
    m_model->setRowCount(value);
    m_rowHeights.resize(value, m_defaultRowHeight);
    m_syncing = false;
    applyFixed(oldFixed, m_fixedCols);
}

void TComboGrid::SetFixedCols(int value)
{
    value = qBound(0, value, ColCount());
    if (value == m_fixedCols)
        return;
    const int old = m_fixedCols;
    m_fixedCols = value;
    applyFixed(m_fixedRows, old);
}

void TComboGrid::SetFixedRows(int value)
{
    value = qBound(0, value, RowCount());
    if (value == m_fixedRows)
        return;
    const int old = m_fixedRows;
    m_fixedRows = value;
    applyFixed(old, m_fixedCols);
}

void TComboGrid::applyFixed(int oldRows, int oldCols)
{
    m_syncing = true;
    const int rows = qMin(qMax(oldRows, m_fixedRows), RowCount());
    for (int row = 0; row < rows; ++row) {
        const bool fixed = row < m_fixedRows;
        if (isRowHidden(row) != fixed) {
            setRowHidden(row, fixed);
            if (!fixed)
                setRowHeight(row, m_rowHeights.at(row) + gridLine());
        }
    }
    const int cols = qMin(qMax(oldCols, m_fixedCols), ColCount());
    for (int col = 0; col < cols; ++col) {
        const bool fixed = col < m_fixedCols;
        if (isColumnHidden(col) != fixed) {
            setColumnHidden(col, fixed);
            if (!fixed)
                setColumnWidth(col, m_colWidths.at(col) + gridLine());
        }
    }
    m_syncing = false;
    m_topHeader->setVisible(m_fixedRows > 0);
    m_leftHeader->setVisible(m_fixedCols > 0);
    // New fixed counts start again at the first data cell.
    if ((oldRows != m_fixedRows || oldCols != m_fixedCols) && m_fixedRows < RowCount() &&
        m_fixedCols < ColCount())
        FocusCell(m_fixedCols, m_fixedRows);
    ensureCurrent();
    updateGeometries();
    refreshFixed();
}

void TComboGrid::SetDefaultColWidth(int value)
{
    value = qMax(value, 0);
    m_defaultColWidth = value;
    m_colWidths.fill(value);
    applySizes();
}

void TComboGrid::SetDefaultRowHeight(int value)
{
    value = qMax(value, 0);
    m_defaultRowHeight = value;
    m_rowHeights.fill(value);
    applySizes();
}

void TComboGrid::applySizes()
{
    m_syncing = true;
    const int line = gridLine();
    m_topHeader->setDefaultSectionSize(m_defaultColWidth + line);
    for (int col = m_fixedCols; col < m_colWidths.size(); ++col) {
        if (columnWidth(col) != m_colWidths.at(col) + line)
            setColumnWidth(col, m_colWidths.at(col) + line);
    }
    m_leftHeader->setDefaultSectionSize(m_defaultRowHeight + line);
    for (int row = m_fixedRows; row < m_rowHeights.size(); ++row) {
        if (m_rowHeights.at(row) != m_defaultRowHeight)
            setRowHeight(row, m_rowHeights.at(row) + line);
    }
    m_syncing = false;
    updateGeometries();
    refreshFixed();
}

int TComboGrid::ColWidths(int ACol) const
{
    return ACol >= 0 && ACol < m_colWidths.size() ? m_colWidths.at(ACol) : m_defaultColWidth;
}

void TComboGrid::SetColWidths(int ACol, int value)
{
    if (ACol < 0 || ACol >= m_colWidths.size())
        return;
    value = qMax(value, 0);
    m_colWidths[ACol] = value;
    if (ACol < m_fixedCols) {
        updateGeometries();
        refreshFixed();
        return;
    }
    m_syncing = true;
    setColumnWidth(ACol, value + gridLine());
    m_syncing = false;
}

int TComboGrid::RowHeights(int ARow) const
{
    return ARow >= 0 && ARow < m_rowHeights.size() ? m_rowHeights.at(ARow) : m_defaultRowHeight;
}

void TComboGrid::SetRowHeights(int ARow, int value)
{
    if (ARow < 0 || ARow >= m_rowHeights.size())
        return;
    value = qMax(value, 0);
    m_rowHeights[ARow] = value;
    if (ARow < m_fixedRows) {
        updateGeometries();
        refreshFixed();
        return;
    }
    m_syncing = true;
    setRowHeight(ARow, value + gridLine());
    m_syncing = false;
}

void TComboGrid::SetOptions(TGridOptions value)
{
    if (value == m_options)
        return;
    m_options = value;
    applyOptions();
}

void TComboGrid::applyOptions()
{
    if (!(m_options & goEditing) || (m_options & goRowSelect))
        commitEditor();
    const bool lines = m_options & (goVertLine | goHorzLine);
    if (lines != showGrid()) {
        setShowGrid(lines);
        applySizes();
    }
    setSelectionMode(m_options & goRangeSelect ? QAbstractItemView::ContiguousSelection
                                               : QAbstractItemView::SingleSelection);
    setSelectionBehavior(m_options & goRowSelect ? QAbstractItemView::SelectRows
                                                 : QAbstractItemView::SelectItems);
    if ((m_options & goEditing) && !(m_options & goRowSelect))
        setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    else
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(m_options & goTabs);
    m_topHeader->setSectionResizeMode(m_options & goColSizing ? QHeaderView::Interactive
                                                              : QHeaderView::Fixed);
    m_leftHeader->setSectionResizeMode(m_options & goRowSizing ? QHeaderView::Interactive
                                                               : QHeaderView::Fixed);
    // Without range selection the selection shrinks to the current cell.
    if (!(m_options & goRangeSelect) && currentIndex().isValid())
        selectionModel()->setCurrentIndex(currentIndex(), QItemSelectionModel::ClearAndSelect);
    viewport()->update();
}

void TComboGrid::SetDefaultDrawing(bool value)
{
    if (value == m_defaultDrawing)
        return;
    m_defaultDrawing = value;
    viewport()->update();
    refreshFixed();
}

QString TComboGrid::Cells(int ACol, int ARow) const
{
    return m_model->text(ACol, ARow);
}

void TComboGrid::SetCells(int ACol, int ARow, const QString &text)
{
    if (m_model->setText(ACol, ARow, text) && (ARow < m_fixedRows || ACol < m_fixedCols))
        refreshFixed();
}

const TCellKind &TComboGrid::kindOf(int ACol) const
{
    if (ACol >= 0 && ACol < int(m_cellKinds.size()) && m_cellKinds[ACol])
        return *m_cellKinds[ACol];
    return defaultKind();
}

QString TComboGrid::DisplayText(int ACol, int ARow) const
{
    const QString text = Cells(ACol, ARow);
    if (ARow < m_fixedRows)
        return text;
    const TCellKind &kind = kindOf(ACol);
    if (isButton(kind))
        return buttonCaption(kind, text);
    if (kind.Kind() == ckText && ACol >= m_fixedCols)
        return pictured(kind, text);
    return text;
}

int TComboGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : m_fixedCols;
}

int TComboGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : m_fixedRows;
}

void TComboGrid::SetCol(int ACol)
{
    FocusCell(ACol, Row());
}

void TComboGrid::SetRow(int ARow)
{
    FocusCell(Col(), ARow);
}

void TComboGrid::FocusCell(int ACol, int ARow)
{
    if (ACol < m_fixedCols || ACol >= ColCount() || ARow < m_fixedRows || ARow >= RowCount())
        return;
    selectionModel()->setCurrentIndex(m_model->index(ARow, ACol),
                                      QItemSelectionModel::ClearAndSelect);
}

void TComboGrid::ensureCurrent()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= m_fixedRows && current.column() >= m_fixedCols)
        return;
    if (m_fixedRows < RowCount() && m_fixedCols < ColCount())
        FocusCell(m_fixedCols, m_fixedRows);
    else
        selectionModel()->clear();
}

TGridRect TComboGrid::Selection() const
{
    const QItemSelection selection = selectionModel()->selection();
    TGridRect rect{Col(), Row(), Col(), Row()};
    bool first = true;
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid())
            continue;
        if (first) {
            rect = {range.left(), range.top(), range.right(), range.bottom()};
            first = false;
        } else {
            rect.Left = qMin(rect.Left, range.left());
            rect.Top = qMin(rect.Top, range.top());
            rect.Right = qMax(rect.Right, range.right());
            rect.Bottom = qMax(rect.Bottom, range.bottom());
        }
    }
    // Whole-row selections cover the fixed columns as well; the selection never does.
    rect.Left = qMax(rect.Left, m_fixedCols);
    rect.Top = qMax(rect.Top, m_fixedRows);
    return rect;
}

void TComboGrid::SetSelection(const TGridRect &rect)
{
    const int lastCol = ColCount() - 1;
    const int lastRow = RowCount() - 1;
    if (m_fixedCols > lastCol || m_fixedRows > lastRow)
        return;
    const int left = qBound(m_fixedCols, qMin(rect.Left, rect.Right), lastCol);
    const int right = qBound(m_fixedCols, qMax(rect.Left, rect.Right), lastCol);
    const int top = qBound(m_fixedRows, qMin(rect.Top, rect.Bottom), lastRow);
    const int bottom = qBound(m_fixedRows, qMax(rect.Top, rect.Bottom), lastRow);
    selectionModel()->setCurrentIndex(m_model->index(bottom, right), QItemSelectionModel::NoUpdate);
    selectionModel()->select(
        QItemSelection(m_model->index(top, left), m_model->index(bottom, right)),
        QItemSelectionModel::ClearAndSelect);
}

QRect TComboGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
        return {};
    if (ACol < m_fixedCols || ARow < m_fixedRows)
        return fixedCellRect(ACol, ARow);
    const QRect rect = visualRect(m_model->index(ARow, ACol)) & viewport()->rect();
    if (rect.isEmpty())
        return {};
    return rect.translated(viewport()->pos());
}

QRect TComboGrid::fixedCellRect(int ACol, int ARow) const
{
    const int line = gridLine();
    int x = 0;
    for (int col = 0; col < qMin(ACol, m_fixedCols); ++col)
        x += ColWidths(col) + line;
    int y = 0;
    for (int row = 0; row < qMin(ARow, m_fixedRows); ++row)
        y += RowHeights(row) + line;
    QWidget *owner = nullptr;
    QRect rect;
    if (ACol < m_fixedCols && ARow < m_fixedRows) {
        owner = m_corner;
        rect = QRect(x, y, ColWidths(ACol), RowHeights(ARow));
    } else if (ARow < m_fixedRows) {
        owner = m_topHeader->viewport();
        const int left = m_topHeader->sectionViewportPosition(ACol);
        if (left < 0 && m_topHeader->isSectionHidden(ACol))
            return {};
        rect = QRect(left, y, ColWidths(ACol), RowHeights(ARow));
    } else {
        owner = m_leftHeader->viewport();
        const int top = m_leftHeader->sectionViewportPosition(ARow);
        if (top < 0 && m_leftHeader->isSectionHidden(ARow))
            return {};
        rect = QRect(x, top, ColWidths(ACol), RowHeights(ARow));
    }
    if (!owner->isVisibleTo(this))
        return {};
    rect &= owner->rect();
    if (rect.isEmpty())
        return {};
    return rect.translated(owner->mapTo(this, QPoint(0, 0)));
}

bool TComboGrid::MouseToCell(const QPoint &pos, int &ACol, int &ARow) const
{
    ACol = ARow = -1;
    const auto fixedCol = [this](int x) {
        for (int col = 0; col < m_fixedCols; ++col) {
            x -= ColWidths(col) + gridLine();
            if (x < 0)
                return col;
        }
        return -1;
    };
    const auto fixedRow = [this](int y) {
        for (int row = 0; row < m_fixedRows; ++row) {
            y -= RowHeights(row) + gridLine();
            if (y < 0)
                return row;
        }
        return -1;
    };
    const auto inside = [this](const QWidget *widget, const QPoint &at) {
        return widget->isVisibleTo(this) && widget->rect().contains(widget->mapFrom(this, at));
    };
    if (inside(viewport(), pos)) {
        const QModelIndex index = indexAt(viewport()->mapFrom(this, pos));
        if (index.isValid()) {
            ACol = index.column();
            ARow = index.row();
        }
    } else if (inside(m_corner, pos)) {
        const QPoint local = m_corner->mapFrom(this, pos);
        ACol = fixedCol(local.x());
        ARow = fixedRow(local.y());
    } else if (inside(m_topHeader->viewport(), pos)) {
        const QPoint local = m_topHeader->viewport()->mapFrom(this, pos);
        ACol = m_topHeader->logicalIndexAt(local.x());
        ARow = fixedRow(local.y());
    } else if (inside(m_leftHeader->viewport(), pos)) {
        const QPoint local = m_leftHeader->viewport()->mapFrom(this, pos);
        ACol = fixedCol(local.x());
        ARow = m_leftHeader->logicalIndexAt(local.y());
    }
    if (ACol < 0 || ARow < 0) {
        ACol = ARow = -1;
        return false;
    }
    return true;
}

bool TComboGrid::EditorMode() const
{
    return m_editor && state() == QAbstractItemView::EditingState;
}

void TComboGrid::SetEditorMode(bool value)
{
    if (value) {
        if (!EditorMode() && CanEditShow())
            edit(currentIndex());
    } else {
        commitEditor();
    }
}

void TComboGrid::editorCreated(TComboInplaceEdit *editor)
{
    m_editor = editor;
}

void TComboGrid::commitEditor()
{
    if (!m_editor || state() != QAbstractItemView::EditingState)
        return;
    TComboInplaceEdit *editor = m_editor;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

TCellKind &TComboGrid::GetCellKind(int ACol)
{
    Q_ASSERT(ACol >= 0);
    ACol = qMax(ACol, 0);
    if (ACol >= int(m_cellKinds.size()))
        m_cellKinds.resize(ACol + 1);
    std::unique_ptr<TCellKind> &slot = m_cellKinds[ACol];
    if (!slot)
        slot = std::make_unique<TCellKind>(this);
    return *slot;
}

bool TComboGrid::columnMayEdit(int ACol)
{
    if (!(m_options & goEditing) || (m_options & goRowSelect) || ACol < 0)
        return false;
    const TCellKind &kind = GetCellKind(ACol);
    return kind.Editable() && isTextLike(kind);
}

bool TComboGrid::CanEditShow()
{
    return currentIndex().isValid() && columnMayEdit(Col());
}

QString TComboGrid::GetEditMask(int ACol, int)
{
    const TCellKind &kind = GetCellKind(ACol);
    if (kind.Kind() == ckText)
        return kind.ItemText(0);
    return {};
}

int TComboGrid::GetEditLimit()
{
    const TCellKind &kind = GetCellKind(Col());
    return kind.Kind() == ckText ? kind.MaxLength() : 0;
}

void TComboGrid::CellKindChanged()
{
    viewport()->update();
    refreshFixed();
}

void TComboGrid::refreshFixed()
{
    m_topHeader->viewport()->update();
    m_leftHeader->viewport()->update();
    m_corner->update();
}

void TComboGrid::NextToggleState(int ACol, int ARow)
{
    const TCellKind &kind = GetCellKind(ACol);
    const QList<TCellKindItem> &items = kind.Items();
    if (items.isEmpty())
        return; // no states to cycle through
    const int current = kind.IndexOfItem(Cells(ACol, ARow));
    int next = 0;
    if (current >= 0 && items.at(current).Value != 1) {
        next = current;
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i).Value == 1) {
                next = i;
                break;
            }
        }
    }
    SetCells(ACol, ARow, items.at(next).Text);
    repaintCell(ACol, ARow);
}

void TComboGrid::drawCell(QPainter &painter, int ACol, int ARow, const QRect &rect,
                          TGridDrawState state, const QPalette &palette)
{
    if (rect.isEmpty())
        return;
    if (!m_defaultDrawing) {
        emit OnDrawCell(&painter, ACol, ARow, rect, state);
        return;
    }
    const TCellKind &kind = GetCellKind(ACol);
    const bool fixed = state & gdFixed;
    const bool pressed = ACol == m_pressedCol && ARow == m_pressedRow;
    const QString text = Cells(ACol, ARow);
    if (ARow < m_fixedRows || (fixed && isTextLike(kind))) {
        cellpaint::DrawCellText(painter, rect, text, kind.TitleAlign(), kind.Margin(), true,
                                palette.color(QPalette::ButtonText));
    } else if (fixed) {
        // Buttons and toggles of fixed columns show the caption (or their own text).
        const QString caption = buttonCaption(kind, text);
        if (isButton(kind))
            cellpaint::DrawButtonCell(painter, rect, caption, pressed, false, palette);
        else
            cellpaint::DrawToggleCell(painter, rect, kind, caption, pressed, palette);
    } else if (isTextLike(kind)) {
        const bool selected = state & gdSelected;
        painter.fillRect(rect, palette.color(selected ? QPalette::Highlight : QPalette::Base));
        const QString shown = kind.Kind() == ckText ? pictured(kind, text) : text;
        cellpaint::DrawCellText(
            painter, rect, shown, kind.Align(), kind.Margin(), false,
            palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        if (state & gdFocused) {
            painter.save();
            painter.setPen(
                QPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text), 0,
                     Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
            painter.restore();
        }
    } else if (isButton(kind)) {
        // Button and toggle cells never show the selection or the current-cell look; only a
        // held cell that was the current one looks focused.
        cellpaint::DrawButtonCell(painter, rect, buttonCaption(kind, text), pressed,
                                  pressed && m_pressedFocused, palette);
    } else {
        cellpaint::DrawToggleCell(painter, rect, kind, text, pressed, palette);
    }
    if (pressed) {
        painter.save();
        painter.setPen(QPen(palette.color(QPalette::ButtonText), 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
    emit OnDrawCell(&painter, ACol, ARow, rect, state);
}

void TComboGrid::repaintCell(int ACol, int ARow)
{
    if (ACol < m_fixedCols || ARow < m_fixedRows) {
        refreshFixed();
        return;
    }
    viewport()->update(visualRect(m_model->index(ARow, ACol)));
}

bool TComboGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // The editor never opens on buttons, toggles or columns that are not editable.
    if (index.isValid() && !columnMayEdit(index.column()))
        return false;
    return QTableView::edit(index, trigger, event);
}

void TComboGrid::keyboardSearch(const QString &)
{
    // Typing never jumps to another row.
}

void TComboGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if ((m_options & goAlwaysShowEditor) && current.isValid() && CanEditShow() &&
        state() != QAbstractItemView::EditingState)
        edit(current);
}

void TComboGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!m_corner)
        return;
    if (m_fixedRows > 0 && m_fixedCols > 0) {
        m_corner->setGeometry(m_leftHeader->x(), m_topHeader->y(), m_leftHeader->width(),
                              m_topHeader->height());
        m_corner->show();
        m_corner->raise();
    } else {
        m_corner->hide();
    }
}
