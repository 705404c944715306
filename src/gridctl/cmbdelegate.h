// The grid's one delegate: draws each data cell after its column's kind and gives text and
// drop-down columns the grid's in-place editor.
#pragma once

#include <QStyledItemDelegate>

class TComboGrid;

class TCellKindDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TCellKindDelegate(TComboGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    TComboGrid *m_grid;
};
