#include "cellkind.h"

#include "cmbgrid.h"

namespace {

template<typename T> bool store(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void TCellKind::changed()
{
    if (m_grid)
        m_grid->CellKindChanged();
}

void TCellKind::SetAlign(quint8 value)
{
    if (store(m_align, value))
        changed();
}

void TCellKind::SetTitleAlign(quint8 value)
{
    if (store(m_titleAlign, value))
        changed();
}

void TCellKind::SetKind(quint8 value)
{
    if (store(m_kind, value))
        changed();
}

void TCellKind::SetEditable(bool value)
{
    if (store(m_editable, value))
        changed();
}

void TCellKind::SetDropDownWidth(qint32 value)
{
    m_dropDownWidth = value; // only the next drop-down uses it; nothing to repaint
}

void TCellKind::SetMargin(qint8 value)
{
    if (store(m_margin, value))
        changed();
}

void TCellKind::SetMaxLength(qint32 value)
{
    m_maxLength = value; // only the next editor uses it
}

void TCellKind::SetItems(const QList<TCellKindItem> &items)
{
    if (store(m_items, items))
        changed();
}

void TCellKind::SetItems(const QStringList &texts)
{
    QList<TCellKindItem> items;
    items.reserve(texts.size());
    for (const QString &text : texts)
        items.append({text, 0});
    SetItems(items);
}

void TCellKind::ClearItems()
{
    SetItems(QList<TCellKindItem>());
}

void TCellKind::AddItem(const QString &text, qint32 value)
{
    m_items.append({text, value});
    changed();
}

QStringList TCellKind::ItemTexts() const
{
    QStringList texts;
    texts.reserve(m_items.size());
    for (const TCellKindItem &item : m_items)
        texts.append(item.Text);
    return texts;
}

QString TCellKind::ItemText(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index).Text : QString();
}

int TCellKind::IndexOfItem(const QString &text) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).Text.compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TCellKind::Assign(const TCellKind &source)
{
    if (&source == this)
        return;
    m_kind = source.m_kind;
    m_items = source.m_items;
    m_dropDownWidth = source.m_dropDownWidth;
    m_margin = source.m_margin;
    m_titleAlign = source.m_titleAlign;
    m_align = source.m_align;
    m_maxLength = source.m_maxLength;
    m_editable = source.m_editable;
    changed();
}

bool TCellKind::SameAs(const TCellKind &other) const
{
    return m_align == other.m_align && m_kind == other.m_kind &&
           m_titleAlign == other.m_titleAlign && m_items == other.m_items &&
           m_editable == other.m_editable && m_dropDownWidth == other.m_dropDownWidth &&
           m_margin == other.m_margin && m_maxLength == other.m_maxLength;
}
