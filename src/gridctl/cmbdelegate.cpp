#include "cmbdelegate.h"

#include "cmbgrid.h"
#include "inplaceedit.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

// The line edit's own maximum stands for "no limit" (0 would forbid every character).
constexpr int kNoLimit = 32767;

} // namespace

TCellKindDelegate::TCellKindDelegate(TComboGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void TCellKindDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    TGridDrawState state;
    if (option.state & QStyle::State_Selected)
        state |= gdSelected;
    if (option.state & QStyle::State_HasFocus)
        state |= gdFocused;
    QPalette palette = option.palette;
    if (!(option.state & QStyle::State_Enabled))
        palette.setCurrentColorGroup(QPalette::Disabled);
    else if (!(option.state & QStyle::State_Active))
        palette.setCurrentColorGroup(QPalette::Inactive);
    painter->save();
    painter->setFont(option.font);
    m_grid->drawCell(*painter, index.column(), index.row(), option.rect, state, palette);
    painter->restore();
}

QWidget *TCellKindDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &) const
{
    auto *editor = new TComboInplaceEdit(m_grid, parent);
    // An entry picked from the drop-down list goes into the cell at once.
    auto *self = const_cast<TCellKindDelegate *>(this);
    connect(editor, &TComboInplaceEdit::EntryChosen, self,
            [self, editor] { emit self->commitData(editor); });
    m_grid->editorCreated(editor);
    return editor;
}

void TCellKindDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = static_cast<TComboInplaceEdit *>(editor);
    const int col = index.column();
    const int row = index.row();
    edit->SetCellKind(&m_grid->GetCellKind(col));
    const QString mask = m_grid->GetEditMask(col, row);
    if (edit->inputMask() != mask)
        edit->setInputMask(mask);
    const int limit = m_grid->GetEditLimit();
    edit->setMaxLength(limit > 0 ? limit : kNoLimit);
    edit->setText(m_grid->Cells(col, row));
}

void TCellKindDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    model->setData(index, static_cast<TComboInplaceEdit *>(editor)->text(), Qt::EditRole);
}

void TCellKindDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                             const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

bool TCellKindDelegate::eventFilter(QObject *object, QEvent *event)
{
    // Escape belongs to a drop-down editor itself: it closes the list (when open) and never the
    // editor, so the text typed so far stays.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        const auto *editor = qobject_cast<TComboInplaceEdit *>(object);
        if (editor && editor->CellKind().Kind() == ckDropDown)
            return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
