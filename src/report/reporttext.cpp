#include "reporttext.h"

#include "drawtext.h"
#include "reportdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <cmath>

namespace {

// Lengths in a text format are in pixels of 96 per inch; the layout scales them to the device.
double formatPixels(double mm)
{
    return mm * 96 / 25.4;
}

const QColor kShade(232, 232, 232);

void shade(QTextTableCell cell)
{
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    format.setBackground(kShade);
    cell.setFormat(format);
}

QTextCharFormat charFormat(double points, bool bold = false)
{
    QTextCharFormat format;
    format.setFontFamilies(ProportionalGothicFamilies());
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

} // namespace

TReportText::TReportText(const TReportLayout &layout, double points)
    : TReportText(layout.Device(), layout.Frame().Body.width(), points)
{
    Paginate(layout.Frame().Body.height());
}

TReportText::TReportText(QPaintDevice &device, int width, double points)
    : m_document(std::make_shared<QTextDocument>()), m_points(points), m_width(width)
{
    m_document->documentLayout()->setPaintDevice(&device);
    m_document->setDefaultFont(ReportFont(points));
    m_document->setDocumentMargin(0);
    m_document->setTextWidth(width);
    m_cursor = QTextCursor(m_document.get());
}

void TReportText::Paginate(int height)
{
    m_document->setPageSize(QSizeF(m_width, height));
}

void TReportText::startBlock(Qt::Alignment align, double points, bool bold)
{
    QTextBlockFormat block;
    block.setAlignment(align);
    block.setBottomMargin(formatPixels(1.2));
    if (m_empty)
        m_cursor.setBlockFormat(block);
    else
        m_cursor.insertBlock(block);
    m_cursor.setBlockCharFormat(charFormat(points, bold));
    m_cursor.setCharFormat(charFormat(points, bold));
    m_empty = false;
}

void TReportText::Heading(const QString &text, double points)
{
    startBlock(Qt::AlignLeft, points, true);
    QTextBlockFormat block = m_cursor.blockFormat();
    block.setTopMargin(formatPixels(2));
    block.setBottomMargin(formatPixels(2.5));
    // A heading stays with what follows it.
    block.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    m_cursor.setBlockFormat(block);
    m_cursor.insertText(text);
}

void TReportText::Paragraph(const QString &text, double points, Qt::Alignment align)
{
    startBlock(align, points > 0 ? points : m_points);
    m_cursor.insertText(text);
}

void TReportText::Lines(const QString &text)
{
    for (const QString &line : text.split(u'\n'))
        Paragraph(QString(line).remove(u'\r'));
}

void TReportText::Space(double mm)
{
    startBlock(Qt::AlignLeft, 1);
    QTextBlockFormat block = m_cursor.blockFormat();
    block.setLineHeight(formatPixels(mm), QTextBlockFormat::FixedHeight);
    block.setBottomMargin(0);
    m_cursor.setBlockFormat(block);
}

void TReportText::TabbedLine(const QString &left, const QString &right, int level)
{
    startBlock(Qt::AlignLeft, m_points);
    QTextBlockFormat block = m_cursor.blockFormat();
    // Tab positions are measured like the other lengths of a format.
    const double width =
        m_width * 96.0 / m_document->documentLayout()->paintDevice()->logicalDpiX();
    block.setTabPositions({QTextOption::Tab(width - 1, QTextOption::RightTab)});
    m_cursor.setBlockFormat(block);
    // Indented by full-width spaces, which keep the tab's place.
    m_cursor.insertText(QString(2 * level, u'　') + left + u'\t' + right);
}

QTextTable *TReportText::insertTable(int rows, const QList<QTextLength> &widths, double padMm,
                                     int headerRows)
{
    startBlock(Qt::AlignLeft, 1);
    QTextTableFormat format;
    format.setBorder(formatPixels(0.2));
    format.setBorderBrush(Qt::black);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellSpacing(0);
    format.setCellPadding(formatPixels(padMm));
    format.setHeaderRowCount(headerRows);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setColumnWidthConstraints(widths);
    return m_cursor.insertTable(rows, int(widths.size()), format);
}

void TReportText::fillCells(QTextTable *table, const QList<TCellText> &cells)
{
    const int columns = table->columns();
    for (int i = 0; i < int(cells.size()); ++i) {
        const TCellText &cell = cells.at(i);
        QTextCursor cursor = table->cellAt(i / columns, i % columns).firstCursorPosition();
        const QStringList lines = cell.Text.split(u'\n');
        for (qsizetype l = 0; l < lines.size(); ++l) {
            QTextBlockFormat block;
            block.setAlignment(cell.Align);
            if (l > 0)
                cursor.insertBlock(block);
            else
                cursor.setBlockFormat(block);
            cursor.insertText(QString(lines.at(l)).remove(u'\r'), charFormat(m_points));
        }
    }
    m_cursor.movePosition(QTextCursor::End);
}

void TReportText::Table(const QList<TReportColumn> &columns, const QList<QStringList> &rows)
{
    if (columns.isEmpty())
        return;
    // One edit: the table is laid out once, not again after every cell.
    m_cursor.beginEditBlock();
    QList<QTextLength> widths;
    for (const TReportColumn &column : columns)
        widths.append(column.Percent > 0
                          ? QTextLength(QTextLength::PercentageLength, column.Percent)
                          : QTextLength(QTextLength::VariableLength, 0));
    QTextTable *table = insertTable(int(rows.size()) + 1, widths, 0.9, 1);
    for (int c = 0; c < int(columns.size()); ++c)
        shade(table->cellAt(0, c));
    QList<TCellText> cells;
    for (const TReportColumn &column : columns)
        cells.append({column.Heading, Qt::AlignHCenter});
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < columns.size(); ++c)
            cells.append({row.value(c), columns.at(c).Figure ? Qt::AlignRight : Qt::AlignLeft});
    }
    fillCells(table, cells);
    m_cursor.endEditBlock();
}

void TReportText::Fields(const TReportFields &fields, int pairs, double namePercent)
{
    if (fields.isEmpty())
        return;
    m_cursor.beginEditBlock();
    pairs = std::max(1, pairs);
    QList<QTextLength> widths;
    for (int p = 0; p < pairs; ++p) {
        widths.append(QTextLength(QTextLength::PercentageLength, namePercent));
        widths.append(QTextLength(QTextLength::PercentageLength, 100.0 / pairs - namePercent));
    }
    const int rows = int((fields.size() + pairs - 1) / pairs);
    QTextTable *table = insertTable(rows, widths, 1.1, 0);
    for (qsizetype i = 0; i < fields.size(); ++i)
        shade(table->cellAt(int(i) / pairs, 2 * (int(i) % pairs)));
    QList<TCellText> cells;
    // A value of several lines keeps them.
    for (const auto &[name, value] : fields)
        cells << TCellText{name, Qt::AlignLeft} << TCellText{value, Qt::AlignLeft};
    fillCells(table, cells);
    m_cursor.endEditBlock();
}

std::shared_ptr<QTextDocument> TReportText::Take()
{
    m_document->documentLayout()->documentSize(); // lays it out now, not while painting
    return m_document;
}

int AddTextPages(TReportLayout &layout, const QString &title,
                 const std::shared_ptr<QTextDocument> &document)
{
    const int pages = std::max(1, document->pageCount());
    for (int page = 0; page < pages; ++page)
        layout.AddPage(title, [document, page](QPainter &painter, const QRect &body) {
            PaintTextPage(painter, *document, body, page);
        });
    return pages;
}

void AddTextPart(TReportLayout &layout, const QString &title, TReportText &text)
{
    layout.AddEntry(title);
    AddTextPages(layout, title, text.Take());
}

void PaintTextPage(QPainter &painter, const QTextDocument &document, const QRect &box, int page)
{
    const double height = document.pageSize().height() > 0
                              ? document.pageSize().height()
                              : document.documentLayout()->documentSize().height();
    painter.save();
    painter.translate(box.left(), box.top() - page * height);
    QAbstractTextDocumentLayout::PaintContext context;
    // Pagination leaves no line across a page's edge; one starting right on it is the next
    // page's.
    context.clip = QRectF(0, page * height + 0.5, document.pageSize().width(), height - 1);
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(context.clip, Qt::IntersectClip);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

int TextHeight(const QTextDocument &document)
{
    return int(std::ceil(document.documentLayout()->documentSize().height()));
}
