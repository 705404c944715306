#include "sitetablemodel.h"

#include "site.h"

#include <QApplication>
#include <QBrush>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPalette>
#include <QStyle>

namespace {

QString tenthsOrDash(const TSitePointFigures &point, int TBearingResult::*value)
{
    return point.Result && point.Result->Covered ? TenthsText((*point.Result).*value)
                                                 : QStringLiteral("-");
}

} // namespace

TSiteTableModel::TSiteTableModel(TSiteData &data, QObject *parent)
    : QAbstractTableModel(parent), m_data(data)
{}

void TSiteTableModel::Reload()
{
    beginResetModel();
    endResetModel();
}

void TSiteTableModel::Refresh()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int TSiteTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_data.Site.Points.size());
}

int TSiteTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TSiteTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (role == Qt::ToolTipRole && section >= XColumn && section <= GroundColumn)
        return QStringLiteral("灰色はGPSの値。入力するとGPSの値に代わり、空欄にするとGPSの値に"
                              "戻ります");
    if (role != Qt::DisplayRole)
        return {};
    // Two short lines each, so every figure shows beside the file at the window's first size.
    static const char *const headings[ColumnCount] = {
        "測点",      "試験ファイル",    "X 東\n(m)",        "Y 北\n(m)",        "地盤高\n(m)",
        "平均\nNsw", "qa長期\n(kN/m²)", "自沈(m)\nB～B+2m", "自沈(m)\nB+2～5m", "自沈層\n下端(m)"};
    return QString::fromUtf8(headings[section]);
}

Qt::ItemFlags TSiteTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const int column = index.column();
    if (column == LabelColumn || (column >= XColumn && column <= GroundColumn))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QString TSiteTableModel::displayText(int row, int column) const
{
    const TSiteTestPoint &point = m_data.Site.Points.at(row);
    const TSitePointFigures &f = m_data.Figures.Points.at(row);
    const bool evaluated = f.Result.has_value();
    switch (column) {
    case LabelColumn:
        return point.Label;
    case FileColumn:
        return QFileInfo(point.File).fileName();
    case XColumn:
        return f.Position ? SiteMetresText(f.Position->x()) : QStringLiteral("-");
    case YColumn:
        return f.Position ? SiteMetresText(f.Position->y()) : QStringLiteral("-");
    case GroundColumn:
        return SiteMetresText(f.Ground);
    case MeanColumn:
        return tenthsOrDash(f, &TBearingResult::MeanNswTenths);
    case QaColumn:
        return tenthsOrDash(f, &TBearingResult::QaTenths);
    case UpperColumn:
        return evaluated ? MetresText(f.UpperThickness) : QStringLiteral("-");
    case LowerColumn:
        return evaluated ? MetresText(f.LowerThickness) : QStringLiteral("-");
    case BottomColumn:
        return f.SoftBottom ? MetresText(*f.SoftBottom) : QStringLiteral("-");
    default:
        return {};
    }
}

QString TSiteTableModel::toolTip(int row, int column) const
{
    const TSiteTestPoint &point = m_data.Site.Points.at(row);
    const TSitePointFigures &f = m_data.Figures.Points.at(row);
    if (column == LabelColumn || column == FileColumn) {
        QStringList lines{QDir::toNativeSeparators(point.File)};
        lines += f.Problems;
        if (const std::optional<TSiteFarPoint> far = m_data.Figures.FarPoint(row))
            lines.append(FarPointText(*far));
        return lines.join(u'\n');
    }
    if (column == XColumn || column == YColumn) {
        if (f.PositionSource == TValueSource::None)
            return QStringLiteral("位置なし（位置図に示しません）");
        if (f.PositionSource == TValueSource::Gps)
            return QStringLiteral("GPSの位置");
        if (f.GpsPosition)
            return QStringLiteral("入力した位置（GPS: %1, %2）")
                .arg(SiteMetresText(f.GpsPosition->x()), SiteMetresText(f.GpsPosition->y()));
        return QStringLiteral("入力した位置");
    }
    if (column == GroundColumn) {
        if (f.GroundSource == TValueSource::None)
            return QStringLiteral("地盤高なし");
        if (f.GroundSource == TValueSource::Gps)
            return QStringLiteral("GPSの海抜高度の差");
        if (f.GpsGround)
            return QStringLiteral("入力した地盤高（GPS: %1）").arg(SiteMetresText(*f.GpsGround));
        return QStringLiteral("入力した地盤高");
    }
    if (column == BottomColumn)
        return QStringLiteral("B+5 m までの自沈層の最も深い下端（深さ）");
    return {};
}

QVariant TSiteTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_data.Site.Points.size())
        return {};
    const int row = index.row();
    const int column = index.column();
    const TSitePointFigures &f = m_data.Figures.Points.at(row);
    const bool fromGps =
        ((column == XColumn || column == YColumn) && f.PositionSource == TValueSource::Gps) ||
        (column == GroundColumn && f.GroundSource == TValueSource::Gps);
    switch (role) {
    case Qt::DisplayRole:
        return displayText(row, column);
    case Qt::EditRole:
        return displayText(row, column) == u"-" ? QString() : displayText(row, column);
    case Qt::ToolTipRole:
        return toolTip(row, column);
    case Qt::TextAlignmentRole:
        return column >= XColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DecorationRole:
        if (column == LabelColumn && m_data.Figures.FarPoint(row))
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    case Qt::BackgroundRole:
        // The whole row of a point far from the others, so a misread position is seen at once.
        if (m_data.Figures.FarPoint(row))
            return QBrush(QColor(255, 226, 190));
        return {};
    case Qt::ForegroundRole:
        if (!m_data.Tests.value(row).Test && column <= FileColumn)
            return QBrush(Qt::red);
        if (fromGps)
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        return {};
    case Qt::FontRole:
        if (fromGps) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

bool TSiteTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    const int column = index.column();
    TSiteTestPoint &point = m_data.Site.Points[row];
    const QString text = value.toString().trimmed();
    if (column == LabelColumn) {
        if (text == point.Label)
            return false;
        const QString problem = LabelProblem(m_data.Site, row, text);
        if (!problem.isEmpty()) {
            emit EditRefused(problem);
            return false;
        }
        point.Label = text;
    } else if (column >= XColumn && column <= GroundColumn) {
        // An editor left as it opened keeps a GPS value in charge.
        if (text == data(index, Qt::EditRole).toString())
            return false;
        std::optional<double> metres;
        if (!text.isEmpty()) {
            metres = ParseSiteMetres(text);
            if (!metres) {
                emit EditRefused(QStringLiteral("「%1」はメートルの数値ではありません").arg(text));
                return false;
            }
        }
        if (column == GroundColumn) {
            point.TypedGround = metres;
        } else if (!metres) {
            point.TypedPosition.reset();
        } else {
            // The other coordinate starts from what is shown, or 0 without a position.
            QPointF typed = m_data.Figures.Points.at(row).Position.value_or(QPointF());
            (column == XColumn ? typed.rx() : typed.ry()) = *metres;
            point.TypedPosition = typed;
        }
    } else {
        return false;
    }
    m_data.Recompute();
    Refresh();
    emit SiteEdited();
    return true;
}
