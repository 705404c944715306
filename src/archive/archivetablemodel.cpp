#include "archivetablemodel.h"

#include "archiveentry.h"

#include <QDir>

TArchiveTableModel::TArchiveTableModel(std::function<TCatalogue *()> catalogue, QObject *parent)
    : QAbstractTableModel(parent), m_catalogue(std::move(catalogue))
{}

void TArchiveTableModel::Show(const TArchiveQuery &query)
{
    beginResetModel();
    m_hits.clear();
    m_query = query;
    m_query.After.reset();
    // A search by place is a few tests around one point: read at once, sorted by distance.
    m_query.Limit = query.Near ? -1 : kPageSize;
    m_more = true;
    endResetModel();
    fetchMore({});
}

void TArchiveTableModel::Clear()
{
    beginResetModel();
    m_hits.clear();
    m_more = false;
    endResetModel();
}

int TArchiveTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int TArchiveTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool TArchiveTableModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more;
}

void TArchiveTableModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || !m_more)
        return;
    TCatalogue *catalogue = m_catalogue();
    if (!catalogue) {
        m_more = false;
        return;
    }
    QList<TArchiveHit> page;
    try {
        page = catalogue->Find(m_query);
    } catch (const ECatalogueError &e) {
        m_more = false;
        emit failed(e.message());
        return;
    }
    m_more = !m_query.Near && page.size() == m_query.Limit;
    if (!page.isEmpty()) {
        const TArchiveFigures &last = page.last().Entry.Figures;
        m_query.After = std::pair{last.TestedAt, page.last().Entry.Id};
        beginInsertRows({}, int(m_hits.size()), int(m_hits.size() + page.size() - 1));
        m_hits += page;
        endInsertRows();
    }
}

QVariant TArchiveTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_hits.size())
        return {};
    const TArchiveHit &hit = m_hits.at(index.row());
    const TArchiveFigures &f = hit.Entry.Figures;
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == Distance || index.column() == FinalDepth ||
                            index.column() == MeanNsw || index.column() == Qa ||
                            index.column() == Point;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::ToolTipRole && index.column() == File)
        return QDir::toNativeSeparators(ArchivedPath(hit.Entry));
    if (role == Qt::ToolTipRole && !f.Problem.isEmpty())
        return f.Problem;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Distance:
        return hit.Distance ? QString::asprintf("%.1f", *hit.Distance) : QString();
    case TestedAt:
        return f.TestedAt.isEmpty() ? QStringLiteral("-") : f.TestedAt;
    case Code:
        return f.Code;
    case Point:
        return QString::asprintf("%.2d", f.Point);
    case Place:
        return f.Position
                   ? QString::asprintf("%.6f, %.6f", f.Position->Latitude, f.Position->Longitude)
                   : QStringLiteral("位置なし");
    case FinalDepth:
        return ArchiveMetresText(f.FinalDepth);
    case MeanNsw:
        return ArchiveTenthsText(f.MeanNswTenths);
    case Qa:
        return ArchiveTenthsText(f.QaTenths);
    case Sinking:
        return QString(ArchiveMetresText(f.UpperSinking) + QStringLiteral(" / ") +
                       ArchiveMetresText(f.LowerSinking));
    case File:
        return hit.Entry.FileName;
    default:
        return {};
    }
}

QVariant TArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Distance:
        return QStringLiteral("距離(m)");
    case TestedAt:
        return QStringLiteral("試験日時");
    case Code:
        return QStringLiteral("試験コード");
    case Point:
        return QStringLiteral("測点");
    case Place:
        return QStringLiteral("位置（緯度, 経度）");
    case FinalDepth:
        return QStringLiteral("最終深さ(m)");
    case MeanNsw:
        return QStringLiteral("平均Nsw");
    case Qa:
        return QStringLiteral("qa(kN/m²)");
    case Sinking:
        return QStringLiteral("自沈層厚(m)");
    case File:
        return QStringLiteral("ファイル");
    default:
        return {};
    }
}
