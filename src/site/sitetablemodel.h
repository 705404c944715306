// The site window's table of points: label, file, position, ground level and the figures of
// each point; the label, the position and the level can be typed over.
#pragma once

#include <QAbstractTableModel>

struct TSiteData;

class TSiteTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        LabelColumn,
        FileColumn,
        XColumn,
        YColumn,
        GroundColumn,
        MeanColumn,
        QaColumn,
        UpperColumn,
        LowerColumn,
        BottomColumn,
        ColumnCount
    };

    // `data` stays the window's; the model shows it and writes typed values into it.
    explicit TSiteTableModel(TSiteData &data, QObject *parent = nullptr);

    // The whole table again, after points were added, removed or moved.
    void Reload();
    // Every cell again, after the figures changed (the base depth).
    void Refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Takes a typed label, position or level; an empty position or level goes back to the GPS
    // value. Refuses (EditRefused with the reason) what is no number or a label in use.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A typed value was taken: the figures are recomputed.
    void SiteEdited();
    void EditRefused(const QString &message);

private:
    QString displayText(int row, int column) const;
    QString toolTip(int row, int column) const;

    TSiteData &m_data;
};
