// The grid's cell model: the texts of every cell, fixed ones included.
#include "cmbgrid_p.h"

int TGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant TGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_grid->DisplayText(index.column(), index.row());
    if (role == Qt::EditRole)
        return text(index.column(), index.row());
    return {};
}

bool TGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setText(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags TGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    // The first fixed row (column) names the column (row), for accessibility.
    if (orientation == Qt::Horizontal && m_grid->FixedRows() > 0)
        return m_grid->DisplayText(section, 0);
    if (orientation == Qt::Vertical && m_grid->FixedCols() > 0)
        return m_grid->DisplayText(0, section);
    return {};
}

QString TGridModel::text(int col, int row) const
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_cols)
        return {};
    return m_rows.at(row).at(col);
}

bool TGridModel::setText(int col, int row, const QString &value)
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_cols)
        return false;
    QString &cell = m_rows[row][col];
    if (cell == value)
        return false;
    cell = value;
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void TGridModel::setColCount(int count)
{
    if (count > m_cols) {
        beginInsertColumns({}, m_cols, count - 1);
        m_cols = count;
        for (QStringList &row : m_rows)
            row.resize(count);
        endInsertColumns();
    } else if (count < m_cols) {
        beginRemoveColumns({}, count, m_cols - 1);
        m_cols = count;
        for (QStringList &row : m_rows)
            row.resize(count);
        endRemoveColumns();
    }
}

void TGridModel::setRowCount(int count)
{
    const int rows = int(m_rows.size());
    if (count > rows) {
        beginInsertRows({}, rows, count - 1);
        m_rows.resize(count, QStringList(m_cols, QString()));
        endInsertRows();
    } else if (count < rows) {
        beginRemoveRows({}, count, rows - 1);
        m_rows.resize(count);
        endRemoveRows();
    }
}
