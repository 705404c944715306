// The survey report's photographs: each point's pictures three to a page, scaled to fit and the
// right way up, with the point's label and the caption under each.
#include "surveyparts.h"

#include "errors.h"
#include "reporttext.h"
#include "site.h"
#include "surveyreport.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QTextDocument>

namespace {

constexpr int kPerPage = 3;
// Pictures are kept at no more than this resolution on paper, and never enlarged.
constexpr double kPhotoDpi = 200;

struct TPhotoItem
{
    QString Label;
    QString Caption;
    QString File;
    std::shared_ptr<QTextDocument> CaptionText; // the label and the caption, set under it
};

// The size the reader decodes to: the picture fitted into `room` (device pixels at `dpi`),
// no finer than kPhotoDpi and never larger than stored; in the stored orientation.
QSize decodeSize(QImageReader &reader, const QSize &room, int dpi)
{
    QSize stored = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize shown = turned ? stored.transposed() : stored;
    const double limit = std::min(1.0, kPhotoDpi / std::max(1, dpi));
    const QSize fitted = shown.scaled(QSize(int(room.width() * limit), int(room.height() * limit)),
                                      Qt::KeepAspectRatio);
    if (fitted.width() >= shown.width())
        return stored;
    return turned ? fitted.transposed() : fitted;
}

QString unreadable(const TPhotoItem &item, const QString &reason)
{
    return QStringLiteral("%1: 写真 %2 を読めません: %3")
        .arg(item.Label, QDir::toNativeSeparators(item.File), reason);
}

class TPhotosPart : public TReportPart
{
public:
    explicit TPhotosPart(const TSurveyContext &context) : m_context(context) {}

    void Lay(TReportLayout &layout) const override
    {
        const TSite &site = m_context.Data.Site;
        QList<TPhotoItem> items;
        for (const TSiteTestPoint &point : site.Points) {
            for (const TSitePhoto &photo : point.Survey.Photos)
                items.append({point.Label, photo.Caption, photo.File, nullptr});
        }
        // Only the headers are read here: a picture that cannot be read stops the report
        // before anything is drawn; the pictures themselves are decoded as their page is.
        for (TPhotoItem &item : items) {
            TReportText caption(layout.Device(), layout.Frame().Body.width(), 9.5);
            caption.Paragraph(item.Caption.isEmpty()
                                  ? item.Label
                                  : item.Label + QStringLiteral("　") + item.Caption,
                              0, Qt::AlignHCenter);
            item.CaptionText = caption.Take();
            // A pipe or a device named like a picture is refused before a reader could block.
            if (const QString problem = PhotoProblem(item.File); !problem.isEmpty())
                throw ETessmarkError(item.Label + QStringLiteral(": ") + problem);
            QImageReader reader(item.File);
            if (!reader.canRead() || !reader.size().isValid())
                throw ETessmarkError(unreadable(item, reader.errorString()));
        }
        if (items.isEmpty())
            return;
        const QString title = QStringLiteral("写真");
        layout.AddEntry(title);
        for (qsizetype first = 0; first < items.size(); first += kPerPage) {
            const QList<TPhotoItem> page = items.mid(first, kPerPage);
            const TReportFrame frame = layout.Frame();
            layout.AddPage(title, [page, frame](QPainter &painter, const QRect &body) {
                paintPage(painter, body, frame, page);
            });
        }
    }

private:
    static void paintPage(QPainter &painter, const QRect &body, const TReportFrame &frame,
                          const QList<TPhotoItem> &items)
    {
        const int gap = frame.Mm(5);
        const int slot = (body.height() - (kPerPage - 1) * gap) / kPerPage;
        for (qsizetype k = 0; k < items.size(); ++k) {
            const TPhotoItem &item = items.at(k);
            const QRect box(body.left(), body.top() + int(k) * (slot + gap), body.width(), slot);
            // A long caption takes lines from the picture, never the other way round.
            const int captionHeight =
                std::min(slot / 2, TextHeight(*item.CaptionText) + frame.Mm(1.5));
            const QRect room = box.adjusted(0, 0, 0, -captionHeight);
            QImageReader reader(item.File);
            reader.setAutoTransform(true);
            reader.setScaledSize(decodeSize(reader, room.size(), painter.device()->logicalDpiX()));
            const QImage image = reader.read();
            if (image.isNull())
                throw ETessmarkError(unreadable(item, reader.errorString()));
            const QSize shown = image.size().scaled(room.size(), Qt::KeepAspectRatio);
            const QRect target(room.left() + (room.width() - shown.width()) / 2,
                               room.top() + (room.height() - shown.height()) / 2, shown.width(),
                               shown.height());
            painter.drawImage(target, image);
            painter.setPen(QPen(Qt::black, std::max(1, frame.Mm(0.2))));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(target);
            PaintTextPage(
                painter, *item.CaptionText,
                QRect(box.left(), room.bottom() + frame.Mm(1.5), box.width(), captionHeight), 0);
        }
    }

    const TSurveyContext m_context;
};

} // namespace

std::unique_ptr<TReportPart> PhotosPart(const TSurveyContext &context)
{
    return std::make_unique<TPhotosPart>(context);
}
