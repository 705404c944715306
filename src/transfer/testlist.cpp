#include "testlist.h"

#include "boundedread.h"
#include "codec.h"
#include "wire.h"

namespace {

bool isDigitLed(const QString &line)
{
    return !line.isEmpty() && line.at(0) >= u'0' && line.at(0) <= u'9';
}

// Blanks and control characters, as the instrument pads its lines.
bool isPadding(QChar c)
{
    return c.unicode() <= 0x20;
}

// What the header's date and time fields hold: a name made only of these cannot end early, leave
// the transfer folder or differ from the file a clash check looked at.
bool isTwoDigits(const QString &field)
{
    return field.size() == 2 && field.at(0) >= u'0' && field.at(0) <= u'9' && field.at(1) >= u'0' &&
           field.at(1) <= u'9';
}

} // namespace

QStringList LoadAnswerLines(const QString &path)
{
    try {
        return AnswerLinesOf(ReadWholeFile(path, Wire::kMaxAnswerBytes));
    } catch (const EFileRefused &) {
        return {};
    }
}

QStringList AnswerLinesOf(const QByteArray &bytes)
{
    QStringList lines = Cp932::decode(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

QStringList SplitAnswerFields(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isPadding(line.at(begin)))
        ++begin;
    while (end > begin && isPadding(line.at(end - 1)))
        --end;
    // Followed by one blank, every field ends at a blank: the last split piece is not a field.
    QStringList fields = QString(line.mid(begin, end - begin) + u' ').split(u' ');
    fields.removeLast();
    return fields;
}

QStringList TestListLines(const QStringList &answerLines)
{
    QList<QStringList> tests;
    for (const QString &line : answerLines)
        if (isDigitLed(line))
            tests.append(SplitAnswerFields(line));
    const int width = std::max(2, int(QString::number(tests.size()).size()));
    QStringList display;
    for (qsizetype i = 0; i < tests.size(); ++i) {
        const QStringList &f = tests.at(i);
        display.append(QStringLiteral("%1 %2-%3-%4-%5-%6 %7年%8月%9日 ")
                           .arg(i + 1, width, 10, QChar(u'0'))
                           .arg(f.value(1), f.value(2), f.value(3), f.value(4), f.value(5),
                                f.value(6), f.value(7), f.value(8)) +
                       f.value(9) + u':' + f.value(10));
    }
    return display;
}

int TestNumberOfLine(const QString &displayLine)
{
    qsizetype digits = 0;
    while (digits < displayLine.size() && displayLine.at(digits).isDigit() &&
           displayLine.at(digits).unicode() < 0x80)
        ++digits;
    return displayLine.left(digits).toInt();
}

QString TransferFileName(const QStringList &answerLines)
{
    for (const QString &line : answerLines) {
        if (!isDigitLed(line))
            continue;
        const QStringList f = SplitAnswerFields(line);
        if (f.size() < 10)
            return QString();
        for (int i = 5; i <= 9; ++i)
            if (!isTwoDigits(f.at(i)))
                return QString();
        return QStringLiteral("%1年%2月%3日%4：%5.ktd")
            .arg(f.at(5), f.at(6), f.at(7), f.at(8), f.at(9));
    }
    return QString();
}
