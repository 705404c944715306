// The grid's fixed rows and columns: the top and left headers and the corner where they meet.
#include "cmbgrid_p.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

TFixedHeader::TFixedHeader(Qt::Orientation orientation, TComboGrid *grid)
    : QHeaderView(orientation, grid), m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Fixed);
}

QSize TFixedHeader::sizeHint() const
{
    if (orientation() == Qt::Horizontal)
        return QSize(length(), m_grid->fixedRowsHeight());
    return QSize(m_grid->fixedColsWidth(), length());
}

void TFixedHeader::drawFace(QPainter *painter, const QRect &rect, int section) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = section;
    option.position = QStyleOptionHeader::Middle;
    option.state |= QStyle::State_Raised;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
}

void TFixedHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->setFont(m_grid->font());
    const int line = m_grid->gridLine();
    const QPalette palette = m_grid->palette();
    if (orientation() == Qt::Horizontal) {
        int y = rect.top();
        for (int row = 0; row < m_grid->FixedRows(); ++row) {
            const int height = m_grid->RowHeights(row);
            if (m_grid->DefaultDrawing())
                drawFace(painter, QRect(rect.left(), y, rect.width(), height + line), logicalIndex);
            m_grid->drawCell(*painter, logicalIndex, row,
                             QRect(rect.left(), y, m_grid->ColWidths(logicalIndex), height),
                             gdFixed, palette);
            y += height + line;
        }
    } else {
        int x = rect.left();
        for (int col = 0; col < m_grid->FixedCols(); ++col) {
            const int width = m_grid->ColWidths(col);
            if (m_grid->DefaultDrawing())
                drawFace(painter, QRect(x, rect.top(), width + line, rect.height()), logicalIndex);
            m_grid->drawCell(*painter, col, logicalIndex,
                             QRect(x, rect.top(), width, m_grid->RowHeights(logicalIndex)), gdFixed,
                             palette);
            x += width + line;
        }
    }
}

void TFixedHeader::mousePressEvent(QMouseEvent *event)
{
    QHeaderView::mousePressEvent(event);
    m_grid->fixedMousePress(event, viewport());
}

void TFixedHeader::mouseReleaseEvent(QMouseEvent *event)
{
    QHeaderView::mouseReleaseEvent(event);
    m_grid->fixedMouseRelease(event, viewport());
}

void TFixedHeader::mouseDoubleClickEvent(QMouseEvent *event)
{
    QHeaderView::mouseDoubleClickEvent(event);
    m_grid->fixedMousePress(event, viewport());
}

void TFixedCorner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(m_grid->font());
    const int line = m_grid->gridLine();
    const QPalette palette = m_grid->palette();
    int y = 0;
    for (int row = 0; row < m_grid->FixedRows(); ++row) {
        const int height = m_grid->RowHeights(row);
        int x = 0;
        for (int col = 0; col < m_grid->FixedCols(); ++col) {
            const int width = m_grid->ColWidths(col);
            if (m_grid->DefaultDrawing())
                m_grid->m_topHeader->drawFace(&painter, QRect(x, y, width + line, height + line),
                                              col);
            m_grid->drawCell(painter, col, row, QRect(x, y, width, height), gdFixed, palette);
            x += width + line;
        }
        y += height + line;
    }
}

void TFixedCorner::mousePressEvent(QMouseEvent *event)
{
    m_grid->fixedMousePress(event, this);
}

void TFixedCorner::mouseReleaseEvent(QMouseEvent *event)
{
    m_grid->fixedMouseRelease(event, this);
}
