// sample-photos: draws the sample site's photographs (samples/site/photos): for each of its
// five points a picture of the test under way and one of the marked point, each with the site
// blackboard (工事黒板) a survey photo carries. No.1's second picture is an upright portrait
// stored on its side with the EXIF orientation that turns it up, as cameras write them.
#include "errors.h"
#include "safewrite.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTransform>
#include <cstdio>

namespace {

const QString kSiteName = QStringLiteral("サンプル邸 新築工事");
const QString kDate = QStringLiteral("2024.5.17");

QFont font(int pixels, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                   QStringLiteral("Noto Sans CJK JP")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The blackboard in the lower right corner: site, point, what the picture shows, date.
void blackboard(QPainter &p, const QRect &area, int point, const QString &content)
{
    p.setPen(QPen(QColor(120, 85, 50), 6));
    p.setBrush(QColor(30, 70, 45));
    p.drawRect(area);
    p.setPen(Qt::white);
    const QStringList lines{QStringLiteral("件名　") + kSiteName,
                            QStringLiteral("測点　No.%1").arg(point),
                            QStringLiteral("内容　") + content, QStringLiteral("日付　") + kDate};
    // As large as the longest line lets it be.
    int pixels = area.height() / 8;
    while (pixels > 6 &&
           QFontMetrics(font(pixels)).horizontalAdvance(lines.first()) > area.width() - 28)
        --pixels;
    p.setFont(font(pixels));
    const int step = area.height() / (int(lines.size()) + 1);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(
            QRect(area.left() + 14, area.top() + step / 2 + i * step, area.width() - 20, step),
            Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
}

// The rod with its load of weights and the handle, standing in the ground at `x`.
void soundingRig(QPainter &p, int x, int groundY, int height)
{
    const int top = groundY - height;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 155));
    p.drawRect(x - 4, top, 8, height + 20);
    p.setBrush(QColor(70, 70, 75));
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(x - 38, groundY - height / 2 + i * 14, 76, 11, 3, 3);
    p.setBrush(QColor(200, 60, 40));
    p.drawRoundedRect(x - 70, top, 140, 10, 4, 4);
    p.setBrush(QColor(90, 70, 40));
    p.drawEllipse(QPoint(x, groundY + 8), 46, 8);
}

QImage testUnderWay(int point)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 280);
    sky.setColorAt(0, QColor(110, 160, 220));
    sky.setColorAt(1, QColor(205, 225, 240));
    p.fillRect(0, 0, 640, 280, sky);
    p.fillRect(0, 280, 640, 200, QColor(150, 120, 80));
    // The neighbouring house behind, in a different place for each point.
    const int house = 40 + point * 70;
    p.setPen(QPen(QColor(120, 120, 120), 2));
    p.setBrush(QColor(225, 220, 210));
    p.drawRect(house, 170, 180, 110);
    p.setBrush(QColor(90, 90, 100));
    p.drawPolygon(
        QPolygon({QPoint(house - 15, 172), QPoint(house + 90, 110), QPoint(house + 195, 172)}));
    soundingRig(p, 150 + point * 25, 330, 230);
    blackboard(p, QRect(380, 300, 240, 160), point, QStringLiteral("試験状況"));
    return image;
}

// The point from above: its stake in bare ground, the tape to the building line.
QImage markedPoint(int point, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(176, 150, 110));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRandomGenerator pebbles{quint32(point)};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 120, 90));
    for (int i = 0; i < 60; ++i)
        p.drawEllipse(QPoint(pebbles.bounded(size.width()), pebbles.bounded(size.height())), 4, 3);
    const QPoint stake(size.width() / 3, size.height() / 3);
    p.setPen(QPen(QColor(230, 190, 40), 10));
    p.drawLine(stake, QPoint(size.width(), stake.y()));
    p.setPen(QPen(Qt::black, 2));
    for (int x = stake.x() + 20; x < size.width(); x += 20)
        p.drawLine(x, stake.y() - 5, x, stake.y() + 5);
    p.setPen(QPen(QColor(60, 40, 20), 3));
    p.setBrush(QColor(215, 180, 130));
    p.drawRect(QRect(stake - QPoint(22, 22), QSize(44, 44)));
    p.setPen(Qt::red);
    p.setFont(font(16, true));
    p.drawText(QRect(stake - QPoint(22, 22), QSize(44, 44)), Qt::AlignCenter,
               QStringLiteral("No.%1").arg(point));
    const QSize board(size.width() * 3 / 8, size.width() / 4);
    blackboard(p,
               QRect(QPoint(size.width() - board.width() - 20, size.height() - board.height() - 20),
                     board),
               point, QStringLiteral("測点位置"));
    return image;
}

// A JPEG with an EXIF block of one entry, the orientation (6: turn a quarter clockwise to show).
QByteArray withOrientation(const QByteArray &jpeg, quint16 orientation)
{
    QByteArray tiff("MM\0\x2A\0\0\0\x08", 8); // big-endian, first entries at 8
    const char entry[] = {0,
                          1, // one entry
                          0x01,
                          0x12,
                          0,
                          3,
                          0,
                          0,
                          0,
                          1, // orientation, SHORT, 1 value
                          char(orientation >> 8),
                          char(orientation & 0xFF),
                          0,
                          0,
                          0,
                          0,
                          0,
                          0}; // no next directory
    tiff.append(entry, sizeof entry);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xFF\xE1");
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
    // After the start of image and the JFIF block the writer puts first.
    qsizetype at = 2;
    if (jpeg.mid(2, 2) == "\xFF\xE0")
        at = 4 + ((uchar(jpeg.at(4)) << 8) | uchar(jpeg.at(5)));
    return jpeg.left(at) + segment + jpeg.mid(at);
}

bool save(const QString &path, const QByteArray &bytes, QTextStream &err)
{
    try {
        WriteFileAtomically(path, bytes);
        return true;
    } catch (const ECantWriteFile &failure) {
        err << QString(failure.message()).replace(u'\r', u'\n') << '\n';
        return false;
    }
}

QByteArray encoded(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws the sample site's photographs (two per point) into FOLDER."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("where the pictures go, e.g. samples/site/photos"));
    parser.process(app);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    const QDir folder(parser.positionalArguments().first());
    if (!folder.mkpath(QStringLiteral("."))) {
        err << folder.path() << ": cannot make the folder\n";
        return 1;
    }
    for (int point = 1; point <= 5; ++point) {
        const QString name = QStringLiteral("No%1-").arg(point);
        if (!save(folder.filePath(name + QStringLiteral("1.jpg")),
                  encoded(testUnderWay(point), "JPEG", 70), err))
            return 1;
        if (point == 1) {
            // Upright 480 × 640, kept on its side: what a camera held upright writes.
            const QImage upright = markedPoint(point, QSize(480, 640));
            const QImage sideways = upright.transformed(QTransform().rotate(-90));
            const QString path = folder.filePath(name + QStringLiteral("2.jpg"));
            if (!save(path, withOrientation(encoded(sideways, "JPEG", 70), 6), err))
                return 1;
            QImageReader check(path);
            check.setAutoTransform(true);
            if (check.read().size() != upright.size()) {
                err << path << ": the orientation is not read back\n";
                return 1;
            }
        } else if (!save(folder.filePath(name + QStringLiteral("2.png")),
                         encoded(markedPoint(point, QSize(640, 480)), "PNG"), err)) {
            return 1;
        }
    }
    return 0;
}
