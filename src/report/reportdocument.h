// The reports' paged printer: a report is a list of parts, each laying out its own pages; then
// every page is painted between a header (the report's subject and the part's title) and a
// footer (page N of M and the company), the way a printed document carries them.
#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// The regions of a page in device pixels.
struct TReportFrame
{
    QRect Page;
    QRect Header;
    QRect Body;
    QRect Footer;
    double PixelsPerMm = 1;

    int Mm(double mm) const { return int(mm * PixelsPerMm + 0.5); }
};

// The frame of an A4 page as `device` measures it.
TReportFrame ReportFrameOf(const QPaintDevice &device);

// The reports' text face: a proportional Gothic at `points`. Drawings that scale their texts
// with themselves take the same face in pixels, ProportionalGothicFont.
QFont ReportFont(double points);

// `text` on one line in `box` at `points`, set smaller by `step` (down to `smallestRatio` of
// `points`) before it is shortened with an ellipsis.
void DrawFittedText(QPainter &painter, const QRect &box, Qt::Alignment align, const QString &text,
                    double points, double smallestRatio, double step);

// The title of page `page` (from 0) of a part's `pages`, numbered when there are several.
QString PageTitle(const QString &title, qsizetype page, qsizetype pages);

// Paints a page's body; `body` is the frame's body rectangle.
using TPagePainter = std::function<void(QPainter &painter, const QRect &body)>;

struct TReportPage
{
    QString Title; // the part's title, in the header
    TPagePainter Paint;
};

// A line of the contents: a part or a section of one, and the page it starts on (from 1).
struct TReportEntry
{
    QString Title;
    int Level = 0;
    int Page = 0;
};

class TReportDocument;
class TReportPart;
struct TReportFurniture;
using TReportParts = std::vector<std::unique_ptr<TReportPart>>;

// What a part lays its pages out into.
class TReportLayout
{
public:
    TReportLayout(QPaintDevice &device, const TReportFrame &frame, bool colour);

    // The device the pages will be painted on: text is measured on it.
    QPaintDevice &Device() const { return m_device; }
    const TReportFrame &Frame() const { return m_frame; }
    bool Colour() const { return m_colour; }

    void AddPage(const QString &title, TPagePainter paint);
    // A contents line that points at the next page added.
    void AddEntry(const QString &title, int level = 0);
    // The contents lines of the other parts (for the part that lists them); their page
    // numbers are filled in before any page is painted.
    std::shared_ptr<const QList<TReportEntry>> Entries() const { return m_allEntries; }

private:
    friend TReportDocument LayReport(QPaintDevice &, TReportParts, const TReportFurniture &, bool);

    QPaintDevice &m_device;
    TReportFrame m_frame;
    bool m_colour;
    QList<TReportPage> m_pages;
    QList<TReportEntry> m_entries; // Page: index into m_pages
    std::shared_ptr<QList<TReportEntry>> m_allEntries;
};

// One part of a report: a page producer of its own.
class TReportPart
{
public:
    virtual ~TReportPart();
    // A part that lists the others (the contents) is laid out after them, in its place.
    virtual bool ListsEntries() const { return false; }
    // Appends the part's pages. Whatever it raises stops the report before anything is drawn.
    virtual void Lay(TReportLayout &layout) const = 0;
};

// What every page carries besides its body.
struct TReportFurniture
{
    QString Subject;       // at the head of every page
    QString Company;       // at the foot
    QString DocumentTitle; // the PDF's title
};

// A laid-out report: its pages in order, ready to paint. It keeps the parts whose painters its
// pages are.
class TReportDocument
{
public:
    std::shared_ptr<const TReportParts> Parts;
    QList<TReportPage> Pages;
    QList<TReportEntry> Entries;
    TReportFurniture Furniture;
    TReportFrame Frame;

    int PageCount() const { return int(Pages.size()); }
    // Paints page `index` (from 0) with its header and footer.
    void PaintPage(QPainter &painter, int index) const;
};

// Lays out `parts` for `device` in order.
TReportDocument LayReport(QPaintDevice &device, TReportParts parts,
                          const TReportFurniture &furniture, bool colour);

// Lays out and prints `parts` on `device`; answers the number of pages. Raises what a part
// raises before anything is drawn, ETessmarkError when the device cannot start or go on.
int PrintReport(QPagedPaintDevice &device, TReportParts parts, const TReportFurniture &furniture,
                bool colour);
