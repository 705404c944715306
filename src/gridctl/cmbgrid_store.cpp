// The grid's stored form: cell texts and column kinds as a window description's ordered values.
#include "cmbgrid.h"

#include "errors.h"

namespace {

// Reads the ordered values of the window description and says where they go wrong.
class TValueReader
{
public:
    TValueReader(const QVariantList &values, const QString &property)
        : m_values(values), m_property(property)
    {}

    bool atEnd() const { return m_pos >= m_values.size(); }
    qsizetype remaining() const { return m_values.size() - m_pos; }

    qint64 integer(qint64 lowest, qint64 highest)
    {
        const QVariant &value = next();
        bool ok = false;
        qint64 number = 0;
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::SChar:
        case QMetaType::UChar:
            number = value.toLongLong(&ok);
            break;
        default:
            break;
        }
        if (!ok || number < lowest || number > highest)
            fail();
        return number;
    }

    QString string()
    {
        const QVariant &value = next();
        if (value.typeId() != QMetaType::QString)
            fail();
        return value.toString();
    }

    bool boolean()
    {
        const QVariant &value = next();
        if (value.typeId() != QMetaType::Bool)
            fail();
        return value.toBool();
    }

private:
    const QVariant &next()
    {
        if (atEnd()) {
            ++m_pos;
            fail();
        }
        return m_values.at(m_pos++);
    }

    [[noreturn]] void fail() const
    {
        throw ETessmarkError(
            QStringLiteral("グリッドの %1 を読み込めません (%2 番目の値が不正です)")
                .arg(m_property)
                .arg(m_pos));
    }

    const QVariantList &m_values;
    QString m_property;
    qsizetype m_pos = 0;
};

} // namespace

QVariantList TComboGrid::WriteCellData() const
{
    QVariantList values;
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            const QString text = Cells(col, row);
            if (!text.isEmpty())
                values << col << row << text;
        }
    }
    return values;
}

void TComboGrid::ReadCellData(const QVariantList &values)
{
    struct Cell
    {
        int col;
        int row;
        QString text;
    };
    QList<Cell> cells;
    TValueReader reader(values, QStringLiteral("CellData"));
    while (!reader.atEnd()) {
        const int col = int(reader.integer(INT_MIN, INT_MAX));
        const int row = int(reader.integer(INT_MIN, INT_MAX));
        cells.append({col, row, reader.string()});
    }
    // Cells outside the grid have nowhere to go.
    for (const Cell &cell : cells)
        SetCells(cell.col, cell.row, cell.text);
}

QVariantList TComboGrid::WriteCellKind()
{
    QVariantList values;
    for (int col = 0; col < ColCount(); ++col) {
        const TCellKind &kind = GetCellKind(col);
        values << int(kind.Kind()) << int(kind.TitleAlign()) << int(kind.Align())
               << int(kind.Items().size());
        for (const TCellKindItem &item : kind.Items()) {
            values << item.Text;
            if (kind.Kind() == ckToggle)
                values << int(item.Value);
        }
        values << int(kind.DropDownWidth()) << int(kind.Margin()) << int(kind.MaxLength())
               << kind.Editable();
    }
    return values;
}

void TComboGrid::ReadCellKind(const QVariantList &values)
{
    std::vector<std::unique_ptr<TCellKind>> kinds;
    TValueReader reader(values, QStringLiteral("CellKind"));
    while (!reader.atEnd()) {
        auto kind = std::make_unique<TCellKind>();
        kind->SetKind(quint8(reader.integer(0, 255)));
        kind->SetTitleAlign(quint8(reader.integer(0, 255)));
        kind->SetAlign(quint8(reader.integer(0, 255)));
        const qint64 count = reader.integer(0, reader.remaining());
        QList<TCellKindItem> items;
        items.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            TCellKindItem item;
            item.Text = reader.string();
            if (kind->Kind() == ckToggle)
                item.Value = qint32(reader.integer(INT_MIN, INT_MAX));
            items.append(item);
        }
        kind->SetItems(items);
        kind->SetDropDownWidth(qint32(reader.integer(INT_MIN, INT_MAX)));
        kind->SetMargin(qint8(reader.integer(-128, 127)));
        kind->SetMaxLength(qint32(reader.integer(INT_MIN, INT_MAX)));
        kind->SetEditable(reader.boolean());
        // Owned by this grid like every other kind, so its changes repaint the grid too.
        kind->SetGrid(this);
        kinds.push_back(std::move(kind));
    }
    m_cellKinds = std::move(kinds);
    CellKindChanged();
}
