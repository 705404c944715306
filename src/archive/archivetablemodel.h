// The archived tests as the window's table shows them: fetched a page at a time as the table
// scrolls, so a catalogue of a hundred thousand tests opens as quickly as one of ten.
#pragma once

#include "catalogue.h"

#include <QAbstractTableModel>
#include <functional>

class TArchiveTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Distance,
        TestedAt,
        Code,
        Point,
        Place,
        FinalDepth,
        MeanNsw,
        Qa,
        Sinking,
        File,
        ColumnCount
    };

    // Rows fetched at once.
    static constexpr int kPageSize = 200;

    // `catalogue` answers the catalogue at each fetch (null: none now). It is asked again each
    // time rather than kept: the program may close and reopen its catalogue meanwhile.
    explicit TArchiveTableModel(std::function<TCatalogue *()> catalogue, QObject *parent = nullptr);

    // Shows what `query` finds; the first page is read at once. A failure leaves the table
    // empty and is told through failed().
    void Show(const TArchiveQuery &query);
    // Shows nothing.
    void Clear();
    const TArchiveHit &Hit(int row) const { return m_hits.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void failed(const QString &message);

private:
    QList<TArchiveHit> m_hits;
    std::function<TCatalogue *()> m_catalogue;
    TArchiveQuery m_query;
    bool m_more = false;
};
