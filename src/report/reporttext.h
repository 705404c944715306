// The reports' running text: headings, paragraphs and tables set through Qt's text layout
// (which knows Japanese line breaking) and flowed over as many pages as they need, a table
// showing its headings again on each.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <memory>

class QPaintDevice;
class QPainter;
class QRect;
class QTextDocument;
class QTextLength;
class QTextTable;
class TReportLayout;

// A column of a table: its heading, its share of the width (percent; 0: as the text needs)
// and whether its cells are figures, set right.
struct TReportColumn
{
    QString Heading;
    double Percent = 0;
    bool Figure = false;
};

using TReportFields = QList<QPair<QString, QString>>;

// Builds a document set for the report's device at the body's width.
class TReportText
{
public:
    explicit TReportText(const TReportLayout &layout, double points = 9.5);
    // For `device` at `width` pixels, on one page of its own height.
    TReportText(QPaintDevice &device, int width, double points);

    // Flows over pages `height` pixels high.
    void Paginate(int height);

    void Heading(const QString &text, double points = 13);
    void Paragraph(const QString &text, double points = 0, Qt::Alignment align = Qt::AlignLeft);
    // Lines of a text as typed, each its own paragraph (empty lines kept).
    void Lines(const QString &text);
    void Space(double mm);
    // `left`, indented by `level` steps, and `right` set right at the end of the line.
    void TabbedLine(const QString &left, const QString &right, int level = 0);
    void Table(const QList<TReportColumn> &columns, const QList<QStringList> &rows);
    // Names and values in `pairs` pairs a row; names shaded.
    void Fields(const TReportFields &fields, int pairs = 1, double namePercent = 18);

    // The document, laid out (and paginated at the body's height).
    std::shared_ptr<QTextDocument> Take();

private:
    struct TCellText
    {
        QString Text;
        Qt::Alignment Align;
    };

    void startBlock(Qt::Alignment align, double points, bool bold = false);
    QTextTable *insertTable(int rows, const QList<QTextLength> &widths, double padMm,
                            int headerRows);
    void fillCells(QTextTable *table, const QList<TCellText> &cells);

    std::shared_ptr<QTextDocument> m_document;
    QTextCursor m_cursor;
    double m_points;
    int m_width;
    bool m_empty = true;
};

// Adds the pages of `document` to the layout under `title`; answers how many.
int AddTextPages(TReportLayout &layout, const QString &title,
                 const std::shared_ptr<QTextDocument> &document);
// A part that is one text: its contents line and its pages under `title`.
void AddTextPart(TReportLayout &layout, const QString &title, TReportText &text);
// Paints page `page` (from 0) of a paginated document with its top left at `box`'s.
void PaintTextPage(QPainter &painter, const QTextDocument &document, const QRect &box, int page);
// The height of a document laid out without pages (device pixels).
int TextHeight(const QTextDocument &document);
