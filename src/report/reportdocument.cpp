#include "reportdocument.h"

#include "drawtext.h"
#include "errors.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {

// Margins and the bands of the header and footer (mm).
constexpr double kSideMargin = 15;
constexpr double kTopMargin = 10;
constexpr double kBottomMargin = 10;
constexpr double kBand = 8;
constexpr double kBandGap = 4;
constexpr double kFurniturePoints = 8.5;

} // namespace

TReportFrame ReportFrameOf(const QPaintDevice &device)
{
    TReportFrame frame;
    frame.PixelsPerMm = std::max(1, device.logicalDpiY()) / 25.4;
    frame.Page = QRect(0, 0, device.width(), device.height());
    const int side = frame.Mm(kSideMargin);
    const int width = frame.Page.width() - 2 * side;
    frame.Header = QRect(side, frame.Mm(kTopMargin), width, frame.Mm(kBand));
    frame.Footer =
        QRect(side, frame.Page.height() - frame.Mm(kBottomMargin + kBand), width, frame.Mm(kBand));
    const int top = frame.Header.bottom() + 1 + frame.Mm(kBandGap);
    frame.Body = QRect(side, top, width, frame.Footer.top() - frame.Mm(kBandGap) - top);
    return frame;
}

QFont ReportFont(double points)
{
    // Proportional faces first: a report is set as a printed document, not as a table of
    // fixed-pitch figures.
    QFont font;
    font.setFamilies(ProportionalGothicFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

void DrawFittedText(QPainter &painter, const QRect &box, Qt::Alignment align, const QString &text,
                    double points, double smallestRatio, double step)
{
    double size = points;
    QFont font = ReportFont(size);
    while (QFontMetrics(font, painter.device()).horizontalAdvance(text) > box.width() &&
           size - step >= points * smallestRatio) {
        size -= step;
        font = ReportFont(size);
    }
    painter.setFont(font);
    painter.drawText(
        box, int(align | Qt::AlignVCenter),
        QFontMetrics(font, painter.device()).elidedText(text, Qt::ElideRight, box.width()));
}

QString PageTitle(const QString &title, qsizetype page, qsizetype pages)
{
    return pages > 1 ? title + QStringLiteral("（%1/%2）").arg(page + 1).arg(pages) : title;
}

TReportLayout::TReportLayout(QPaintDevice &device, const TReportFrame &frame, bool colour)
    : m_device(device), m_frame(frame), m_colour(colour),
      m_allEntries(std::make_shared<QList<TReportEntry>>())
{}

void TReportLayout::AddPage(const QString &title, TPagePainter paint)
{
    m_pages.append({title, std::move(paint)});
}

void TReportLayout::AddEntry(const QString &title, int level)
{
    m_entries.append({title, level, int(m_pages.size())});
}

TReportPart::~TReportPart() = default;

TReportDocument LayReport(QPaintDevice &device, TReportParts owned,
                          const TReportFurniture &furniture, bool colour)
{
    TReportDocument document;
    document.Parts = std::make_shared<const TReportParts>(std::move(owned));
    const TReportParts &parts = *document.Parts;
    document.Furniture = furniture;
    document.Frame = ReportFrameOf(device);
    const auto entries = std::make_shared<QList<TReportEntry>>();
    std::vector<std::unique_ptr<TReportLayout>> laid;
    for (const auto &part : parts) {
        laid.push_back(std::make_unique<TReportLayout>(device, document.Frame, colour));
        laid.back()->m_allEntries = entries;
        if (!part->ListsEntries())
            part->Lay(*laid.back());
    }
    // The parts that list the others know every other part's lines by now.
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i]->ListsEntries())
            continue;
        for (std::size_t j = 0; j < parts.size(); ++j) {
            if (!parts[j]->ListsEntries())
                entries->append(laid[j]->m_entries);
        }
        parts[i]->Lay(*laid[i]);
        entries->clear();
    }
    // Numbered; what the listing parts read while they paint is the lines of the others.
    entries->clear();
    for (std::size_t j = 0; j < parts.size(); ++j) {
        const int first = int(document.Pages.size());
        for (TReportEntry entry : laid[j]->m_entries) {
            entry.Page += first + 1;
            document.Entries.append(entry);
            if (!parts[j]->ListsEntries())
                entries->append(entry);
        }
        document.Pages.append(laid[j]->m_pages);
    }
    return document;
}

void TReportDocument::PaintPage(QPainter &painter, int index) const
{
    const TReportPage &page = Pages.at(index);
    painter.save();
    painter.fillRect(Frame.Page, Qt::white);
    painter.setPen(QPen(Qt::black, std::max(1, Frame.Mm(0.2))));
    const int gap = Frame.Mm(4);

    // The subject at the left of the header, the part's title at its right.
    QFont titleFont = ReportFont(kFurniturePoints + 1);
    painter.setFont(titleFont);
    const int titleWidth =
        std::min(Frame.Header.width() / 2,
                 QFontMetrics(titleFont, painter.device()).horizontalAdvance(page.Title) + gap);
    const QRect header = Frame.Header.adjusted(0, 0, 0, -Frame.Mm(1));
    painter.drawText(header, int(Qt::AlignRight | Qt::AlignVCenter), page.Title);
    DrawFittedText(painter, header.adjusted(0, 0, -titleWidth - gap, 0), Qt::AlignLeft,
                   Furniture.Subject, kFurniturePoints, 2.0 / 3, 0.5);
    painter.drawLine(Frame.Header.bottomLeft(), Frame.Header.bottomRight());

    // The body may not run into the header or the footer.
    painter.save();
    painter.setClipRect(Frame.Body);
    page.Paint(painter, Frame.Body);
    painter.restore();

    painter.setPen(QPen(Qt::black, std::max(1, Frame.Mm(0.2))));
    painter.drawLine(Frame.Footer.topLeft(), Frame.Footer.topRight());
    const QRect footer = Frame.Footer.adjusted(0, Frame.Mm(1), 0, 0);
    const QString number = QStringLiteral("%1 / %2").arg(index + 1).arg(PageCount());
    painter.setFont(ReportFont(kFurniturePoints));
    const int numberWidth =
        QFontMetrics(painter.font(), painter.device()).horizontalAdvance(number) + gap;
    painter.drawText(footer, int(Qt::AlignHCenter | Qt::AlignVCenter), number);
    DrawFittedText(
        painter,
        QRect(footer.left(), footer.top(), footer.width() / 2 - numberWidth / 2, footer.height()),
        Qt::AlignLeft, Furniture.Company, kFurniturePoints, 2.0 / 3, 0.5);
    painter.restore();
}

int PrintReport(QPagedPaintDevice &device, TReportParts parts, const TReportFurniture &furniture,
                bool colour)
{
    const TReportDocument document = LayReport(device, std::move(parts), furniture, colour);
    if (auto *pdf = dynamic_cast<QPdfWriter *>(&device))
        pdf->setTitle(furniture.DocumentTitle);
    QPainter painter;
    if (!painter.begin(&device))
        throw ETessmarkError(QStringLiteral("印刷を開始できません"));
    for (int i = 0; i < document.PageCount(); ++i) {
        if (i > 0 && !device.newPage())
            throw ETessmarkError(QStringLiteral("印刷を続けられません"));
        document.PaintPage(painter, i);
    }
    painter.end();
    return document.PageCount();
}
