#include "inplaceedit.h"

#include "cellpaint.h"
#include "cmbgrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int kVisibleEntries = 8;

Qt::Alignment editorAlignment(quint8 align)
{
    if (align & caRight)
        return Qt::AlignRight | Qt::AlignVCenter;
    if (align & caCenter)
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

bool isUpOrDown(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
           !(event->modifiers() & Qt::AltModifier);
}

// Alt+Down, Alt+Up and F4 open and close a drop-down list, as in other drop-down fields.
bool isDropDownKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_F4 ||
           ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
            (event->modifiers() & Qt::AltModifier));
}

} // namespace

TComboInplaceEdit::TComboInplaceEdit(TComboGrid *grid, QWidget *parent)
    : QLineEdit(parent), m_grid(grid)
{
    setFrame(false);
    setMouseTracking(true);
}

int TComboInplaceEdit::ButtonWidth()
{
    static const int width = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return width;
}

bool TComboInplaceEdit::DropDownVisible() const
{
    return m_list && m_list->isVisible();
}

bool TComboInplaceEdit::onButton(const QPoint &pos) const
{
    return isDropDown() && pos.x() > width() - ButtonWidth();
}

void TComboInplaceEdit::SetCellKind(const TCellKind *kind)
{
    if (!kind) {
        m_cellKind.SetKind(ckText);
    } else {
        m_cellKind.Assign(*kind);
    }
    setAlignment(editorAlignment(m_cellKind.Align()));
    // The text never runs under the drop-down button.
    setTextMargins(0, 0, isDropDown() ? ButtonWidth() + 2 : 0, 0);
    setCursor(Qt::IBeamCursor);
    if (!isDropDown()) {
        if (m_list)
            m_list->hide();
        update();
        return;
    }
    if (!m_list) {
        m_list = new TInplaceListBox(this);
        connect(m_list, &TInplaceListBox::Click, this,
                [this] { emit m_grid->OnGridBtnClick(m_grid->Col(), m_grid->Row()); });
    }
    m_list->SelectQuietly(-1);
    m_list->clear();
    m_list->addItems(m_cellKind.ItemTexts());
    m_list->resize(qMax(m_cellKind.DropDownWidth(), 0), m_list->HeightFor(m_list->count()));
    update();
}

void TComboInplaceEdit::ToggleDropDown()
{
    if (!isDropDown() || !m_list)
        return;
    if (m_list->isHidden()) {
        if (m_list->count() > 0) {
            m_list->SelectQuietly(0);
            m_list->SelectQuietly(m_cellKind.IndexOfItem(text()));
        }
        const int listWidth =
            m_cellKind.DropDownWidth() >= width() ? m_cellKind.DropDownWidth() : width();
        m_list->resize(listWidth, m_list->height());
        QPoint place = mapToGlobal(QPoint(width() - listWidth, height()));
        // Open upwards when the screen has no room below the cell.
        if (const QScreen *where = screen()) {
            const QRect available = where->availableGeometry();
            if (place.y() + m_list->height() > available.bottom() + 1 &&
                mapToGlobal(QPoint(0, 0)).y() - m_list->height() >= available.top())
                place.setY(mapToGlobal(QPoint(0, 0)).y() - m_list->height());
        }
        m_list->move(place);
        m_list->setFocus(Qt::PopupFocusReason);
        m_list->show();
        if (m_list->currentItem())
            m_list->scrollToItem(m_list->currentItem());
        selectAll();
    } else {
        m_list->hide();
    }
    update();
}

void TComboInplaceEdit::TakeEntry(const QString &text, bool chosen)
{
    setText(text);
    if (chosen) {
        if (m_list)
            m_list->hide();
        emit EntryChosen();
    }
}

bool TComboInplaceEdit::event(QEvent *event)
{
    // The window's Ctrl+letter shortcuts (the typing modes, the test information) work while a
    // cell is typed; the editor keeps only the letters that edit its text.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool ctrlLetter = key->modifiers() == Qt::ControlModifier &&
                                key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        const bool editing = key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                             key->matches(QKeySequence::Paste) ||
                             key->matches(QKeySequence::SelectAll) ||
                             key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo);
        if (ctrlLetter && !editing) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TComboInplaceEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (!isDropDown())
        return;
    QPainter painter(this);
    cellpaint::DrawDropDownButton(painter, width(), height(), ButtonWidth(), m_buttonDown,
                                  palette());
}

void TComboInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    // Opening the list moves the focus into it; anything else closes the list.
    if (m_list && m_list->isVisible() && event->reason() != Qt::PopupFocusReason)
        m_list->hide();
    QLineEdit::focusOutEvent(event);
}

void TComboInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    if (isDropDown() && m_list) {
        if (isDropDownKey(event)) {
            ToggleDropDown();
            return;
        }
        if (isUpOrDown(event)) {
            // Stepping starts from the entry the editor shows, as in other drop-down fields; an
            // empty editor shows none, even where an entry is empty (the observations' last), so
            // Down takes the first.
            if (m_list->currentRow() < 0)
                m_list->SelectQuietly(text().isEmpty() ? -1 : m_cellKind.IndexOfItem(text()));
            m_list->Step(event->key() == Qt::Key_Up ? -1 : 1);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            // Swallowed even with the list closed: the editor stays open with its text.
            m_list->hide();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TComboInplaceEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (isDropDown() && m_list && isUpOrDown(event)) {
        if (QListWidgetItem *item = m_list->currentItem())
            TakeEntry(item->text(), false);
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void TComboInplaceEdit::mousePressEvent(QMouseEvent *event)
{
    m_downX = -1;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && onButton(pos)) {
        m_buttonDown = true;
        m_downX = pos.x();
        update();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TComboInplaceEdit::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(onButton(event->position().toPoint()) ? Qt::ArrowCursor : Qt::IBeamCursor);
    if (m_downX < 0)
        QLineEdit::mouseMoveEvent(event);
}

void TComboInplaceEdit::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_downX >= 0 && rect().contains(event->position().toPoint());
    if (m_downX < 0)
        QLineEdit::mouseReleaseEvent(event);
    m_buttonDown = false;
    m_downX = -1;
    if (clicked)
        ToggleDropDown();
    update();
}

TInplaceListBox::TInplaceListBox(TComboInplaceEdit *editor) : QListWidget(editor), m_editor(editor)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(editor->font());
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!m_quiet)
            emit Click();
    });
    hide();
}

void TInplaceListBox::SelectQuietly(int row)
{
    m_quiet = true;
    if (row < 0 || row >= count()) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(row);
    }
    m_quiet = false;
}

void TInplaceListBox::Step(int delta)
{
    if (count() == 0)
        return;
    const int row = currentRow() < 0 ? 0 : qBound(0, currentRow() + delta, count() - 1);
    setCurrentRow(row);
}

int TInplaceListBox::HeightFor(int entries) const
{
    const int shown = qBound(1, entries, kVisibleEntries);
    const int rowHeight = entries > 0 ? qMax(sizeHintForRow(0), 1) : fontMetrics().height() + 2;
    return shown * rowHeight + 2 * frameWidth();
}

bool TInplaceListBox::event(QEvent *event)
{
    // While the list is open every press reaches it; one outside closes it. A press on the
    // editor's own drop-down button only closes it (it must not open it again at once).
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!rect().contains(mouse->position().toPoint())) {
            const QPoint onEditor = m_editor->mapFromGlobal(mouse->globalPosition().toPoint());
            const bool onButton =
                m_editor->rect().contains(onEditor) &&
                onEditor.x() > m_editor->width() - TComboInplaceEdit::ButtonWidth();
            setAttribute(Qt::WA_NoMouseReplay, onButton);
            hide();
            return true;
        }
    }
    return QListWidget::event(event);
}

void TInplaceListBox::focusInEvent(QFocusEvent *event)
{
    // The item view makes its first entry current on focus; the list keeps the entry chosen
    // when it opened (or none), and that is no choice of the user's.
    const int row = currentRow();
    m_quiet = true;
    QListWidget::focusInEvent(event);
    if (currentRow() != row)
        SelectQuietly(row);
    m_quiet = false;
}

void TInplaceListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    if (QListWidgetItem *item = currentItem())
        m_editor->TakeEntry(item->text(), true);
    else
        hide();
}

void TInplaceListBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (QListWidgetItem *item = currentItem())
            m_editor->TakeEntry(item->text(), true);
        else
            hide();
        return;
    default:
        break;
    }
    if (isDropDownKey(event)) {
        hide();
        return;
    }
    if (isUpOrDown(event)) {
        Step(event->key() == Qt::Key_Up ? -1 : 1);
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TInplaceListBox::keyReleaseEvent(QKeyEvent *event)
{
    QListWidget::keyReleaseEvent(event);
    if (!isVisible())
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return;
    default:
        break;
    }
    if (QListWidgetItem *item = currentItem())
        m_editor->TakeEntry(item->text(), false);
}

void TInplaceListBox::hideEvent(QHideEvent *event)
{
    QListWidget::hideEvent(event);
    m_editor->update();
}
