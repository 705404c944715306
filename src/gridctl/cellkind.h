// Per-column behaviour of the grid: how a column's cells are drawn, edited and clicked.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TComboGrid;

// Alignment flags of Align and TitleAlign. Left and vertical centre are what is drawn when none
// of the others is set; right wins over centre and bottom over top.
enum TCellAlignFlag : quint8 {
    caLeft = 1,
    caCenter = 2,
    caRight = 4,
    caTop = 8,
    caMiddle = 16,
    caBottom = 32,
};

// Column kinds.
enum TCellKindKind : quint8 {
    ckText = 0,     // plain text with optional edit mask, number picture and length limit
    ckDropDown = 1, // text with a drop-down list of proposed values
    ckButton = 2,   // push button
    ckToggle = 3,   // toggle box cycling through state texts
};

// The caption of a button column that makes every button show its own cell text.
inline const QString kUseCellData = QStringLiteral("%%USECELLDATA%%");

// One entry of a kind's list; Value is the toggle state value (0 or 1) for toggle columns.
struct TCellKindItem
{
    QString Text;
    qint32 Value = 0;
    bool operator==(const TCellKindItem &) const = default;
};

// Meaning of Items by kind:
//   text:      entry 0 edit mask (empty: none), entry 1 number picture for data cells (empty: as
//   stored) drop-down: the values offered, in order button:    entry 0 caption of every button of
//   the column, or kUseCellData toggle:    the state texts, each with its state value
class TCellKind
{
public:
    TCellKind() = default;
    explicit TCellKind(TComboGrid *grid) : m_grid(grid) {}
    TCellKind(const TCellKind &) = delete;
    TCellKind &operator=(const TCellKind &) = delete;

    quint8 Align() const { return m_align; }
    quint8 TitleAlign() const { return m_titleAlign; }
    quint8 Kind() const { return m_kind; }
    bool Editable() const { return m_editable; }
    qint32 DropDownWidth() const { return m_dropDownWidth; }
    qint8 Margin() const { return m_margin; }
    qint32 MaxLength() const { return m_maxLength; }
    const QList<TCellKindItem> &Items() const { return m_items; }
    TComboGrid *Grid() const { return m_grid; }

    // Each setter repaints the grid the kind belongs to when the value changes.
    void SetAlign(quint8 value);
    void SetTitleAlign(quint8 value);
    void SetKind(quint8 value);
    void SetEditable(bool value);
    void SetDropDownWidth(qint32 value);
    void SetMargin(qint8 value);
    void SetMaxLength(qint32 value);
    void SetItems(const QList<TCellKindItem> &items);
    void SetItems(const QStringList &texts); // every value 0
    void ClearItems();
    void AddItem(const QString &text, qint32 value = 0);
    void SetGrid(TComboGrid *grid) { m_grid = grid; }

    QStringList ItemTexts() const;
    // Text of entry `index`, empty when there is no such entry.
    QString ItemText(int index) const;
    // First entry equal to `text`, letter case ignored; -1 when none.
    int IndexOfItem(const QString &text) const;

    // Copies everything but the grid reference.
    void Assign(const TCellKind &source);

    // Field-wise equality, the grid reference left out.
    bool SameAs(const TCellKind &other) const;

private:
    void changed();

    quint8 m_align = caLeft | caMiddle;
    quint8 m_kind = ckText;
    quint8 m_titleAlign = caLeft | caMiddle;
    TComboGrid *m_grid = nullptr;
    QList<TCellKindItem> m_items;
    bool m_editable = true;
    qint32 m_dropDownWidth = 0;
    qint8 m_margin = 2;
    qint32 m_maxLength = 0;
};
