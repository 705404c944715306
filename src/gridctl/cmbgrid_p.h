// The grid control's own parts, shared by its sources: the kinds' tests, the cell model and the
// fixed headers.
#pragma once

#include "cmbgrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>

inline bool isButton(const TCellKind &kind)
{
    return kind.Kind() == ckButton;
}

inline bool isToggle(const TCellKind &kind)
{
    return kind.Kind() == ckToggle;
}

// The cell texts of the whole grid, fixed rows and columns included, so that a model index
// and a grid cell have the same column and row.
class TGridModel : public QAbstractTableModel
{
public:
    explicit TGridModel(TComboGrid *grid) : QAbstractTableModel(grid), m_grid(grid) {}

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QString text(int col, int row) const;
    bool setText(int col, int row, const QString &value);
    void setColCount(int count);
    void setRowCount(int count);

private:
    TComboGrid *m_grid;
    QList<QStringList> m_rows;
    int m_cols = 0;
};

// The fixed rows (top header) or the fixed columns (left header) of the grid, drawn cell by cell
// with the grid's own cell drawing over a header face.
class TFixedHeader : public QHeaderView
{
public:
    TFixedHeader(Qt::Orientation orientation, TComboGrid *grid);

    QSize sizeHint() const override;

    // One fixed cell's face: the header section look of the style.
    void drawFace(QPainter *painter, const QRect &rect, int section) const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TComboGrid *m_grid;
};

// The cells where fixed rows and fixed columns meet, above the left header.
class TFixedCorner : public QWidget
{
public:
    explicit TFixedCorner(TComboGrid *grid) : QWidget(grid), m_grid(grid) {}

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TComboGrid *m_grid;
};
