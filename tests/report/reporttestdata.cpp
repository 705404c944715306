#include "reporttestdata.h"

#include <QPainter>

std::unique_ptr<TRecordingDevice> A4Recorder()
{
    return std::make_unique<TRecordingDevice>(4961, 7016);
}

std::unique_ptr<TRecordingDevice> RecordPage(const TReportDocument &document, int index)
{
    auto page = A4Recorder();
    QPainter painter(page.get());
    document.PaintPage(painter, index);
    return page;
}

QString PageProblems(const TReportDocument &document, int index, const TRecordingDevice &page)
{
    const TReportFrame &frame = document.Frame;
    const QString number = QStringLiteral("%1 / %2").arg(index + 1).arg(document.PageCount());
    bool numbered = false;
    for (const TRecordedText &text : page.Texts) {
        // Half a pixel of rounding either way is not a text running over.
        const QRectF box = page.boxOf(text).adjusted(1, 1, -1, -1);
        if (text.Text.trimmed().isEmpty())
            continue;
        const bool inside = QRectF(frame.Header).contains(box) ||
                            QRectF(frame.Body).contains(box) || QRectF(frame.Footer).contains(box);
        if (!inside)
            return QStringLiteral("page %1: \"%2\" at %3,%4 %5×%6 leaves the frame")
                .arg(index + 1)
                .arg(text.Text)
                .arg(box.left())
                .arg(box.top())
                .arg(box.width())
                .arg(box.height());
        if (text.Text == number && QRectF(frame.Footer).contains(box))
            numbered = true;
    }
    return numbered ? QString()
                    : QStringLiteral("page %1 has no \"%2\"").arg(index + 1).arg(number);
}
