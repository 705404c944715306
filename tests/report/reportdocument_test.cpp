// The paged printer: parts laid out in order, the contents numbered after them, and every page
// between its header and its footer.
#include "reporttestdata.h"
#include "surveyparts.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A part of `pages` pages, each writing its title and number in the body.
class TCountedPart : public TReportPart
{
public:
    TCountedPart(QString title, int pages) : m_title(std::move(title)), m_pages(pages) {}

    void Lay(TReportLayout &layout) const override
    {
        layout.AddEntry(m_title);
        for (int k = 0; k < m_pages; ++k)
            layout.AddPage(m_title, [title = m_title, k](QPainter &painter, const QRect &body) {
                painter.setFont(ReportFont(10));
                painter.drawText(body, Qt::AlignCenter, QStringLiteral("%1-%2").arg(title).arg(k));
            });
    }

private:
    QString m_title;
    int m_pages;
};

// The contents stand before the parts they list, yet give each the page it starts on; every
// page carries the subject and its part's title at the head and "N / M" and the company at the
// foot.
TEST(ReportDocument, PagesAreNumberedAcrossPartsAndTheContentsPointAtThem)
{
    TReportParts parts;
    parts.push_back(std::make_unique<TCountedPart>(QStringLiteral("前"), 1));
    parts.push_back(ContentsPart());
    parts.push_back(std::make_unique<TCountedPart>(QStringLiteral("甲"), 3));
    parts.push_back(std::make_unique<TCountedPart>(QStringLiteral("乙"), 2));
    auto device = A4Recorder();
    const TReportDocument document =
        LayReport(*device, std::move(parts),
                  {QStringLiteral("件名の例"), QStringLiteral("調査会社の例"), {}}, false);

    ASSERT_EQ(document.PageCount(), 7);
    const QStringList titles{"前", "目次", "甲", "甲", "甲", "乙", "乙"};
    for (int i = 0; i < document.PageCount(); ++i) {
        EXPECT_EQ(document.Pages.at(i).Title, titles.at(i));
        const auto page = RecordPage(document, i);
        EXPECT_EQ(PageProblems(document, i, *page).toStdString(), "");
        for (const QString &furniture :
             {QStringLiteral("件名の例"), QStringLiteral("調査会社の例"), titles.at(i)})
            EXPECT_FALSE(page->textsNamed(furniture).isEmpty()) << i << furniture.toStdString();
    }

    // The contents line of 乙 ends in its first page, 6, on the same line.
    const auto contents = RecordPage(document, 1);
    for (const auto &[title, number] :
         {std::pair("前", "1"), std::pair("甲", "3"), std::pair("乙", "6")}) {
        const QList<TRecordedText> line = contents->textsNamed(QString::fromUtf8(title));
        const QList<TRecordedText> page = contents->textsNamed(QString::fromUtf8(number));
        ASSERT_FALSE(line.isEmpty()) << title;
        ASSERT_FALSE(page.isEmpty()) << title;
        EXPECT_TRUE(std::any_of(page.cbegin(), page.cend(), [&](const TRecordedText &text) {
            return qAbs(text.Baseline.y() - line.last().Baseline.y()) < 1 &&
                   text.Baseline.x() > document.Frame.Body.center().x();
        })) << title;
    }
}

} // namespace
